#include <QApplication>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QUndoStack>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "core/Message.h"
#include "core/Numbers.h"
#include "core/Verdict.h"
#include "masking/MaskDownloads.h"
#include "masking/MaskGridPage.h"
#include "masking/MaskWidgets.h"

namespace kov {

namespace {

std::optional<GridKey> GridKeyOf(const QKeyEvent* key)
{
    switch (key->key()) {
        case Qt::Key_Left:
            return GridKey::Left;
        case Qt::Key_Up:
            return GridKey::Up;
        case Qt::Key_Right:
            return GridKey::Right;
        case Qt::Key_Down:
            return GridKey::Down;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return GridKey::Enter;
        default:
            return std::nullopt;
    }
}

// A window losing the focus to a message box or another program is no move within the grid.
bool LeavesForAnotherWindow(const QFocusEvent* event)
{
    return event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason;
}

}  // namespace

MaskGridPage::MaskGridPage(LumoData& d, Prompter& prompter, Clock& clock, QWidget* parent)
    : QGroupBox(QStringLiteral("Measured Masking Spectra"), parent), m_data(d), m_prompter(prompter), m_clock(clock)
{
    setObjectName(QStringLiteral("FramData"));
    m_undo = new QUndoStack(this);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(buildGridTable(), 1);
    layout->addWidget(buildDataButtons());
}

QWidget* MaskGridPage::buildGridTable()
{
    auto* table = new QWidget(this);
    table->setObjectName(QStringLiteral("GridTable"));
    QFont small = table->font();
    small.setPointSizeF(small.pointSizeF() - 1);
    table->setFont(small);
    const QFontMetrics fm(small);
    // Room for "88.8" in a framed average, which keeps an indent beside its frame.
    const int cellWidth = fm.horizontalAdvance(QStringLiteral("88.8")) + 12;
    const int rowHeight = fm.height() + 6;

    auto* grid = new QGridLayout(table);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(1);
    grid->setVerticalSpacing(1);
    grid->addWidget(MakeLabel(table, QStringLiteral("LabHz"), QStringLiteral("Hz"), Qt::AlignRight | Qt::AlignBottom),
                    0, 0);
    for (int t = 1; t <= MaxTests; ++t) {
        QLabel* l = MakeLabel(table, QStringLiteral("LabTest_%1").arg(t), QString::number(t), Qt::AlignCenter);
        // The number box of a test is what deletes it: it looks and behaves like a small button.
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Raised);
        l->setCursor(Qt::PointingHandCursor);
        l->setFixedSize(cellWidth, rowHeight);
        l->installEventFilter(this);
        m_labTest(t) = l;
        grid->addWidget(l, 0, t);
    }
    grid->addWidget(MakeLabel(table, QStringLiteral("LabAvgCaption"), QStringLiteral("Avg"), Qt::AlignCenter), 0,
                    MaxTests + 1);

    for (int k = 1; k <= GridBandCount; ++k) {
        const int band = GridIndexToBand(k);
        grid->addWidget(
            MakeLabel(table, QStringLiteral("LabFreq_%1").arg(k), PlainNumber(static_cast<f32>(m_data.BandFreq(band))),
                      Qt::AlignRight | Qt::AlignVCenter),
            k, 0);
        for (int t = 1; t <= MaxTests; ++t) {
            const int cell = TestBandToCell(t, k);
            auto* box = new QLineEdit(table);
            box->setObjectName(QStringLiteral("Test1_%1").arg(cell));
            box->setFixedSize(cellWidth, rowHeight);
            box->setAlignment(Qt::AlignRight);
            box->setTextMargins(0, 0, 0, 0);
            box->installEventFilter(this);
            connect(box, &QLineEdit::textEdited, this, [this, cell] {
                if (m_handedOverCell == cell)
                    m_handedOverCell = 0;
            });
            m_cells(cell) = box;
            grid->addWidget(box, k, t);
        }
        QLabel* avg =
            MakeLabel(table, QStringLiteral("LabAvg_%1").arg(k), QString(), Qt::AlignRight | Qt::AlignVCenter);
        avg->setFrameShape(QFrame::StyledPanel);
        avg->setFixedSize(cellWidth, rowHeight);
        m_labAvg(k) = avg;
        grid->addWidget(avg, k, MaxTests + 1);
    }
    const int last = GridBandCount + 1;
    grid->addWidget(MakeLabel(table, QStringLiteral("LabAvgLevel"), QStringLiteral("Average Level, dBA"),
                              Qt::AlignRight | Qt::AlignVCenter),
                    last, 0, 1, MaxTests + 1);
    m_datAvg = MakeLabel(table, QStringLiteral("DatAvg"), QString(), Qt::AlignRight | Qt::AlignVCenter);
    m_datAvg->setFrameShape(QFrame::StyledPanel);
    m_datAvg->setFixedSize(cellWidth, rowHeight);
    grid->addWidget(m_datAvg, last, MaxTests + 1);
    grid->setRowStretch(last + 1, 1);
    return table;
}

QWidget* MaskGridPage::buildDataButtons()
{
    auto* side = new QWidget(this);
    m_cmdUpTest =
        MakeButton(side, QStringLiteral("CmdUpTest"), QStringLiteral("Add Test"), QStringLiteral("Add another test"));
    m_cmdUpTest->installEventFilter(this);
    m_cmdDnTest =
        MakeButton(side, QStringLiteral("CmdDnTest"), QStringLiteral("Drop Test"), QStringLiteral("Delete a test"));
    m_cmdClear = MakeButton(side, QStringLiteral("CmdClear"), QStringLiteral("Clear Data"));
    m_cmdCalc = MakeButton(side, QStringLiteral("CmdCalc"), QStringLiteral("Calculate"));

    m_downloads = new MaskDownloads(m_data, m_prompter, m_clock, side);

    // The buttons share one width, their widest caption's; the record range, when it opens, widens the column to
    // what its captions need rather than cutting them.
    int widest = 0;
    for (QPushButton* b : side->findChildren<QPushButton*>()) {
        if (b->parentWidget() != m_downloads->rangeFrame())
            widest = std::max(widest, b->sizeHint().width());
    }
    for (QPushButton* b : side->findChildren<QPushButton*>()) {
        if (b->parentWidget() != m_downloads->rangeFrame()) {
            b->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
            b->setMinimumWidth(widest);
        }
    }

    auto* layout = new QVBoxLayout(side);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_cmdUpTest);
    layout->addWidget(m_cmdDnTest);
    layout->addWidget(m_cmdClear);
    layout->addWidget(m_cmdCalc);
    layout->addSpacing(8);
    layout->addWidget(m_downloads);
    // How the positions agree, once every shown test is whole.
    m_labGridSpread = MakeLabel(side, QStringLiteral("LabGridSpread"));
    m_labGridSpread->setWordWrap(true);
    // As wide as the column the buttons make, never widening it.
    m_labGridSpread->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_downloads->rangeFrame()->installEventFilter(this);
    layout->addWidget(m_labGridSpread);
    layout->addStretch();

    connect(m_cmdUpTest, &QPushButton::clicked, this, &MaskGridPage::addTest);
    connect(m_cmdDnTest, &QPushButton::clicked, this, [this] { ShowMessage(m_prompter, TestDeletionMessage()); });
    connect(m_cmdClear, &QPushButton::clicked, this, &MaskGridPage::clearData);
    connect(m_cmdCalc, &QPushButton::clicked, this, &MaskGridPage::calculate);
    connect(m_downloads, &MaskDownloads::note, this, &MaskGridPage::note);
    connect(m_downloads, &MaskDownloads::downloaded, this, &MaskGridPage::takeDownload);
    connect(m_downloads, &MaskDownloads::noticeAfterHandOver, this,
            [this](const Message& notice) { ShowMessage(m_prompter, notice); });
    return side;
}

// ---- Showing the grid ---------------------------------------------------------------------------------------

void MaskGridPage::showTestColumns(int count)
{
    for (int t = 1; t <= MaxTests; ++t) {
        const bool shown = t <= count;
        m_labTest(t)->setVisible(shown);
        for (int k = 1; k <= GridBandCount; ++k)
            m_cells(TestBandToCell(t, k))->setVisible(shown);
    }
}

void MaskGridPage::showGridTexts()
{
    for (int cell = 1; cell <= GridCellCount; ++cell) {
        if (m_cells(cell)->text() != m_grid.text(cell))
            m_cells(cell)->setText(m_grid.text(cell));
    }
    for (int k = 1; k <= GridBandCount; ++k)
        m_labAvg(k)->setText(m_grid.averageText(k));
    showTestColumns(m_grid.count());
    showSpread();
}

void MaskGridPage::setPositionMargin(f32 margin)
{
    m_positionMargin = margin;
    showSpread();
}

void MaskGridPage::showSpread()
{
    std::vector<BandArray> tests;
    for (int t = 1; t <= m_grid.count(); ++t) {
        BandArray row;
        for (int k = 1; k <= GridBandCount; ++k) {
            // A hole or a refused entry makes any figure of the spread a guess.
            if (!CellNumber(m_grid.text(TestBandToCell(t, k)))) {
                m_labGridSpread->clear();
                return;
            }
            row(GridIndexToBand(k)) = m_grid.value(t, k);
        }
        tests.push_back(row);
    }
    m_labGridSpread->setText(
        SpreadSummary(SpreadOfTests(m_data, tests, m_positionMargin), m_positionMargin, m_data.BandFreq));
}

void MaskGridPage::setLevelTexts(const QString& text)
{
    m_datAvg->setText(text);
    emit levelShown(text);
}

void MaskGridPage::applyGridButtons(const GridButtons& b)
{
    if (b.addTest)
        m_cmdUpTest->setEnabled(*b.addTest);
    if (b.dropTest)
        m_cmdDnTest->setEnabled(*b.dropTest);
    if (b.clear)
        m_cmdClear->setEnabled(*b.clear);
    if (b.calculate)
        m_cmdCalc->setEnabled(*b.calculate);
    if (b.download)
        m_downloads->downloadFrame()->setEnabled(*b.download);
}

void MaskGridPage::focusGridTarget(const GridTarget& target)
{
    switch (target.kind) {
        case GridTarget::Stay:
            return;
        case GridTarget::Cell:
            if (target.cell >= 1 && target.cell <= GridCellCount && m_cells(target.cell)->isVisible())
                m_cells(target.cell)->setFocus(Qt::TabFocusReason);
            return;
        case GridTarget::AddTest:
            m_cmdUpTest->setFocus(Qt::TabFocusReason);
            return;
        case GridTarget::Calculate:
            m_cmdCalc->setFocus(Qt::TabFocusReason);
            return;
        case GridTarget::DownloadLD:
            m_downloads->ld824Button()->setFocus(Qt::TabFocusReason);
            return;
    }
}

void MaskGridPage::applyGridStep(const GridStep& step)
{
    {
        const QScopedValueRollback quiet(m_ready, false);
        showGridTexts();
    }
    if (step.failure) {
        ShowMessage(m_prompter, *step.failure);
        return;
    }
    applyGridButtons(step.buttons);
    setLevelTexts(step.levelText);
    if (step.currentTest)
        m_currentTest = *step.currentTest;
    // The focus first: the note a cell shows on receiving it must not hide the note of the step.
    focusGridTarget(step.focus);
    emit note(step.note);
}

namespace {

// A step of the grid, done already when it is pushed: redo only goes forward again after an undo.
class GridEdit : public QUndoCommand {
public:
    GridEdit(MaskGridPage* page, MaskGridPage::Snapshot before, MaskGridPage::Snapshot after, const QString& what)
        : QUndoCommand(what), m_page(page), m_before(std::move(before)), m_after(std::move(after))
    {
    }
    void undo() override { m_page->restore(m_before); }
    void redo() override
    {
        if (m_pushed)
            m_page->restore(m_after);
        m_pushed = true;
    }

private:
    MaskGridPage* m_page;
    MaskGridPage::Snapshot m_before;
    MaskGridPage::Snapshot m_after;
    bool m_pushed = false;
};

}  // namespace

MaskGridPage::Snapshot MaskGridPage::snapshot() const
{
    const int ch = m_data.CurrentChannel;
    Snapshot s;
    s.grid = m_grid;
    for (int t = 1; t <= MaxTests; ++t) {
        for (int b = FirstBand; b <= LastBand; ++b)
            s.tests(t)(b) = m_data.MaskTestEdit(t, ch, b);
    }
    for (int b = FirstBand; b <= LastBand; ++b)
        s.average(b) = m_data.MaskAverageEdit(ch, b);
    s.count = m_data.MaskTestCountEdit(ch);
    s.addTest = m_cmdUpTest->isEnabled();
    s.dropTest = m_cmdDnTest->isEnabled();
    s.clear = m_cmdClear->isEnabled();
    s.calculate = m_cmdCalc->isEnabled();
    s.levelText = m_datAvg->text();
    s.currentTest = m_currentTest;
    return s;
}

void MaskGridPage::restore(const Snapshot& s)
{
    const int ch = m_data.CurrentChannel;
    m_grid = s.grid;
    for (int t = 1; t <= MaxTests; ++t) {
        for (int b = FirstBand; b <= LastBand; ++b)
            m_data.MaskTestEdit(t, ch, b) = s.tests(t)(b);
    }
    for (int b = FirstBand; b <= LastBand; ++b)
        m_data.MaskAverageEdit(ch, b) = s.average(b);
    m_data.MaskTestCountEdit(ch) = s.count;
    {
        const QScopedValueRollback quiet(m_ready, false);
        showGridTexts();
    }
    applyGridButtons(GridButtons{s.addTest, s.dropTest, s.clear, s.calculate, std::nullopt});
    setLevelTexts(s.levelText);
    m_currentTest = s.currentTest;
    m_handedOverCell = 0;
    emit note(QString());
}

void MaskGridPage::recordSince(const Snapshot& before, const QString& what)
{
    Snapshot after = snapshot();
    if (after.grid == before.grid && after.tests == before.tests && after.average == before.average &&
        after.count == before.count)
        return;
    m_undo->push(new GridEdit(this, before, std::move(after), what));
}

void MaskGridPage::reset()
{
    m_undo->clear();
    m_ready = false;
    m_cmdClear->setEnabled(false);
    m_downloads->resetDownloadState();
}

void MaskGridPage::enter()
{
    m_undo->clear();
    m_ready = true;
    applyGridStep(EnterGridStage(m_grid, m_data, m_data.CurrentChannel));
}

void MaskGridPage::refreshGridAndAverage(const DownloadLevels& levels)
{
    GridStep step;
    {
        const QScopedValueRollback quiet(m_ready, false);
        step = kov::RefreshGridAndAverage(m_grid, m_data, m_data.CurrentChannel, levels);
    }
    // One box says it: a band that cannot be averaged means none can.
    if (step.averageFailures > 0)
        ShowMessage(m_prompter, CalculationErrorMessage());
    applyGridStep(step);
    m_downloads->downloadHandedOver();
}

bool MaskGridPage::importing() const
{
    return m_downloads->importing();
}

void MaskGridPage::takeDownload(int count)
{
    const auto record = qScopeGuard([this, before = snapshot()] { recordSince(before, QStringLiteral("Download")); });
    m_data.MaskTestCountEdit(m_data.CurrentChannel) = static_cast<i16>(count);
    showTestColumns(count);
    refreshGridAndAverage(m_downloads->testLevel());
}

bool MaskGridPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_cmdUpTest && event->type() == QEvent::FocusIn) {
        addTestFocused();
    } else if (watched == m_downloads->rangeFrame() &&
               (event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
        // The record range takes the column while it is open; the spread is of no use until the records are in.
        m_labGridSpread->setVisible(event->type() == QEvent::Hide);
    } else if (const int cell = cellOf(watched); cell != 0) {
        if (cellEvent(cell, event))
            return true;
    } else if (const int test = testLabelOf(watched); test != 0 && event->type() == QEvent::MouseButtonRelease) {
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            testLabelClicked(test);
    }
    return QGroupBox::eventFilter(watched, event);
}

// ---- Cells --------------------------------------------------------------------------------------------------

int MaskGridPage::cellOf(const QObject* watched) const
{
    for (int cell = 1; cell <= GridCellCount; ++cell) {
        if (m_cells(cell) == watched)
            return cell;
    }
    return 0;
}

int MaskGridPage::testLabelOf(const QObject* watched) const
{
    for (int t = 1; t <= MaxTests; ++t) {
        if (m_labTest(t) == watched)
            return t;
    }
    return 0;
}

bool MaskGridPage::cellEvent(int cell, QEvent* event)
{
    switch (event->type()) {
        case QEvent::FocusIn:
            enterCell(cell);
            return false;
        case QEvent::FocusOut:
            if (!LeavesForAnotherWindow(static_cast<QFocusEvent*>(event)))
                leaveCell(cell);
            return false;
        case QEvent::ShortcutOverride: {
            // A cell keeps Undo for what is typed in it and not yet taken; once taken, Undo is the grid's.
            const auto* key = static_cast<QKeyEvent*>(event);
            const bool undoKey = key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo);
            return undoKey && m_cells(cell)->text() == m_grid.text(cell);
        }
        case QEvent::KeyPress: {
            const auto* key = static_cast<QKeyEvent*>(event);
            const std::optional<GridKey> move = GridKeyOf(key);
            if (!move || !m_ready)
                return false;
            focusGridTarget(
                NavigateGrid(cell, m_grid.count(), *move, m_cmdUpTest->isEnabled(), m_cmdCalc->isEnabled()));
            return true;
        }
        default:
            return false;
    }
}

void MaskGridPage::enterCell(int cell)
{
    if (!m_ready)
        return;
    const CellEntry entry = EnterCell(m_grid, cell);
    m_currentTest = entry.currentTest;
    if (entry.note)
        emit note(*entry.note);
}

void MaskGridPage::leaveCell(int cell)
{
    if (!m_ready)
        return;
    if (m_handedOverCell == cell) {
        m_handedOverCell = 0;
        return;
    }
    const auto record = qScopeGuard([this, before = snapshot()] { recordSince(before, QStringLiteral("Typing")); });
    const CellExit exit = LeaveCell(m_grid, m_data, cell, m_cells(cell)->text());
    m_cells(cell)->setText(m_grid.text(cell));
    emit note(exit.note);
    if (!exit.testOneComplete)
        return;
    // Ten tests are as many as the grid holds, however complete the first one is.
    m_cmdUpTest->setEnabled(m_grid.count() < MaxTests);
    m_cmdClear->setEnabled(true);
    m_cmdCalc->setEnabled(true);
    for (int k = 1; k <= GridBandCount; ++k)
        m_labAvg(k)->setText(m_grid.averageText(k));
    setLevelTexts(exit.levelText);
}

void MaskGridPage::handOverFocusedCell()
{
    const int cell = cellOf(QApplication::focusWidget());
    if (cell == 0 || m_handedOverCell == cell)
        return;
    leaveCell(cell);
    m_handedOverCell = cell;
}

// ---- Buttons ------------------------------------------------------------------------------------------------

void MaskGridPage::addTest()
{
    if (!m_ready)
        return;
    const TestAddition add = AddTest(m_grid, m_data, m_data.CurrentChannel);
    if (add.note)
        emit note(*add.note);
    m_cmdUpTest->setEnabled(add.addTestEnabled);
    if (!add.added)
        return;
    m_currentTest = add.currentTest;
    showTestColumns(m_grid.count());
    focusGridTarget(GridTarget{GridTarget::Cell, add.focusCell});
}

void MaskGridPage::addTestFocused()
{
    if (!m_ready)
        return;
    if (const std::optional<QString> note = AddTestFocusNote(m_grid, m_data, m_currentTest)) {
        m_prompter.beep();
        emit this->note(*note);
    }
}

void MaskGridPage::testLabelClicked(int test)
{
    if (!m_ready || test < 1 || test > m_grid.count())
        return;
    handOverFocusedCell();
    const auto record = qScopeGuard([this, before = snapshot()] { recordSince(before, QStringLiteral("Drop Test")); });
    const TestDrop drop = DropTest(m_grid, m_data, m_data.CurrentChannel, test);
    m_currentTest = drop.currentTest;
    {
        const QScopedValueRollback quiet(m_ready, false);
        showGridTexts();
    }
    setLevelTexts(drop.levelText);
    // Whatever the note said of the tests, it may speak of one that is gone now.
    emit note(QString());
}

void MaskGridPage::clearData()
{
    const auto record = qScopeGuard([this, before = snapshot()] { recordSince(before, QStringLiteral("Clear Data")); });
    m_downloads->resetDownloadState();
    applyGridStep(ClearData(m_grid, m_data, m_data.CurrentChannel));
}

void MaskGridPage::calculate()
{
    // Calculate from the keyboard leaves the focus in the cell being typed in; its value counts all the same.
    handOverFocusedCell();
    // A hole in a shown test would be averaged as 0 dB and fitted as if measured.
    if (const std::optional<MissingCell> missing = FirstMissingCell(m_grid, m_data)) {
        m_prompter.beep();
        focusGridTarget(GridTarget{GridTarget::Cell, missing->cell});
        emit note(missing->note);
        return;
    }
    StoreGrid(m_grid, m_data, m_data.CurrentChannel);
    emit calculated();
}

}  // namespace kov
