#pragma once

#include <QString>

namespace kov {

// The value of a typed text the way BASIC's Val reads it, so that what the installer types means what it meant
// to the older copies of the program:
//  - blanks, tabs, carriage returns and line feeds are ignored wherever they stand ("4 5" is 45);
//  - then an optional sign, digits with at most one decimal point, and an optional exponent (E or D, optional
//    sign, digits) form the number; reading stops at the first character that does not fit ("45abc" is 45,
//    "45.2.1" is 45.2, "1e2" is 100);
//  - a text without a leading number ("abc", "", ".", "-") is 0;
//  - the "&H" / "&O" radix prefixes are not read (they give 0): nobody types sound levels in hex;
//  - an exponent too large for a double gives an infinity of the number's sign, one too small gives 0.
double BasicVal(const QString& text);

}  // namespace kov
