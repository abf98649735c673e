#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>
#include <tuple>

#include "core/LumoData.h"
#include "core/Numbers.h"
#include "core/Tables.h"
#include "masking/MaskPlots.h"
#include "masking/SpectrumPlot.h"

namespace kov {
namespace {

constexpr QRgb Marker = qRgb(255, 0, 255);

// Images hold the plot at an offset inside a marked border, so anything painted past the plot's edge shows.
constexpr int Offset = 10;
constexpr int PlotWidth = 17 * 20;  // 20 px per band

BandArray Flat(f32 level)
{
    BandArray a;
    a.fill(level);
    return a;
}

QImage MarkedImage(int plotHeight)
{
    QImage image(PlotWidth + 2 * Offset, plotHeight + 2 * Offset, QImage::Format_RGB32);
    image.fill(Marker);
    return image;
}

QRectF PlotRect(int plotHeight)
{
    return QRectF(Offset, Offset, PlotWidth, plotHeight);
}

QImage RenderGoal(const BandArray& goal)
{
    QImage image = MarkedImage(70 * 3);
    QPainter p(&image);
    PlotRenderer r(&p, PlotRect(70 * 3), GoalPlotScale);
    DrawGoalSpectrum(r, goal);
    return image;
}

QImage RenderFit(const BandArray& goal, const BandArray& measured)
{
    QImage image = MarkedImage(40 * 5);
    QPainter p(&image);
    PlotRenderer r(&p, PlotRect(40 * 5), FitPlotScale);
    DrawFitPlot(r, goal, measured);
    return image;
}

int Column(double band)
{
    return Offset + static_cast<int>(std::lround((band - 22) * 20));
}
int GoalRow(double level)
{
    return Offset + static_cast<int>(std::lround((70 - level) * 3));
}
int FitRow(double level)
{
    return Offset + static_cast<int>(std::lround((60 - level) * 5));
}

bool Near(QRgb a, QRgb b, int tolerance = 60)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

// Whether a pixel near (x, y) has the colour: an antialiased 2 px line may fall a pixel either way.
bool ColourAround(const QImage& image, int x, int y, QRgb colour)
{
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            const QPoint p(x + dx, y + dy);
            if (image.rect().contains(p) && Near(image.pixel(p), colour)) {
                return true;
            }
        }
    }
    return false;
}

// Pixels of the image for which counts(x, y, colour) holds.
template <typename Pred>
int CountPixels(const QImage& image, Pred counts)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            n += counts(x, y, image.pixel(x, y)) ? 1 : 0;
    }
    return n;
}

int CountOutsidePlot(const QImage& image, const QRectF& plot, QRgb colour)
{
    const auto outside = [&](int x, int y, QRgb c) {
        return !plot.contains(QPointF(x + 0.5, y + 0.5)) && Near(c, colour);
    };
    return CountPixels(image, outside);
}

TEST(SpectrumPlotRenderer, BandLinesAreTwoPixelsAtOctavesAndOneElsewhereAndLevelLinesOfEachPlot)
{
    // Flat goal at 35 dB and a fit plot with nothing in its range keep the sampled rows free of curves.
    const QImage goal = RenderGoal(Flat(35));
    const QImage fit = RenderFit(Flat(10), Flat(10));
    for (const auto& [image, row] : {std::pair{&goal, GoalRow(65)}, {&fit, FitRow(55)}}) {
        for (int band = 23; band <= 38; ++band) {
            SCOPED_TRACE(band);
            const int x = Column(band);
            const bool octave = band % 3 == 0;
            EXPECT_EQ(image->pixel(x, row), GridColour);
            EXPECT_EQ(image->pixel(x - 1, row), octave ? GridColour : PlotBackground);
            EXPECT_EQ(image->pixel(x + 1, row), PlotBackground);
            EXPECT_EQ(image->pixel(x - 2, row), PlotBackground);
        }
        // No band lines on the plot's edges.
        EXPECT_EQ(image->pixel(Column(22), row), PlotBackground);
        EXPECT_EQ(image->pixel(Column(39) - 1, row), PlotBackground);
    }

    // The level lines, sampled where no curve runs.
    const QImage below = RenderGoal(Flat(-20));
    const int x = Column(22.5);
    // (image, its row of a level, level, whether a line stands there)
    const std::tuple<const QImage*, int (*)(double), int, bool> cases[] = {
        {&below, GoalRow, 10, true},  {&below, GoalRow, 30, true}, {&below, GoalRow, 60, true},
        {&below, GoalRow, 65, false}, {&below, GoalRow, 5, false}, {&fit, FitRow, 30, true},
        {&fit, FitRow, 40, true},     {&fit, FitRow, 50, true},    {&fit, FitRow, 25, false},
        {&fit, FitRow, 55, false},
    };
    for (const auto& [image, rowOf, level, line] : cases) {
        SCOPED_TRACE(level);
        const int y = rowOf(level);
        EXPECT_EQ(image->pixel(x, y), line ? GridColour : PlotBackground);
        EXPECT_EQ(image->pixel(x, y - 1), PlotBackground);
        EXPECT_EQ(image->pixel(x, y + 1), PlotBackground);
    }
    // The top and bottom edges are the plot's limits, not grid lines.
    EXPECT_EQ(below.pixel(x, Offset), PlotBackground);
    EXPECT_EQ(below.pixel(x, Offset + 70 * 3 - 1), PlotBackground);
    EXPECT_EQ(fit.pixel(x, Offset), PlotBackground);
}

TEST(SpectrumPlotRenderer, GoalIsDrawnYellowTwoPixelsWideUpToSeventyAndOffTheTop)
{
    const QImage image = RenderGoal(Flat(35));
    const int x = Column(22.5);
    const int y = GoalRow(35);
    EXPECT_EQ(image.pixel(x, y - 1), GoalColour);
    EXPECT_EQ(image.pixel(x, y), GoalColour);
    EXPECT_EQ(image.pixel(x, y - 3), PlotBackground);
    EXPECT_EQ(image.pixel(x, y + 2), PlotBackground);
    // The curve lies over the grid line it crosses.
    EXPECT_EQ(image.pixel(Column(24), y), GoalColour);

    BandArray sloped = Flat(40);
    sloped(26) = 60;
    const QImage s = RenderGoal(sloped);
    EXPECT_TRUE(ColourAround(s, Column(25.5), GoalRow(50), GoalColour));
    EXPECT_TRUE(ColourAround(s, Column(26.5), GoalRow(50), GoalColour));
    EXPECT_FALSE(ColourAround(s, Column(25.5), GoalRow(40), GoalColour));

    BandArray high = Flat(40);
    high(30) = 70;
    high(34) = 80;
    const QImage top = RenderGoal(high);
    EXPECT_TRUE(ColourAround(top, Column(30), Offset + 1, GoalColour));
    // 29 dB above 40 on the way up to 80 is 70: the curve leaves the plot there.
    EXPECT_TRUE(ColourAround(top, Column(33.75), Offset + 1, GoalColour));
    EXPECT_EQ(CountOutsidePlot(top, PlotRect(70 * 3), GoalColour), 0);
    EXPECT_EQ(top.pixel(Column(34), Offset - 1), Marker);
}

TEST(SpectrumPlotRenderer, FitPlotLeavesOutSegmentsEndingAtSixtyOrMoreAndClipsBelowTwenty)
{
    for (const auto& [level, drawn] : {std::pair{59.9f, true}, {60.0f, false}, {75.0f, false}}) {
        SCOPED_TRACE(level);
        BandArray goal = Flat(40);
        goal(30) = level;
        BandArray measured = Flat(10);
        measured(34) = level;
        measured(33) = 30;
        measured(35) = 30;
        const QImage image = RenderFit(goal, measured);
        const double midGoal = (40 + level) / 2;
        EXPECT_EQ(ColourAround(image, Column(29.5), FitRow(midGoal), GoalColour), drawn);
        // The segment that starts at the high value ends at 40: drawn either way.
        EXPECT_TRUE(ColourAround(image, Column(30.5), FitRow(midGoal), GoalColour));
        const double midMeasured = (30 + level) / 2;
        EXPECT_EQ(ColourAround(image, Column(33.5), FitRow(midMeasured), MeasuredColour), drawn);
        EXPECT_TRUE(ColourAround(image, Column(34.5), FitRow(midMeasured), MeasuredColour));
    }

    // Levels below twenty are clipped to the plot.
    BandArray measured = Flat(40);
    measured(30) = 0;
    const QImage image = RenderFit(Flat(45), measured);
    // From 40 dB at band 29 to 0 at band 30 the curve crosses the bottom edge (20 dB) half way.
    EXPECT_TRUE(ColourAround(image, Column(29.5), Offset + 40 * 5 - 1, MeasuredColour));
    EXPECT_EQ(CountOutsidePlot(image, PlotRect(40 * 5), MeasuredColour), 0);
    EXPECT_EQ(image.pixel(Column(29.5), Offset + 40 * 5), Marker);
    EXPECT_TRUE(ColourAround(image, Column(25), FitRow(45), GoalColour));
    EXPECT_TRUE(ColourAround(image, Column(25), FitRow(40), MeasuredColour));
}

// The axis texts and the frames need the band frequencies.
class WithTables : public ::testing::Test {
protected:
    void SetUp() override { InitTables(d); }
    LumoData d;
};
using AxisTexts = WithTables;
using PlotWidgets = WithTables;

TEST_F(AxisTexts, NumbersAndFrequenciesOfEachPlot)
{
    // Goal plot 3162 high: 3162 * 10 / 70 = 451.7, a level step of 452 twips (rounded, not cut).
    const int g = 150 + 3162 - 100;
    // Fit plot 5111 wide and 3003 high do not divide: band steps of 300 (5111 div 17), level steps of 750 (3003 div
    // 4), half width 2555.
    const int f = 150 + 3003 - 100;
    // (the texts, as expected)
    const std::pair<QList<AxisText>, QList<AxisText>> plots[] = {
        // clang-format off
        {SpectrumAxisTexts({600, 150, 5100, 3162}, d.BandFreq),
         {{"0", 300, g}, {"10", 300, g - 452}, {"20", 300, g - 904}, {"30", 300, g - 1356}, {"40", 300, g - 1808},
          {"50", 300, g - 2260}, {"60", 300, g - 2712}, {"70", 300, g - 3164},
          {"250", 600 + 2 * 300 - 120, g + 150}, {"500", 600 + 5 * 300 - 120, g + 150},
          {"1000", 600 + 8 * 300 - 150, g + 150}, {"2000", 600 + 11 * 300 - 150, g + 150},
          {"4000", 600 + 14 * 300 - 150, g + 150}, {"8000", 600 + 17 * 300 - 150, g + 150},
          {"Frequency", 600 + 2550 - 450, g + 300}}},
        {FitAxisTexts({420, 150, 5111, 3003}, d.BandFreq),
         {{"20", 120, f}, {"30", 120, f - 750}, {"40", 120, f - 1500}, {"50", 120, f - 2250}, {"60", 120, f - 3000},
          {"250", 420 + 600 - 120, f + 150}, {"500", 420 + 1500 - 120, f + 150}, {"1000", 420 + 2400 - 150, f + 150},
          {"2000", 420 + 3300 - 150, f + 150}, {"4000", 420 + 4200 - 150, f + 150},
          {"8000", 420 + 5100 - 150, f + 150}, {"Frequency", 420 + 2555 - 450, f + 300}}},
        // clang-format on
    };
    for (const auto& [texts, expected] : plots)
        EXPECT_EQ(texts, expected);
}

// 50 dB at 160 Hz falling 5 dB per octave, and a measured spectrum around it that drops away at the top.
BandArray RealisticGoal()
{
    BandArray goal;
    for (int b = FirstDataBand; b <= LastDataBand; ++b) {
        goal(b) = static_cast<f32>(std::round((50.0 - (b - 22) * 5.0 / 3.0) * 10) / 10);
    }
    return goal;
}

BandArray RealisticMeasured()
{
    const BandArray goal = RealisticGoal();
    static const double deviation[] = {-4.5, -2.0, 1.5, 3.0, 2.0,  0.5,  1.0,  2.5,  1.0,
                                       -0.5, 0.5,  1.5, 0.0, -1.5, -3.0, -5.0, -8.0, -12.0};
    BandArray measured;
    for (int b = FirstDataBand; b <= LastDataBand; ++b) {
        measured(b) = static_cast<f32>(goal(b) + deviation[b - FirstDataBand]);
    }
    return measured;
}

// QTest moves the pointer without a button through the cursor, which reaches only shown windows; these frames are
// never shown.
void SendMove(QWidget* w, QPointF at)
{
    QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &move);
}

// Dark text pixels in the frame's left margin, where the level numbers stand.
int TextPixelsLeftOfPlot(QWidget* frame, QWidget* plot)
{
    return CountPixels(frame->grab().toImage(), [&](int x, int, QRgb c) { return x < plot->x() && qGray(c) < 100; });
}

TEST_F(PlotWidgets, FramesHoldTheirPlotsAtTheTwipMargins)
{
    GoalPlotFrame goalFrame(d.BandFreq);
    FitPlotFrame fitFrame(d.BandFreq);
    ASSERT_DOUBLE_EQ(goalFrame.pixelsPerTwip(), 1.0 / 15);
    EXPECT_EQ(goalFrame.objectName(), "PicSpecFrame");
    EXPECT_EQ(goalFrame.findChild<GoalSpectrumPlot*>("PicSpectrum"), goalFrame.plot());
    EXPECT_NE(goalFrame.findChild<QLabel*>("BoxFLevel"), nullptr);
    EXPECT_EQ(fitFrame.objectName(), "PicErrFrame");
    EXPECT_EQ(fitFrame.findChild<FitPlot*>("PicErr"), fitFrame.plot());
    EXPECT_NE(fitFrame.findChild<QLabel*>("BoxLevel1"), nullptr);
    EXPECT_NE(fitFrame.findChild<QLabel*>("BoxLevel2"), nullptr);

    EXPECT_EQ(goalFrame.plot()->geometry(), QRect(28, 10, 340, 210));
    const TwipRect t = goalFrame.plotTwips();
    EXPECT_EQ((QList<int>{t.left, t.top, t.width, t.height}), (QList<int>{420, 150, 5100, 3150}));
    fitFrame.show();
    fitFrame.resize(600, 400);
    EXPECT_EQ(fitFrame.plot()->geometry(), QRect(28, 10, 600 - 28 - 24, 400 - 10 - 30));
    EXPECT_EQ(fitFrame.axisTexts(), FitAxisTexts(fitFrame.plotTwips(), d.BandFreq));
}

TEST_F(PlotWidgets, PlotsPaintThroughTheRendererAndNumberTheirAxesWhenAsked)
{
    GoalPlotFrame frame(d.BandFreq);
    GoalSpectrumPlot* plot = frame.plot();
    EXPECT_EQ(plot->grab().toImage().pixel(100, 100), PlotBackground);
    plot->drawGoalSpectrum(Flat(35));
    const QImage image = plot->grab().toImage();
    EXPECT_EQ(image.pixel(40, 20), GridColour);
    EXPECT_EQ(image.pixel(39, 20), GridColour);
    EXPECT_EQ(image.pixel(10, 105), GoalColour);

    FitPlotFrame fitFrame(d.BandFreq);
    BandArray measured = Flat(45);
    measured(25) = 60;
    fitFrame.plot()->drawFitPlot(Flat(35), measured);
    const QImage fit = fitFrame.plot()->grab().toImage();
    EXPECT_EQ(fit.pixel(10, 125), GoalColour);
    EXPECT_EQ(fit.pixel(10, 75), MeasuredColour);
    EXPECT_EQ(fit.pixel(50, 75), PlotBackground);  // segment 24 -> 25 ends at 60

    // The axis numbers appear when asked.
    GoalPlotFrame goalFrame(d.BandFreq);
    goalFrame.plot()->drawGoalSpectrum(RealisticGoal());
    fitFrame.plot()->drawFitPlot(RealisticGoal(), RealisticMeasured());
    EXPECT_EQ(TextPixelsLeftOfPlot(&goalFrame, goalFrame.plot()), 0);
    EXPECT_EQ(TextPixelsLeftOfPlot(&fitFrame, fitFrame.plot()), 0);
    goalFrame.labelSpectrumAxes();
    fitFrame.labelFitAxes();
    EXPECT_TRUE(goalFrame.axesLabelled());
    EXPECT_GT(TextPixelsLeftOfPlot(&goalFrame, goalFrame.plot()), 50);
    EXPECT_GT(TextPixelsLeftOfPlot(&fitFrame, fitFrame.plot()), 50);
}

TEST_F(PlotWidgets, GoalReadoutFollowsThePointerWhileAnEntryIsChosen)
{
    GoalPlotFrame frame(d.BandFreq);
    GoalSpectrumPlot* plot = frame.plot();
    QLabel* box = plot->readout();
    BandArray goal = RealisticGoal();
    goal(30) = 45.5f;
    plot->drawGoalSpectrum(goal);

    SendMove(plot, QPointF(164, 90));  // band 30.2, 40 dB
    EXPECT_TRUE(box->text().isEmpty());
    EXPECT_TRUE(box->isHidden());

    plot->setEntryChosen(true);
    SendMove(plot, QPointF(164, 90));
    EXPECT_EQ(box->text(), "45.5");
    EXPECT_FALSE(box->isHidden());
    EXPECT_EQ(box->x(), (28 - 22) * 20);
    EXPECT_NEAR(box->geometry().bottom() + 1, 90, 1);

    SendMove(plot, QPointF(20, 150));  // band 23: the place two bands left is kept inside the plot
    EXPECT_EQ(box->text(), PlainNumber(goal(23)));
    EXPECT_EQ(box->x(), 0);

    plot->setEntryChosen(false);
    EXPECT_TRUE(box->text().isEmpty());
    SendMove(plot, QPointF(164, 90));
    EXPECT_TRUE(box->text().isEmpty());
}

TEST_F(PlotWidgets, FitReadoutsStandAtTheLevelsAndEmptyBesideThePlot)
{
    FitPlotFrame frame(d.BandFreq);
    FitPlot* plot = frame.plot();
    QLabel* box1 = plot->goalReadout();
    QLabel* box2 = plot->measuredReadout();
    BandArray goal = Flat(40);
    BandArray measured = Flat(30);
    goal(30) = 44.5f;
    measured(30) = 35.5f;
    goal(38) = 50;
    measured(38) = 30;
    plot->drawFitPlot(goal, measured);

    // The plot is 340 x 200: 20 px a band from band 22, 5 px a decibel down from 60 dB.
    ASSERT_EQ(plot->size(), QSize(340, 200));
    const auto x = [](double band) { return (band - 22) * 20; };
    const auto y = [](double level) { return (60 - level) * 5; };
    // (the pointer's band, the two texts, the band the boxes stand at, the two levels)
    const std::tuple<double, const char*, const char*, double, f32, f32> cases[] = {
        {30.3, "44", "36", 30, 44.5f, 35.5f}, {37.6, "50", "30", 37, 50, 30}};
    for (const auto& [band, text1, text2, left, level1, level2] : cases) {
        SCOPED_TRACE(band);
        SendMove(plot, QPointF(x(band), 100));
        EXPECT_EQ(box1->text(), text1);
        EXPECT_EQ(box2->text(), text2);
        EXPECT_EQ(box1->x(), x(left));
        EXPECT_EQ(box2->x(), box1->x());
        EXPECT_NEAR(box1->geometry().bottom() + 1, y(level1), 1);
        EXPECT_NEAR(box2->geometry().bottom() + 1, y(level2) - box1->height() - 5, 1);
    }

    SendMove(&frame, QPointF(5, 5));
    EXPECT_TRUE(box1->text().isEmpty());
    EXPECT_TRUE(box2->text().isEmpty());
    EXPECT_TRUE(box1->isHidden());
}

}  // namespace
}  // namespace kov
