#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <map>

#include "meters/MeterExports.h"
#include "meters/Workbook.h"

namespace kov {

namespace {

// A table of levels has a few hundred cells; a logger's export of an hour at one spectrum a second is a few hundred
// thousand. Past this it is no table to point at, and its cells would fill the program's memory.
constexpr qsizetype MaxTableCells = 1'000'000;

// How many lines decide the separator: a title block above the table may split differently, the rows below it
// all split alike.
constexpr int SeparatorSampleLines = 50;

// A table's numbers are written alike throughout; its first rows tell how.
constexpr int DecimalSampleRows = 2000;

constexpr QChar Separators[] = {u'\t', u';', u','};  // preferred in this order when they split alike

struct Cells {
    QList<QStringList> rows;
    bool unclosedQuote = false;
    bool tooLarge = false;
};

// The cells of `text` split at `separator`: a cell that begins with a double quote runs to the closing one ("" is
// a quote inside it) and may hold separators and line ends; a quote inside an unquoted cell is just a character.
// `maxRows` stops early (0: all rows).
Cells SplitCells(const QString& text, QChar separator, int maxRows = 0)
{
    Cells out;
    QStringList row;
    QString cell;
    bool quoted = false;
    bool inQuotes = false;
    qsizetype cells = 0;
    const auto endCell = [&] {
        row.append(quoted ? cell : cell.trimmed());
        cell.clear();
        quoted = false;
        ++cells;
    };
    const auto endRow = [&] {
        endCell();
        // A line of separators only (";;;" under a title) is as empty as a blank line.
        if (std::all_of(row.begin(), row.end(), [](const QString& c) { return c.isEmpty(); }))
            row.clear();
        out.rows.append(row);
        row.clear();
    };
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (inQuotes) {
            if (c == u'"' && i + 1 < n && text[i + 1] == u'"') {
                cell += c;
                ++i;
            } else if (c == u'"') {
                inQuotes = false;
            } else {
                cell += c;
            }
            continue;
        }
        if (c == u'"' && cell.trimmed().isEmpty() && !quoted) {
            cell.clear();
            inQuotes = true;
            quoted = true;
        } else if (c == separator) {
            endCell();
        } else if (c == u'\r' || c == u'\n') {
            endRow();
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            if (maxRows > 0 && out.rows.size() >= maxRows)
                return out;
        } else {
            cell += c;
        }
        if (cells > MaxTableCells) {
            out.tooLarge = true;
            return out;
        }
    }
    out.unclosedQuote = inQuotes;
    if (!cell.isEmpty() || quoted || !row.isEmpty())
        endRow();
    return out;
}

// How many of the sample's lines split into the most common number of cells, when that number is two or more.
int SeparatorScore(const QString& text, QChar separator)
{
    const Cells sample = SplitCells(text, separator, SeparatorSampleLines * 4);
    std::map<qsizetype, int> counts;
    int lines = 0;
    for (const QStringList& row : sample.rows) {
        if (row.isEmpty())
            continue;
        ++counts[row.size()];
        if (++lines == SeparatorSampleLines)
            break;
    }
    int best = 0;
    for (const auto& [size, count] : counts) {
        if (size >= 2)
            best = std::max(best, count);
    }
    return best;
}

QString SeparatorName(QChar separator)
{
    return separator == u'\t'  ? QStringLiteral("tab")
           : separator == u';' ? QStringLiteral("semicolon")
                               : QStringLiteral("comma");
}

// A comma is the decimal separator where semicolons or tabs separate the cells and more numbers are written with
// a comma than with a point.
QChar DecimalOf(const QList<QStringList>& rows, QChar separator)
{
    if (separator == u',')
        return u'.';
    static const QRegularExpression withComma(QStringLiteral("^[+-]?\\d*,\\d+$"));
    static const QRegularExpression withPoint(QStringLiteral("^[+-]?\\d*\\.\\d+$"));
    int commas = 0;
    int points = 0;
    for (const QStringList& row : rows.mid(0, DecimalSampleRows)) {
        for (const QString& cell : row) {
            commas += withComma.match(cell).hasMatch() ? 1 : 0;
            points += withPoint.match(cell).hasMatch() ? 1 : 0;
        }
    }
    return commas > points ? QChar(u',') : QChar(u'.');
}

int NumbersIn(const QStringList& row, QChar decimal)
{
    return static_cast<int>(
        std::count_if(row.begin(), row.end(), [&](const QString& cell) { return ExportNumber(cell, decimal); }));
}

QString LayoutKey(const MeterTable& table)
{
    static const QRegularExpression digits(QStringLiteral("\\d+"));
    QStringList titles;
    for (const QStringList& row : table.rows) {
        if (NumbersIn(row, table.decimal) >= 2)
            break;
        if (!row.isEmpty())
            titles = row;
    }
    for (QString& title : titles)
        title = QString(title).remove(digits).simplified();
    return SeparatorName(table.separator) + u'|' + QString::number(table.columnCount) + u'|' + titles.join(u'|');
}

// The table seen along the mapping's lines: a line is a column (bands in a column) or a row, a place across it is
// a row or a column.
class Lines {
public:
    Lines(const MeterTable& table, TableMapping::Bands bands)
        : m_table(table), m_inColumn(bands == TableMapping::Bands::InColumn)
    {
    }
    int count() const { return m_inColumn ? m_table.columnCount : static_cast<int>(m_table.rows.size()); }
    int across() const { return m_inColumn ? static_cast<int>(m_table.rows.size()) : m_table.columnCount; }
    QString cell(int line, int place) const
    {
        return m_inColumn ? m_table.cell(place, line) : m_table.cell(line, place);
    }
    std::optional<double> number(int line, int place) const
    {
        return m_inColumn ? m_table.number(place, line) : m_table.number(line, place);
    }
    // "C12", as a spreadsheet names the cell.
    QString cellName(int line, int place) const
    {
        const int row = m_inColumn ? place : line;
        const int column = m_inColumn ? line : place;
        return ColumnLetters(column + 1) + QString::number(row + 1);
    }
    // "column C", "row 4"; a line the table does not have by its number ("column number 30").
    QString lineName(int line) const
    {
        if (line < 0 || line >= count())
            return (m_inColumn ? QStringLiteral("column number ") : QStringLiteral("row ")) +
                   QString::number(qint64(line) + 1);
        return m_inColumn ? QStringLiteral("column ") + ColumnLetters(line + 1)
                          : QStringLiteral("row ") + QString::number(line + 1);
    }

private:
    const MeterTable& m_table;
    bool m_inColumn;
};

QString Capitalised(QString text)
{
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}

using GridPlaces = std::array<int, GridBands>;  // the place across the band line of each grid band

// The grid bands along a band line, or why they are not all there once.
std::variant<GridPlaces, QString> BandPlaces(const Lines& lines, int bandLine)
{
    GridPlaces places;
    places.fill(-1);
    for (int place = 0; place < lines.across(); ++place) {
        const QString text = lines.cell(bandLine, place);
        const std::optional<double> hz = BandLabelHz(text);
        if (!hz)
            continue;
        const std::optional<int> band = ThirdOctaveBand(*hz);
        if (!band)
            return QStringLiteral("Cell %1 holds \"%2\", which is no 1/3-octave band.")
                .arg(lines.cellName(bandLine, place), text);
        if (*band < GridFirstBand || *band > GridLastBand)
            continue;
        int& at = places[*band - GridFirstBand];
        if (at >= 0)
            return QStringLiteral("Cells %1 and %2 both hold the band %3.")
                .arg(lines.cellName(bandLine, at), lines.cellName(bandLine, place), GridBandName(*band));
        at = place;
    }
    QList<int> missing;
    for (int k = 0; k < GridBands; ++k) {
        if (places[k] < 0)
            missing << GridFirstBand + k;
    }
    if (!missing.isEmpty())
        return QStringLiteral("%1 has no band %2; KOV needs every band from 160 Hz to 8000 Hz.")
            .arg(Capitalised(lines.lineName(bandLine)), GridBandList(missing));
    return places;
}

}  // namespace

QString MeterTable::cell(int row, int column) const
{
    if (row < 0 || row >= rows.size() || column < 0 || column >= rows[row].size())
        return {};
    return rows[row][column];
}

std::optional<double> MeterTable::number(int row, int column) const
{
    return ExportNumber(cell(row, column), decimal);
}

std::variant<MeterTable, Message> ParseMeterTable(const QByteArray& bytes)
{
    const ExportText text = DecodeExportText(bytes);
    if (text.text.trimmed().isEmpty())
        return ExportRefusal(QStringLiteral("The file is empty."));
    QChar separator;
    int best = 0;
    for (const QChar candidate : Separators) {
        const int score = SeparatorScore(text.text, candidate);
        if (score > best) {
            best = score;
            separator = candidate;
        }
    }
    if (best == 0)
        return ExportRefusal(
            QStringLiteral("KOV finds no table in the file: no line of it is split into cells by "
                           "commas, semicolons or tabs."));
    Cells cells = SplitCells(text.text, separator);
    if (cells.tooLarge)
        return ExportRefusal(QStringLiteral("The table has more than a million cells; KOV reads tables of levels."));
    if (cells.unclosedQuote)
        return ExportRefusal(QStringLiteral("The table has a double quote that is never closed."));

    MeterTable table;
    table.rows = std::move(cells.rows);
    while (!table.rows.isEmpty() && table.rows.back().isEmpty())
        table.rows.removeLast();
    table.separator = separator;
    table.decimal = DecimalOf(table.rows, separator);
    table.encoding = text.encoding;
    int numbers = 0;
    for (const QStringList& row : table.rows) {
        table.columnCount = std::max(table.columnCount, static_cast<int>(row.size()));
        numbers += NumbersIn(row, table.decimal);
    }
    if (numbers < GridBands)
        return ExportRefusal(QStringLiteral("The table holds %1 numbers; a test needs the levels of %2 bands.")
                                 .arg(numbers)
                                 .arg(GridBands));
    table.layoutKey = LayoutKey(table);
    return table;
}

MeterImport TableTests(const MeterTable& table, const TableMapping& mapping)
{
    const Lines lines(table, mapping.bands);
    const QString kind =
        mapping.bands == TableMapping::Bands::InColumn ? QStringLiteral("column") : QStringLiteral("row");
    if (mapping.levelLines.isEmpty())
        return ExportRefusal(QStringLiteral("No %1 of levels was chosen.").arg(kind));
    if (mapping.levelLines.size() > GridTests)
        return ExportRefusal(QStringLiteral("%1 %2s of levels were chosen; the grid holds ten tests.")
                                 .arg(mapping.levelLines.size())
                                 .arg(kind));
    const auto exists = [&](int line) { return line >= 0 && line < lines.count(); };
    if (!exists(mapping.bandLine))
        return ExportRefusal(QStringLiteral("The table has no %1.").arg(lines.lineName(mapping.bandLine)));
    for (int i = 0; i < mapping.levelLines.size(); ++i) {
        const int line = mapping.levelLines[i];
        if (!exists(line))
            return ExportRefusal(QStringLiteral("The table has no %1.").arg(lines.lineName(line)));
        if (line == mapping.bandLine)
            return ExportRefusal(
                QStringLiteral("The bands are in %1; it cannot hold levels too.").arg(lines.lineName(line)));
        if (mapping.levelLines.indexOf(line) != i)
            return ExportRefusal(QStringLiteral("%1 is chosen twice.").arg(Capitalised(lines.lineName(line))));
    }
    const auto places = BandPlaces(lines, mapping.bandLine);
    if (const QString* why = std::get_if<QString>(&places))
        return ExportRefusal(*why);
    const GridPlaces& at = std::get<GridPlaces>(places);

    MeterTests tests;
    for (const int line : mapping.levelLines) {
        ++tests.count;
        for (int k = 0; k < GridBands; ++k) {
            const QString text = lines.cell(line, at[k]);
            const std::optional<double> level = lines.number(line, at[k]);
            if (!level)
                return ExportRefusal(
                    text.isEmpty() ? QStringLiteral("Cell %1 (%2) is empty.")
                                         .arg(lines.cellName(line, at[k]), GridBandName(GridFirstBand + k))
                                   : QStringLiteral("Cell %1 (%2) holds \"%3\", which is no level.")
                                         .arg(lines.cellName(line, at[k]), GridBandName(GridFirstBand + k), text));
            const std::optional<f32> single = GridLevel(*level);
            if (!single)
                return ExportRefusal(
                    QStringLiteral("Cell %1 (%2) holds %3 dB; KOV takes levels between 0 and 100 dB.")
                        .arg(lines.cellName(line, at[k]), GridBandName(GridFirstBand + k), ShownNumber(*level)));
            tests.levels(tests.count, k + 1) = *single;
        }
    }
    return tests;
}

std::optional<TableMapping> SuggestTableMapping(const MeterTable& table)
{
    for (const TableMapping::Bands bands : {TableMapping::Bands::InColumn, TableMapping::Bands::InRow}) {
        const Lines lines(table, bands);
        for (int bandLine = 0; bandLine < lines.count(); ++bandLine) {
            const auto places = BandPlaces(lines, bandLine);
            const GridPlaces* at = std::get_if<GridPlaces>(&places);
            if (!at)
                continue;
            TableMapping mapping{bands, bandLine, {}};
            for (int line = 0; line < lines.count() && mapping.levelLines.size() < GridTests; ++line) {
                const bool levels = line != bandLine && std::all_of(at->begin(), at->end(), [&](int place) {
                                        const std::optional<double> v = lines.number(line, place);
                                        return v && GridLevel(*v);
                                    });
                if (levels)
                    mapping.levelLines << line;
            }
            if (!mapping.levelLines.isEmpty())
                return mapping;
        }
    }
    return std::nullopt;
}

}  // namespace kov
