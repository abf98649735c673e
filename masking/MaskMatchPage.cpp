#include <QCoreApplication>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QVBoxLayout>

#include "core/Levels.h"
#include "core/LongWork.h"
#include "core/Message.h"
#include "core/Numbers.h"
#include "core/Tables.h"
#include "masking/MaskMatchPage.h"
#include "masking/MaskWidgets.h"
#include "masking/SpectrumPlot.h"

namespace kov {

namespace {

inline const QString MatchCaption = QStringLiteral("Equalizer Corrections");
inline const QString NarrowMatchCaption = QStringLiteral("Corrections");

// The key of the plot in the plot's own colours.
QLabel* MakeKey(QWidget* parent, const QString& name, const QString& text, QRgb colour)
{
    QLabel* l = MakeLabel(parent, name, text);
    SetPlotColours(l, colour);
    l->setMargin(2);
    return l;
}

}  // namespace

MaskMatchPage::MaskMatchPage(LumoData& d, Prompter& prompter, Clock& clock, QWidget* parent)
    : QGroupBox(MatchCaption, parent), m_data(d), m_prompter(prompter), m_clock(clock)
{
    setObjectName(QStringLiteral("FramMatch"));
    m_correctionColumn = new QVBoxLayout;
    m_correctionColumn->addWidget(buildCorrectionTable());
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(m_correctionColumn);
    layout->addWidget(buildFitSide(), 1);
}

QWidget* MaskMatchPage::buildCorrectionTable()
{
    m_correctionTable = new QWidget(this);
    m_correctionTable->setObjectName(QStringLiteral("CorrectionTable"));
    auto* grid = new QGridLayout(m_correctionTable);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(1);
    grid->addWidget(MakeLabel(m_correctionTable, QStringLiteral("LabOneThird"), QStringLiteral("1/3 Octave, dB")), 0, 0,
                    1, 2);
    for (int b = FirstDataBand; b <= LastDataBand; ++b) {
        const int row = b - FirstDataBand + 1;
        QLabel* freq = MakeLabel(m_correctionTable, QStringLiteral("LabFreq_%1").arg(b),
                                 PlainNumber(static_cast<f32>(m_data.BandFreq(b))));
        freq->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(freq, row, 0);
        m_datFreq(b) = MakeValue(m_correctionTable, QStringLiteral("DatFreq_%1").arg(b), QStringLiteral("+88.8"));
        grid->addWidget(m_datFreq(b), row, 1);
        // After the fit, whether the band the generator will produce lies inside its tolerance.
        m_labMark(b) = MakeLabel(m_correctionTable, QStringLiteral("LabMark_%1").arg(b), QString());
        m_labMark(b)->setMinimumWidth(m_labMark(b)->fontMetrics().horizontalAdvance(BandMark(false)) + 2);
        grid->addWidget(m_labMark(b), row, 2);
    }
    grid->setRowStretch(LastDataBand - FirstDataBand + 2, 1);
    return m_correctionTable;
}

QWidget* MaskMatchPage::buildFitSide()
{
    m_fitSide = new QWidget(this);
    m_fitSide->setObjectName(QStringLiteral("FitSide"));

    m_picErrFrame = new FitPlotFrame(m_data.BandFreq, m_fitSide);
    m_picErrFrame->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    auto* key = new QHBoxLayout;
    key->addWidget(
        MakeKey(m_fitSide, QStringLiteral("LabBlue"), QStringLiteral("Blue=Measured spectrum"), MeasuredColour));
    key->addWidget(MakeKey(m_fitSide, QStringLiteral("LabYellow"), QStringLiteral("Yellow=Goal Spectrum"), GoalColour));
    key->addStretch();

    m_labInfo = MakeLabel(m_fitSide, QStringLiteral("LabInfo"),
                          QStringLiteral("Adjusting the high cut filter and the overall level."));
    QSizePolicy keep = m_labInfo->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    m_labInfo->setSizePolicy(keep);

    m_datFcOld = new QLineEdit(m_fitSide);
    m_datFcOld->setObjectName(QStringLiteral("DatFcOld"));
    m_datFcOld->setMaximumWidth(m_datFcOld->fontMetrics().horizontalAdvance(QStringLiteral("88888")) + 16);
    m_datFcOld->installEventFilter(this);
    m_cmdMatch =
        MakeButton(m_fitSide, QStringLiteral("CmdMatch"), QStringLiteral("Fit Measured Spectrum to Goal Spectrum"));
    auto* start = new QHBoxLayout;
    start->addWidget(MakeLabel(m_fitSide, QStringLiteral("LabFcOld"), QStringLiteral("Initial Low Pass, Hz")));
    start->addWidget(m_datFcOld);
    start->addStretch();

    m_datAWgt1 = MakeValue(m_fitSide, QStringLiteral("DatAWgt1"), QStringLiteral("888"));
    m_labAWgt2 = MakeLabel(m_fitSide, QStringLiteral("LabAWgt2"), QStringLiteral("Measured Level"));
    m_datAWgt2 = MakeValue(m_fitSide, QStringLiteral("DatAWgt2"), QStringLiteral("888"));
    m_labNewFc = MakeLabel(m_fitSide, QStringLiteral("LabNewFc"), QStringLiteral("Low Pass, Hz"));
    m_labFlNew = MakeValue(m_fitSide, QStringLiteral("LabFlNew"), QStringLiteral("88888"));
    m_labNewFh = MakeLabel(m_fitSide, QStringLiteral("LabNewFh"), QStringLiteral("High Pass, Hz"));
    m_labFhNew = MakeValue(m_fitSide, QStringLiteral("LabFhNew"), QStringLiteral("88888"));
    m_datLowPass = MakeValue(m_fitSide, QStringLiteral("DatLowPass"), QStringLiteral("888"));
    m_datHighPass = MakeValue(m_fitSide, QStringLiteral("DatHighPass"), QStringLiteral("888"));
    m_labGain = MakeValue(m_fitSide, QStringLiteral("LabGain"), QStringLiteral("+88.8"));
    m_datChan2 = MakeValue(m_fitSide, QStringLiteral("DatChan2"), QStringLiteral("8"));

    m_results = new QWidget(m_fitSide);
    m_results->setObjectName(QStringLiteral("FitResults"));
    m_resultCells = {
        {MakeLabel(m_results, QStringLiteral("LabAWgt1"), QStringLiteral("Goal Level")), m_datAWgt1},
        {m_labAWgt2, m_datAWgt2},
        {m_labNewFc, m_labFlNew},
        {m_labNewFh, m_labFhNew},
        {MakeLabel(m_results, QStringLiteral("LabLevel"), QStringLiteral("Level, dB")), m_labGain},
        {MakeLabel(m_results, QStringLiteral("LabChan2"), QStringLiteral("Channel")), m_datChan2},
        {MakeLabel(m_results, QStringLiteral("LabSlopeLow"), QStringLiteral("Slope")), m_datLowPass},
        {MakeLabel(m_results, QStringLiteral("LabSlopeHigh"), QStringLiteral("Slope")), m_datHighPass},
    };
    for (const auto& [caption, value] : m_resultCells) {
        caption->setParent(m_results);
        value->setParent(m_results);
    }
    auto* results = new QGridLayout(m_results);
    results->setContentsMargins(0, 0, 0, 0);
    results->setHorizontalSpacing(6);
    results->setVerticalSpacing(2);
    placeResults(false);

    // What the fit works with; the narrowed window leaves it out.
    m_fitWork = new QWidget(m_fitSide);
    m_fitWork->setObjectName(QStringLiteral("FitWork"));
    auto* work = new QVBoxLayout(m_fitWork);
    work->setContentsMargins(0, 0, 0, 0);
    work->setSpacing(4);
    work->addWidget(m_picErrFrame, 1);
    work->addLayout(key);
    work->addWidget(m_labInfo);
    work->addLayout(start);
    work->addWidget(m_cmdMatch);

    m_fitSideLayout = new QVBoxLayout(m_fitSide);
    m_fitSideLayout->setContentsMargins(0, 0, 0, 0);
    m_fitSideLayout->setSpacing(4);
    m_fitSideLayout->addWidget(m_fitWork, 1);
    m_fitSideLayout->addWidget(m_results);
    m_fitSideLayout->addWidget(buildProof());

    connect(m_datFcOld, &QLineEdit::textEdited, this, &MaskMatchPage::filterCutoffTyping);
    connect(m_datFcOld, &QLineEdit::returnPressed, this, &MaskMatchPage::leaveRequested);
    connect(m_cmdMatch, &QPushButton::clicked, this, &MaskMatchPage::fit);
    return m_fitSide;
}

QWidget* MaskMatchPage::buildProof()
{
    m_framProof = new QGroupBox(m_fitSide);
    m_framProof->setObjectName(QStringLiteral("FramProof"));
    m_labVerdict = MakeLabel(m_framProof, QStringLiteral("LabVerdict"), QString());
    QFont bold = m_labVerdict->font();
    bold.setBold(true);
    m_labVerdict->setFont(bold);
    m_labVerdict->setWordWrap(true);
    m_labFigures = MakeLabel(m_framProof, QStringLiteral("LabFigures"), QString());
    m_labFigures->setWordWrap(true);
    m_labSpread = MakeLabel(m_framProof, QStringLiteral("LabSpread"), QString());
    m_labSpread->setWordWrap(true);
    auto* layout = new QVBoxLayout(m_framProof);
    layout->setContentsMargins(6, 2, 6, 2);
    layout->setSpacing(1);
    layout->addWidget(m_labVerdict);
    layout->addWidget(m_labFigures);
    layout->addWidget(m_labSpread);
    return m_framProof;
}

void MaskMatchPage::setTolerance(const Tolerance& t)
{
    m_tolerance = t;
    m_picErrFrame->plot()->setTolerance(t.band);
    showProof();
}

// Before the fit the measurement is judged as it stands (a measurement made after the generator was set is the
// proof itself); after it, the spectrum the generator will produce with the settings found.
void MaskMatchPage::showProof()
{
    const int ch = m_data.CurrentChannel;
    if (ch < 1 || ch > 6)
        return;
    const BandArray goal = ChannelRow(m_data.MaskFinalEdit, ch);
    const BandArray result = m_fitDone ? ResultAfterFit(m_data.Generator, ChannelRow(m_data.MaskAverageEdit, ch),
                                                        ChannelRow(m_data.MaskCorrectionEdit, ch))
                                       : m_measured;
    const ChannelVerdict v = JudgeChannel(m_data, goal, m_measured, result, m_tolerance);
    m_framProof->setTitle(ToleranceText(m_tolerance));
    m_labVerdict->setText((m_fitDone ? QStringLiteral("After the fit: ") : QStringLiteral("As measured: ")) +
                          VerdictText(v, m_data.BandFreq));
    m_labFigures->setText(m_fitDone ? DeviationText(v, m_data.BandFreq)
                                    : QStringLiteral("Deviation from the goal: measured ") +
                                          FiguresText(v.before, m_data.BandFreq) + u'.');
    m_labSpread->setText(
        SpreadText(SpreadOfTests(m_data, m_tests, m_tolerance.position), m_tolerance.position, m_data.BandFreq));
    for (int b = FirstDataBand; b <= LastDataBand; ++b)
        m_labMark(b)->setText(m_fitDone ? BandMark(v.inside(b)) : QString());
}

void MaskMatchPage::reset()
{
    m_fitDone = false;
    m_levelBefore.reset();
    m_labInfo->hide();
    m_labAWgt2->setText(QStringLiteral("Measured Level"));
    if (m_data.Generator == GeneratorRUZ1200U) {
        m_labNewFc->setText(QStringLiteral("High Cut, Hz"));
        m_labNewFh->setText(QStringLiteral("Low Cut, Hz"));
    } else {
        m_labNewFc->setText(QStringLiteral("Low Pass, Hz"));
        m_labNewFh->setText(QStringLiteral("High Pass, Hz"));
    }
    m_cmdMatch->setEnabled(false);
    m_datFcOld->setEnabled(true);
    m_datChan2->setText(PlainNumber(static_cast<f32>(m_data.CurrentChannel)));
    setCorrectionsOnly(false);
    for (int b = FirstDataBand; b <= LastDataBand; ++b)
        m_labMark(b)->clear();
    setTolerance(ProjectTolerance(m_data));
}

void MaskMatchPage::setGoalLevelText(const QString& text)
{
    m_datAWgt1->setText(text);
}

void MaskMatchPage::setMeasuredLevelText(const QString& text)
{
    m_datAWgt2->setText(text);
}

void MaskMatchPage::enter()
{
    // The page taking over moves the focus through the cutoff box, which is no entry of a cutoff.
    const QScopedValueRollback entering(m_entering, true);
    const int ch = m_data.CurrentChannel;
    m_correctionTable->hide();
    m_picErrFrame->labelFitAxes();
    m_picErrFrame->plot()->drawFitPlot(ChannelRow(m_data.MaskFinalEdit, ch), ChannelRow(m_data.MaskAverageEdit, ch));
    m_measured = ChannelRow(m_data.MaskAverageEdit, ch);
    m_tests = ChannelTests(m_data.MaskTestEdit, m_data.MaskTestCountEdit(ch), ch);
    showProof();
    const FitStageEntry entry = EnterFitStage(m_data, ch);
    m_datAWgt2->setText(entry.levelText);
    m_datLowPass->setText(entry.lowPassSlopeText);
    m_datHighPass->setText(entry.highPassSlopeText);
    m_datChan2->setText(entry.channelText);
    if (entry.fitEnabled) {
        m_datFcOld->setText(entry.cutoffText);
        m_cmdMatch->setEnabled(true);
        m_cmdMatch->setFocus(Qt::OtherFocusReason);
    } else {
        m_datFcOld->setFocus(Qt::OtherFocusReason);
    }
    emit note(entry.note);
}

// The figures to set in two pairs of columns beside each other, or in one column under the corrections.
void MaskMatchPage::placeResults(bool oneColumn)
{
    auto* grid = static_cast<QGridLayout*>(m_results->layout());
    for (const auto& [caption, value] : m_resultCells) {
        grid->removeWidget(caption);
        grid->removeWidget(value);
    }
    // Side by side each slope stands beside its filter; in one column it follows it.
    constexpr int TwoColumns[] = {0, 1, 2, 3, 4, 5, 6, 7};
    constexpr int OneColumn[] = {0, 1, 4, 5, 2, 6, 3, 7};
    const int rows = oneColumn ? 8 : 4;
    for (int place = 0; place < 8; ++place) {
        const auto& [caption, value] =
            m_resultCells[static_cast<std::size_t>((oneColumn ? OneColumn : TwoColumns)[place])];
        const int column = 3 * (place / rows);
        grid->addWidget(caption, place % rows, column);
        grid->addWidget(value, place % rows, column + 1);
    }
    grid->setColumnMinimumWidth(2, oneColumn ? 0 : 12);
    grid->setColumnStretch(5, oneColumn ? 0 : 1);
}

void MaskMatchPage::setCorrectionsOnly(bool only)
{
    setTitle(only ? NarrowMatchCaption : MatchCaption);
    // The narrowed window keeps the gain, the filters and the channel under the corrections: the installer sets
    // those on the generator as well.
    if (only != (m_results->parentWidget() != m_fitSide)) {
        if (only) {
            m_fitSide->hide();
            m_fitSideLayout->removeWidget(m_results);
            m_correctionColumn->addWidget(m_results);
        } else {
            m_correctionColumn->removeWidget(m_results);
            m_fitSideLayout->addWidget(m_results);
        }
        // A widget moved to another parent stays hidden until told otherwise.
        m_results->show();
        placeResults(only);
    }
    m_fitSide->setVisible(!only);
}

bool MaskMatchPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_datFcOld && event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            leaveCutoff();
    }
    return QGroupBox::eventFilter(watched, event);
}

void MaskMatchPage::filterCutoffTyping()
{
    if (m_filteringCutoff)
        return;
    const QString text = m_datFcOld->text();
    if (text.isEmpty() || CheckAllowedChars(text, DigitsAndPoint) != 0)
        return;
    const QScopedValueRollback filtering(m_filteringCutoff, true);
    m_datFcOld->backspace();
}

void MaskMatchPage::leaveCutoff()
{
    if (m_entering || m_fitting)
        return;
    const CutoffEntry entry = EnterInitialCutoff(m_data, m_data.CurrentChannel, m_datFcOld->text(), m_fitDone);
    if (entry.refusal) {
        ShowMessage(m_prompter, *entry.refusal);
        // The refused text must not pass for the cutoff the fit will start from.
        m_datFcOld->setText(entry.cutoffText);
        return;
    }
    if (!entry.accepted)
        return;
    m_datFcOld->setText(entry.cutoffText);
    emit note(QString());
    m_cmdMatch->setEnabled(true);
    m_cmdMatch->setFocus(Qt::OtherFocusReason);
}

// ---- The fit ------------------------------------------------------------------------------------------------

void MaskMatchPage::fit()
{
    if (m_fitting)
        return;
    const int ch = m_data.CurrentChannel;
    {
        const QScopedValueRollback fitting(m_fitting, true);
        // The note asked for this fit; it no longer speaks to what the window shows.
        emit note(QString());
        m_labInfo->show();
        m_labAWgt2->setText(AdjustedLevelCaption);
        const FitResult result = RunFit(m_data, ch, m_goalLevel, m_levelBefore);
        {
            // Nothing may act on a half-fitted result: the window's controls are off until the fit is over.
            const LongWork work(window());
            animateFit(result.frames);
        }
        if (!m_levelBefore)
            m_levelBefore = result.levelBefore;
        ApplyFit(m_data, ch, result);
        showFitResult(result);
        emit fitFinished(result);
    }
}

void MaskMatchPage::animateFit(const std::vector<FitFrame>& frames)
{
    FitPlot* plot = m_picErrFrame->plot();
    const BandArray goal = ChannelRow(m_data.MaskFinalEdit, m_data.CurrentChannel);
    for (const FitFrame& frame : frames) {
        plot->drawFitPlot(goal, frame.adjusted);
        m_datAWgt2->setText(frame.levelText);
        WaitSeconds(m_clock, 0.2f);
        m_clock.letEventsRun();
    }
}

void MaskMatchPage::showFitResult(const FitResult& result)
{
    m_labAWgt2->setText(FinalLevelCaption);
    m_datAWgt2->setText(result.finalLevelText);
    m_labGain->setText(result.gainText);
    m_labFlNew->setText(result.cutoffText);
    m_labFhNew->setText(result.lowCutText);
    for (int b = FirstDataBand; b <= LastDataBand; ++b)
        m_datFreq(b)->setText(result.correctionTexts(b));
    if (result.rangeMessage)
        ShowMessage(m_prompter, *result.rangeMessage);
    m_fitDone = true;
    showProof();
    m_correctionTable->setVisible(result.showCorrectionTable);
    if (result.note)
        emit note(*result.note);
    m_labInfo->hide();
}

}  // namespace kov
