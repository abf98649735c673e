#include <QRegularExpression>

#include <cmath>
#include <vector>

#include "meters/MeterExports.h"

namespace kov {

namespace {

struct Point {
    double hz = 0;
    double level = 0;
};

// The values of one line: split at blanks, tabs and semicolons; a line that stays one piece is split at its commas
// ("20.0,78.1,-45"), so a comma is a decimal separator only where something else separates the values.
QStringList LineValues(const QString& line)
{
    static const QRegularExpression separators(QStringLiteral("[\\s;]+"));
    QStringList values = line.split(separators, Qt::SkipEmptyParts);
    if (values.size() == 1)
        values = values.front().split(u',', Qt::SkipEmptyParts);
    return values;
}

// A response's power at the band: see the header. `points` rise in frequency.
double BandPower(const std::vector<Point>& points, double low, double high, int& inside)
{
    double weighted = 0;
    double width = 0;
    inside = 0;
    const std::size_t n = points.size();
    for (std::size_t i = 0; i < n; ++i) {
        const double f = points[i].hz;
        if (f < low || f >= high)
            continue;
        const double from = i > 0 ? (points[i - 1].hz + f) / 2 : f;
        const double to = i + 1 < n ? (f + points[i + 1].hz) / 2 : f;
        const double w = std::min(to, high) - std::max(from, low);
        ++inside;
        weighted += w * std::pow(10.0, points[i].level / 10.0);
        width += w;
    }
    return width > 0 ? weighted / width : 0;
}

QString Hz(double hz)
{
    return ShownNumber(hz, 1) + QStringLiteral(" Hz");
}

}  // namespace

MeterImport ParseFrequencyResponse(const QByteArray& bytes)
{
    const QStringList lines = ExportLines(DecodeExportText(bytes).text);
    std::vector<Point> points;
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(u'*'))
            continue;
        const QStringList values = LineValues(line);
        std::optional<double> hz;
        std::optional<double> level;
        std::optional<double> phase = 0.0;
        if (values.size() >= 2) {
            hz = ExportNumberEitherDecimal(values[0]);
            level = ExportNumberEitherDecimal(values[1]);
        }
        if (values.size() == 3)
            phase = ExportNumberEitherDecimal(values[2]);
        const bool isPoint = (values.size() == 2 || values.size() == 3) && hz && level && phase;
        if (!isPoint) {
            // Column titles may stand above the points.
            if (points.empty() && !ExportNumberEitherDecimal(values.value(0)))
                continue;
            return ExportRefusal(
                QStringLiteral("Line %1 of the response is not a frequency, a level and an optional phase: \"%2\".")
                    .arg(i + 1)
                    .arg(line.left(60)));
        }
        if (*hz < 0 || (!points.empty() && *hz <= points.back().hz))
            return ExportRefusal(
                QStringLiteral("The frequencies of the response do not rise at line %1 (%2).").arg(i + 1).arg(Hz(*hz)));
        points.push_back({*hz, *level});
    }
    if (points.empty())
        return ExportRefusal(QStringLiteral("The file holds no frequency response (lines of frequency and level)."));

    const double from = BandLowerEdge(GridFirstBand);
    const double to = BandUpperEdge(GridLastBand);
    const QString covers = QStringLiteral(
                               "The response covers %1 to %2; KOV needs %3 to %4 (the bands 160 Hz to "
                               "8000 Hz).")
                               .arg(Hz(points.front().hz), Hz(points.back().hz), Hz(from), Hz(to));
    if (points.front().hz > from || points.back().hz < to)
        return ExportRefusal(covers);

    MeterTests tests;
    tests.count = 1;
    for (int band = GridFirstBand; band <= GridLastBand; ++band) {
        int inside = 0;
        const double power = BandPower(points, BandLowerEdge(band), BandUpperEdge(band), inside);
        if (inside == 0)
            return ExportRefusal(
                QStringLiteral("The response has no point within the band %1 (%2 to %3). %4")
                    .arg(GridBandName(band), Hz(BandLowerEdge(band)), Hz(BandUpperEdge(band)), covers));
        const double level = 10.0 * std::log10(power);
        const std::optional<f32> single = GridLevel(level);
        if (!single)
            return ExportRefusal(
                QStringLiteral("The band %1 of the response comes to %2 dB; KOV takes levels between 0 and 100 dB.")
                    .arg(GridBandName(band), ShownNumber(level)));
        tests.levels(1, band - GridFirstBand + 1) = *single;
    }
    return tests;
}

}  // namespace kov
