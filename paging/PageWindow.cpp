#include "paging/PageWindow.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "core/EqFile.h"
#include "core/LongWork.h"
#include "core/Message.h"
#include "core/Numbers.h"
#include "core/ProjectCommands.h"

namespace kov {

// ---- The paging plot ---------------------------------------------------------------------------------------

void DrawPagingGrid(PlotRenderer& r)
{
    for (int level = 30; level <= 70; level += 10)
        r.horizontalLine(level, FirstDataBand, LastDataBand, 1, PagingGridColour);
    for (int band = FirstDataBand + 1; band <= LastDataBand - 1; ++band)
        r.verticalLine(band, PagingPlotScale.top, PagingPlotScale.bottom, 1, PagingGridColour);
}

void DrawPagingSpectra(PlotRenderer& r, const BandArray* background, const BandArray* paging)
{
    DrawPagingGrid(r);
    if (background != nullptr)
        DrawSpectrum(r, *background, PagingBackgroundColour);
    if (paging != nullptr)
        DrawSpectrum(r, *paging, PagingSpectrumColour);
}

QList<AxisText> PagingAxisTexts(const TwipRect& plot, const BandTableI16& bandFreq)
{
    QList<AxisText> out;
    const double span = PagingPlotScale.top - PagingPlotScale.bottom;
    for (int level = 20; level <= 80; level += 10) {
        const int raise = static_cast<int>(RoundHalfEven(plot.height * (level - PagingPlotScale.bottom) / span, 0));
        out.append(LevelNumberText(plot, FormatNumber(level, QStringLiteral("##")), raise));
    }
    out.append(FrequencyTexts(plot, bandFreq));
    return out;
}

PagingPlot::PagingPlot(QWidget* parent) : QWidget(parent)
{
    PreparePlot(this, QStringLiteral("PicErr"));
}

void PagingPlot::clearPlot()
{
    m_grid = false;
    m_hasBackground = false;
    m_hasPaging = false;
    update();
}

void PagingPlot::drawBackground(const BandArray& background)
{
    m_background = background;
    m_grid = true;
    m_hasBackground = true;
    m_hasPaging = false;
    update();
}

void PagingPlot::drawPaging(const BandArray& paging)
{
    m_paging = paging;
    m_grid = true;
    m_hasPaging = true;
    update();
}

void PagingPlot::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PlotRenderer r(&painter, QRectF(rect()), PagingPlotScale);
    r.clear();
    if (m_grid)
        DrawPagingSpectra(r, m_hasBackground ? &m_background : nullptr, m_hasPaging ? &m_paging : nullptr);
}

// A whole number of pixels per band and per dB, so that the grid falls evenly.
PagingPlotFrame::PagingPlotFrame(const BandTableI16& bandFreq, QWidget* parent)
    : PlotFrame(new PagingPlot, QSize(17 * 20, 60 * 4), &PagingAxisTexts, bandFreq, parent),
      m_plot(static_cast<PagingPlot*>(plotWidget()))
{
    setObjectName(QStringLiteral("PicErrFrame"));
}

// ---- The window --------------------------------------------------------------------------------------------

namespace {

QLabel* Label(QWidget* parent, const QString& name, const QString& text = QString())
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

// A value the installer reads off and sets on the generator: framed, so that an empty one still shows its place.
QLabel* Value(QWidget* parent, const QString& name, const QString& widest)
{
    QLabel* l = Label(parent, name);
    l->setFrameShape(QFrame::StyledPanel);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    l->setMinimumWidth(l->fontMetrics().horizontalAdvance(widest) + 10);
    return l;
}

QPushButton* Button(QWidget* parent, const QString& name, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(true);
    return b;
}

// The third-octave boxes in two rows of nine, each under its band's frequency.
constexpr int BandsPerRow = 9;

}  // namespace

Page::Page(LumoData& d, Prompter& prompter, Clock& clock, LumoMain* main, QWidget* parent)
    : LumoWindow(prompter, main, parent), m_data(d), m_clock(clock)
{
    setObjectName(QStringLiteral("Page"));
    setWindowTitle(QStringLiteral("Setting Paging Equalizer Corrections for Channel"));
    buildWindow();
}

PagingPlot* Page::plot() const
{
    return m_picErrFrame->plot();
}

void Page::buildWindow()
{
    auto* options = new QVBoxLayout;
    options->addWidget(buildSpeakerFrame());
    options->addWidget(buildBackgroundFrame());
    options->addStretch();

    m_area = new QStackedWidget(this);
    m_area->setObjectName(QStringLiteral("PageArea"));
    m_area->addWidget(buildPlotPage());
    m_area->addWidget(buildSettingsPage());

    auto* results = new QVBoxLayout;
    auto* level = new QHBoxLayout;
    level->addWidget(Label(this, QStringLiteral("LabPrivacy"), QStringLiteral("A-Weighted Level, dB")));
    m_datPrivacy = Value(this, QStringLiteral("Datprivacy_1"), QStringLiteral("888"));
    level->addWidget(m_datPrivacy);
    level->addStretch();
    m_listAI = new QListWidget(this);
    m_listAI->setObjectName(QStringLiteral("ListAI"));
    m_listAI->setSelectionMode(QAbstractItemView::NoSelection);
    m_listAI->setFocusPolicy(Qt::NoFocus);
    m_listAI->setFixedWidth(m_listAI->fontMetrics().horizontalAdvance(QStringLiteral("A-Weighted Level, dB 888")) + 24);
    // One width whatever takes the plot's place, so that the list does not jump when the settings are shown.
    QSizePolicy keep(QSizePolicy::Fixed, QSizePolicy::Expanding);
    keep.setRetainSizeWhenHidden(true);
    m_listAI->setSizePolicy(keep);
    results->addLayout(level);
    results->addWidget(m_listAI, 1);

    auto* top = new QHBoxLayout;
    top->addLayout(options);
    top->addWidget(m_area, 1);
    top->addLayout(results);

    m_labNote = Label(this, QStringLiteral("LabNote"));
    m_labNote->setWordWrap(true);
    m_labNote->setMinimumHeight(2 * m_labNote->fontMetrics().lineSpacing());
    m_labNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QSizePolicy noteKeep = m_labNote->sizePolicy();
    noteKeep.setRetainSizeWhenHidden(true);
    m_labNote->setSizePolicy(noteKeep);

    m_cmdCalculate = Button(this, QStringLiteral("CmdCalculate"), QStringLiteral("Calculate"));
    m_cmdEQSet = Button(this, QStringLiteral("CmdEQSet"), QStringLiteral("Show Settings"));
    m_cmdNew = Button(this, QStringLiteral("CmdNew"), QStringLiteral("Start Over"));
    m_cmdDone = Button(this, QStringLiteral("CmdDone"), QStringLiteral("Done"));
    m_cmdCancel = Button(this, QStringLiteral("CmdCancel"), QStringLiteral("Cancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_cmdCalculate);
    buttons->addWidget(m_cmdEQSet);
    buttons->addWidget(m_cmdNew);
    buttons->addStretch();
    buttons->addWidget(m_cmdDone);
    buttons->addWidget(m_cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);
    layout->addLayout(top, 1);
    layout->addWidget(m_labNote);
    layout->addLayout(buttons);

    connect(m_cmdCalculate, &QPushButton::clicked, this, &Page::calculate);
    connect(m_cmdEQSet, &QPushButton::clicked, this, &Page::showSettings);
    connect(m_cmdNew, &QPushButton::clicked, this, &Page::activate);
    connect(m_cmdDone, &QPushButton::clicked, this, &LumoWindow::requestDone);
    connect(m_cmdCancel, &QPushButton::clicked, this, &LumoWindow::requestCancel);
}

QGroupBox* Page::buildSpeakerFrame()
{
    m_framCeil = new QGroupBox(QStringLiteral("Speaker Location"), this);
    m_framCeil->setObjectName(QStringLiteral("FramCeil"));
    auto* box = new QVBoxLayout(m_framCeil);
    for (int i = 1; i <= SpeakerLocationCount; ++i) {
        m_optSpkr(i) = new QRadioButton(SpeakerLocationCaption(i), m_framCeil);
        m_optSpkr(i)->setObjectName(QStringLiteral("OptSpkr_%1").arg(i));
        box->addWidget(m_optSpkr(i));
        // Toggled rather than clicked: activation's resetting passes here too, and OptionsReady must hold it off.
        connect(m_optSpkr(i), &QRadioButton::toggled, this, [this, i](bool on) {
            if (on && m_optionsReady)
                chooseSpeakerLocation(i);
        });
    }
    return m_framCeil;
}

QGroupBox* Page::buildBackgroundFrame()
{
    m_framMask = new QGroupBox(QStringLiteral("Masking Spectrum"), this);
    m_framMask->setObjectName(QStringLiteral("FramMask"));
    auto* box = new QVBoxLayout(m_framMask);
    for (int i = 1; i <= BackgroundOptionCount; ++i) {
        m_optSpec(i) = new QRadioButton(m_framMask);
        m_optSpec(i)->setObjectName(QStringLiteral("OptSpec_%1").arg(i));
        box->addWidget(m_optSpec(i));
        connect(m_optSpec(i), &QRadioButton::toggled, this, [this, i](bool on) {
            if (on && m_optionsReady)
                chooseBackground(i);
        });
    }
    return m_framMask;
}

QWidget* Page::buildPlotPage()
{
    m_plotPage = new QWidget(this);
    m_plotPage->setObjectName(QStringLiteral("PlotPage"));
    m_picErrFrame = new PagingPlotFrame(m_data.BandFreq, m_plotPage);
    m_picErrFrame->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    auto* layout = new QVBoxLayout(m_plotPage);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_picErrFrame, 1);
    return m_plotPage;
}

QWidget* Page::buildSettingsPage()
{
    m_settingsPage = new QWidget(this);
    m_settingsPage->setObjectName(QStringLiteral("SettingsPage"));
    auto* layout = new QVBoxLayout(m_settingsPage);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(buildTrebleFrame());
    layout->addWidget(buildThirdOctaveFrame());
    layout->addWidget(buildMixerFrame());
    layout->addStretch();
    return m_settingsPage;
}

QGroupBox* Page::buildTrebleFrame()
{
    m_fram120 = new QGroupBox(QStringLiteral("VO120R Settings"), m_settingsPage);
    m_fram120->setObjectName(QStringLiteral("Fram120"));
    auto* row = new QHBoxLayout(m_fram120);
    row->addWidget(Label(m_fram120, QStringLiteral("LabTreble"), QStringLiteral("Treble Setting")));
    m_dat120 = Value(m_fram120, QStringLiteral("Dat120"), QStringLiteral("Set Straight Up"));
    row->addWidget(m_dat120);
    row->addStretch();
    return m_fram120;
}

QGroupBox* Page::buildThirdOctaveFrame()
{
    m_framData = new QGroupBox(QStringLiteral("1/3 Octave Settings"), m_settingsPage);
    m_framData->setObjectName(QStringLiteral("FramData"));
    auto* grid = new QGridLayout(m_framData);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(1);
    for (int b = FirstDataBand; b <= LastDataBand; ++b) {
        const int k = b - FirstDataBand;
        const int row = 2 * (k / BandsPerRow);
        const int col = k % BandsPerRow;
        QLabel* freq =
            Label(m_framData, QStringLiteral("LabFreq_%1").arg(b), PlainNumber(static_cast<f32>(m_data.BandFreq(b))));
        freq->setAlignment(Qt::AlignCenter);
        grid->addWidget(freq, row, col);
        m_datFreq(b) = Value(m_framData, QStringLiteral("DatFreq_%1").arg(b), QStringLiteral("+88.8"));
        m_datFreq(b)->setAlignment(Qt::AlignCenter);
        grid->addWidget(m_datFreq(b), row + 1, col);
    }
    // Where the generator's software asks for them: the channel, its paging level and the band's limits.
    const int below = 2 * ((LastDataBand - FirstDataBand) / BandsPerRow + 1);
    auto* figures = new QGridLayout;
    figures->setHorizontalSpacing(6);
    m_datChan = Value(m_framData, QStringLiteral("DatChan"), QStringLiteral("8"));
    m_labGain = Value(m_framData, QStringLiteral("LabGain"), QStringLiteral("888.8"));
    m_labPFl = Value(m_framData, QStringLiteral("LabPFl"), QStringLiteral("88888"));
    m_labPFh = Value(m_framData, QStringLiteral("LabPFh"), QStringLiteral("88888"));
    figures->addWidget(Label(m_framData, QStringLiteral("LabChanCaption"), QStringLiteral("Paging Channel")), 0, 0);
    figures->addWidget(m_datChan, 0, 1);
    figures->addWidget(Label(m_framData, QStringLiteral("LabGainCaption"), QStringLiteral("Paging Level, dBA")), 1, 0);
    figures->addWidget(m_labGain, 1, 1);
    figures->addWidget(Label(m_framData, QStringLiteral("LabPFlCaption"), QStringLiteral("Low Limit, Hz")), 0, 3);
    figures->addWidget(m_labPFl, 0, 4);
    figures->addWidget(Label(m_framData, QStringLiteral("LabPFhCaption"), QStringLiteral("High Limit, Hz")), 1, 3);
    figures->addWidget(m_labPFh, 1, 4);
    figures->setColumnMinimumWidth(2, 16);
    figures->setColumnStretch(5, 1);
    grid->addLayout(figures, below, 0, 1, BandsPerRow);
    grid->setRowMinimumHeight(below, 0);
    return m_framData;
}

QGroupBox* Page::buildMixerFrame()
{
    m_framMixer = new QGroupBox(QStringLiteral("MG24 Page Settings"), m_settingsPage);
    m_framMixer->setObjectName(QStringLiteral("FramMixer"));
    auto* grid = new QGridLayout(m_framMixer);
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(2);
    const QString widest = QStringLiteral("EQ Level =+88.8 dB");
    for (int k = 1; k <= MixerControlCount; ++k) {
        grid->addWidget(
            Label(m_framMixer, QStringLiteral("LabEqName_%1").arg(k), QStringLiteral("EQ Control %1").arg(k)), k - 1,
            0);
        m_eqFreq(k) = Label(m_framMixer, QStringLiteral("LabEqFreq_%1").arg(k));
        m_eqWidth(k) = Label(m_framMixer, QStringLiteral("LabEqBW_%1").arg(k));
        m_eqLevel(k) = Label(m_framMixer, QStringLiteral("LabEqLevel_%1").arg(k));
        for (QLabel* l : {m_eqFreq(k), m_eqWidth(k), m_eqLevel(k)})
            l->setMinimumWidth(l->fontMetrics().horizontalAdvance(widest) + 4);
        grid->addWidget(m_eqFreq(k), k - 1, 1);
        grid->addWidget(m_eqWidth(k), k - 1, 2);
        grid->addWidget(m_eqLevel(k), k - 1, 3);
    }
    grid->setColumnStretch(4, 1);
    return m_framMixer;
}

// ---- Activation ---------------------------------------------------------------------------------------------

bool Page::channelKnown() const
{
    return m_data.CurrentChannel >= 1 && m_data.CurrentChannel <= 2;
}

void Page::activate()
{
    if (!channelKnown()) {
        // Only the two paging items open this window; anything else has no paging channel to work on.
        abandon();
        return;
    }
    const int ch = m_data.CurrentChannel;
    const PagingStart start = ActivatePaging(m_data, ch);
    setWindowTitle(start.caption);
    m_pageWork(ch) = BandArray{};

    m_picErrFrame->plot()->clearPlot();
    m_listAI->clear();
    m_listAI->hide();
    m_datPrivacy->clear();
    m_picErrFrame->drawPagingAxes();
    showSettingsFrame(SettingsFrame::None);

    for (int i = 1; i <= BackgroundOptionCount; ++i) {
        m_optSpec(i)->setText(start.options(i).caption);
        m_optSpec(i)->setEnabled(start.options(i).enabled);
    }
    clearOptions();

    m_labNote->show();
    m_labNote->setText(start.note);
    m_cmdCalculate->setEnabled(false);
    m_cmdEQSet->setEnabled(false);
    m_cmdDone->setEnabled(false);
}

void Page::clearOptions()
{
    const QScopedValueRollback notReady(m_optionsReady, false);
    // Radio buttons of one frame keep one of them on; the frame lets go of that while they are all put off.
    const auto putOff = [](QRadioButton* b) {
        b->setAutoExclusive(false);
        b->setChecked(false);
        b->setAutoExclusive(true);
    };
    for (int i = 1; i <= SpeakerLocationCount; ++i)
        putOff(m_optSpkr(i));
    for (int i = 1; i <= BackgroundOptionCount; ++i)
        putOff(m_optSpec(i));
}

// ---- Choosing -----------------------------------------------------------------------------------------------

void Page::chooseBackground(int option)
{
    const int ch = m_data.CurrentChannel;
    const PagingChoice choice = ChooseBackground(m_data, ch, option);
    if (choice.unavailable) {
        // The spectrum now chosen holds nothing: an earlier background must not pass for it, neither on the plot
        // nor in a calculation that choosing the location would enable.
        m_pageWork(ch) = BandArray{};
        m_picErrFrame->plot()->clearPlot();
    }
    if (choice.background) {
        m_pageWork(ch) = *choice.background;
        m_picErrFrame->plot()->drawBackground(m_pageWork(ch));
    }
    showChoice(choice);
}

void Page::chooseSpeakerLocation(int location)
{
    const int ch = m_data.CurrentChannel;
    showChoice(ChooseSpeakerLocation(m_data, ch, location, m_pageWork(ch)));
}

void Page::showChoice(const PagingChoice& choice)
{
    showSettingsFrame(SettingsFrame::None);
    if (choice.unavailable)
        ShowMessage(prompter(), *choice.unavailable);
    m_labNote->show();
    m_labNote->setText(choice.note);
    m_cmdCalculate->setEnabled(choice.calculateEnabled);
    // What Show Settings and Done would act on belongs to the choices just changed.
    m_cmdEQSet->setEnabled(false);
    m_cmdDone->setEnabled(false);
}

// ---- The calculation ----------------------------------------------------------------------------------------

void Page::calculate()
{
    if (m_calculating || !channelKnown())
        return;
    const int ch = m_data.CurrentChannel;
    PagingEnd end;
    {
        const QScopedValueRollback running(m_calculating, true);
        m_cmdEQSet->setEnabled(false);
        m_cmdDone->setEnabled(false);
        showSettingsFrame(SettingsFrame::None);
        m_listAI->clear();
        m_listAI->show();
        m_listAI->addItem(ListAIHeading);

        PagingCalculation calc(m_data, ch, m_pageWork(ch));
        {
            // Nothing may act on a half-raised spectrum: the window's controls are off until it is done.
            const LongWork work(this);
            showStep(calc.start());
            drawPagingSpectra(false);
            while (calc.needsRaise()) {
                showStep(calc.raise());
                m_clock.letEventsRun();
                drawPagingSpectra(true);
            }
        }
        end = calc.done();
    }
    if (end.failure)
        ShowMessage(prompter(), *end.failure);
    if (end.note) {
        m_labNote->show();
        m_labNote->setText(*end.note);
    }
    m_cmdEQSet->setEnabled(end.reached);
    if (end.reached)
        m_cmdEQSet->setFocus(Qt::OtherFocusReason);
}

void Page::showStep(const PagingStep& step)
{
    m_datPrivacy->setText(step.levelText);
    if (step.listLine) {
        m_listAI->addItem(*step.listLine);
        m_listAI->scrollToBottom();
    }
}

void Page::drawPagingSpectra(bool paced)
{
    const int ch = m_data.CurrentChannel;
    BandArray paging;
    for (int b = FirstBand; b <= LastBand; ++b)
        paging(b) = m_data.PageSpectrumEdit(ch, b);
    PagingPlot* plot = m_picErrFrame->plot();
    plot->drawBackground(m_pageWork(ch));
    if (paced)
        WaitSeconds(m_clock, 0.05f);
    plot->drawPaging(paging);
    if (paced)
        WaitSeconds(m_clock, 0.05f);
}

// ---- Settings -----------------------------------------------------------------------------------------------

void Page::showSettingsFrame(SettingsFrame frame)
{
    m_fram120->setVisible(frame == SettingsFrame::Treble);
    m_framData->setVisible(frame == SettingsFrame::ThirdOctave);
    m_framMixer->setVisible(frame == SettingsFrame::Mixer);
    m_area->setCurrentWidget(frame == SettingsFrame::None ? m_plotPage : m_settingsPage);
}

void Page::showSettings()
{
    if (m_calculating || !channelKnown())
        return;
    const int ch = m_data.CurrentChannel;
    const PagingSettingsView view = ShowPagingSettings(m_data, ch);
    if (view.trebleText)
        m_dat120->setText(*view.trebleText);
    if (view.thirdOctave) {
        const Da2500Settings& s = *view.thirdOctave;
        for (int b = FirstDataBand; b <= LastDataBand; ++b)
            m_datFreq(b)->setText(s.bandTexts(b));
        m_datChan->setText(s.channelText);
        m_labGain->setText(s.levelText);
        m_labPFl->setText(s.lowText);
        m_labPFh->setText(s.highText);
    }
    if (view.mixer) {
        for (int k = 1; k <= MixerControlCount; ++k) {
            m_eqFreq(k)->setText((*view.mixer)(k).freq);
            m_eqWidth(k)->setText((*view.mixer)(k).width);
            m_eqLevel(k)->setText((*view.mixer)(k).level);
        }
    }
    showSettingsFrame(view.frame);
    if (view.note) {
        m_labNote->show();
        m_labNote->setText(*view.note);
    }
    if (view.hideNote)
        m_labNote->hide();
    m_cmdDone->setEnabled(view.doneEnabled);
    if (view.doneEnabled)
        m_cmdDone->setFocus(Qt::OtherFocusReason);
}

// ---- Closing ------------------------------------------------------------------------------------------------

void Page::apply()
{
    m_data.ProjectStage = 3;
    // The results go into the project set with or without a file name: dropped here they could never reach the
    // file that Save As writes later.
    StorePagingChannels(m_data);
    FinishEqualization(m_data, prompter(), 2);
}

}  // namespace kov
