#include <QRegularExpression>

#include <variant>

#include "meters/MeterExports.h"

namespace kov {

namespace {

const QString ResultsHeading = QStringLiteral("RTA Results");

// The RTA results as the report lays them out, whichever way round: the band of each line of bands, and each
// quantity's cell texts at those lines.
struct ReportResults {
    QList<int> bands;  // band number of the i-th band line
    QStringList quantities;
    QList<QStringList> values;  // values[q][i]: quantity q at band line i
};

using ResultsRead = std::variant<ReportResults, QString>;  // or why they cannot be read

QString CellAt(const QList<QStringList>& rows, int row, int column)
{
    if (row < 0 || row >= rows.size() || column < 0 || column >= rows[row].size())
        return {};
    return rows[row][column];
}

bool IsBandHeading(const QString& cell)
{
    static const QRegularExpression heading(QStringLiteral("^band\\s*\\[\\s*hz\\s*\\]:?$"),
                                            QRegularExpression::CaseInsensitiveOption);
    return heading.match(cell).hasMatch();
}

// A cell that can name a quantity: a word, not a unit ("[dB]") and not a number.
bool IsName(const QString& cell)
{
    return !cell.isEmpty() && !cell.startsWith(u'[') && !ExportNumberEitherDecimal(cell);
}

// The band of one band cell: nothing for a cell that is no frequency (empty, a unit, a total's name), an error for
// a frequency that is no 1/3-octave band.
std::variant<std::monostate, int, QString> BandOfCell(const QString& cell)
{
    if (cell.startsWith(u'['))
        return std::monostate{};
    const std::optional<double> hz = BandLabelHz(cell);
    if (!hz)
        return std::monostate{};
    const std::optional<int> band = ThirdOctaveBand(*hz);
    if (!band)
        return QStringLiteral(
                   "The band \"%1\" of the RTA results is no 1/3-octave band; KOV reads 1/3-octave "
                   "spectra only.")
            .arg(cell);
    return *band;
}

ResultsRead ReadResults(const QByteArray& bytes)
{
    const QStringList lines = ExportLines(DecodeExportText(bytes).text);
    int heading = -1;
    int headings = 0;
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.startsWith(u'#') && line.mid(1).trimmed().startsWith(ResultsHeading, Qt::CaseInsensitive)) {
            if (headings++ == 0)
                heading = i;
        }
    }
    if (headings == 0)
        return QStringLiteral("The file has no \"# RTA Results\" section of a spectrum report.");
    if (headings > 1)
        return QStringLiteral("The file has %1 \"# RTA Results\" sections; KOV reads a report of one.").arg(headings);

    // The results run to the next line that begins with '#', the "#CheckSum" that closes them.
    QList<QStringList> rows;
    for (int i = heading + 1; i < lines.size() && !lines[i].trimmed().startsWith(u'#'); ++i) {
        QStringList cells = lines[i].split(u'\t');
        for (QString& cell : cells)
            cell = cell.trimmed();
        rows.append(cells);
    }

    int bandRow = -1;
    int bandColumn = -1;
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows[r].size(); ++c) {
            if (!IsBandHeading(rows[r][c]))
                continue;
            if (bandRow >= 0)
                return QStringLiteral("The RTA results have more than one \"Band [Hz]\" heading.");
            bandRow = r;
            bandColumn = c;
        }
    }
    if (bandRow < 0)
        return QStringLiteral("The RTA results have no \"Band [Hz]\" heading over their band frequencies.");

    int down = 0;
    for (int r = bandRow + 1; r < rows.size(); ++r)
        down += BandLabelHz(CellAt(rows, r, bandColumn)) ? 1 : 0;
    int across = 0;
    for (int c = bandColumn + 1; c < rows[bandRow].size(); ++c)
        across += BandLabelHz(rows[bandRow][c]) ? 1 : 0;
    const bool bandsDown = down >= 2 && across == 0;
    const bool bandsAcross = across >= 2 && down == 0;
    if (!bandsDown && !bandsAcross)
        return QStringLiteral(
            "KOV cannot tell how the RTA results are laid out: it finds band frequencies neither only down the "
            "\"Band [Hz]\" column nor only along its row.");

    ReportResults results;
    QList<int> bandLines;  // row (bands down) or column (bands across) of each band
    const int lastLine = bandsDown ? static_cast<int>(rows.size()) - 1 : static_cast<int>(rows[bandRow].size()) - 1;
    for (int line = (bandsDown ? bandRow : bandColumn) + 1; line <= lastLine; ++line) {
        const QString cell = bandsDown ? CellAt(rows, line, bandColumn) : CellAt(rows, bandRow, line);
        const auto band = BandOfCell(cell);
        if (const QString* error = std::get_if<QString>(&band))
            return *error;
        if (const int* b = std::get_if<int>(&band)) {
            if (results.bands.contains(*b))
                return QStringLiteral("The RTA results hold the band %1 twice.")
                    .arg(*b >= GridFirstBand && *b <= GridLastBand ? GridBandName(*b)
                                                                   : QStringLiteral("\"%1\"").arg(cell));
            results.bands.append(*b);
            bandLines.append(line);
        }
    }

    if (bandsDown) {
        // Each column's quantity is named in the heading rows just above the band rows: the row of names, the
        // "Band [Hz]" row itself, or above a units row between them.
        int columns = 0;
        for (const QStringList& row : rows)
            columns = std::max(columns, static_cast<int>(row.size()));
        for (int c = 0; c < columns; ++c) {
            if (c == bandColumn)
                continue;
            QString name;
            for (int r = bandRow; r >= std::max(0, bandRow - 2) && name.isEmpty(); --r) {
                if (IsName(CellAt(rows, r, c)))
                    name = CellAt(rows, r, c);
            }
            if (name.isEmpty())
                continue;
            QStringList values;
            for (const int r : bandLines)
                values << CellAt(rows, r, c);
            results.quantities << name;
            results.values << values;
        }
    } else {
        // Each row below the bands is one quantity, named at its left.
        for (int r = bandRow + 1; r < rows.size(); ++r) {
            QString name;
            for (int c = bandColumn; c >= 0 && name.isEmpty(); --c) {
                if (IsName(CellAt(rows, r, c)))
                    name = CellAt(rows, r, c);
            }
            if (name.isEmpty())
                continue;
            QStringList values;
            for (const int c : bandLines)
                values << CellAt(rows, r, c);
            results.quantities << name;
            results.values << values;
        }
    }
    if (results.quantities.isEmpty())
        return QStringLiteral("The RTA results name no quantity (such as LZeq) beside their levels.");

    QList<int> missing;
    for (int b = GridFirstBand; b <= GridLastBand; ++b) {
        if (!results.bands.contains(b))
            missing << b;
    }
    if (!missing.isEmpty())
        return QStringLiteral("The RTA results have no band %1; KOV needs every band from 160 Hz to 8000 Hz.")
            .arg(GridBandList(missing));
    return results;
}

// The grid holds band levels as measured: an A- or C-weighted spectrum would have the weighting counted twice
// when the program weights the average, so only an equivalent level without them is taken unasked.
bool IsUnweightedLeq(const QString& name)
{
    return name.endsWith(QStringLiteral("eq"), Qt::CaseInsensitive) &&
           !name.startsWith(QStringLiteral("LA"), Qt::CaseInsensitive) &&
           !name.startsWith(QStringLiteral("LC"), Qt::CaseInsensitive);
}

QString QuantityList(const QStringList& quantities)
{
    if (quantities.size() <= 1)
        return quantities.join(QString());
    QStringList first = quantities;
    const QString last = first.takeLast();
    return first.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

}  // namespace

QStringList SpectrumReportQuantities(const QByteArray& bytes)
{
    const ResultsRead read = ReadResults(bytes);
    if (const ReportResults* results = std::get_if<ReportResults>(&read))
        return results->quantities;
    return {};
}

MeterImport ParseSpectrumReport(const QByteArray& bytes, const QString& quantity)
{
    const ResultsRead read = ReadResults(bytes);
    if (const QString* why = std::get_if<QString>(&read))
        return ExportRefusal(*why);
    const ReportResults& results = std::get<ReportResults>(read);

    int q = -1;
    for (int i = 0; i < results.quantities.size() && q < 0; ++i) {
        const QString& name = results.quantities[i];
        if (quantity.trimmed().isEmpty() ? IsUnweightedLeq(name)
                                         : name.compare(quantity.trimmed(), Qt::CaseInsensitive) == 0)
            q = i;
    }
    if (q < 0 && quantity.trimmed().isEmpty())
        return ExportRefusal(
            QStringLiteral("The report holds no unweighted equivalent level (LZeq or Leq); it holds %1.")
                .arg(QuantityList(results.quantities)));
    if (q < 0)
        return ExportRefusal(QStringLiteral("The report holds no %1; it holds %2.")
                                 .arg(quantity.trimmed(), QuantityList(results.quantities)));

    const QString& name = results.quantities[q];
    MeterTests tests;
    tests.count = 1;
    for (int i = 0; i < results.bands.size(); ++i) {
        const int band = results.bands[i];
        if (band < GridFirstBand || band > GridLastBand)
            continue;
        const QString& text = results.values[q][i];
        const std::optional<double> level = ExportNumberEitherDecimal(text);
        if (!level)
            return ExportRefusal(text.isEmpty()
                                     ? QStringLiteral("The %1 level of %2 is empty.").arg(name, GridBandName(band))
                                     : QStringLiteral("The %1 level of %2 reads \"%3\", which is no level.")
                                           .arg(name, GridBandName(band), text));
        const std::optional<f32> single = GridLevel(*level);
        if (!single)
            return ExportRefusal(QStringLiteral("The %1 level of %2 is %3 dB; KOV takes levels between 0 and 100 dB.")
                                     .arg(name, GridBandName(band), ShownNumber(*level)));
        tests.levels(1, band - GridFirstBand + 1) = *single;
    }
    return tests;
}

}  // namespace kov
