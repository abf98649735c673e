#pragma once

#include <QList>
#include <QWidget>

#include "core/Clock.h"
#include "core/Indexed.h"
#include "core/LumoData.h"
#include "core/LumoWindow.h"
#include "core/Prompter.h"
#include "paging/PagingSettings.h"
#include "paging/PagingSpectrum.h"
#include "plot/PlotWidgets.h"

class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QStackedWidget;

namespace kov {

// ---- The paging plot ---------------------------------------------------------------------------------------

// Bands 22..39 across, 80 dB at the top down to 20 dB.
inline constexpr PlotScale PagingPlotScale{FirstDataBand, LastDataBand, 80, 20};
inline constexpr QRgb PagingGridColour = qRgb(128, 128, 128);  // dark grey, darker than the masking plots' grid
inline constexpr QRgb PagingBackgroundColour = qRgb(255, 255, 0);
inline constexpr QRgb PagingSpectrumColour = qRgb(0, 255, 255);

// The grid (levels 30..70, bands 23..38), then the curves that are given.
void DrawPagingGrid(PlotRenderer& r);
void DrawPagingSpectra(PlotRenderer& r, const BandArray* background, const BandArray* paging);
// The level numbers 20..80 left of the plot, the octave frequencies and "Frequency" below it.
QList<AxisText> PagingAxisTexts(const TwipRect& plot, const BandTableI16& bandFreq);

// `PicErr` of the Page window. It keeps what it was last told to draw and paints that.
class PagingPlot : public QWidget {
    Q_OBJECT

public:
    explicit PagingPlot(QWidget* parent = nullptr);

    // The ground alone.
    void clearPlot();
    // The grid and the background in yellow; the paging spectrum goes.
    void drawBackground(const BandArray& background);
    // The paging spectrum in cyan over what is there.
    void drawPaging(const BandArray& paging);

    bool gridDrawn() const { return m_grid; }
    bool backgroundDrawn() const { return m_hasBackground; }
    bool pagingDrawn() const { return m_hasPaging; }
    const BandArray& background() const { return m_background; }
    const BandArray& paging() const { return m_paging; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    BandArray m_background;
    BandArray m_paging;
    bool m_grid = false;
    bool m_hasBackground = false;
    bool m_hasPaging = false;
};

// The frame around PicErr with the axis numbers.
class PagingPlotFrame : public PlotFrame {
    Q_OBJECT

public:
    explicit PagingPlotFrame(const BandTableI16& bandFreq, QWidget* parent = nullptr);

    PagingPlot* plot() const { return m_plot; }
    void drawPagingAxes() { labelAxes(); }

private:
    PagingPlot* m_plot;
};

// ---- The window --------------------------------------------------------------------------------------------

// Page: the paging spectrum of one paging channel (CurrentChannel, 1 or 2) over a chosen background, its
// intelligibility and the generator's paging settings. It works on the paging working set, loaded when it is shown
// or comes back from another window of the program, and hands it back only when it closes with Done.
//
// Controls by name: the option frames FramCeil (OptSpkr_1..4) and FramMask (OptSpec_1..5); CmdCalculate, CmdEQSet,
// CmdNew, CmdDone, CmdCancel; the plot PicErr in PicErrFrame; Datprivacy_1 (beside LabPrivacy) and ListAI; LabNote.
// In the place of the plot, one of the settings frames: Fram120 (Dat120), FramData (DatFreq_22..39 under
// LabFreq_22..39, DatChan, LabGain, LabPFl, LabPFh) or FramMixer, whose row k (1..8) is LabEqName_k
// ("EQ Control k") followed by the three labels LabEqFreq_k, LabEqBW_k and LabEqLevel_k.
class Page : public LumoWindow {
    Q_OBJECT

public:
    // `main` is disabled while this window is open; it may be null where there is no main window. The clock paces
    // the drawing of the calculation.
    Page(LumoData& d, Prompter& prompter, Clock& clock, LumoMain* main, QWidget* parent = nullptr);

    int channel() const { return m_data.CurrentChannel; }
    bool calculating() const { return m_calculating; }
    // The background chosen for a paging channel (1..2).
    const BandArray& pageWork(int ch) const { return m_pageWork(ch); }
    PagingPlot* plot() const;

protected:
    void activate() override;
    void apply() override;
    QString exitTitle() const override { return QStringLiteral("KOV 2.0"); }
    bool busy() const override { return m_calculating; }

private:
    void buildWindow();
    QGroupBox* buildSpeakerFrame();
    QGroupBox* buildBackgroundFrame();
    QWidget* buildPlotPage();
    QWidget* buildSettingsPage();
    QGroupBox* buildTrebleFrame();
    QGroupBox* buildThirdOctaveFrame();
    QGroupBox* buildMixerFrame();

    bool channelKnown() const;
    void clearOptions();
    void chooseBackground(int option);
    void chooseSpeakerLocation(int location);
    void showChoice(const PagingChoice& choice);
    void calculate();
    void showStep(const PagingStep& step);
    void drawPagingSpectra(bool paced);
    void showSettings();
    void showSettingsFrame(SettingsFrame frame);

    LumoData& m_data;
    Clock& m_clock;
    // The background of each paging channel as last chosen here (bands 22..39).
    Indexed<BandArray, 1, 2> m_pageWork{};
    // False while activation puts the options back: their changes then are no choice of the person's.
    bool m_optionsReady = true;
    bool m_calculating = false;

    QGroupBox* m_framCeil = nullptr;
    QGroupBox* m_framMask = nullptr;
    Indexed<QRadioButton*, 1, SpeakerLocationCount> m_optSpkr{};
    Indexed<QRadioButton*, 1, BackgroundOptionCount> m_optSpec{};
    QStackedWidget* m_area = nullptr;
    QWidget* m_plotPage = nullptr;
    QWidget* m_settingsPage = nullptr;
    PagingPlotFrame* m_picErrFrame = nullptr;
    QLabel* m_datPrivacy = nullptr;
    QListWidget* m_listAI = nullptr;
    QLabel* m_labNote = nullptr;

    QGroupBox* m_fram120 = nullptr;
    QLabel* m_dat120 = nullptr;
    QGroupBox* m_framData = nullptr;
    Indexed<QLabel*, FirstDataBand, LastDataBand> m_datFreq{};
    QLabel* m_datChan = nullptr;
    QLabel* m_labGain = nullptr;
    QLabel* m_labPFl = nullptr;
    QLabel* m_labPFh = nullptr;
    QGroupBox* m_framMixer = nullptr;
    Indexed<QLabel*, 1, MixerControlCount> m_eqFreq{};
    Indexed<QLabel*, 1, MixerControlCount> m_eqWidth{};
    Indexed<QLabel*, 1, MixerControlCount> m_eqLevel{};

    QPushButton* m_cmdCalculate = nullptr;
    QPushButton* m_cmdEQSet = nullptr;
    QPushButton* m_cmdNew = nullptr;
    QPushButton* m_cmdDone = nullptr;
    QPushButton* m_cmdCancel = nullptr;
};

}  // namespace kov
