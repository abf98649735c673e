#include <gtest/gtest.h>

#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>

#include "masking/SpectrumPlot.h"
#include "masking/TestGrid.h"
#include "tests/masking/ui/MaskFixture.h"

namespace kov {
namespace {

constexpr int Entry = 1;

class MaskVerdictTest : public test::MaskFixture {
protected:
    // A DA2500 channel with two positions measured 1.5 dB above the goal's shape, a decibel apart, and the
    // project's band tolerance at 3 dB.
    void openChannel()
    {
        project(GeneratorDA2500, 1, false);
        d->MaskBandTolerance = 3;
        d->MaskSpectrumIndex(1) = Entry;
        d->MaskTestCount(1) = 2;
        for (int t = 1; t <= 2; ++t) {
            for (int k = 1; k <= GridBandCount; ++k) {
                const int b = GridIndexToBand(k);
                d->MaskTest(t, 1, b) = d->SpecLevel(Entry, b) + (t == 1 ? 1.0F : 2.0F);
            }
        }
        open(1);
    }
    QString marks() const
    {
        QString out;
        for (int b = FirstDataBand; b <= LastDataBand; ++b)
            out += text(QStringLiteral("LabMark_%1").arg(b));
        return out;
    }
};

TEST_F(MaskVerdictTest, TheToleranceBesideTheGoalJudgesTheChannelAndReachesTheProjectOnlyWithDone)
{
    openChannel();
    auto* band = c<QDoubleSpinBox>("DatBandTol");
    EXPECT_EQ(band->value(), 3.0);
    EXPECT_EQ(c<QDoubleSpinBox>("DatLevelTol")->value(), 0.5);
    band->setValue(1);
    c<QDoubleSpinBox>("DatPosMargin")->setValue(0.5);
    press("CmdPick");
    // Two positions a decibel apart: each stands half of it from the average, at the margin and not past it.
    EXPECT_EQ(text("LabGridSpread"),
              QStringLiteral("Widest spread 1.0 dB at 160 Hz. All tests within 0.5 dBA of the average."));
    press("CmdCalc");

    // As measured the channel stands 1.5 dB off in every band; no band is marked before the fit.
    EXPECT_TRUE(
        text("LabVerdict").startsWith(QStringLiteral("As measured: \u2718 FAILED: 18 bands outside \u00b11.0 dB")))
        << text("LabVerdict").toStdString();
    EXPECT_EQ(c<QGroupBox>("FramProof")->title(),
              QStringLiteral("Tolerance: \u00b11.0 dB per band, \u00b10.5 dBA overall"));
    EXPECT_EQ(marks(), QString());
    EXPECT_EQ(c<FitPlot>("PicErr")->tolerance(), 1.0F);
    EXPECT_TRUE(text("LabSpread").startsWith(QStringLiteral("Positions: 2 tests, widest spread 1.0 dB at 160 Hz;")))
        << text("LabSpread").toStdString();

    // The DA2500 sets every correction this fit asks for: the channel will stand on its goal.
    press("CmdMatch");
    EXPECT_EQ(text("LabVerdict"), QStringLiteral("After the fit: \u2714 PASSED"));
    EXPECT_EQ(marks(), QString(18, QChar(0x2714)));
    EXPECT_EQ(d->MaskBandTolerance, 3);

    prompter.answer(MsgAnswer::Ok);
    press("CmdDone");
    expectSaveAsOffered();
    EXPECT_EQ(d->MaskBandTolerance, 1);
    EXPECT_EQ(d->MaskLevelTolerance, 0.5F);
}

TEST_F(MaskVerdictTest, ACancelledVisitKeepsTheProjectsTolerance)
{
    openChannel();
    c<QDoubleSpinBox>("DatPosMargin")->setValue(4);
    prompter.answer(MsgAnswer::Ok);
    mask->close();
    expectClosed();
    EXPECT_EQ(d->MaskPositionMargin, 2);
    EXPECT_EQ(d->MaskBandTolerance, 3);
}

}  // namespace
}  // namespace kov
