// A sound level meter's spectrum report on arbitrary bytes, with no quantity asked and with each quantity the
// report lists. No crash; a report whose quantities cannot be listed gives no test; every quantity listed is
// found again by its name.

#include "fuzz/ExportCheck.h"

using namespace kov;
using namespace kov::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = Bytes(data, size);
    const QStringList quantities = SpectrumReportQuantities(bytes);
    const MeterImport unasked = ParseSpectrumReport(bytes);
    CheckExportImport(unasked, 1, bytes);
    Check(!quantities.isEmpty() || std::holds_alternative<Message>(unasked),
          "a test from a report whose quantities cannot be listed", bytes);
    for (const QString& quantity : quantities.mid(0, 8)) {
        const MeterImport asked = ParseSpectrumReport(bytes, quantity);
        CheckExportImport(asked, 1, bytes);
        if (const Message* refused = std::get_if<Message>(&asked))
            Check(!refused->text.startsWith(QStringLiteral("The report holds no ")), "a listed quantity not found",
                  bytes, quantity.toUtf8());
    }
    return 0;
}
