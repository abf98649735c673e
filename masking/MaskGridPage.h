#pragma once

#include <QGroupBox>

#include "core/Clock.h"
#include "core/Indexed.h"
#include "core/LumoData.h"
#include "core/Prompter.h"
#include "masking/TestGrid.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QUndoStack;

namespace kov {

class MaskDownloads;

// The grid stage of the Mask window (FramData): up to ten measured tests typed in or downloaded, their band
// averages and A-weighted level, and "Calculate", which hands the tests to the fit stage.
class MaskGridPage : public QGroupBox {
    Q_OBJECT

public:
    MaskGridPage(LumoData& d, Prompter& prompter, Clock& clock, QWidget* parent = nullptr);

    // Activation: the handlers quiet until the stage is entered, Clear Data off, the range frame hidden.
    void reset();
    // After "Choose": the stored tests and their averages, or an empty first column.
    void enter();
    // The meter downloads hand their levels over here once MaskTestCountEdit of the channel holds the number of
    // tests they fetched.
    void refreshGridAndAverage(const DownloadLevels& levels);
    // How far a position may stand from the average before the spread names it.
    void setPositionMargin(f32 margin);

    const TestGrid& grid() const { return m_grid; }
    // A meter's file is being read: the window stays open until it is done.
    bool importing() const;
    MaskDownloads& downloads() const { return *m_downloads; }
    // The grid's edits of this visit, each a step back and forth: a typed cell, Clear Data, a dropped test, a
    // download or import handed over. They change the working set only, as the edits themselves do.
    QUndoStack* undoStack() const { return m_undo; }

    // Everything a step of the grid changes: the grid, the channel's tests in the working set, and what the page
    // shows of them.
    struct Snapshot {
        TestGrid grid;
        Indexed<BandArray, 1, MaxTests> tests;
        BandArray average;
        i16 count = 0;
        bool addTest = false;
        bool dropTest = false;
        bool clear = false;
        bool calculate = false;
        QString levelText;
        int currentTest = 1;
    };
    void restore(const Snapshot& s);

signals:
    void note(const QString& text);
    // The A-weighted level of the averages, which the fit stage shows as well (DatAWgt2).
    void levelShown(const QString& text);
    // "Calculate" stored the tests and averages in the working set: the fit stage follows.
    void calculated();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildGridTable();
    QWidget* buildDataButtons();
    void applyGridStep(const GridStep& step);
    void applyGridButtons(const GridButtons& buttons);
    void showGridTexts();
    void showTestColumns(int count);
    void focusGridTarget(const GridTarget& target);
    void setLevelTexts(const QString& text);
    void showSpread();
    int cellOf(const QObject* watched) const;
    int testLabelOf(const QObject* watched) const;
    bool cellEvent(int cell, QEvent* event);
    void enterCell(int cell);
    void leaveCell(int cell);
    void handOverFocusedCell();
    void addTest();
    void addTestFocused();
    void testLabelClicked(int test);
    void clearData();
    void calculate();
    // The closing steps of every download: the channel's test count, its columns, the grid and averages.
    void takeDownload(int count);
    Snapshot snapshot() const;
    // One step for the undo stack when the grid changed since `before`.
    void recordSince(const Snapshot& before, const QString& what);

    LumoData& m_data;
    Prompter& m_prompter;
    Clock& m_clock;
    TestGrid m_grid;
    bool m_ready = false;
    int m_currentTest = 1;
    // A cell already handed to the validation by a click that does not take the focus.
    int m_handedOverCell = 0;

    Indexed<QLineEdit*, 1, GridCellCount> m_cells{};
    Indexed<QLabel*, 1, MaxTests> m_labTest{};
    Indexed<QLabel*, 1, GridBandCount> m_labAvg{};
    QLabel* m_datAvg = nullptr;
    QLabel* m_labGridSpread = nullptr;
    QUndoStack* m_undo = nullptr;
    f32 m_positionMargin = DefaultPositionMargin;
    QPushButton* m_cmdUpTest = nullptr;
    QPushButton* m_cmdDnTest = nullptr;
    QPushButton* m_cmdClear = nullptr;
    QPushButton* m_cmdCalc = nullptr;
    MaskDownloads* m_downloads = nullptr;
};

}  // namespace kov
