#pragma once

#include <QWidget>

#include "core/LumoData.h"
#include "core/Prompter.h"
#include "masking/Goal.h"
#include "masking/MaskWidgets.h"

class QGroupBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace kov {

class GoalPlotFrame;

// The goal stage of the Mask window (FramSpec with FramRecommend below it): a shape from the spectrum database,
// stepped up or down a decibel at a time, confirmed with "Choose".
class MaskSpecPage : public QWidget {
    Q_OBJECT

public:
    MaskSpecPage(LumoData& d, Prompter& prompter, QWidget* parent = nullptr);

    // Activation: the list offers the database entries again, nothing chosen, the handlers quiet until start().
    void reset();
    // The handlers act from now on. A channel with a stored shape has it selected again (reloaded from the
    // database); one without starts with the buttons off and, unless told otherwise, the focus in the list.
    void start(bool focusList);
    // The tolerances that go with the goal (FramTolerance).
    ToleranceBox* toleranceBox() const { return m_framTolerance; }

signals:
    // The goal level as the fit stage shows it (DatAWgt1).
    void goalLevelShown(const QString& levelText);
    // "Choose" accepted the goal; GoalLevel for the fit.
    void goalChosen(f32 goalLevel);
    // CmdFCancel.
    void cancelRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void selectListEntry(int entry);
    void listItemChosen(QListWidgetItem* item);
    void selectGoal(int entry);
    void setStepButtons(bool enabled);
    void showGoal();
    void showGoalStep(const GoalStep& step);
    void pickGoal();

    LumoData& m_data;
    Prompter& m_prompter;
    bool m_ready = false;

    QGroupBox* m_framSpec = nullptr;
    QListWidget* m_lstSpec = nullptr;
    GoalPlotFrame* m_picSpecFrame = nullptr;
    QLabel* m_labFNote = nullptr;
    QLabel* m_datAWgt = nullptr;
    QPushButton* m_cmdUp = nullptr;
    QPushButton* m_cmdDown = nullptr;
    QPushButton* m_cmdPick = nullptr;
    QGroupBox* m_framRecommend = nullptr;
    ToleranceBox* m_framTolerance = nullptr;
    QLabel* m_labRecommend = nullptr;
};

}  // namespace kov
