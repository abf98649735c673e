#include "meters/MeterFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QList>

#include <cmath>
#include <limits>
#include <utility>

#include "core/Numbers.h"
#include "core/TextValue.h"

namespace kov {

namespace {

constexpr int MeterBands = 18;  // 160 Hz .. 8 kHz

// The DSP30 export opens with twelve (name, value) pairs about the meter and the measurement; none is a level.
constexpr int Dsp30HeaderPairs = 12;

// The IE-45 export is a printed report: a page head of 28 lines, then one line per band.
constexpr int Ie45HeaderLines = 28;
constexpr int Ie45LevelChars = 5;

// The PAA3 holds ten stored measurements and exports all of them, each as one record behind a header of
// column names.
constexpr int Paa3HeaderFields = 67;
constexpr int Paa3Records = 10;
constexpr int Paa3FirstLevelField = 13;
constexpr int Paa3LastLevelField = Paa3FirstLevelField + MeterBands - 1;
constexpr int Paa3RecordFields = 66;
// The PAA3 leaves a band it did not measure at 0; 2 dB below the band under it keeps the spectrum's slope
// plausible for the fit instead of a hole down to 0 dB.
constexpr f32 Paa3MissingBandStep = 2.0f;

// The lines of a text, however they end (CRLF, LF or a lone CR). A line end at the very end starts no line; a
// last line without its line end is still a line. A Ctrl-Z ends the data, as in the field files.
QList<QByteArray> SplitLines(QByteArray bytes)
{
    const qsizetype dosEnd = bytes.indexOf('\x1a');
    if (dosEnd >= 0) {
        bytes.truncate(dosEnd);
    }
    QList<QByteArray> lines;
    qsizetype from = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n') {
            continue;
        }
        lines.append(bytes.mid(from, i - from));
        if (bytes[i] == '\r' && i + 1 < n && bytes[i + 1] == '\n') {
            ++i;
        }
        from = i + 1;
    }
    if (from < n) {
        lines.append(bytes.mid(from));
    }
    return lines;
}

// "File A.TXT could not be recovered inC:\JOBS\.": the folder follows "in" without a blank, word for word the
// message the installers know.
Message NotRecovered(const QString& path)
{
    const QFileInfo info(path);
    QString folder = QDir::toNativeSeparators(info.absolutePath());
    if (!folder.endsWith(QDir::separator())) {
        folder += QDir::separator();
    }
    return {QStringLiteral("File ") + info.fileName() + QStringLiteral(" could not be recovered in") + folder +
                QStringLiteral("."),
            QStringLiteral("File Error"), MsgIcon::Critical};
}

Message NotFound(const QString& path)
{
    return {QStringLiteral("The file ") + QDir::toNativeSeparators(path) + QStringLiteral(" could not be found."),
            QStringLiteral("File Error"), MsgIcon::Critical};
}

// The file's bytes through `parse`; any failure, from a missing file to a damaged field, is the one `failure`.
template <typename Parse>
MeterImport ReadExport(const QString& path, const Message& failure, Parse parse)
{
    const FileReadResult file = ReadWholeFile(path);
    if (!file.ok) {
        return failure;
    }
    Parsed<MeterTests> parsed = parse(file.data);
    if (MeterTests* tests = std::get_if<MeterTests>(&parsed)) {
        return std::move(*tests);
    }
    return failure;
}

}  // namespace

Parsed<MeterTests> ParseDsp30(const QByteArray& bytes)
{
    TextFieldReader r(bytes, FieldEnd::DataMayEnd);
    QString name;
    f32 value = 0;
    for (int i = 0; i < Dsp30HeaderPairs; ++i) {
        r.readText(name);
        r.readNumber(value);
    }
    MeterTests tests;
    tests.count = 1;
    for (int band = 1; band <= MeterBands; ++band) {
        r.readText(name);
        r.readNumber(value);
        tests.levels(1, band) = RoundSingle(value, 1);
    }
    return r.result(std::move(tests));
}

Parsed<MeterTests> ParseIe45(const QByteArray& bytes)
{
    const QList<QByteArray> lines = SplitLines(bytes);
    if (lines.size() < Ie45HeaderLines + MeterBands) {
        // The line the reading would have wanted next.
        return ReadError{static_cast<int>(lines.size()) + 1, QStringLiteral("Input past end of file")};
    }
    MeterTests tests;
    tests.count = 1;
    for (int band = 1; band <= MeterBands; ++band) {
        const QString line = QString::fromLatin1(lines[Ie45HeaderLines + band - 1]);
        const QString text = line.right(Ie45LevelChars);
        const double level = RoundHalfEven(BasicVal(text), 1);
        // Five characters hold an exponent ("9E99") that no single holds; taken as it is, it would be an infinite
        // level in the fit. Refused as the field readers refuse a number past the single range.
        if (!(std::fabs(level) <= std::numeric_limits<f32>::max())) {
            return ReadError{Ie45HeaderLines + band, QStringLiteral("Overflow (\"%1\")").arg(text)};
        }
        tests.levels(1, band) = static_cast<f32>(level);
    }
    return tests;
}

Parsed<MeterTests> ParsePaa3(const QByteArray& bytes, int startFile, int endFile)
{
    TextFieldReader r(bytes, FieldEnd::DataMayEnd);
    for (int i = 0; i < Paa3HeaderFields; ++i) {
        r.skipField();
    }
    MeterTests tests;
    // Every record is read, also those outside the range: a damaged export is refused whichever part was asked.
    for (int record = 1; record <= Paa3Records; ++record) {
        const bool wanted = record >= startFile && record <= endFile && tests.count < DownloadLevels::hi1;
        if (wanted) {
            ++tests.count;
        }
        f32 below = 0;
        for (int field = 1; field <= Paa3RecordFields; ++field) {
            if (field == 2 || field == 3) {
                r.skipField();
                continue;
            }
            f32 value = 0;
            r.readNumber(value);
            if (!wanted || field < Paa3FirstLevelField || field > Paa3LastLevelField) {
                continue;
            }
            if (value == 0) {
                value = below - Paa3MissingBandStep;
            }
            below = value;
            tests.levels(tests.count, field - Paa3FirstLevelField + 1) = value;
        }
    }
    return r.result(std::move(tests));
}

MeterImport ReadDsp30File(const QString& path)
{
    return ReadExport(path, NotRecovered(path), [](const QByteArray& bytes) { return ParseDsp30(bytes); });
}

MeterImport ReadIe45File(const QString& path)
{
    return ReadExport(path, NotRecovered(path), [](const QByteArray& bytes) { return ParseIe45(bytes); });
}

MeterImport DownloadPaa3(const QString& path, int startFile, int endFile)
{
    return ReadExport(path, NotFound(path),
                      [=](const QByteArray& bytes) { return ParsePaa3(bytes, startFile, endFile); });
}

}  // namespace kov
