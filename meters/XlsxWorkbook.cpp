#include <QBuffer>
#include <QDir>
#include <QHash>
#include <QSet>
#include <QUrl>
#include <QXmlStreamReader>

#include <cmath>
#include <optional>
#include <utility>

#include "meters/WorkbookFormats.h"
#include "meters/ZipPackage.h"

namespace kov {

namespace {

// Excel's own limits; a reference past them is no cell.
constexpr int MaxRows = 1048576;
constexpr int MaxColumns = 16384;

// Any failure that makes the whole workbook unreadable; carried out of the nested readers by exception so each
// step below reads as the happy path, and caught once in ParseXlsxCells.
struct Refusal {
    QString reason;
};

[[noreturn]] void Refuse(const QString& reason)
{
    throw Refusal{reason};
}

// ---- The zip package ----------------------------------------------------------------------------------------

class Package {
public:
    explicit Package(const QByteArray& bytes) : m_zip(bytes)
    {
        if (!m_zip.isOpen())
            Refuse(QStringLiteral("the zip archive is damaged"));
    }

    // The unpacked part, or nothing when the archive does not hold it. Part names in a package ignore case.
    std::optional<QByteArray> part(const QString& name)
    {
        QByteArray bytes;
        switch (m_zip.part(name, MaxWorkbookBytes, bytes)) {
            case ZipPackage::Part::Found:
                return bytes;
            case ZipPackage::Part::Missing:
                return std::nullopt;
            case ZipPackage::Part::ArchiveDamaged:
                Refuse(QStringLiteral("the zip archive is damaged"));
            case ZipPackage::Part::Encrypted:
                Refuse(QStringLiteral("the workbook is protected by a password"));
            case ZipPackage::Part::TooLarge:
                Refuse(QStringLiteral("%1 would unpack to more than a workbook can hold").arg(name));
            case ZipPackage::Part::CannotUnpack:
                Refuse(QStringLiteral("%1 cannot be unpacked").arg(name));
            case ZipPackage::Part::Damaged:
                break;
        }
        Refuse(QStringLiteral("%1 is damaged").arg(name));
    }

    QByteArray requiredPart(const QString& name, const QString& missing)
    {
        std::optional<QByteArray> bytes = part(name);
        if (!bytes)
            Refuse(missing);
        return *bytes;
    }

private:
    ZipPackage m_zip;
};

// A relationship's target as a part name: relative to the folder of the part that names it, or from the root
// of the package when it starts with "/". Nothing may point outside the package.
QString ResolveTarget(const QString& folder, const QString& target)
{
    const QString decoded = QUrl::fromPercentEncoding(target.toUtf8());
    QString path = decoded.startsWith(u'/') ? decoded.mid(1) : folder.isEmpty() ? decoded : folder + u'/' + decoded;
    path = QDir::cleanPath(path);
    if (path.isEmpty() || path == u".." || path.startsWith(QStringLiteral("../")) || path.startsWith(u'/'))
        Refuse(QStringLiteral("the workbook points outside itself (%1)").arg(target));
    return path;
}

QString FolderOf(const QString& part)
{
    const qsizetype slash = part.lastIndexOf(u'/');
    return slash < 0 ? QString() : part.left(slash);
}

// "xl/workbook.xml" -> "xl/_rels/workbook.xml.rels".
QString RelationshipsOf(const QString& part)
{
    const QString folder = FolderOf(part);
    const QString name = folder.isEmpty() ? part : part.mid(folder.size() + 1);
    return (folder.isEmpty() ? QString() : folder + u'/') + QStringLiteral("_rels/") + name + QStringLiteral(".rels");
}

// ---- XML ----------------------------------------------------------------------------------------------------

// A worksheet's deepest elements lie some ten levels down (extension lists, rich text in a cell). The reader keeps
// every open element, so a part that nests without end would cost memory and time in proportion; reading stops as
// soon as the nesting passes this.
constexpr int MaxXmlDepth = 32;

// Element names are compared without their prefix: producers differ in the prefixes they use, and the
// transitional and strict forms of the format differ in their namespaces only. Every step goes through next(),
// which keeps the depth; the reader's own skipping and text reading would open elements unchecked.
class Xml {
public:
    // Read through a device, so that the part is decoded a piece at a time rather than whole.
    Xml(const QByteArray& bytes, QString part) : m_bytes(bytes), m_part(std::move(part))
    {
        m_buffer.setBuffer(&m_bytes);
        m_buffer.open(QIODevice::ReadOnly);
        m_reader.setDevice(&m_buffer);
    }

    QStringView name() const { return m_reader.name(); }
    bool atEnd() const { return m_reader.atEnd(); }
    bool isStartElement() const { return m_reader.isStartElement(); }
    bool isEndElement() const { return m_reader.isEndElement(); }

    void next()
    {
        m_reader.readNext();
        if (m_reader.isStartElement()) {
            if (++m_depth > MaxXmlDepth)
                Refuse(QStringLiteral("%1 nests its elements deeper than a workbook does (over %2 levels)")
                           .arg(m_part)
                           .arg(MaxXmlDepth));
        } else if (m_reader.isEndElement()) {
            --m_depth;
        }
    }

    // As QXmlStreamReader::readNextStartElement: true on the next child element, false on the end of this one.
    bool nextStartElement()
    {
        while (!m_reader.atEnd()) {
            next();
            if (m_reader.isStartElement())
                return true;
            if (m_reader.isEndElement())
                return false;
        }
        return false;
    }

    // From the start of an element to its end.
    void skipElement()
    {
        for (int open = 1; open > 0 && !m_reader.atEnd();) {
            next();
            if (m_reader.isStartElement())
                ++open;
            else if (m_reader.isEndElement())
                --open;
        }
    }

    // The text of the element the reader is on, up to its end; the text of any element inside it is left out.
    QString elementText()
    {
        QString text;
        while (!m_reader.atEnd()) {
            next();
            if (m_reader.isCharacters())
                text += m_reader.text();
            else if (m_reader.isStartElement())
                skipElement();
            else if (m_reader.isEndElement())
                break;
        }
        return text;
    }

    // Moves onto the root element, which must be `root` when one is given. A workbook never declares a document
    // type, and one that does could define entities that expand without end.
    void openRoot(QStringView root = {})
    {
        while (!m_reader.atEnd()) {
            next();
            if (m_reader.tokenType() == QXmlStreamReader::DTD)
                Refuse(QStringLiteral("%1 declares a document type, which a workbook never does").arg(m_part));
            if (m_reader.isStartElement()) {
                if (!root.isEmpty() && m_reader.name() != root)
                    Refuse(QStringLiteral("%1 is not what a workbook holds there").arg(m_part));
                return;
            }
        }
        checkError();
        Refuse(QStringLiteral("%1 is empty").arg(m_part));
    }

    void checkError() const
    {
        if (m_reader.hasError())
            Refuse(QStringLiteral("the XML of %1 is damaged (line %2: %3)")
                       .arg(m_part)
                       .arg(m_reader.lineNumber())
                       .arg(m_reader.errorString()));
    }

    // Unprefixed attributes only, which is all a workbook's elements carry but for r:id.
    QString attribute(const char* name) const
    {
        return m_reader.attributes().value(QLatin1StringView(name)).toString();
    }

    // The relationship id of <sheet r:id="...">: an attribute named "id" in a namespace, whichever prefix.
    QString relationshipId() const
    {
        for (const QXmlStreamAttribute& attribute : m_reader.attributes())
            if (attribute.name() == u"id" && !attribute.namespaceUri().isEmpty())
                return attribute.value().toString();
        return {};
    }

private:
    QByteArray m_bytes;
    QBuffer m_buffer;
    QXmlStreamReader m_reader;
    QString m_part;
    int m_depth = 0;
};

// The text of a shared string <si> or an inline string <is>, the reader on its start: its own <t>, or the <t>
// of its runs joined. Phonetic guides (<rPh>) also hold <t> but are not part of the text.
QString ReadRichText(Xml& xml)
{
    QString text;
    while (xml.nextStartElement()) {
        if (xml.name() == u"t") {
            text += xml.elementText();
        } else if (xml.name() == u"r") {
            while (xml.nextStartElement()) {
                if (xml.name() == u"t")
                    text += xml.elementText();
                else
                    xml.skipElement();
            }
        } else {
            xml.skipElement();
        }
    }
    return text;
}

// ---- Workbook, relationships, shared strings ------------------------------------------------------------------

struct WorkbookPart {
    QString path;
    int sheetCount = 0;
    QString sheetId;  // relationship id of the sheet asked for; empty when there is no such sheet
};

// The workbook part named by the package's relationships; producers that leave those out put it here.
QString FindWorkbookPath(Package& package)
{
    const std::optional<QByteArray> rels = package.part(QStringLiteral("_rels/.rels"));
    if (rels) {
        Xml xml(*rels, QStringLiteral("_rels/.rels"));
        xml.openRoot(u"Relationships");
        while (xml.nextStartElement()) {
            if (xml.name() == u"Relationship" && xml.attribute("Type").endsWith(QStringLiteral("/officeDocument")))
                return ResolveTarget({}, xml.attribute("Target"));
            xml.skipElement();
        }
        xml.checkError();
    }
    return QStringLiteral("xl/workbook.xml");
}

// Sheets are numbered by their order in <sheets>, as the tabs show them; only the one asked for is kept, so a
// workbook listing millions of sheets costs no memory.
WorkbookPart ReadWorkbook(Package& package, int sheet)
{
    WorkbookPart workbook;
    workbook.path = FindWorkbookPath(package);
    const QByteArray bytes =
        package.requiredPart(workbook.path, QStringLiteral("not an Excel workbook (it holds no workbook part)"));
    Xml xml(bytes, workbook.path);
    xml.openRoot(u"workbook");
    while (xml.nextStartElement()) {
        if (xml.name() != u"sheets") {
            xml.skipElement();
            continue;
        }
        while (xml.nextStartElement()) {
            if (xml.name() == u"sheet" && ++workbook.sheetCount == sheet)
                workbook.sheetId = xml.relationshipId();
            xml.skipElement();
        }
    }
    xml.checkError();
    return workbook;
}

struct Targets {
    QString sheet;
    QString sharedStrings;
};

Targets ReadWorkbookRelationships(Package& package, const WorkbookPart& workbook, int sheet)
{
    const QString relsPath = RelationshipsOf(workbook.path);
    const QString folder = FolderOf(workbook.path);
    Targets targets;
    const std::optional<QByteArray> bytes = package.part(relsPath);
    if (bytes) {
        Xml xml(*bytes, relsPath);
        xml.openRoot(u"Relationships");
        while (xml.nextStartElement()) {
            if (xml.name() == u"Relationship" &&
                xml.attribute("TargetMode").compare(u"External", Qt::CaseInsensitive) != 0) {
                const QString id = xml.attribute("Id");
                if (!id.isEmpty() && id == workbook.sheetId)
                    targets.sheet = ResolveTarget(folder, xml.attribute("Target"));
                else if (xml.attribute("Type").endsWith(QStringLiteral("/sharedStrings")))
                    targets.sharedStrings = ResolveTarget(folder, xml.attribute("Target"));
            }
            xml.skipElement();
        }
        xml.checkError();
    }
    if (targets.sheet.isEmpty())
        Refuse(QStringLiteral("the workbook does not say where its sheet %1 is").arg(sheet));
    if (targets.sharedStrings.isEmpty())
        targets.sharedStrings = (folder.isEmpty() ? QString() : folder + u'/') + QStringLiteral("sharedStrings.xml");
    return targets;
}

// The shared strings the block's cells name, by index; the others are passed over unkept.
QHash<int, QString> ReadSharedStrings(Package& package, const QString& path, const QSet<int>& wanted)
{
    QHash<int, QString> strings;
    const QByteArray bytes =
        package.requiredPart(path, QStringLiteral("a cell names a shared string, but the workbook has none"));
    Xml xml(bytes, path);
    xml.openRoot(u"sst");
    int index = 0;
    while (xml.nextStartElement()) {
        if (xml.name() != u"si") {
            xml.skipElement();
            continue;
        }
        if (wanted.contains(index))
            strings.insert(index, ReadRichText(xml));
        else
            xml.skipElement();
        ++index;
    }
    xml.checkError();
    return strings;
}

// ---- The sheet ----------------------------------------------------------------------------------------------

// "EQ2" -> row 2, column 147; false for anything that names no cell of a sheet.
bool ParseReference(QStringView reference, int& row, int& column)
{
    qsizetype i = 0;
    column = 0;
    for (; i < reference.size() && reference[i].isLetter(); ++i) {
        const char16_t letter = reference[i].toUpper().unicode();
        if (letter < u'A' || letter > u'Z' || i >= 3)
            return false;
        column = column * 26 + (letter - u'A' + 1);
    }
    if (i == 0 || column > MaxColumns)
        return false;
    bool ok = false;
    row = reference.mid(i).toInt(&ok);
    return ok && reference[i].isDigit() && row >= 1 && row <= MaxRows;
}

// A value that does not parse as a number is kept as the text it holds, so that the person sees it.
WorkbookCell NumberOrText(const QString& value)
{
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (ok && std::isfinite(number))
        return {WorkbookCell::Number, number, {}};
    return {WorkbookCell::Text, 0, value};
}

struct RawCell {
    QString type;  // the t attribute
    bool formula = false;
    std::optional<QString> value;       // <v>
    std::optional<QString> inlineText;  // <is>
};

RawCell ReadRawCell(Xml& xml)
{
    RawCell raw;
    raw.type = xml.attribute("t");
    while (xml.nextStartElement()) {
        if (xml.name() == u"f") {
            raw.formula = true;
            xml.skipElement();
        } else if (xml.name() == u"v") {
            raw.value = xml.elementText();
        } else if (xml.name() == u"is") {
            raw.inlineText = ReadRichText(xml);
        } else {
            xml.skipElement();
        }
    }
    return raw;
}

// The cell as it reads, but for a shared string, whose index is in `text` until the strings are read.
WorkbookCell Interpret(const RawCell& raw)
{
    if (raw.type == u"inlineStr")
        return {WorkbookCell::Text, 0, raw.inlineText.value_or(raw.value.value_or(QString()))};
    // An empty <v> after a formula is how some producers ask for a recalculation: no stored result either.
    const bool hasValue = raw.value && !(raw.value->isEmpty() && raw.type != u"str");
    if (!hasValue)
        return {raw.formula ? WorkbookCell::FormulaWithoutValue : WorkbookCell::Empty, 0, {}};
    const QString& value = *raw.value;
    if (raw.type.isEmpty() || raw.type == u"n")
        return NumberOrText(value);
    if (raw.type == u"s")
        return {WorkbookCell::Text, 0, value};
    if (raw.type == u"b") {
        const QString trimmed = value.trimmed();
        if (trimmed == u"1" || trimmed.compare(u"true", Qt::CaseInsensitive) == 0)
            return {WorkbookCell::Boolean, 1, {}};
        if (trimmed == u"0" || trimmed.compare(u"false", Qt::CaseInsensitive) == 0)
            return {WorkbookCell::Boolean, 0, {}};
        return {WorkbookCell::Text, 0, value};
    }
    if (raw.type == u"e")
        return {WorkbookCell::ErrorValue, 0, value};
    // "str" (a formula's text), "d" (a date: never a level) and anything newer: the text as stored.
    return {WorkbookCell::Text, 0, value};
}

bool InBlock(const CellBlock& block, int row, int column)
{
    return row >= block.firstRow && row <= block.lastRow && column >= block.firstColumn && column <= block.lastColumn;
}

// Streams the sheet and keeps the cells of the block. A row or cell without its reference follows the one
// before it, as several producers write them. Rows come in order, so reading stops past the block.
SheetCells ReadSheet(Package& package, const Targets& targets, const CellBlock& block)
{
    const QByteArray bytes =
        package.requiredPart(targets.sheet, QStringLiteral("sheet %1 is missing from the workbook").arg(block.sheet));
    Xml xml(bytes, targets.sheet);
    xml.openRoot();  // a worksheet, or a chart sheet, which simply has no cells

    SheetCells sheet(SheetCells::Format::Xlsx, block);
    QHash<quint64, int> sharedIndex;  // cell key -> shared string index
    QSet<int> wanted;
    int row = 0;
    int column = 0;
    bool inSheetData = false;
    bool pastBlock = false;
    while (!pastBlock && !xml.atEnd()) {
        xml.next();
        if (xml.isEndElement() && xml.name() == u"sheetData")
            break;  // nothing after it holds cells
        if (!xml.isStartElement())
            continue;
        if (xml.name() == u"sheetData") {
            inSheetData = true;
            continue;
        }
        if (!inSheetData)
            continue;
        if (xml.name() == u"row") {
            const QString r = xml.attribute("r");
            bool ok = true;
            row = r.isEmpty() ? row + 1 : r.toInt(&ok);
            if (!ok || row < 1 || row > MaxRows)
                Refuse(QStringLiteral("%1 has a row numbered \"%2\"").arg(targets.sheet, r));
            column = 0;
            pastBlock = row > block.lastRow;
            continue;
        }
        if (xml.name() != u"c") {
            xml.skipElement();
            continue;
        }
        const QString r = xml.attribute("r");
        if (r.isEmpty()) {
            if (row < 1)
                Refuse(QStringLiteral("%1 has a cell outside any row").arg(targets.sheet));
            if (++column > MaxColumns)
                Refuse(QStringLiteral("%1 has more columns than a sheet can").arg(targets.sheet));
        } else if (!ParseReference(r, row, column)) {
            Refuse(QStringLiteral("%1 names a cell \"%2\" no sheet has").arg(targets.sheet, r));
        }
        if (row > block.lastRow) {
            pastBlock = true;
        } else if (!InBlock(block, row, column)) {
            xml.skipElement();
        } else {
            const RawCell raw = ReadRawCell(xml);
            const WorkbookCell cell = Interpret(raw);
            const quint64 key = (quint64(quint32(row)) << 32) | quint32(column);
            sharedIndex.remove(key);
            if (raw.type == u"s" && cell.kind == WorkbookCell::Text) {
                bool ok = false;
                const int index = cell.text.trimmed().toInt(&ok);
                if (!ok || index < 0)
                    Refuse(QStringLiteral("cell %1%2 names no shared string").arg(ColumnLetters(column)).arg(row));
                sharedIndex.insert(key, index);
                wanted.insert(index);
            }
            sheet.set(row, column, cell);
        }
    }
    if (!pastBlock)
        xml.checkError();

    if (!wanted.isEmpty()) {
        const QHash<int, QString> strings = ReadSharedStrings(package, targets.sharedStrings, wanted);
        for (auto it = sharedIndex.cbegin(); it != sharedIndex.cend(); ++it) {
            const int cellRow = int(it.key() >> 32);
            const int cellColumn = int(it.key() & 0xFFFFFFFFu);
            if (!strings.contains(it.value()))
                Refuse(QStringLiteral("cell %1%2 names a shared string the workbook does not have")
                           .arg(ColumnLetters(cellColumn))
                           .arg(cellRow));
            sheet.set(cellRow, cellColumn, {WorkbookCell::Text, 0, strings.value(it.value())});
        }
    }
    return sheet;
}

}  // namespace

WorkbookRead ParseXlsxCells(const QByteArray& bytes, const CellBlock& block)
{
    if (!bytes.startsWith(QByteArrayLiteral("PK\x03\x04")))
        return WorkbookError{WorkbookError::CannotOpen, QStringLiteral("not an Excel workbook"), 0};
    try {
        Package package(bytes);
        const WorkbookPart workbook = ReadWorkbook(package, block.sheet);
        if (block.sheet < 1 || block.sheet > workbook.sheetCount)
            return WorkbookError{WorkbookError::NoSuchSheet, {}, workbook.sheetCount};
        if (workbook.sheetId.isEmpty())
            Refuse(QStringLiteral("the workbook does not say where its sheet %1 is").arg(block.sheet));
        const Targets targets = ReadWorkbookRelationships(package, workbook, block.sheet);
        return ReadSheet(package, targets, block);
    } catch (const Refusal& refusal) {
        return WorkbookError{WorkbookError::CannotOpen, refusal.reason, 0};
    }
}

}  // namespace kov
