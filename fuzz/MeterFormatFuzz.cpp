// The recognition of a meter file on arbitrary bytes. No crash; an unknown file is a message; a file told to be
// one of the text formats is one its reader takes in (a PAA3, DSP30 or IE-45 export reads whole, a table parses).

#include "fuzz/ExportCheck.h"

using namespace kov;
using namespace kov::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = Bytes(data, size);
    const auto told = RecogniseMeterFile(bytes);
    if (const Message* unknown = std::get_if<Message>(&told)) {
        Check(unknown->text.endsWith(QStringLiteral(" Nothing was imported.")), "an unknown file without a reason",
              bytes, unknown->text.toUtf8());
        return 0;
    }
    const MeterFormat format = std::get<MeterFormat>(told);
    Check(!MeterFormatName(format).isEmpty(), "a format without a name", bytes);
    switch (format) {
        case MeterFormat::Paa3:
            Check(std::holds_alternative<MeterTests>(ParsePaa3(bytes, 1, 10)), "a PAA3 export that does not read",
                  bytes);
            break;
        case MeterFormat::Dsp30:
            Check(std::holds_alternative<MeterTests>(ParseDsp30(bytes)), "a DSP30 export that does not read", bytes);
            break;
        case MeterFormat::Ie45:
            Check(std::holds_alternative<MeterTests>(ParseIe45(bytes)), "an IE-45 report that does not read", bytes);
            break;
        case MeterFormat::Table:
            Check(std::holds_alternative<MeterTable>(ParseMeterTable(bytes)), "a table that does not parse", bytes);
            break;
        case MeterFormat::SpectrumReport:
            CheckExportImport(ParseSpectrumReport(bytes), 1, bytes);
            break;
        case MeterFormat::FrequencyResponse:
            CheckExportImport(ParseFrequencyResponse(bytes), 1, bytes);
            break;
        case MeterFormat::WorkbookXls:
        case MeterFormat::WorkbookXlsx:
            break;
    }
    return 0;
}
