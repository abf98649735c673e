#include <algorithm>
#include <variant>

#include "core/TextFields.h"
#include "meters/MeterExports.h"

namespace kov {

namespace {

// The first bytes of a compound file, which holds an .xls workbook, and of a zip archive, which holds an .xlsx
// workbook among its parts under "xl/".
const QByteArray CompoundFileSignature("\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1", 8);
const QByteArray ZipSignature("PK\x03\x04", 4);

constexpr int Dsp30HeaderPairs = 12;
constexpr int Ie45HeaderLines = 28;
constexpr int Ie45LevelChars = 5;

bool IsSpectrumReport(const QStringList& lines)
{
    return std::any_of(lines.begin(), lines.end(), [](const QString& line) {
        const QString trimmed = line.trimmed();
        return trimmed.startsWith(u'#') &&
               trimmed.mid(1).trimmed().startsWith(QStringLiteral("RTA Results"), Qt::CaseInsensitive);
    });
}

// Measurement software opens its export with '*' comment lines.
bool IsFrequencyResponse(const QStringList& lines)
{
    for (const QString& line : lines) {
        const QString trimmed = line.trimmed();
        if (!trimmed.isEmpty())
            return trimmed.startsWith(u'*');
    }
    return false;
}

bool IsGridBandLabel(const QString& label, int k)
{
    const std::optional<double> hz = BandLabelHz(label);
    return hz && ThirdOctaveBand(*hz) == GridFirstBand + k;
}

// The DSP30 export reads whole, and the labels of its eighteen pairs are the grid's bands in order.
bool IsDsp30(const QByteArray& bytes)
{
    if (!std::holds_alternative<MeterTests>(ParseDsp30(bytes)))
        return false;
    TextFieldReader r(bytes, FieldEnd::DataMayEnd);
    QString label;
    f32 value = 0;
    for (int i = 0; i < Dsp30HeaderPairs; ++i) {
        r.readText(label);
        r.readNumber(value);
    }
    for (int k = 0; k < GridBands; ++k) {
        if (!r.readText(label) || !r.readNumber(value) || !IsGridBandLabel(label, k))
            return false;
    }
    return true;
}

// The IE-45 report reads whole, and at least half of its band lines name their band before the level.
bool IsIe45(const QByteArray& bytes)
{
    if (!std::holds_alternative<MeterTests>(ParseIe45(bytes)))
        return false;
    QByteArray data = bytes;
    const qsizetype dosEnd = data.indexOf('\x1a');
    if (dosEnd >= 0)
        data.truncate(dosEnd);
    const QStringList lines = ExportLines(QString::fromLatin1(data));
    int named = 0;
    for (int k = 0; k < GridBands; ++k) {
        const QString& line = lines[Ie45HeaderLines + k];
        named += IsGridBandLabel(line.left(line.size() - Ie45LevelChars), k) ? 1 : 0;
    }
    return 2 * named >= GridBands;
}

}  // namespace

QString MeterFormatName(MeterFormat format)
{
    switch (format) {
        case MeterFormat::Dsp30:
            return QStringLiteral("Goldline DSP30 text export");
        case MeterFormat::Ie45:
            return QStringLiteral("Ivie IE-45 report");
        case MeterFormat::Paa3:
            return QStringLiteral("Phonic PAA3 export");
        case MeterFormat::WorkbookXls:
            return QStringLiteral("Excel workbook (.xls)");
        case MeterFormat::WorkbookXlsx:
            return QStringLiteral("Excel workbook (.xlsx)");
        case MeterFormat::SpectrumReport:
            return QStringLiteral("spectrum report of a sound level meter");
        case MeterFormat::FrequencyResponse:
            return QStringLiteral("frequency-response export of measurement software");
        case MeterFormat::Table:
            return QStringLiteral("table of levels");
    }
    return {};
}

std::variant<MeterFormat, Message> RecogniseMeterFile(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return ExportRefusal(QStringLiteral("The file is empty."));
    if (bytes.startsWith(CompoundFileSignature))
        return MeterFormat::WorkbookXls;
    if (bytes.startsWith(ZipSignature) && bytes.contains("xl/"))
        return MeterFormat::WorkbookXlsx;
    const QStringList lines = ExportLines(DecodeExportText(bytes).text);
    if (IsSpectrumReport(lines))
        return MeterFormat::SpectrumReport;
    if (IsFrequencyResponse(lines))
        return MeterFormat::FrequencyResponse;
    if (std::holds_alternative<MeterTests>(ParsePaa3(bytes, 1, 10)))
        return MeterFormat::Paa3;
    if (IsDsp30(bytes))
        return MeterFormat::Dsp30;
    if (IsIe45(bytes))
        return MeterFormat::Ie45;
    if (std::holds_alternative<MeterTable>(ParseMeterTable(bytes)))
        return MeterFormat::Table;
    return ExportRefusal(QStringLiteral(
        "KOV cannot tell what this file is. It reads Goldline DSP30 text exports, Ivie IE-45 reports, Phonic PAA3 "
        "exports, B&K 2250 and KOV-layout Excel workbooks (.xls, .xlsx), 1/3-octave spectrum reports of sound "
        "level meters, frequency-response text exports of measurement software, and tables of levels separated by "
        "commas, semicolons or tabs."));
}

std::variant<QByteArray, Message> ReadMeterFileBytes(const QString& path)
{
    const FileReadResult file = ReadWholeFile(path);
    if (!file.ok)
        return ExportRefusal(file.error + QStringLiteral("."));
    return file.data;
}

}  // namespace kov
