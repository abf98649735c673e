#pragma once

#include <QGroupBox>
#include <optional>
#include <utility>
#include <vector>

#include "core/Clock.h"
#include "core/Indexed.h"
#include "core/LumoData.h"
#include "core/Prompter.h"
#include "core/Verdict.h"
#include "masking/Fit.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace kov {

class FitPlotFrame;

// The fit stage of the Mask window (FramMatch): the initial low-pass, the fit paced on the clock, and the gain,
// filters and 1/3-octave corrections it arrives at.
class MaskMatchPage : public QGroupBox {
    Q_OBJECT

public:
    MaskMatchPage(LumoData& d, Prompter& prompter, Clock& clock, QWidget* parent = nullptr);

    // Activation: captions of the product, nothing fitted yet in this visit.
    void reset();
    void setGoalLevel(f32 goalLevel) { m_goalLevel = goalLevel; }
    void setGoalLevelText(const QString& text);      // DatAWgt1
    void setMeasuredLevelText(const QString& text);  // DatAWgt2
    // After "Calculate": the plot of the stored average against the goal, and the cutoff to start from.
    void enter();
    // Only the corrections with the gain, filters and channel in one column under them, under the caption
    // "Corrections", for a window narrowed beside the generator's own software; or the whole page again.
    void setCorrectionsOnly(bool only);

    // The tolerances the channel is judged by, as the person set them in this visit (the project's at the start).
    const Tolerance& tolerance() const { return m_tolerance; }
    void setTolerance(const Tolerance& t);

    bool fitting() const { return m_fitting; }
    bool fitDone() const { return m_fitDone; }

signals:
    void note(const QString& text);
    // DatFcOld takes Enter as "done with this box": the focus leaves it, so that its value is checked.
    void leaveRequested();
    // The results are on the page and in the working set.
    void fitFinished(const FitResult& result);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildCorrectionTable();
    QWidget* buildFitSide();
    void filterCutoffTyping();
    void leaveCutoff();
    void fit();
    void animateFit(const std::vector<FitFrame>& frames);
    void showFitResult(const FitResult& result);
    void placeResults(bool oneColumn);
    QWidget* buildProof();
    void showProof();

    LumoData& m_data;
    Prompter& m_prompter;
    Clock& m_clock;
    f32 m_goalLevel = 0;
    bool m_fitDone = false;
    bool m_fitting = false;
    bool m_entering = false;
    bool m_filteringCutoff = false;
    // The level of the measured average before the first fit of this visit: a second fit goes on from the
    // adjusted spectrum, but the gain to set on the generator is still the whole way from the measurement.
    std::optional<f32> m_levelBefore;

    QWidget* m_correctionTable = nullptr;
    QWidget* m_fitSide = nullptr;
    QWidget* m_fitWork = nullptr;
    QWidget* m_results = nullptr;
    QVBoxLayout* m_correctionColumn = nullptr;
    QVBoxLayout* m_fitSideLayout = nullptr;
    // The figures the fit arrives at, caption and value, in reading order.
    std::vector<std::pair<QLabel*, QLabel*>> m_resultCells;
    FitPlotFrame* m_picErrFrame = nullptr;
    QLabel* m_labInfo = nullptr;
    QLineEdit* m_datFcOld = nullptr;
    QPushButton* m_cmdMatch = nullptr;
    QLabel* m_datAWgt1 = nullptr;
    QLabel* m_labAWgt2 = nullptr;
    QLabel* m_datAWgt2 = nullptr;
    QLabel* m_labNewFc = nullptr;
    QLabel* m_labFlNew = nullptr;
    QLabel* m_labNewFh = nullptr;
    QLabel* m_labFhNew = nullptr;
    QLabel* m_datLowPass = nullptr;
    QLabel* m_datHighPass = nullptr;
    QLabel* m_labGain = nullptr;
    QLabel* m_datChan2 = nullptr;
    Indexed<QLabel*, FirstDataBand, LastDataBand> m_datFreq{};

    // The proof of the channel: what it is judged by, the verdict, and the figures behind it.
    Tolerance m_tolerance;
    BandArray m_measured;  // the average as measured, before any fit of this visit
    std::vector<BandArray> m_tests;
    QGroupBox* m_framProof = nullptr;
    QLabel* m_labVerdict = nullptr;
    QLabel* m_labFigures = nullptr;
    QLabel* m_labSpread = nullptr;
    Indexed<QLabel*, FirstDataBand, LastDataBand> m_labMark{};
};

}  // namespace kov
