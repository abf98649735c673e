// Any table of levels on arbitrary bytes. No crash; a table read has two columns or more, rows no longer than
// that, a separator and decimal separator of those KOV reads and a layout key; the mapping it suggests always
// imports, one test per line it names; any other mapping (the bands in the first column or row, levels in the
// lines after it) imports or says why.

#include "fuzz/ExportCheck.h"

using namespace kov;
using namespace kov::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = Bytes(data, size);
    const auto read = ParseMeterTable(bytes);
    if (const Message* refused = std::get_if<Message>(&read)) {
        Check(refused->text.endsWith(QStringLiteral(" Nothing was imported.")), "a refusal that does not say why",
              bytes, refused->text.toUtf8());
        return 0;
    }
    const MeterTable& table = std::get<MeterTable>(read);
    Check(table.columnCount >= 2, "a table of one column", bytes);
    for (const QStringList& row : table.rows)
        Check(row.size() <= table.columnCount, "a row longer than the table", bytes);
    Check(QStringLiteral(",;\t").contains(table.separator) && QStringLiteral(".,").contains(table.decimal),
          "a separator KOV does not read", bytes);
    Check(!table.layoutKey.isEmpty(), "a table without a layout key", bytes);
    if (const std::optional<TableMapping> suggested = SuggestTableMapping(table)) {
        Check(!suggested->levelLines.isEmpty() && suggested->levelLines.size() <= GridTests,
              "a suggestion of no lines or too many", bytes);
        const MeterImport tests = TableTests(table, *suggested);
        Check(std::holds_alternative<MeterTests>(tests), "a suggested mapping that does not import", bytes,
              std::holds_alternative<Message>(tests) ? std::get<Message>(tests).text.toUtf8() : QByteArray());
        CheckExportImport(tests, static_cast<int>(suggested->levelLines.size()), bytes);
    }
    for (const TableMapping::Bands bands : {TableMapping::Bands::InColumn, TableMapping::Bands::InRow}) {
        TableMapping mapping{bands, 0, {}};
        for (int line = 1; line <= GridTests; ++line)
            mapping.levelLines << line;
        CheckExportImport(TableTests(table, mapping), GridTests, bytes);
    }
    return 0;
}
