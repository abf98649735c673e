#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "masking/Goal.h"
#include "masking/MaskWindow.h"
#include "masking/SpectrumPlot.h"

namespace kov {

namespace {

constexpr int EntryRole = Qt::UserRole;

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, const QString& tip = QString())
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    if (!tip.isEmpty())
        b->setToolTip(tip);
    return b;
}

}  // namespace

QWidget* Mask::buildSpecPage()
{
    auto* page = new QWidget;
    m_framSpec = new QGroupBox(QStringLiteral("Choose the Desired Masking Spectrum"), page);
    m_framSpec->setObjectName(QStringLiteral("FramSpec"));

    m_labFNote = new QLabel(m_framSpec);
    m_labFNote->setObjectName(QStringLiteral("LabFNote"));
    m_labFNote->setWordWrap(true);
    m_labFNote->setMinimumHeight(2 * m_labFNote->fontMetrics().lineSpacing());
    m_labFNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);

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
    m_datAWgt = new QLabel(m_framSpec);
    m_datAWgt->setObjectName(QStringLiteral("DatAWgt"));
    m_datAWgt->setFrameShape(QFrame::StyledPanel);
    m_datAWgt->setMinimumWidth(m_datAWgt->fontMetrics().horizontalAdvance(QStringLiteral("888")) + 10);
    m_datAWgt->setAlignment(Qt::AlignCenter);

    m_cmdUp = MakeButton(m_framSpec, "CmdUp", QStringLiteral("+ 1 dB"));
    m_cmdDown = MakeButton(m_framSpec, "CmdDown", QStringLiteral("- 1 dB"));
    m_cmdPick = MakeButton(m_framSpec, "CmdPick", QStringLiteral("Choose"));
    m_cmdFCancel = MakeButton(m_framSpec, "CmdFCancel", QStringLiteral("Cancel"),
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
    steps->addWidget(m_cmdFCancel);

    auto* specLayout = new QVBoxLayout(m_framSpec);
    specLayout->addWidget(m_labFNote);
    specLayout->addLayout(choice, 1);
    specLayout->addLayout(steps);

    m_framRecommend = new QGroupBox(QStringLiteral("Recommended Masking Levels, dBA"), page);
    m_framRecommend->setObjectName(QStringLiteral("FramRecommend"));
    m_labRecommend = new QLabel(m_framRecommend);
    m_labRecommend->setObjectName(QStringLiteral("LabRecommend"));
    auto* recommendLayout = new QVBoxLayout(m_framRecommend);
    recommendLayout->addWidget(m_labRecommend);
    // The frame comes and goes with the entry; the goal plot should not jump when it does.
    QSizePolicy keep = m_framRecommend->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    m_framRecommend->setSizePolicy(keep);
    m_framRecommend->hide();

    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_framSpec, 1);
    layout->addWidget(m_framRecommend);

    connect(m_lstSpec, &QListWidget::itemClicked, this, &Mask::listItemChosen);
    // Moving through the list with the keys chooses as a click does; the list taking the focus only marks its first
    // row, which chooses nothing.
    connect(m_lstSpec, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem*> chosen = m_lstSpec->selectedItems();
        if (!chosen.isEmpty())
            listItemChosen(chosen.front());
    });
    connect(m_cmdUp, &QPushButton::clicked, this, &Mask::raiseGoal);
    connect(m_cmdDown, &QPushButton::clicked, this, &Mask::lowerGoal);
    connect(m_cmdPick, &QPushButton::clicked, this, &Mask::pickGoal);
    connect(m_cmdFCancel, &QPushButton::clicked, this, &Mask::cancel);
    return page;
}

void Mask::fillSpectrumList()
{
    const QSignalBlocker quiet(m_lstSpec);
    m_lstSpec->clear();
    for (int entry : GoalListEntries(m_data)) {
        auto* item = new QListWidgetItem(m_data.SpecName(entry).trimmed(), m_lstSpec);
        item->setData(EntryRole, entry);
    }
    m_picSpecFrame->plot()->setEntryChosen(false);
    m_picSpecFrame->plot()->ClearReadout();
}

void Mask::selectListEntry(int entry)
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
    m_cmdPick->setEnabled(false);
    m_cmdUp->setEnabled(false);
    m_cmdDown->setEnabled(false);
}

void Mask::listItemChosen(QListWidgetItem* item)
{
    if (!m_gridReady || item == nullptr)
        return;
    selectGoal(item->data(EntryRole).toInt());
}

void Mask::selectGoal(int entry)
{
    if (m_gridReady)
        m_picSpecFrame->LabelSpectrumAxes();
    const int ch = m_data.CurrentChannel;
    const GoalView view = SelectGoalEntry(m_data, ch, entry);
    m_picSpecFrame->plot()->setEntryChosen(true);
    m_picSpecFrame->plot()->ClearReadout();
    if (view.recommendation) {
        m_labRecommend->setText(*view.recommendation);
        m_framRecommend->show();
    } else {
        m_framRecommend->hide();
    }
    m_labFNote->setText(view.note);
    m_datAWgt->setText(view.levelText);
    m_datAWgt1->setText(view.levelText);
    m_cmdPick->setEnabled(true);
    m_cmdUp->setEnabled(true);
    m_cmdDown->setEnabled(true);
    showGoal();
}

void Mask::showGoal()
{
    m_picSpecFrame->plot()->DrawGoalSpectrum(ChannelRow(m_data.MaskFinalEdit, m_data.CurrentChannel));
}

void Mask::raiseGoal() { showGoalStep(RaiseGoal(m_data, m_data.CurrentChannel, m_datAWgt->text())); }

void Mask::lowerGoal() { showGoalStep(LowerGoal(m_data, m_data.CurrentChannel, m_datAWgt->text())); }

void Mask::showGoalStep(const GoalStep& step)
{
    if (step.error)
        showMessage(*step.error);
    if (!step.changed)
        return;
    m_datAWgt->setText(step.levelText);
    m_datAWgt1->setText(step.levelText);
    showGoal();
}

void Mask::pickGoal()
{
    const GoalChoice choice = ConfirmGoal(m_data, m_data.CurrentChannel, m_datAWgt->text());
    m_framRecommend->hide();
    if (choice.refusal)
        showMessage(*choice.refusal);
    if (!choice.accepted)
        return;
    m_goalLevel = choice.goalLevel;
    enterGridStage();
}

}  // namespace kov
