#pragma once

#include <QWidget>

#include "core/Clock.h"
#include "core/Indexed.h"
#include "core/LumoData.h"
#include "core/Prompter.h"
#include "masking/Fit.h"
#include "masking/Goal.h"
#include "masking/MaskCommon.h"
#include "masking/TestGrid.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QStackedWidget;

namespace kov {

class FitPlotFrame;
class GoalPlotFrame;
class LumoMain;

// Mask: equalizes one masking channel (CurrentChannel) in three stages that take turns in one place: the goal
// spectrum (FramSpec), the measured tests (FramData) and the fit with its corrections (FramMatch). The window
// works on the masking working set, which it reloads from the project set on every activation, and hands it
// back only when it closes with Done.
class Mask : public QWidget {
    Q_OBJECT

public:
    // `main` is disabled while this window is open; it may be null where there is no main window. The clock
    // paces the fit animation.
    Mask(LumoData& d, Prompter& prompter, Clock& clock, LumoMain* main, QWidget* parent = nullptr);

    // The meter downloads hand their levels over here once MaskTestCountEdit of the channel holds the number of
    // tests they fetched: the grid shows them and the averages follow.
    void RefreshGridAndAverage(const DownloadLevels& levels);

    int channel() const { return m_data.CurrentChannel; }
    const TestGrid& grid() const { return m_grid; }
    bool fitDone() const { return m_fitDone; }
    bool narrow() const { return m_narrow; }

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Set-up, activation and closing (MaskWindow.cpp).
    void buildWindow();
    void activate();
    void runActivation();
    bool askForMg24Folder();
    void showPage(QWidget* page);
    void showMessage(const MaskMessage& m);
    void done();
    void cancel();
    void enableMain();

    // The goal stage (MaskSpecPage.cpp).
    QWidget* buildSpecPage();
    void fillSpectrumList();
    void selectListEntry(int entry);
    void listItemChosen(QListWidgetItem* item);
    void selectGoal(int entry);
    void showGoal();
    void raiseGoal();
    void lowerGoal();
    void showGoalStep(const GoalStep& step);
    void pickGoal();

    // The grid stage (MaskGridPage.cpp).
    QWidget* buildDataPage();
    QWidget* buildGridTable();
    QWidget* buildDataButtons();
    void enterGridStage();
    void applyGridStep(const GridStep& step);
    void applyGridButtons(const GridButtons& buttons);
    void showGridTexts();
    void showTestColumns(int count);
    void focusGridTarget(const GridTarget& target);
    void setLevelTexts(const QString& text);
    int cellOf(QObject* watched) const;
    int testLabelOf(QObject* watched) const;
    bool cellEvent(int cell, QEvent* event);
    void enterCell(int cell);
    void leaveCell(int cell);
    void handOverFocusedCell();
    void addTest();
    void addTestFocused();
    void dropTestAsked();
    void testLabelClicked(int test);
    void clearData();
    void calculate();

    // The fit stage (MaskMatchPage.cpp).
    QWidget* buildMatchPage();
    QWidget* buildCorrectionTable();
    QWidget* buildFitSide();
    void enterFitStage();
    void showCorrectionTable(bool visible);
    void filterCutoffTyping();
    void leaveCutoff();
    void fit();
    void animateFit(const std::vector<FitFrame>& frames);
    void showFitResult(const FitResult& result);
    void narrowToCorrections();
    void leaveNarrowView();
    void settleLayout();

    LumoData& m_data;
    Prompter& m_prompter;
    Clock& m_clock;
    LumoMain* m_main;

    // The window's own state, reset on activation where the stages need it.
    TestGrid m_grid;
    bool m_gridReady = false;
    int m_currentTest = 1;
    bool m_fitDone = false;
    bool m_fitting = false;
    f32 m_goalLevel = 0;
    int m_startFile = 0;
    int m_endFile = 0;
    // A cell already handed to the validation by a click that does not take the focus.
    int m_handedOverCell = 0;
    bool m_filteringCutoff = false;

    bool m_closingWithDone = false;
    bool m_closing = false;
    bool m_abandoned = false;
    bool m_activating = false;
    // Set when another program window took over; coming back from it is an activation, coming back from a
    // message box or file dialog is not.
    bool m_activateOnReturn = false;
    bool m_narrow = false;
    QSize m_fullSize;

    // Window-wide controls.
    QLabel* m_labChan1 = nullptr;
    QLabel* m_datChan1 = nullptr;
    QStackedWidget* m_stages = nullptr;
    QLabel* m_labNote = nullptr;
    QPushButton* m_cmdDone = nullptr;
    QPushButton* m_cmdCancel = nullptr;

    // FramSpec and FramRecommend.
    QWidget* m_specPage = nullptr;
    QGroupBox* m_framSpec = nullptr;
    QListWidget* m_lstSpec = nullptr;
    GoalPlotFrame* m_picSpecFrame = nullptr;
    QLabel* m_labFNote = nullptr;
    QLabel* m_datAWgt = nullptr;
    QPushButton* m_cmdUp = nullptr;
    QPushButton* m_cmdDown = nullptr;
    QPushButton* m_cmdPick = nullptr;
    QPushButton* m_cmdFCancel = nullptr;
    QGroupBox* m_framRecommend = nullptr;
    QLabel* m_labRecommend = nullptr;

    // FramData.
    QGroupBox* m_framData = nullptr;
    Indexed<QLineEdit*, 1, GridCellCount> m_cells{};
    Indexed<QLabel*, 1, MaxTests> m_labTest{};
    Indexed<QLabel*, 1, GridBandCount> m_labAvg{};
    QLabel* m_datAvg = nullptr;
    QPushButton* m_cmdUpTest = nullptr;
    QPushButton* m_cmdDnTest = nullptr;
    QPushButton* m_cmdClear = nullptr;
    QPushButton* m_cmdCalc = nullptr;
    QGroupBox* m_framDownload = nullptr;
    QPushButton* m_cmdDownloadLD = nullptr;
    QGroupBox* m_framFile = nullptr;

    // FramMatch.
    QGroupBox* m_framMatch = nullptr;
    QWidget* m_correctionTable = nullptr;
    QWidget* m_fitSide = nullptr;
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
};

}  // namespace kov
