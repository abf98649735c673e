// The .xlsx reader and both import rules on arbitrary bytes. An input that starts as a zip archive is the file
// itself; any other is the parts of a package, "name\0content\0" after each other, packed here into a zip with
// correct checksums so that the XML inside is reached. The cells of the B&K 2250 block go through Bk2250Tests,
// those of the Excel layout through ExcelTests. No crash; a workbook that cannot be read says why; cells come
// only from the block asked for; at most ten tests and at least one, B&K levels in 0..99.x and Excel levels
// strictly between 0 and 100, and nothing past the tests; a refusal names the file and ends in its import's phrase.
// The cells also go through the workbook reader's answer and back, and the input itself is decoded as one.

#include <QList>
#include <QStringList>

#include <variant>

#include <zlib.h>

#include "fuzz/FuzzSupport.h"
#include "meters/MeterFiles.h"
#include "meters/Workbook.h"
#include "meters/WorkbookFormats.h"

using namespace kov;
using namespace kov::fuzz;

namespace {

void Put16(QByteArray& out, quint32 v)
{
    out.append(static_cast<char>(v & 0xff));
    out.append(static_cast<char>((v >> 8) & 0xff));
}

void Put32(QByteArray& out, quint32 v)
{
    Put16(out, v & 0xffff);
    Put16(out, v >> 16);
}

// A zip archive of the parts, stored, not deflated: packing must not cost more than the reading it serves. Written
// here byte by byte, in memory only: a zip library writing it could leave files behind under fuzzed names.
QByteArray Package(const QByteArray& input)
{
    QByteArray local;
    QByteArray central;
    quint32 entries = 0;
    const QList<QByteArray> fields = input.split('\0');
    for (qsizetype i = 0; i + 1 < fields.size() && entries < 0xffff; i += 2) {
        const QByteArray& name = fields[i];
        const QByteArray& content = fields[i + 1];
        if (name.isEmpty() || name.size() > 0xffff)
            continue;
        const auto crc = static_cast<quint32>(
            crc32(0L, reinterpret_cast<const Bytef*>(content.constData()), static_cast<uInt>(content.size())));
        const auto size = static_cast<quint32>(content.size());
        const auto offset = static_cast<quint32>(local.size());
        const auto header = [&](QByteArray& out, bool inCentral) {
            Put32(out, inCentral ? 0x02014b50 : 0x04034b50);
            if (inCentral)
                Put16(out, 20);  // made by
            Put16(out, 20);      // needed to extract
            Put16(out, 0);       // flags
            Put16(out, 0);       // stored
            Put16(out, 0);       // time
            Put16(out, 0x21);    // date: 1980-01-01
            Put32(out, crc);
            Put32(out, size);
            Put32(out, size);
            Put16(out, static_cast<quint32>(name.size()));
            Put16(out, 0);  // extra field
            if (inCentral) {
                Put16(out, 0);  // comment
                Put16(out, 0);  // disk
                Put16(out, 0);  // internal attributes
                Put32(out, 0);  // external attributes
                Put32(out, offset);
            }
            out.append(name);
        };
        header(local, false);
        local.append(content);
        header(central, true);
        ++entries;
    }
    QByteArray out = local + central;
    Put32(out, 0x06054b50);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, entries);
    Put16(out, entries);
    Put32(out, static_cast<quint32>(central.size()));
    Put32(out, static_cast<quint32>(local.size()));
    Put16(out, 0);
    return out;
}

void CheckLevels(const MeterTests& tests, f32 low, f32 high, bool lowIncluded, const QByteArray& input)
{
    Check(tests.count >= 0 && tests.count <= 10, "more than ten tests", input, QByteArray::number(tests.count));
    for (int test = 1; test <= 20; ++test) {
        for (int band = 1; band <= 20; ++band) {
            const f32 level = tests.levels(test, band);
            if (test <= tests.count && band <= 18)
                Check((lowIncluded ? level >= low : level > low) && level < high, "a level out of range", input,
                      QByteArray::number(level));
            else
                Check(level == 0, "a level written outside the tests", input);
        }
    }
}

// The cells read, or nothing when the workbook could not be.
const SheetCells* Cells(const WorkbookRead& read, const CellBlock& block, const QByteArray& input)
{
    if (const WorkbookError* error = std::get_if<WorkbookError>(&read)) {
        if (error->kind == WorkbookError::CannotOpen)
            Check(!error->reason.isEmpty(), "a workbook refused without a reason", input);
        else
            Check(error->sheetCount >= 0 && error->sheetCount < block.sheet, "no such sheet, yet enough sheets", input,
                  QByteArray::number(error->sheetCount));
        return nullptr;
    }
    const SheetCells& sheet = std::get<SheetCells>(read);
    Check(sheet.format() == SheetCells::Format::Xlsx, "an .xlsx read as another format", input);
    const int rows[] = {block.firstRow - 1, block.firstRow, block.lastRow, block.lastRow + 1};
    const int columns[] = {block.firstColumn - 1, block.firstColumn, block.lastColumn, block.lastColumn + 1};
    for (const int row : rows) {
        for (const int column : columns) {
            const bool inside = row >= block.firstRow && row <= block.lastRow && column >= block.firstColumn &&
                                column <= block.lastColumn;
            Check(inside || sheet.at(row, column).kind == WorkbookCell::Empty, "a cell kept from outside the block",
                  input);
        }
    }
    return &sheet;
}

// Tests, or a refusal that names the file and ends in the import's phrase; at least one test when there are any.
void CheckImport(const MeterImport& tests, const QString& file, const QString& module, bool bk, const QByteArray& input)
{
    if (const Message* refused = std::get_if<Message>(&tests)) {
        Check(refused->text.contains(file) && refused->text.endsWith(module),
              "a refusal without the file or the phrase", input, refused->text.toUtf8());
        return;
    }
    const MeterTests& read = std::get<MeterTests>(tests);
    Check(read.count > 0, "a workbook handed over with no test", input);
    CheckLevels(read, 0, 100, bk, input);
}

// What the workbook reader would send for the read comes back the same.
void CheckAnswer(const WorkbookRead& read, const CellBlock& block, const QByteArray& input)
{
    const QByteArray answer = EncodeWorkbookRead(read);
    const WorkbookRead back = DecodeWorkbookRead(answer, block);
    Check(EncodeWorkbookRead(back) == answer, "the reader's answer does not read back the same", input);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input = Bytes(data, size);
    const QByteArray bytes = input.startsWith("PK\x03\x04") ? input : Package(input);

    const WorkbookRead bk = ParseXlsxCells(bytes, Bk2250Block);
    if (const SheetCells* sheet = Cells(bk, Bk2250Block, input)) {
        CheckImport(Bk2250Tests(*sheet, QStringLiteral("bk2250.xlsx")), QStringLiteral("bk2250.xlsx"),
                    QStringLiteral(" occurred in BK download module."), true, input);
        CheckAnswer(bk, Bk2250Block, input);
    }

    const WorkbookRead excel = ParseXlsxCells(bytes, ExcelBlock);
    if (const SheetCells* sheet = Cells(excel, ExcelBlock, input)) {
        CheckImport(ExcelTests(*sheet, QStringLiteral("excel.xlsx")), QStringLiteral("excel.xlsx"),
                    QStringLiteral(" occurred in Excel download module."), false, input);
        CheckAnswer(excel, ExcelBlock, input);
    }
    // The reader's answer read back from arbitrary bytes: refused or within the block, never a crash.
    const WorkbookRead decoded = DecodeWorkbookRead(input, ExcelBlock);
    if (const SheetCells* sheet = std::get_if<SheetCells>(&decoded))
        Check(sheet->at(ExcelBlock.firstRow - 1, ExcelBlock.firstColumn).kind == WorkbookCell::Empty &&
                  sheet->at(ExcelBlock.lastRow, ExcelBlock.lastColumn + 1).kind == WorkbookCell::Empty,
              "a decoded cell from outside the block", input);
    return 0;
}
