#include "masking/MaskWindow.h"

#include <QAction>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QScopedValueRollback>
#include <QScreen>
#include <QStackedWidget>
#include <QUndoStack>
#include <QVBoxLayout>
#include <exception>

#include "core/EqFile.h"
#include "core/Numbers.h"
#include "core/ProjectCommands.h"
#include "core/SpectrumDatabase.h"
#include "core/WindowPlacement.h"
#include "masking/MaskDownloads.h"
#include "masking/MaskGridPage.h"
#include "masking/MaskMatchPage.h"
#include "masking/MaskSpecPage.h"
#include "masking/MaskWidgets.h"
#include "meters/Ld824Port.h"

namespace kov {

namespace {

inline const QString WindowCaption = QStringLiteral("Setting Masking Equalizer Corrections for Channel");
inline const QString Mg24Question = QStringLiteral(
    "Do you wish to save the measurement data into the MG24?  If so, press Yes,Cancel and go to "
    "File/Locate MG24 Software to find the directory.\n Otherwise the data will be saved in this "
    "directory.");

constexpr int FirstMg24Channel = 3;

QString ProductCaption(i16 generator)
{
    switch (generator) {
        case GeneratorVO120R:
        case GeneratorVO120RDAR131:
            return QStringLiteral("VO120R Channel");
        case GeneratorDU3001:
            return QStringLiteral("DU3001 Channel");
        case GeneratorDA2500:
            return QStringLiteral("DA2500 Channel");
        case GeneratorZUVAR24:
            return QStringLiteral("ZUV-AR24 Channel");
        default:
            return QStringLiteral("Channel");
    }
}

constexpr int NarrowWidthTwips = 2750;

}  // namespace

Mask::Mask(LumoData& d, Prompter& prompter, Clock& clock, LumoMain* main, QWidget* parent)
    : LumoWindow(prompter, main, parent), m_data(d)
{
    setObjectName(QStringLiteral("Mask"));
    setWindowTitle(WindowCaption);
    m_specPage = new MaskSpecPage(d, prompter);
    m_gridPage = new MaskGridPage(d, prompter, clock);
    m_matchPage = new MaskMatchPage(d, prompter, clock);
    buildWindow();

    connect(m_specPage, &MaskSpecPage::goalLevelShown, m_matchPage, &MaskMatchPage::setGoalLevelText);
    connect(m_specPage, &MaskSpecPage::goalChosen, this, [this](f32 goalLevel) {
        m_matchPage->setGoalLevel(goalLevel);
        showPage(m_gridPage);
        m_gridPage->enter();
    });
    connect(m_specPage, &MaskSpecPage::cancelRequested, this, &LumoWindow::requestCancel);
    connect(m_gridPage, &MaskGridPage::note, this, &Mask::setNote);
    connect(m_gridPage, &MaskGridPage::levelShown, m_matchPage, &MaskMatchPage::setMeasuredLevelText);
    connect(m_gridPage, &MaskGridPage::calculated, this, [this] {
        showPage(m_matchPage);
        m_matchPage->enter();
    });
    connect(m_matchPage, &MaskMatchPage::note, this, &Mask::setNote);
    connect(m_specPage->toleranceBox(), &ToleranceBox::changed, m_matchPage, &MaskMatchPage::setTolerance);
    connect(m_specPage->toleranceBox(), &ToleranceBox::changed, m_gridPage,
            [this](const Tolerance& t) { m_gridPage->setPositionMargin(t.position); });
    connect(m_matchPage, &MaskMatchPage::leaveRequested, this, [this] { m_cmdCancel->setFocus(Qt::TabFocusReason); });
    connect(m_matchPage, &MaskMatchPage::fitFinished, this,
            [this](const FitResult& result) { fitFinished(result.narrowWindow); });
}

void Mask::buildWindow()
{
    m_labChan1 = new QLabel(QStringLiteral("Channel"), this);
    m_labChan1->setObjectName(QStringLiteral("LabChan1"));
    m_datChan1 = new QLabel(this);
    m_datChan1->setObjectName(QStringLiteral("DatChan1"));
    QFont heading = m_labChan1->font();
    heading.setBold(true);
    m_labChan1->setFont(heading);
    m_datChan1->setFont(heading);
    auto* header = new QHBoxLayout;
    header->addWidget(m_labChan1);
    header->addWidget(m_datChan1);
    header->addStretch();

    m_stages = new QStackedWidget(this);
    m_stages->setObjectName(QStringLiteral("MaskStages"));
    m_stages->addWidget(m_specPage);
    m_stages->addWidget(m_gridPage);
    m_stages->addWidget(m_matchPage);
    showPage(m_specPage);

    m_labNote = new QLabel(this);
    m_labNote->setObjectName(QStringLiteral("LabNote"));
    m_labNote->setWordWrap(true);
    m_labNote->setMinimumHeight(2 * m_labNote->fontMetrics().lineSpacing());
    m_labNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_cmdDone = MakeButton(this, QStringLiteral("CmdDone"), QStringLiteral("Done"));
    m_cmdCancel = MakeButton(this, QStringLiteral("CmdCancel"), QStringLiteral("Cancel"));
    // The grid's edits step back and forth by button or by the usual keys; the buttons show with the grid.
    QUndoStack* undo = m_gridPage->undoStack();
    m_cmdUndo = MakeButton(this, QStringLiteral("CmdUndo"), QStringLiteral("Undo"),
                           QStringLiteral("Take back the last change to the tests (Ctrl+Z)"));
    m_cmdRedo = MakeButton(this, QStringLiteral("CmdRedo"), QStringLiteral("Redo"),
                           QStringLiteral("Make the change taken back again (Ctrl+Shift+Z)"));
    m_cmdUndo->setEnabled(false);
    m_cmdRedo->setEnabled(false);
    m_cmdUndo->setVisible(m_stages->currentWidget() == m_gridPage);
    m_cmdRedo->setVisible(m_stages->currentWidget() == m_gridPage);
    connect(undo, &QUndoStack::canUndoChanged, m_cmdUndo, &QWidget::setEnabled);
    connect(undo, &QUndoStack::canRedoChanged, m_cmdRedo, &QWidget::setEnabled);
    connect(m_cmdUndo, &QPushButton::clicked, undo, &QUndoStack::undo);
    connect(m_cmdRedo, &QPushButton::clicked, undo, &QUndoStack::redo);
    for (const auto& keysAndStep :
         {std::pair{QKeySequence::Undo, &QUndoStack::undo}, std::pair{QKeySequence::Redo, &QUndoStack::redo}}) {
        auto* action = new QAction(this);
        action->setShortcuts(keysAndStep.first);
        action->setShortcutContext(Qt::WindowShortcut);
        // The member itself, not a structured binding: lambdas cannot capture those in every compiler we build with.
        const auto step = keysAndStep.second;
        connect(action, &QAction::triggered, undo, [this, undo, step] {
            if (m_stages->currentWidget() == m_gridPage)
                (undo->*step)();
        });
        addAction(action);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_cmdUndo);
    buttons->addWidget(m_cmdRedo);
    buttons->addStretch();
    buttons->addWidget(m_cmdDone);
    buttons->addWidget(m_cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);
    layout->addLayout(header);
    layout->addWidget(m_stages, 1);
    layout->addWidget(m_labNote);
    layout->addLayout(buttons);

    connect(m_cmdDone, &QPushButton::clicked, this, &LumoWindow::requestDone);
    connect(m_cmdCancel, &QPushButton::clicked, this, &LumoWindow::requestCancel);
}

const TestGrid& Mask::grid() const
{
    return m_gridPage->grid();
}

bool Mask::fitDone() const
{
    return m_matchPage->fitDone();
}

bool Mask::busy() const
{
    return m_matchPage->fitting() || m_gridPage->importing();
}

void Mask::setSerialLinkFactory(MaskDownloads::SerialLinkFactory factory)
{
    m_gridPage->downloads().setSerialLinkFactory(std::move(factory));
}

void Mask::refreshGridAndAverage(const DownloadLevels& levels)
{
    m_gridPage->refreshGridAndAverage(levels);
}

void Mask::setNote(const QString& text)
{
    m_labNote->setText(text);
}

void Mask::showPage(QWidget* page)
{
    // Each stage sizes the window on its own: the hidden ones must not hold it wide, or the corrections could
    // never narrow down beside the generator's software.
    for (int i = 0; i < m_stages->count(); ++i) {
        QWidget* w = m_stages->widget(i);
        w->setSizePolicy(w == page ? QSizePolicy::Preferred : QSizePolicy::Ignored,
                         w == page ? QSizePolicy::Preferred : QSizePolicy::Ignored);
    }
    m_stages->setCurrentWidget(page);
    m_stages->updateGeometry();
    // The steps back and forth are the grid's; the window builds its pages before its buttons.
    for (QPushButton* b : {m_cmdUndo, m_cmdRedo}) {
        if (b != nullptr)
            b->setVisible(page == m_gridPage);
    }
}

// ---- Activation ---------------------------------------------------------------------------------------------

void Mask::activate()
{
    try {
        runActivation();
    } catch (const std::exception& e) {
        prompter().message(QString::fromLocal8Bit(e.what()) + QStringLiteral(" occurred in opening  the Module Mask."),
                           QStringLiteral("Error"), MsgIcon::Critical, MsgButtons::Ok);
    }
}

void Mask::runActivation()
{
    // The meter's line is looked at once, when the window comes up; hand entry works whatever it says.
    if (!m_portChecked) {
        m_portChecked = true;
        if (const std::optional<Message> problem = CheckLd824Port(m_data))
            ShowMessage(prompter(), *problem);
    }
    const int ch = m_data.CurrentChannel;
    const bool known = ch >= 1 && ch <= 6;
    LoadMaskingChannels(m_data);
    m_gridPage->reset();
    if (known)
        m_data.MaskHighCutFreqEdit(ch) = 7000;
    leaveNarrowView();
    m_matchPage->reset();
    m_specPage->toleranceBox()->setTolerance(m_matchPage->tolerance());
    m_gridPage->setPositionMargin(m_matchPage->tolerance().position);
    m_labChan1->setText(ProductCaption(m_data.Generator));

    i16 failed = 0;
    LoadSpectrumDatabase(m_data, prompter(), failed);
    if (failed) {
        // The loader has said why. Nothing of this opening is kept.
        abandon();
        return;
    }
    m_specPage->reset();
    showPage(m_specPage);

    setWindowTitle(WindowCaption + NumberText(static_cast<f32>(ch)));
    m_cmdDone->setEnabled(false);
    m_cmdCancel->setEnabled(true);
    m_datChan1->setText(PlainNumber(static_cast<f32>(ch)));

    // Having said Yes, the person means to leave and find the software: the focus stays on Cancel.
    const bool leaving = askForMg24Folder();

    m_labNote->clear();
    if (known && m_data.MaskSpectrumIndexEdit(ch) == 0) {
        m_data.MaskHighCutSlopeEdit(ch) = 12;
        m_data.MaskLowCutFreqEdit(ch) = 100;
        m_data.MaskLowCutSlopeEdit(ch) = 12;
    }
    m_specPage->start(!leaving);
}

bool Mask::askForMg24Folder()
{
    if (m_data.CurrentChannel < FirstMg24Channel || !m_data.MG24Folder.trimmed().isEmpty())
        return false;
    if (prompter().message(Mg24Question, QStringLiteral("MG24 Directory"), MsgIcon::None, MsgButtons::YesNo) ==
        MsgAnswer::Yes) {
        m_cmdCancel->setFocus(Qt::OtherFocusReason);
        return true;
    }
    m_data.MG24Folder = m_data.AppPath;
    return false;
}

// ---- The fit's ending ---------------------------------------------------------------------------------------

void Mask::fitFinished(bool narrowWindow)
{
    m_cmdCancel->setEnabled(true);
    if (narrowWindow)
        narrowToCorrections();
    m_cmdDone->setEnabled(true);
    m_cmdDone->setFocus(Qt::OtherFocusReason);
}

void Mask::settleLayout()
{
    // The frames just hidden or shown tell their layouts by posted events, and each layout that takes one on tells
    // the layout around it the same way; the window's new minimum size is only right once that has run its course.
    // One pass for each level a page's frames sit below the window.
    for (int pass = 0; pass < 4; ++pass) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        layout()->activate();
    }
}

void Mask::narrowToCorrections()
{
    if (!m_narrow) {
        m_fullSize = size();
        settleLayout();
        m_fullWidth = minimumSizeHint().width();
    }
    m_narrow = true;
    // The window passes through other widths while its pages rearrange; only a person's widening ends the column.
    const QScopedValueRollback narrowing(m_narrowing, true);
    m_matchPage->setCorrectionsOnly(true);
    m_labNote->hide();
    settleLayout();
    const QScreen* s = screen();
    const int left = s != nullptr ? s->availableGeometry().left() : 0;
    resize(TwipsToPixels(NarrowWidthTwips), height());
    move(left, pos().y());
}

void Mask::leaveNarrowView()
{
    if (!m_narrow)
        return;
    m_narrow = false;
    m_matchPage->setCorrectionsOnly(false);
    m_labNote->show();
    settleLayout();
    resize(m_fullSize);
}

void Mask::resizeEvent(QResizeEvent* event)
{
    LumoWindow::resizeEvent(event);
    // The narrow column is for working beside the generator's software; pulled wide again, the window shows the
    // plot and the fit's controls the column leaves out.
    if (m_narrow && !m_narrowing && event->size().width() >= m_fullWidth) {
        m_narrow = false;
        m_matchPage->setCorrectionsOnly(false);
        m_labNote->show();
    }
}

// ---- Closing ------------------------------------------------------------------------------------------------

void Mask::apply()
{
    m_data.ProjectStage = 2;
    // The equalization goes into the project set with or without a file name: dropped here it could never reach
    // the file that Save As writes later.
    StoreMaskingChannels(m_data);
    SetProjectTolerance(m_data, m_matchPage->tolerance());
    FinishEqualization(m_data, prompter(), 1);
}

}  // namespace kov
