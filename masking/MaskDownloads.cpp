#include "masking/MaskDownloads.h"

#include <QApplication>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QVBoxLayout>

#include "core/LongWork.h"
#include "core/Tables.h"
#include "masking/MaskWidgets.h"
#include "meters/Ld824.h"
#include "meters/Ld824Port.h"
#include "meters/MeterChoice.h"

namespace kov {

namespace {

inline const QString StartingDownloadNote = QStringLiteral("Starting download.....");

struct DownloadButton {
    const char* name;
    const char* caption;
    const char* tip;
    DownloadSource source;
};
constexpr DownloadButton DownloadButtons[] = {
    {"CmdDownloadIE", "IE-45", nullptr, DownloadSource::Ie45},
    {"CmdDownloadBK", "BK2250", nullptr, DownloadSource::Bk2250},
    {"CmdDownloadPAA", "PAA3", nullptr, DownloadSource::Paa3},
    {"CmdDownloadDSP", "DSP30", nullptr, DownloadSource::Dsp30},
    {"CmdDownloadEX", "Excel", nullptr, DownloadSource::Excel},
    {"CmdDownloadLD", "LD824", "Download data from LD824", DownloadSource::Ld824},
};

}  // namespace

MaskDownloads::MaskDownloads(LumoData& d, Prompter& prompter, Clock& clock, QWidget* parent)
    : QWidget(parent), m_data(d), m_prompter(prompter), m_clock(clock)
{
    buildFrames();
}

void MaskDownloads::buildFrames()
{
    m_framDownload = new QGroupBox(QStringLiteral("Download from"), this);
    m_framDownload->setObjectName(QStringLiteral("FramDownload"));
    auto* downloads = new QVBoxLayout(m_framDownload);
    downloads->setContentsMargins(4, 4, 4, 4);
    downloads->setSpacing(2);
    for (const DownloadButton& b : DownloadButtons) {
        QPushButton* button = MakeButton(m_framDownload, QString::fromLatin1(b.name), QString::fromLatin1(b.caption),
                                         b.tip != nullptr ? QString::fromLatin1(b.tip) : QString());
        downloads->addWidget(button);
        if (b.source == DownloadSource::Ld824) {
            m_cmdDownloadLD = button;
            connect(button, &QPushButton::clicked, this, &MaskDownloads::openLd824Range);
            continue;
        }
        const DownloadSource source = b.source;
        connect(button, &QPushButton::clicked, this, [this, source] { chooseFile(source); });
    }

    // Off but for the time of a download, which it stops at its next wait.
    m_cmdCancelDownload = MakeButton(this, QStringLiteral("CmdCancelDownload"), QStringLiteral("Stop"),
                                     QStringLiteral("Stop the download from the LD824"));
    m_cmdCancelDownload->setEnabled(false);
    connect(m_cmdCancelDownload, &QPushButton::clicked, this, [this] { m_cancelRequested = true; });

    // The range of stored records to fetch; the downloads that need one open it.
    m_framFile = new QGroupBox(this);
    m_framFile->setObjectName(QStringLiteral("FramFile"));
    auto* range = new QGridLayout(m_framFile);
    range->setContentsMargins(4, 4, 4, 4);
    range->addWidget(new QLabel(QStringLiteral("Starting File Number"), m_framFile), 0, 0);
    range->addWidget(new QLabel(QStringLiteral("Ending File Number"), m_framFile), 1, 0);
    const char* tips[2] = {"First file number to download from LD824", "Last file number to download form LD824"};
    for (int box = 0; box < 2; ++box) {
        auto* edit = new QLineEdit(m_framFile);
        edit->setObjectName(QStringLiteral("DatFile_%1").arg(box));
        edit->setToolTip(QString::fromLatin1(tips[box]));
        edit->setMaxLength(6);
        edit->installEventFilter(this);
        connect(edit, &QLineEdit::textChanged, this, [this, box] {
            if (m_filtering)
                return;
            m_boxTaken[box] = false;
            filterRecordTyping(box);
        });
        m_datFile[box] = edit;
        range->addWidget(edit, box, 1);
    }
    m_cmdFile = MakeButton(m_framFile, QStringLiteral("CmdFile"), QStringLiteral("Start Download"),
                           QStringLiteral("Download above file numbers"));
    m_cmdAbort = MakeButton(m_framFile, QStringLiteral("CmdAbort"), QStringLiteral("Abort"));
    range->addWidget(m_cmdFile, 2, 0);
    range->addWidget(m_cmdAbort, 2, 1);
    m_framFile->hide();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_framDownload);
    layout->addWidget(m_cmdCancelDownload);
    layout->addWidget(m_framFile);

    connect(m_cmdFile, &QPushButton::clicked, this, &MaskDownloads::startRangeDownload);
    connect(m_cmdAbort, &QPushButton::clicked, this, &MaskDownloads::closeRangeFrame);
}

void MaskDownloads::resetDownloadState()
{
    closeRangeFrame();
}

// ---- Choosing a file ----------------------------------------------------------------------------------------

void MaskDownloads::chooseFile(DownloadSource source)
{
    if (m_importing)
        return;
    // A range typed for another download does not carry over to this one.
    closeRangeFrame();
    m_source = source;
    const MeterFileChoice choice = ChooseMeterFile(m_data, source);
    const QString path = m_prompter.chooseOpenFile(choice.request);
    if (path.trimmed().isEmpty()) {
        ShowMessage(m_prompter, choice.noFileChosen);
        return;
    }
    switch (source) {
        case DownloadSource::Paa3:
            m_paa3File = path;
            openRangeFrame();
            return;
        case DownloadSource::Dsp30:
            handOver(ReadDsp30File(path), false);
            return;
        case DownloadSource::Ie45:
            handOver(ReadIe45File(path), false);
            return;
        case DownloadSource::Bk2250:
        case DownloadSource::Excel:
            handOver(readWorkbook(source, path), true);
            return;
        case DownloadSource::None:
        case DownloadSource::Ld824:
            return;
    }
}

MeterImport MaskDownloads::readWorkbook(DownloadSource source, const QString& path)
{
    const QScopedValueRollback importing(m_importing, true);
    const LongWork work(window());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    emit note(StartingDownloadNote);
    m_clock.letEventsRun();
    return source == DownloadSource::Bk2250 ? ReadBk2250File(path, m_clock) : ReadExcelFile(path, m_clock);
}

void MaskDownloads::handOver(const MeterImport& result, bool clearNoteOnFailure)
{
    if (const Message* failure = std::get_if<Message>(&result)) {
        if (clearNoteOnFailure)
            emit note(QString());
        ShowMessage(m_prompter, *failure);
        return;
    }
    const MeterTests& tests = std::get<MeterTests>(result);
    // What a download does not write stays as the last one left it.
    for (int t = 1; t <= tests.count; ++t) {
        for (int k = 1; k <= 18; ++k)
            m_testLevel(t, k) = tests.levels(t, k);
    }
    m_testCount = tests.count;
    emit downloaded(tests.count);
    if (tests.notice)
        emit noticeAfterHandOver(*tests.notice);
}

// ---- The LD824 ----------------------------------------------------------------------------------------------

void MaskDownloads::openLd824Range()
{
    if (m_importing)
        return;
    // The download itself starts only from Start Download, after the range has been checked.
    closeRangeFrame();
    m_source = DownloadSource::Ld824;
    openRangeFrame();
}

void MaskDownloads::downloadLd824()
{
    const QScopedValueRollback importing(m_importing, true);
    Ld824Download result;
    {
        // Nothing may act on the grid the download is about to fill; only Cancel Download stays.
        const LongWork work(window(), {m_cmdCancelDownload});
        m_cancelRequested = false;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        emit note(StartingDownloadNote);
        m_clock.letEventsRun();
        std::unique_ptr<SerialLink> link = m_linkFactory ? m_linkFactory() : nullptr;
        if (link) {
            result = DownloadLd824(
                *link, m_clock, m_prompter, Ld824PortLabel(m_data), m_startFile, m_endFile,
                [this](const QString& text) { emit note(text); }, [this] { return m_cancelRequested; });
        } else {
            ShowMessage(m_prompter,
                        {QStringLiteral("The Port %1 is incorrect.  Choose another.").arg(Ld824PortLabel(m_data)),
                         QStringLiteral("Port Error"), MsgIcon::Critical});
        }
    }
    if (result.failed) {
        emit note(QString());
        return;
    }
    m_endFile = result.endFile;
    MeterTests tests;
    tests.levels = result.levels;
    tests.count = result.count;
    handOver(tests, false);
}

// ---- The record range ---------------------------------------------------------------------------------------

void MaskDownloads::openRangeFrame()
{
    m_framFile->setTitle(RecordRangeCaption(m_source));
    m_framFile->show();
    m_datFile[0]->setFocus(Qt::OtherFocusReason);
}

void MaskDownloads::closeRangeFrame()
{
    m_startFile = 0;
    m_endFile = 0;
    {
        const QScopedValueRollback filtering(m_filtering, true);
        m_datFile[0]->clear();
        m_datFile[1]->clear();
    }
    m_framFile->hide();
}

void MaskDownloads::filterRecordTyping(int box)
{
    QLineEdit* edit = m_datFile[box];
    const QString text = edit->text().toUpper().trimmed();
    if (text.isEmpty() || CheckAllowedChars(text, RecordNumberChars) != 0)
        return;
    const QScopedValueRollback filtering(m_filtering, true);
    edit->backspace();
}

void MaskDownloads::leaveRecordBox(int box)
{
    m_boxTaken[box] = true;
    if (box == 0) {
        m_startFile = LeaveStartRecordBox(m_datFile[0]->text()).value;
        return;
    }
    const RecordBoxExit exit = LeaveEndRecordBox(m_datFile[1]->text(), m_source);
    m_endFile = exit.value;
    if (exit.boxText) {
        const QScopedValueRollback filtering(m_filtering, true);
        m_datFile[1]->setText(*exit.boxText);
    }
    if (exit.message)
        ShowMessage(m_prompter, *exit.message);
}

bool MaskDownloads::eventFilter(QObject* watched, QEvent* event)
{
    const int box = watched == m_datFile[0] ? 0 : watched == m_datFile[1] ? 1 : -1;
    if (box < 0)
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::FocusOut) {
        // A message box or another program taking the focus is no leaving of the box.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            leaveRecordBox(box);
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Down || key == Qt::Key_Home) {
            m_datFile[1 - box]->setFocus(Qt::TabFocusReason);
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (box == 0)
                m_datFile[1]->setFocus(Qt::TabFocusReason);
            else
                m_cmdFile->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MaskDownloads::startRangeDownload()
{
    // A number typed counts once its box is left; Start Download pressed while the focus is still in a box (or
    // while the window was not active, so that no focus left anything) takes what the boxes show.
    for (int box = 0; box < 2; ++box) {
        if (!m_boxTaken[box])
            leaveRecordBox(box);
    }
    if (const std::optional<RecordRangeError> error = CheckRecordRange(m_startFile, m_endFile, m_source)) {
        ShowMessage(m_prompter, error->message);
        m_startFile = 0;
        {
            const QScopedValueRollback filtering(m_filtering, true);
            m_datFile[0]->clear();
            if (!error->clearsStartOnly) {
                m_endFile = 0;
                m_datFile[1]->clear();
            }
        }
        m_datFile[0]->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (m_source == DownloadSource::Ld824) {
        m_framFile->hide();
        downloadLd824();
        return;
    }
    if (m_source != DownloadSource::Paa3)
        return;
    m_framFile->hide();
    const int start = m_startFile;
    const int end = m_endFile;
    handOver(DownloadPaa3(m_paa3File, start, end), false);
}

}  // namespace kov
