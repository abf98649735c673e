#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

#include "core/Indexed.h"
#include "core/Message.h"

// What the readers of today's meter exports share: the text of the file, its numbers, the 1/3-octave bands its
// labels name and the grid's eighteen bands among them.
namespace kov {

// The grid's bands: 160 Hz (band 22) to 8 kHz (band 39).
inline constexpr int GridFirstBand = 22;
inline constexpr int GridLastBand = 39;
inline constexpr int GridBands = GridLastBand - GridFirstBand + 1;
// The grid's test columns.
inline constexpr int GridTests = 10;

// How the bytes of a text export were read. Exports are UTF-8 today, with or without the byte-order mark that
// Windows programs put in front; older Windows programs write their code page, Windows-1252.
enum class TextEncoding { Utf8, Utf8WithBom, Windows1252 };

struct ExportText {
    QString text;
    TextEncoding encoding = TextEncoding::Utf8;
};

// Strictly valid UTF-8 (a leading byte-order mark dropped) is UTF-8, anything else Windows-1252, which gives every
// byte a character (the five bytes it leaves undefined stand for the control characters of the same number). A
// byte-order mark in front of bytes that are no UTF-8 is dropped too: the rest was damaged, not the mark.
ExportText DecodeExportText(const QByteArray& bytes);

// The lines of a text however they end (CRLF, LF or a lone CR); a line end at the very end starts no line.
QStringList ExportLines(const QString& text);

// A number as a meter or a spreadsheet writes it: blanks around, an optional sign, digits with at most one decimal
// separator `decimal` ('.' or ','), an optional exponent; nothing else. A number that is no finite double is none.
std::optional<double> ExportNumber(QStringView text, QChar decimal);

// The same, with whichever of '.' and ',' the text holds as its decimal separator.
std::optional<double> ExportNumberEitherDecimal(QStringView text);

// The frequency in Hz a band label names: "160", "160 Hz", "1k", "1.25 kHz", "1,25k", "8000.0"; none for any
// other text, and for a frequency that is not above 0.
std::optional<double> BandLabelHz(QStringView text);

// The 1/3-octave band (number b, centre 10^(b/10) Hz) whose nominal or exact centre `hz` is; none when `hz` is
// none.
// The nominal frequencies lie within 0.05 of a band number from the exact centres (160 Hz is 22.04), base-2
// centres as well; the bands of finer analyses (1/6, 1/12 octave) lie a quarter band or more away, so they are
// never taken for 1/3-octave bands.
std::optional<int> ThirdOctaveBand(double hz);

// "160 Hz", "1250 Hz": a grid band by its nominal frequency, as the grid labels it.
QString GridBandName(int band);
// "160 Hz, 200 Hz and 8000 Hz".
QString GridBandList(const QList<int>& bands);

// The base-10 band edges of IEC 61260-1: the exact centre 1000 * 10^((b - 30)/10) Hz times 10^(-1/20) and
// 10^(+1/20).
double BandLowerEdge(int band);
double BandUpperEdge(int band);

// A level the grid takes lies strictly between 0 and 100 dB, as in the Excel layout: 0 stands for a missing
// band there, and the grid holds two digits before the point. The level as the grid holds it, or none.
std::optional<f32> GridLevel(double level);

// "45.3", "104.25": a level or frequency in a message, with as many decimals as it needs (at most `decimals`).
QString ShownNumber(double value, int decimals = 2);

// The message of an export that gives no test: `reason` (a sentence or two) and "Nothing was imported.",
// title "File Error", critical icon, as every import's failure.
Message ExportRefusal(const QString& reason);

}  // namespace kov
