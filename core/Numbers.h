#pragma once

#include <QString>

#include "core/Indexed.h"

namespace kov {

// Rounding to n decimals with halves going to the even neighbour. A tie is judged on the value as it reads in
// decimal (its 7-significant-digit text), the way the installer reads it: 45.35f is a tie and rounds to 45.4
// although its binary value lies a hair below 45.35.
double RoundHalfEven(double x, int decimals);
f32 RoundSingle(f32 x, int decimals);

// Conversion of a single to a 16-bit integer: half to even, saturating at the i16 range.
i16 SingleToI16(f32 x);

// Plain decimal text of a single at up to 7 significant digits, no leading zero between -1 and 1, no exponent:
// "45.5", "40", ".5", "-.5", "0".
QString PlainNumber(f32 x);

// The number-to-text conversion: PlainNumber with one leading blank when the value is not negative
// (" 3", " .5", "-2.5").
QString NumberText(f32 x);

// Number text for the data files: the 7-digit PlainNumber wherever that reads back to the same single, else the
// shortest longer text (8 or 9 digits) that does, so a saved file restores every value exactly.
QString FieldNumber(f32 x);

// Display formats built of '#' and '0' digit places, one optional '.', and literal text around them
// ("#0.0", "+#0.0", " #0.0", "##", "## dBA", "0.00", "#0", " ###0", "####", " #0 dBA.", "-#0 dB.").
// The value is rounded half to even at the pattern's decimals; '#' places show nothing for leading zeros (so 0 in
// "##" is ""); a negative value carries its minus sign in front of the whole text ("- 3.0"), also when it rounds to
// zero (-0.04 in " #0.0" is "- 0.0", -0.4 in "##" is "-").
QString FormatNumber(double x, const QString& pattern);

// "+#0.0" for values above 0, " #0.0" otherwise: the signed one-decimal display of gains and corrections.
QString FormatSignedTenth(double x);

}  // namespace kov
