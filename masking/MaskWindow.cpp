#include "masking/MaskWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QShowEvent>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <exception>

#include "core/EqFile.h"
#include "core/LumoMainWindow.h"
#include "core/Numbers.h"
#include "core/ProjectCommands.h"
#include "core/SpectrumDatabase.h"
#include "masking/Goal.h"
#include "masking/SpectrumPlot.h"

namespace kov {

namespace {

inline const QString WindowCaption = QStringLiteral("Setting Masking Equalizer Corrections for Channel");
inline const QString ExitQuestion = QStringLiteral("Ok to exit without saving changes?");
inline const QString ExitTitle = QStringLiteral("KOV 2.0");
inline const QString Mg24Question = QStringLiteral(
    "Do you wish to save the measurement data into the MG24?  If so, press Yes,Cancel and go to "
    "File/Locate MG24 Software to find the directory.\n Otherwise the data will be saved in this "
    "directory.");

constexpr int FirstMg24Channel = 3;

bool IsPrompt(const QWidget* w)
{
    return qobject_cast<const QMessageBox*>(w) || qobject_cast<const QFileDialog*>(w);
}

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

}  // namespace

Mask::Mask(LumoData& d, Prompter& prompter, Clock& clock, LumoMain* main, QWidget* parent)
    : QWidget(parent, Qt::Window), m_data(d), m_prompter(prompter), m_clock(clock), m_main(main)
{
    setObjectName(QStringLiteral("Mask"));
    setWindowTitle(WindowCaption);
    buildWindow();
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
    m_specPage = buildSpecPage();
    m_stages->addWidget(m_specPage);
    m_stages->addWidget(buildDataPage());
    m_stages->addWidget(buildMatchPage());
    showPage(m_specPage);

    m_labNote = new QLabel(this);
    m_labNote->setObjectName(QStringLiteral("LabNote"));
    m_labNote->setWordWrap(true);
    m_labNote->setMinimumHeight(2 * m_labNote->fontMetrics().lineSpacing());
    m_labNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_cmdDone = new QPushButton(QStringLiteral("Done"), this);
    m_cmdDone->setObjectName(QStringLiteral("CmdDone"));
    m_cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cmdCancel->setObjectName(QStringLiteral("CmdCancel"));
    auto* buttons = new QHBoxLayout;
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

    // Enter belongs to the boxes (it moves on through the grid), so no button takes it.
    for (QPushButton* b : findChildren<QPushButton*>())
        b->setAutoDefault(false);

    connect(m_cmdDone, &QPushButton::clicked, this, &Mask::done);
    connect(m_cmdCancel, &QPushButton::clicked, this, &Mask::cancel);
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
}

void Mask::showMessage(const MaskMessage& m)
{
    m_prompter.message(m.text, m.title, m.icon, MsgButtons::Ok);
}

// ---- Activation ---------------------------------------------------------------------------------------------

void Mask::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        activate();
}

void Mask::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || m_closing || m_abandoned)
        return;
    if (isActiveWindow()) {
        if (m_activateOnReturn) {
            m_activateOnReturn = false;
            activate();
        }
        return;
    }
    const QWidget* next = QApplication::activeWindow();
    m_activateOnReturn = next != nullptr && next != this && !IsPrompt(next);
}

void Mask::activate()
{
    if (m_activating || m_fitting)
        return;
    m_activating = true;
    try {
        runActivation();
    } catch (const std::exception& e) {
        m_prompter.message(QString::fromLocal8Bit(e.what()) + QStringLiteral(" occurred in opening  the Module Mask."),
                           QStringLiteral("Error"), MsgIcon::Critical, MsgButtons::Ok);
    }
    m_activating = false;
}

void Mask::runActivation()
{
    const int ch = m_data.CurrentChannel;
    m_closing = false;
    m_abandoned = false;
    LoadMaskingChannels(m_data);
    m_gridReady = false;
    if (ch >= 1 && ch <= 6)
        m_data.MaskHighCutFreqEdit(ch) = 7000;
    m_fitDone = false;
    m_closingWithDone = false;
    if (m_main != nullptr)
        m_main->setEnabled(false);
    leaveNarrowView();

    m_labInfo->hide();
    m_labAWgt2->setText(QStringLiteral("Measured Level"));
    m_labChan1->setText(ProductCaption(m_data.Generator));

    i16 failed = 0;
    LoadSpectrumDatabase(m_data, m_prompter, failed);
    if (failed) {
        // The loader has said why. Nothing of this opening is kept; the window cannot go while it is being shown.
        m_abandoned = true;
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        return;
    }
    fillSpectrumList();

    if (m_data.Generator == GeneratorRUZ1200U) {
        m_labNewFc->setText(QStringLiteral("High Cut, Hz"));
        m_labNewFh->setText(QStringLiteral("Low Cut, Hz"));
    } else {
        m_labNewFc->setText(QStringLiteral("Low Pass, Hz"));
        m_labNewFh->setText(QStringLiteral("High Pass, Hz"));
    }

    m_framFile->hide();
    showPage(m_specPage);
    m_framSpec->show();
    m_framRecommend->hide();

    setWindowTitle(WindowCaption + NumberText(static_cast<f32>(ch)));
    m_cmdMatch->setEnabled(false);
    m_cmdClear->setEnabled(false);
    m_cmdDone->setEnabled(false);
    m_datChan1->setText(PlainNumber(static_cast<f32>(ch)));
    m_datChan2->setText(PlainNumber(static_cast<f32>(ch)));

    // Having said Yes, the person means to leave and find the software: the focus stays on Cancel.
    const bool leaving = askForMg24Folder();

    m_labNote->clear();
    if (ch < 1 || ch > 6 || m_data.MaskSpectrumIndexEdit(ch) == 0) {
        if (ch >= 1 && ch <= 6) {
            m_data.MaskHighCutSlopeEdit(ch) = 12;
            m_data.MaskLowCutFreqEdit(ch) = 100;
            m_data.MaskLowCutSlopeEdit(ch) = 12;
        }
        m_cmdPick->setEnabled(false);
        m_cmdUp->setEnabled(false);
        m_cmdDown->setEnabled(false);
        if (!leaving)
            m_lstSpec->setFocus(Qt::OtherFocusReason);
        m_gridReady = true;
        return;
    }
    m_gridReady = true;
    selectListEntry(m_data.MaskSpectrumIndexEdit(ch));
}

bool Mask::askForMg24Folder()
{
    if (m_data.CurrentChannel < FirstMg24Channel || !m_data.MG24Folder.trimmed().isEmpty())
        return false;
    if (m_prompter.message(Mg24Question, QStringLiteral("MG24 Directory"), MsgIcon::None, MsgButtons::YesNo) ==
        MsgAnswer::Yes) {
        m_cmdCancel->setFocus(Qt::OtherFocusReason);
        return true;
    }
    m_data.MG24Folder = m_data.AppPath;
    return false;
}

bool Mask::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == m_lstSpec && type == QEvent::FocusIn) {
        m_labFNote->setText(GoalListFocusNote(m_data, m_data.CurrentChannel));
    } else if (watched == m_cmdUpTest && type == QEvent::FocusIn) {
        addTestFocused();
    } else if (watched == m_datFcOld && type == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            leaveCutoff();
    } else if (const int cell = cellOf(watched); cell != 0) {
        if (cellEvent(cell, event))
            return true;
    } else if (const int test = testLabelOf(watched); test != 0 && type == QEvent::MouseButtonRelease) {
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            testLabelClicked(test);
    }
    return QWidget::eventFilter(watched, event);
}

// ---- Closing ------------------------------------------------------------------------------------------------

void Mask::done()
{
    m_closingWithDone = true;
    close();
}

void Mask::cancel()
{
    m_closingWithDone = false;
    close();
}

void Mask::enableMain()
{
    if (m_main == nullptr)
        return;
    m_main->setEnabled(true);
    m_main->UpdateMainMenus();
}

void Mask::closeEvent(QCloseEvent* event)
{
    // The fit replays its steps inside its own handler; the window must outlive it.
    if (m_fitting) {
        event->ignore();
        return;
    }
    m_closing = true;
    const bool withDone = m_closingWithDone;
    m_closingWithDone = false;
    if (m_abandoned) {
        enableMain();
        event->accept();
        return;
    }
    if (!withDone) {
        if (m_prompter.message(ExitQuestion, ExitTitle, MsgIcon::None, MsgButtons::OkCancel) != MsgAnswer::Ok) {
            m_closing = false;
            event->ignore();
            return;
        }
        enableMain();
        event->accept();
        return;
    }

    m_data.ProjectStage = 2;
    // The equalization goes into the project set with or without a file name: dropped here it could never reach
    // the file that Save As writes later.
    StoreMaskingChannels(m_data);
    if (m_data.ProjectFileName.trimmed().isEmpty()) {
        ShowSaveAsNote(m_prompter);
    } else {
        if (m_data.Generator == GeneratorZUVAR24)
            WriteEqFile(m_data, m_prompter, m_data.CurrentChannel, 1);
        OfferToSaveResults(m_data, m_prompter, MsgIcon::Information);
    }
    enableMain();
    event->accept();
}

}  // namespace kov
