#include "spectra/LumoDBWindow.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "core/Message.h"
#include "core/SpectrumDatabase.h"
#include "core/Tables.h"
#include "spectra/ReferencePlot.h"

namespace kov {

namespace {

inline const QString WindowCaption = QStringLiteral("Background and Masking Spectra");
inline const QString ActivationNote = QStringLiteral(
    "Modify the background spectrum to a typical one (around 39 to 40 dBA). Use the Plus/Minus buttons to set a new "
    "level on any selection.");
inline const QString DeleteNote = QStringLiteral("To undo a Delete command, Press CANCEL and exit.");

constexpr int OptionRows = 7;
constexpr int NoteLines = 4;

enum class Box { None, Level, Octave, Relative, Name };

QPushButton* Button(QWidget* parent, const QString& name, const QString& caption, const QString& tip = QString())
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    if (!tip.isEmpty())
        b->setToolTip(tip);
    return b;
}

QLabel* Label(QWidget* parent, const QString& name, const QString& text, const QString& tip = QString())
{
    auto* l = new QLabel(text, parent);
    if (!name.isEmpty())
        l->setObjectName(name);
    if (!tip.isEmpty())
        l->setToolTip(tip);
    return l;
}

QLineEdit* Entry(QWidget* parent, const QString& name)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setAlignment(Qt::AlignRight);
    e->setFixedWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("-88.88")) + 12);
    return e;
}

// Which entry box an object is, by its control name.
Box KindOf(const QObject* o)
{
    const QString n = o->objectName();
    if (n.startsWith(QLatin1String("Test1_")))
        return Box::Level;
    if (n.startsWith(QLatin1String("Test2_")))
        return Box::Octave;
    if (n.startsWith(QLatin1String("Test3_")))
        return Box::Relative;
    if (n == QLatin1String("TxtSpec"))
        return Box::Name;
    return Box::None;
}

int IndexOf(const QObject* o)
{
    return o->objectName().section(QLatin1Char('_'), 1).toInt();
}

// A leave that the person made: the focus moved inside the window. A message box or another program taking the
// activation is no leave.
bool IsLeave(const QEvent* event)
{
    const auto reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

}  // namespace

LumoDB::LumoDB(LumoData& d, Prompter& prompter, LumoMain* main, QWidget* parent)
    : LumoWindow(prompter, main, parent), m_data(d), m_edit(CopySpectra(d)), m_neutral(NeutralLevels())
{
    setObjectName(QStringLiteral("LumoDB"));
    setWindowTitle(WindowCaption);
    buildWindow();
}

void LumoDB::buildWindow()
{
    auto* framSpec = new QGroupBox(QStringLiteral("Spectrum Type"), this);
    framSpec->setObjectName(QStringLiteral("FramSpec"));
    framSpec->setToolTip(QStringLiteral("Fixed Masking Spectra"));
    auto* options = new QGridLayout(framSpec);
    options->setVerticalSpacing(2);
    for (int s = BackgroundSpectrum; s <= LastSpectrum; ++s) {
        auto* o = new QRadioButton(framSpec);
        o->setObjectName(QStringLiteral("OptSpec_%1").arg(s));
        options->addWidget(o, s % OptionRows, s / OptionRows);
        m_optSpec(s) = o;
        connect(o, &QRadioButton::clicked, this, [this, s] {
            if (m_formReady)
                selectSpectrum(s);
        });
    }

    m_entry = new QStackedWidget(this);
    m_entry->addWidget(buildTable());
    m_entry->addWidget(buildOctaveFrame());
    m_entry->addWidget(buildRelativeFrame());
    m_entry->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);

    m_plotFrame = new ReferencePlotFrame(m_data.BandFreq, this);
    m_plotFrame->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    // Narrower, the octave frequencies under the plot run into each other.
    m_plotFrame->setMinimumSize(m_plotFrame->sizeHint());
    QLabel* legend = Label(this, QStringLiteral("Label1"), QStringLiteral("Blue = Neutral Contour (-5 dB/Octave)"));
    m_datAWgt = Label(this, QStringLiteral("DatAWgt"), QString(), QStringLiteral("A-Weighted level of spectrum"));
    m_datAWgt->setFrameShape(QFrame::StyledPanel);
    m_datAWgt->setMinimumWidth(m_datAWgt->fontMetrics().horizontalAdvance(QStringLiteral("888 dBA")) + 10);
    m_datAWgt->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_txtSpec = new QLineEdit(this);
    m_txtSpec->setObjectName(QStringLiteral("TxtSpec"));
    m_txtSpec->setToolTip(QStringLiteral("User contour name"));
    m_txtSpec->installEventFilter(this);

    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(m_txtSpec, 1);
    nameRow->addWidget(m_datAWgt);
    auto* plotColumn = new QVBoxLayout;
    plotColumn->addWidget(m_plotFrame, 1);
    plotColumn->addWidget(legend);
    plotColumn->addLayout(nameRow);

    m_cmdUp = Button(this, QStringLiteral("CmdUp"), QStringLiteral("+ 1 dB"));
    m_cmdDown = Button(this, QStringLiteral("CmdDown"), QStringLiteral("- 1 dB"));
    m_cmdClear = Button(this, QStringLiteral("CmdClear"), QStringLiteral("Delete Selected Spectrum"));
    m_cmdOctave = Button(this, QStringLiteral("CmdOctave"), QStringLiteral("Enter Octave Band Spectrum"));
    m_cmdRelative = Button(this, QStringLiteral("CmdRelative"), QStringLiteral("Enter Relative Spectrum"));
    m_cmdDone =
        Button(this, QStringLiteral("CmdDone"), QStringLiteral("Done"), QStringLiteral("Record changes and exit"));
    m_cmdCancel = Button(this, QStringLiteral("CmdCancel"), QStringLiteral("Cancel"),
                         QStringLiteral("Exit without recording changes"));
    auto* steps = new QHBoxLayout;
    steps->addWidget(m_cmdUp);
    steps->addWidget(m_cmdDown);
    auto* commands = new QVBoxLayout;
    commands->addLayout(steps);
    for (QPushButton* b : {m_cmdClear, m_cmdOctave, m_cmdRelative})
        commands->addWidget(b);
    commands->addStretch();
    commands->addWidget(m_cmdDone);
    commands->addWidget(m_cmdCancel);

    auto* top = new QHBoxLayout;
    top->addWidget(m_entry);
    top->addLayout(plotColumn, 1);
    top->addLayout(commands);

    m_labNote = Label(this, QStringLiteral("LabNote"), QString());
    m_labNote->setWordWrap(true);
    m_labNote->setTextFormat(Qt::PlainText);
    m_labNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_labNote->setFixedHeight(NoteLines * m_labNote->fontMetrics().lineSpacing());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);
    layout->addLayout(top, 1);
    layout->addWidget(framSpec);
    layout->addWidget(m_labNote);

    connect(m_cmdUp, &QPushButton::clicked, this, [this] { stepLevels(+1); });
    connect(m_cmdDown, &QPushButton::clicked, this, [this] { stepLevels(-1); });
    connect(m_cmdClear, &QPushButton::clicked, this, &LumoDB::deleteSelected);
    connect(m_cmdOctave, &QPushButton::clicked, this, &LumoDB::openOctave);
    connect(m_cmdRelative, &QPushButton::clicked, this, &LumoDB::openRelative);
    connect(m_cmdDone, &QPushButton::clicked, this, &LumoWindow::requestDone);
    connect(m_cmdCancel, &QPushButton::clicked, this, &LumoWindow::requestCancel);
}

QWidget* LumoDB::buildTable()
{
    m_table = new QWidget;
    m_table->setObjectName(QStringLiteral("Table"));
    auto* grid = new QGridLayout(m_table);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(1);
    constexpr int rows = 9;
    for (int half = 0; half < 2; ++half) {
        grid->addWidget(Label(m_table, half == 0 ? QStringLiteral("LabFName") : QString(), QStringLiteral("Freq"),
                              QStringLiteral("1/3 octave Band Frequencies")),
                        0, half * 2);
        grid->addWidget(Label(m_table, half == 0 ? QStringLiteral("LabLName") : QString(), QStringLiteral("Level"),
                              QStringLiteral("1/3 Octave Band Masking level")),
                        0, half * 2 + 1);
    }
    for (int b = FirstDataBand; b <= LastDataBand; ++b) {
        const int k = b - FirstDataBand;
        QLabel* freq = Label(m_table, QStringLiteral("LabFreq_%1").arg(b), BandLabel(m_data, b));
        freq->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        QLineEdit* cell = Entry(m_table, QStringLiteral("Test1_%1").arg(b));
        cell->installEventFilter(this);
        connect(cell, &QLineEdit::textEdited, this, [cell](const QString& text) {
            if (CheckAllowedChars(text.trimmed().toUpper(), DigitsAndPoint) == 0)
                cell->backspace();
        });
        grid->addWidget(freq, 1 + k % rows, (k / rows) * 2);
        grid->addWidget(cell, 1 + k % rows, (k / rows) * 2 + 1);
        m_test1(b) = cell;
    }
    grid->setRowStretch(rows + 1, 1);
    return m_table;
}

QGroupBox* LumoDB::buildOctaveFrame()
{
    m_framOctave = new QGroupBox(QStringLiteral("One Octave Band Data"));
    m_framOctave->setObjectName(QStringLiteral("FramOctave"));
    auto* grid = new QGridLayout(m_framOctave);
    grid->setVerticalSpacing(1);
    grid->addWidget(Label(m_framOctave, QStringLiteral("LabFName2"), QStringLiteral("Freq")), 0, 0);
    grid->addWidget(Label(m_framOctave, QStringLiteral("LabLname2"), QStringLiteral("Level")), 0, 1);
    for (int i = 1; i <= OctaveBoxCount; ++i) {
        QLabel* freq = Label(m_framOctave, QStringLiteral("LabFreq2_%1").arg(i), BandLabel(m_data, OctaveBoxBand(i)));
        freq->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        QLineEdit* box = Entry(m_framOctave, QStringLiteral("Test2_%1").arg(i));
        box->installEventFilter(this);
        connect(box, &QLineEdit::textEdited, this, [box](const QString& text) {
            if (CheckAllowedChars(text.trimmed().toUpper(), DigitsAndPoint) == 0)
                box->backspace();
        });
        grid->addWidget(freq, i, 0);
        grid->addWidget(box, i, 1);
        m_test2(i) = box;
    }
    m_cmdOctaveDone =
        Button(m_framOctave, QStringLiteral("CmdOctaveDone"), QStringLiteral("Create 1/3 Octave Band Spectrum"));
    QPushButton* cancel = Button(m_framOctave, QStringLiteral("CmdOctaveCancel"), QStringLiteral("Cancel"));
    grid->addWidget(m_cmdOctaveDone, OctaveBoxCount + 1, 0, 1, 2);
    grid->addWidget(cancel, OctaveBoxCount + 2, 0, 1, 2);
    grid->setRowStretch(OctaveBoxCount + 3, 1);
    connect(m_cmdOctaveDone, &QPushButton::clicked, this, &LumoDB::createFromOctaves);
    connect(cancel, &QPushButton::clicked, this, [this] {
        m_octave = OctaveLevels();
        for (int i = 1; i <= OctaveBoxCount; ++i)
            m_test2(i)->clear();
        m_entry->setCurrentWidget(m_table);
    });
    return m_framOctave;
}

QGroupBox* LumoDB::buildRelativeFrame()
{
    m_framRelative = new QGroupBox(QStringLiteral("Relative Spectrum"));
    m_framRelative->setObjectName(QStringLiteral("FramRelative"));
    auto* grid = new QGridLayout(m_framRelative);
    grid->setVerticalSpacing(1);
    constexpr int rows = 9;
    for (int i = 1; i <= RelativeBoxCount; ++i) {
        QLabel* freq = Label(m_framRelative, QStringLiteral("LabRel_%1").arg(i), BandLabel(m_data, RelativeBoxBand(i)));
        freq->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        QLineEdit* box = Entry(m_framRelative, QStringLiteral("Test3_%1").arg(i));
        box->installEventFilter(this);
        connect(box, &QLineEdit::textEdited, this, [box](const QString& text) {
            if (CheckAllowedChars(text.trimmed().toUpper(), SignedDigits) == 0)
                box->backspace();
        });
        grid->addWidget(freq, (i - 1) % rows, ((i - 1) / rows) * 2);
        grid->addWidget(box, (i - 1) % rows, ((i - 1) / rows) * 2 + 1);
        m_test3(i) = box;
    }
    m_cmdRelDone =
        Button(m_framRelative, QStringLiteral("CmdRelDone"), QStringLiteral("Create 1/3 Octave Band Spectrum"));
    QPushButton* cancel = Button(m_framRelative, QStringLiteral("CmdRelCancel"), QStringLiteral("Cancel"));
    grid->addWidget(m_cmdRelDone, rows, 0, 1, 4);
    grid->addWidget(cancel, rows + 1, 0, 1, 4);
    grid->setRowStretch(rows + 2, 1);
    connect(m_cmdRelDone, &QPushButton::clicked, this, &LumoDB::createFromRelative);
    connect(cancel, &QPushButton::clicked, this, [this] {
        m_relative = RelativeLevels();
        for (int i = 1; i <= RelativeBoxCount; ++i)
            m_test3(i)->clear();
        m_entry->setCurrentWidget(m_table);
    });
    return m_framRelative;
}

// ---- Showing ------------------------------------------------------------------------------------------------

void LumoDB::activate()
{
    m_newSpectrum = false;
    m_returnBand = 0;
    m_selSpec = BackgroundSpectrum;
    m_neutral = NeutralLevels();
    {
        const QSignalBlocker blocker(m_optSpec(BackgroundSpectrum));
        m_optSpec(BackgroundSpectrum)->setChecked(true);
    }
    showLevels();
    m_entry->setCurrentWidget(m_table);
    m_cmdUp->setEnabled(true);
    m_cmdDown->setEnabled(true);
    m_cmdClear->setEnabled(false);
    m_cmdOctave->setEnabled(false);
    m_cmdRelative->setEnabled(false);
    showAWeight(false);
    m_txtSpec->setText(m_edit.SpecNameEdit(BackgroundSpectrum));
    for (int s = BackgroundSpectrum; s <= LastSpectrum; ++s)
        m_optSpec(s)->setText(m_edit.SpecNameEdit(s));
    if (m_formReady)
        drawSpectrum();
    setNote(ActivationNote);
    m_test1(FirstDataBand)->setFocus(Qt::OtherFocusReason);
}

void LumoDB::selectSpectrum(int s)
{
    m_selSpec = s;
    m_optSpec(s)->setChecked(true);
    m_cmdUp->setEnabled(true);
    m_cmdDown->setEnabled(true);
    m_cmdClear->setEnabled(true);
    showLevels();
    showAWeight(true);
    m_txtSpec->setText(m_edit.SpecNameEdit(s));
    m_newSpectrum = IsFreeSlot(m_edit.SpecNameEdit(s));
    m_cmdOctave->setEnabled(m_newSpectrum);
    m_cmdRelative->setEnabled(m_newSpectrum);
    m_cmdClear->setEnabled(!m_newSpectrum);
    setNote(SelectionNote(m_edit, s));
    drawSpectrum();
    const int band = m_returnBand >= 1 ? m_returnBand : FirstDataBand;
    m_returnBand = 0;
    m_test1(band)->setFocus(Qt::OtherFocusReason);
}

void LumoDB::showLevels()
{
    for (int b = FirstDataBand; b <= LastDataBand; ++b)
        m_test1(b)->setText(LevelText(m_edit.SpecLevelEdit(m_selSpec, b)));
}

void LumoDB::showAWeight(bool blankWhenUnfilled)
{
    m_datAWgt->setText(blankWhenUnfilled ? ShownAWeightText(m_data, m_edit, m_selSpec)
                                         : AWeightText(m_data, m_edit, m_selSpec));
}

void LumoDB::drawSpectrum()
{
    m_plotFrame->plot()->drawSpectrum(SpectrumRow(m_edit, m_selSpec), m_neutral);
}

void LumoDB::setNote(const QString& text)
{
    m_labNote->setText(text);
}

void LumoDB::stepLevels(int delta)
{
    if (!StepSpectrum(m_edit, m_selSpec, delta)) {
        m_datAWgt->clear();
        return;
    }
    showLevels();
    showAWeight(false);
    drawSpectrum();
}

void LumoDB::deleteSelected()
{
    DeleteSpectrum(m_edit, m_selSpec);
    m_optSpec(m_selSpec)->setText(EmptySpectrumName);
    m_txtSpec->setText(EmptySpectrumName);
    m_datAWgt->clear();
    showLevels();
    setNote(DeleteNote);
    drawSpectrum();
    m_test1(FirstDataBand)->setFocus(Qt::OtherFocusReason);
}

// ---- The entry boxes ----------------------------------------------------------------------------------------

bool LumoDB::eventFilter(QObject* watched, QEvent* event)
{
    const Box kind = KindOf(watched);
    if (kind == Box::None)
        return LumoWindow::eventFilter(watched, event);
    const int index = IndexOf(watched);
    auto* edit = static_cast<QLineEdit*>(watched);
    switch (event->type()) {
        case QEvent::FocusIn:
            if (kind == Box::Level) {
                cellFocused(index);
            } else if (kind == Box::Octave) {
                setNote(index == 1 ? OctaveFirstBoxNote : QString());
                if (edit->text().trimmed() == QLatin1String("0"))
                    edit->clear();
            } else if (kind == Box::Relative) {
                setNote(RelativeFocusNote(m_data, index));
            } else {
                setNote(NameFocusNote(m_newSpectrum));
            }
            break;
        case QEvent::FocusOut:
            if (IsLeave(event)) {
                if (kind == Box::Level)
                    cellLeft(index);
                else if (kind == Box::Octave)
                    octaveLeft(index);
                else if (kind == Box::Relative)
                    relativeLeft(index);
                else
                    nameLeft();
            }
            break;
        case QEvent::KeyPress:
            if (moveFocus(watched, static_cast<QKeyEvent*>(event)->key()))
                return true;
            break;
        default:
            break;
    }
    return LumoWindow::eventFilter(watched, event);
}

bool LumoDB::moveFocus(QObject* watched, int key)
{
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (!enter && key != Qt::Key_Up && key != Qt::Key_Down)
        return false;
    const int i = IndexOf(watched);
    QWidget* next = nullptr;
    // Enter runs on to the next box and from the last to what finishes the entry; the arrows wrap round.
    auto pick = [&](auto& boxes, int first, int last, QWidget* after) {
        if (enter)
            next = i < last ? static_cast<QWidget*>(boxes(i + 1)) : after;
        else if (key == Qt::Key_Down)
            next = boxes(i < last ? i + 1 : first);
        else
            next = boxes(i > first ? i - 1 : last);
    };
    switch (KindOf(watched)) {
        case Box::Level:
            pick(m_test1, FirstDataBand, LastDataBand, m_txtSpec);
            break;
        case Box::Octave:
            pick(m_test2, 1, OctaveBoxCount, m_cmdOctaveDone);
            break;
        case Box::Relative:
            pick(m_test3, 1, RelativeBoxCount, m_cmdRelDone);
            break;
        case Box::Name:
            if (enter)
                next = m_cmdDone;
            break;
        case Box::None:
            break;
    }
    if (next == nullptr)
        return false;
    next->setFocus(Qt::TabFocusReason);
    return true;
}

void LumoDB::cellFocused(int band)
{
    if (!m_formReady) {
        m_plotFrame->labelReferenceAxes();
        drawSpectrum();
        m_formReady = true;
        return;
    }
    if (m_test1(band)->text().trimmed() == QLatin1String("0"))
        m_test1(band)->clear();
}

void LumoDB::cellLeft(int band)
{
    const LevelCellEntry entry = LeaveLevelCell(m_data, band, m_test1(band)->text());
    m_edit.SpecLevelEdit(m_selSpec, band) = entry.level;
    m_test1(band)->setText(entry.cellText);
    if (entry.note)
        setNote(*entry.note);
    else
        showAWeight(false);
    drawSpectrum();
}

void LumoDB::nameLeft()
{
    const QString name = SpectrumNameFromBox(m_txtSpec->text());
    m_edit.SpecNameEdit(m_selSpec) = name;
    m_optSpec(m_selSpec)->setText(name);
    m_txtSpec->setText(name);
}

void LumoDB::octaveLeft(int box)
{
    const OctaveBoxEntry entry = LeaveOctaveBox(box, m_test2(box)->text());
    if (entry.store)
        m_octave(OctaveBoxBand(box)) = *entry.store;
    m_test2(box)->setText(entry.boxText);
    setNote(entry.note);
}

void LumoDB::relativeLeft(int box)
{
    const RelativeBoxEntry entry = LeaveRelativeBox(m_data, box, m_test3(box)->text());
    if (entry.store)
        m_relative(RelativeBoxBand(box)) = *entry.store;
    if (entry.boxText)
        m_test3(box)->setText(*entry.boxText);
    if (entry.note)
        setNote(*entry.note);
}

void LumoDB::openOctave()
{
    m_octave = OctaveLevels();
    for (int i = 1; i <= OctaveBoxCount; ++i)
        m_test2(i)->clear();
    m_entry->setCurrentWidget(m_framOctave);
    setNote(OctaveOpenNote);
    m_test2(1)->setFocus(Qt::OtherFocusReason);
    // What the first box says on its focus, whether or not the focus event has come through yet.
    setNote(OctaveFirstBoxNote);
}

void LumoDB::openRelative()
{
    m_relative = RelativeLevels();
    for (int i = 1; i <= RelativeBoxCount; ++i)
        m_test3(i)->clear();
    m_entry->setCurrentWidget(m_framRelative);
    setNote(RelativeOpenNote);
    m_test3(1)->setFocus(Qt::OtherFocusReason);
}

void LumoDB::commitFocusedEntry()
{
    QWidget* w = focusWidget();
    if (w == nullptr)
        return;
    switch (KindOf(w)) {
        case Box::Level:
            cellLeft(IndexOf(w));
            break;
        case Box::Octave:
            octaveLeft(IndexOf(w));
            break;
        case Box::Relative:
            relativeLeft(IndexOf(w));
            break;
        case Box::Name:
            nameLeft();
            break;
        case Box::None:
            break;
    }
}

void LumoDB::createFromOctaves()
{
    commitFocusedEntry();
    if (OctaveDataMissing(m_octave)) {
        setNote(OctaveMissingNote);
        return;
    }
    m_entry->setCurrentWidget(m_table);
    OctaveToThirdOctave(m_octave, m_edit, m_selSpec);
    spectrumCreated(OctaveDoneNote);
}

void LumoDB::createFromRelative()
{
    commitFocusedEntry();
    RelativeBoxes boxes;
    for (int i = 1; i <= RelativeBoxCount; ++i)
        boxes(i) = m_test3(i)->text();
    if (RelativeDataMissing(boxes)) {
        setNote(RelativeMissingNote);
        return;
    }
    m_entry->setCurrentWidget(m_table);
    RelativeToSpectrum(m_data, m_relative, boxes, m_edit, m_selSpec);
    spectrumCreated(RelativeDoneNote);
}

void LumoDB::spectrumCreated(const QString& note)
{
    showLevels();
    showAWeight(true);
    m_cmdClear->setEnabled(true);
    drawSpectrum();
    // The name box's own note would hide what to do next; the focus goes there first.
    m_txtSpec->setFocus(Qt::OtherFocusReason);
    // "Empty" is there to be typed over.
    m_txtSpec->selectAll();
    setNote(note);
}

// ---- Done -----------------------------------------------------------------------------------------------------

bool LumoDB::acceptDone()
{
    commitFocusedEntry();
    int from = BackgroundSpectrum;
    while (const std::optional<MissingPoint> missing = FindMissingPoint(m_data, m_edit, from)) {
        if (prompter().message(missing->question, DataErrorTitle, MsgIcon::None, MsgButtons::YesNo) == MsgAnswer::Yes) {
            m_returnBand = missing->band;
            selectSpectrum(missing->spectrum);
            return false;
        }
        DeleteSpectrum(m_edit, missing->spectrum);
        m_optSpec(missing->spectrum)->setText(EmptySpectrumName);
        if (missing->spectrum == m_selSpec)
            selectSpectrum(m_selSpec);
        from = missing->spectrum + 1;
    }
    if (const std::optional<Message> renamed = RestoreBackgroundName(m_edit)) {
        ShowMessage(prompter(), *renamed);
        m_optSpec(BackgroundSpectrum)->setText(BackgroundName);
        if (m_selSpec == BackgroundSpectrum)
            m_txtSpec->setText(BackgroundName);
    }
    if (const std::optional<UnnamedData> unnamed = FindUnnamedData(m_edit)) {
        ShowMessage(prompter(), unnamed->message);
        m_returnBand = unnamed->band;
        selectSpectrum(unnamed->spectrum);
        return false;
    }
    // The database in memory follows the file: if the file cannot be written, neither changes and the edits stay
    // here for another try.
    const LumoData before = m_data;
    StoreSpectra(m_data, m_edit);
    i16 failed = 0;
    QString reason;
    SaveSpectrumDatabase(m_data, failed, &reason);
    if (failed != 0) {
        StoreSpectra(m_data, CopySpectra(before));
        ShowMessage(prompter(), SaveFailedMessage(reason));
        return false;
    }
    return true;
}

}  // namespace kov
