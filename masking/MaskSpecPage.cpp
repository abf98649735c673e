#include "masking/MaskSpecPage.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "core/Levels.h"
#include "core/Message.h"
#include "masking/MaskWidgets.h"
#include "masking/SpectrumPlot.h"

namespace kov {

namespace {

constexpr int EntryRole = Qt::UserRole;
// The open-office recommendation has five lines, the ceiling one three; the frame keeps room for the longer so
// that nothing below or beside it moves from one shape to the next.
constexpr int RecommendationLines = 5;

}  // namespace

MaskSpecPage::MaskSpecPage(LumoData& d, Prompter& prompter, QWidget* parent)
    : QWidget(parent), m_data(d), m_prompter(prompter)
{
    buildControls();
}

void MaskSpecPage::buildControls()
{
    m_framSpec = new QGroupBox(QStringLiteral("Choose the Desired Masking Spectrum"), this);
    m_framSpec->setObjectName(QStringLiteral("FramSpec"));

    m_labFNote = MakeNote(m_framSpec, QStringLiteral("LabFNote"), 2);
    m_lstSpec = new QListWidget(m_framSpec);
    m_lstSpec->setObjectName(QStringLiteral("LstSpec"));
    m_lstSpec->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    // As wide as the names, no wider: the rest goes to the plot.
    m_lstSpec->setFixedWidth(m_lstSpec->fontMetrics().horizontalAdvance(QStringLiteral("Contour -7 dB per octave")) +
                             16);
    m_lstSpec->installEventFilter(this);

    m_picSpecFrame = new GoalPlotFrame(m_data.BandFreq, m_framSpec);
    m_picSpecFrame->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    auto* levelCaption = new QLabel(QStringLiteral("Level, dBA"), m_framSpec);
    levelCaption->setObjectName(QStringLiteral("LabAWgt"));
    m_datAWgt = MakeValue(m_framSpec, QStringLiteral("DatAWgt"), QStringLiteral("888"));
    m_datAWgt->setAlignment(Qt::AlignCenter);

    m_cmdUp = MakeButton(m_framSpec, QStringLiteral("CmdUp"), QStringLiteral("+ 1 dB"));
    m_cmdDown = MakeButton(m_framSpec, QStringLiteral("CmdDown"), QStringLiteral("- 1 dB"));
    m_cmdPick = MakeButton(m_framSpec, QStringLiteral("CmdPick"), QStringLiteral("Choose"));
    QPushButton* cmdFCancel = MakeButton(m_framSpec, QStringLiteral("CmdFCancel"), QStringLiteral("Cancel"),
                                         QStringLiteral("Exit without choosing a spectrum"));

    auto* choice = new QHBoxLayout;
    choice->addWidget(m_lstSpec);
    choice->addWidget(m_picSpecFrame, 1);

    auto* steps = new QHBoxLayout;
    steps->addWidget(levelCaption);
    steps->addWidget(m_datAWgt);
    steps->addStretch();
    steps->addWidget(m_cmdDown);
    steps->addWidget(m_cmdUp);
    steps->addSpacing(12);
    steps->addWidget(m_cmdPick);
    steps->addWidget(cmdFCancel);

    auto* specLayout = new QVBoxLayout(m_framSpec);
    specLayout->addWidget(m_labFNote);
    specLayout->addLayout(choice, 1);
    specLayout->addLayout(steps);

    m_framRecommend = new QGroupBox(QStringLiteral("Recommended Masking Levels, dBA"), this);
    m_framRecommend->setObjectName(QStringLiteral("FramRecommend"));
    m_labRecommend = MakeNote(m_framRecommend, QStringLiteral("LabRecommend"), RecommendationLines);
    auto* recommendLayout = new QVBoxLayout(m_framRecommend);
    recommendLayout->addWidget(m_labRecommend);
    // The frame comes and goes with the entry; the goal plot should not jump when it does.
    QSizePolicy keep = m_framRecommend->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    keep.setVerticalPolicy(QSizePolicy::Fixed);
    m_framRecommend->setSizePolicy(keep);
    m_framRecommend->hide();

    m_framTolerance = new ToleranceBox(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_framSpec, 1);
    // The tolerance stands beside the recommendations, where the goal plot does not have to give up room for it.
    auto* below = new QHBoxLayout;
    below->addWidget(m_framRecommend, 1);
    below->addWidget(m_framTolerance);
    layout->addLayout(below);

    connect(m_lstSpec, &QListWidget::itemClicked, this, &MaskSpecPage::listItemChosen);
    // Moving through the list with the keys chooses as a click does; the list taking the focus only marks its first
    // row, which chooses nothing.
    connect(m_lstSpec, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem*> chosen = m_lstSpec->selectedItems();
        if (!chosen.isEmpty())
            listItemChosen(chosen.front());
    });
    connect(m_cmdUp, &QPushButton::clicked, this,
            [this] { showGoalStep(RaiseGoal(m_data, m_data.CurrentChannel, m_datAWgt->text())); });
    connect(m_cmdDown, &QPushButton::clicked, this,
            [this] { showGoalStep(LowerGoal(m_data, m_data.CurrentChannel, m_datAWgt->text())); });
    connect(m_cmdPick, &QPushButton::clicked, this, &MaskSpecPage::pickGoal);
    connect(cmdFCancel, &QPushButton::clicked, this, &MaskSpecPage::cancelRequested);
}

void MaskSpecPage::reset()
{
    m_ready = false;
    {
        const QSignalBlocker quiet(m_lstSpec);
        m_lstSpec->clear();
        for (int entry : GoalListEntries(m_data)) {
            auto* item = new QListWidgetItem(m_data.SpecName(entry).trimmed(), m_lstSpec);
            item->setData(EntryRole, entry);
        }
    }
    m_picSpecFrame->plot()->setEntryChosen(false);
    m_picSpecFrame->plot()->clearReadout();
    m_framSpec->show();
    m_framRecommend->hide();
}

void MaskSpecPage::start(bool focusList)
{
    const int ch = m_data.CurrentChannel;
    m_ready = true;
    if (ch < 1 || ch > 6 || m_data.MaskSpectrumIndexEdit(ch) == 0) {
        setStepButtons(false);
        if (focusList)
            m_lstSpec->setFocus(Qt::OtherFocusReason);
        return;
    }
    selectListEntry(m_data.MaskSpectrumIndexEdit(ch));
}

void MaskSpecPage::setStepButtons(bool enabled)
{
    for (QPushButton* b : {m_cmdPick, m_cmdUp, m_cmdDown})
        b->setEnabled(enabled);
}

bool MaskSpecPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_lstSpec && event->type() == QEvent::FocusIn)
        m_labFNote->setText(GoalListFocusNote(m_data, m_data.CurrentChannel));
    return QWidget::eventFilter(watched, event);
}

void MaskSpecPage::selectListEntry(int entry)
{
    for (int row = 0; row < m_lstSpec->count(); ++row) {
        QListWidgetItem* item = m_lstSpec->item(row);
        if (item->data(EntryRole).toInt() != entry)
            continue;
        {
            const QSignalBlocker quiet(m_lstSpec);
            m_lstSpec->setCurrentItem(item);
        }
        selectGoal(entry);
        return;
    }
    // The stored entry is no longer offered (renamed "Empty" in the database, say): the stored goal stays as it
    // is until another shape is clicked.
    setStepButtons(false);
}

void MaskSpecPage::listItemChosen(QListWidgetItem* item)
{
    if (!m_ready || item == nullptr)
        return;
    selectGoal(item->data(EntryRole).toInt());
}

void MaskSpecPage::selectGoal(int entry)
{
    m_picSpecFrame->labelSpectrumAxes();
    const GoalView view = SelectGoalEntry(m_data, m_data.CurrentChannel, entry);
    m_picSpecFrame->plot()->setEntryChosen(true);
    m_picSpecFrame->plot()->clearReadout();
    if (view.recommendation) {
        m_labRecommend->setText(*view.recommendation);
        m_framRecommend->show();
    } else {
        m_framRecommend->hide();
    }
    m_labFNote->setText(view.note);
    m_datAWgt->setText(view.levelText);
    emit goalLevelShown(view.levelText);
    setStepButtons(true);
    showGoal();
}

void MaskSpecPage::showGoal()
{
    m_picSpecFrame->plot()->drawGoalSpectrum(ChannelRow(m_data.MaskFinalEdit, m_data.CurrentChannel));
}

void MaskSpecPage::showGoalStep(const GoalStep& step)
{
    if (step.error)
        ShowMessage(m_prompter, *step.error);
    if (!step.changed)
        return;
    m_datAWgt->setText(step.levelText);
    emit goalLevelShown(step.levelText);
    showGoal();
}

void MaskSpecPage::pickGoal()
{
    const GoalChoice choice = ConfirmGoal(m_data, m_data.CurrentChannel, m_datAWgt->text());
    m_framRecommend->hide();
    if (choice.refusal)
        ShowMessage(m_prompter, *choice.refusal);
    if (choice.accepted)
        emit goalChosen(choice.goalLevel);
}

}  // namespace kov
