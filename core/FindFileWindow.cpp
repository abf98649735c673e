#include "core/FindFileWindow.h"
#include "core/LongWork.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QVBoxLayout>

#include "core/FolderFile.h"
#include "core/FolderSearch.h"
#include "core/Message.h"
#include "core/Tables.h"

namespace kov {

namespace {

QLabel* Caption(QWidget* parent, const char* name, const QString& text, QWidget* buddy)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setBuddy(buddy);
    return label;
}

QLineEdit* PathBox(QWidget* parent, const char* name)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    QObject::connect(box, &QLineEdit::textEdited, box, [box](const QString& text) {
        if (CheckAllowedChars(text.trimmed().toUpper(), SearchPathChars) == 0)
            box->backspace();
    });
    return box;
}

}  // namespace

FindFile::FindFile(LumoData& d, Prompter& prompter, Clock& clock, LumoMain* main, QWidget* parent)
    : LumoWindow(prompter, main, parent), m_data(d), m_clock(clock)
{
    setObjectName(QStringLiteral("FindFile"));
    setWindowTitle(QStringLiteral("Find MG24 Software"));
    buildControls();
    // The menu item has set FindTarget to the ZUV-AR24 program, the only target there is.
    m_txtDir->setText(DefaultSearchStart());
    setWindowTitle(QStringLiteral("Locate Corvex ZUV-AR24 Software"));
    m_txtFile->setText(MG24ProgramFile);
}

void FindFile::buildControls()
{
    m_txtDir = PathBox(this, "TxtDir");
    m_txtFile = PathBox(this, "TxtFile");
    m_labDir = new QLabel(this);
    m_labDir->setObjectName(QStringLiteral("LabDir"));
    m_labDir->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // The folder has the window's whole width; a longer one must not widen the window past the screen, and the
    // whole of it is in the tip.
    m_labDir->setMinimumWidth(1);
    m_labDir->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    auto* fields = new QFormLayout;
    fields->addRow(Caption(this, "LabStartDir", QStringLiteral("Search Start Directory"), m_txtDir), m_txtDir);
    fields->addRow(Caption(this, "LabTargetFile", QStringLiteral("Target File"), m_txtFile), m_txtFile);
    fields->addRow(Caption(this, "LabFoundDir", QStringLiteral("Directory of File"), nullptr));
    fields->addRow(m_labDir);

    m_labNote = new QLabel(this);
    m_labNote->setObjectName(QStringLiteral("LabNote"));
    m_labNote->setWordWrap(true);
    m_labNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_cmdFind = new QPushButton(QStringLiteral("Search"), this);
    m_cmdFind->setObjectName(QStringLiteral("CmdFind"));
    auto* doneButton = new QPushButton(QStringLiteral("Done"), this);
    doneButton->setObjectName(QStringLiteral("CmdDone"));
    m_cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto* cancelButton = m_cmdCancel;
    cancelButton->setObjectName(QStringLiteral("CmdCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_cmdFind);
    buttons->addStretch();
    buttons->addWidget(doneButton);
    buttons->addWidget(cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(m_labNote, 1);
    layout->addLayout(buttons);

    connect(m_cmdFind, &QPushButton::clicked, this, &FindFile::search);
    connect(doneButton, &QPushButton::clicked, this, [this] {
        m_cancelled = false;
        requestDone();
    });
    connect(cancelButton, &QPushButton::clicked, this, [this] {
        m_cancelled = true;
        requestCancel();
    });
}

void FindFile::activate()
{
    m_labNote->setText(
        QStringLiteral("Both the start directory and the target file can be altered.  Press SEARCH when ready.") +
        QStringLiteral("  The directory will be saved so search is necessary only when changes are made."));
}

void FindFile::search()
{
    if (m_searching)
        return;
    FolderSearchResult result;
    {
        const QScopedValueRollback searching(m_searching, true);
        // Cancel stops the search; nothing else of the window acts until it is over.
        const LongWork work(this, {m_cmdCancel});
        m_stopRequested = false;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        const QString shown = m_labDir->text();
        m_labDir->setText(QStringLiteral("Searching........"));
        m_labDir->setToolTip(QString());
        m_clock.letEventsRun();
        result = SearchFolders(SearchStartFolder(m_txtDir->text()), m_txtFile->text().trimmed(), [this] {
            m_clock.letEventsRun();
            return !m_stopRequested;
        });
        if (result.stopped) {
            // A search cut short proves nothing: the last complete one still stands.
            m_labDir->setText(shown);
            m_labDir->setToolTip(shown);
            m_labNote->setText(QStringLiteral("The search was stopped before it was complete."));
            return;
        }
    }
    if (result.unsearched)
        ShowMessage(prompter(), *result.unsearched);
    // Each search answers for itself: a folder an earlier search found must not pass for this one's find.
    m_data.FoundMG24Folder = result.found;
    m_labDir->setText(result.found);
    m_labDir->setToolTip(result.found);
    if (result.found.isEmpty()) {
        m_labNote->setText(QStringLiteral("Search complete. The file was not found."));
        m_data.FoundMG24Folder = QDir::currentPath();
        prompter().message(QStringLiteral("The ZUV-AR24 directory was not found. EQ files will be placed in the "
                                          "current directory"),
                           QStringLiteral("MG24"), MsgIcon::None, MsgButtons::Ok);
    } else {
        m_labNote->setText(QStringLiteral("Search complete. The file was found."));
    }
}

bool FindFile::acceptDone()
{
    if (m_data.FoundMG24Folder.isEmpty())
        return true;
    if (prompter().message(QStringLiteral("Save the MG24 directory?"), QStringLiteral("Save to File"),
                           MsgIcon::Information, MsgButtons::YesNo) != MsgAnswer::Yes)
        return true;
    m_data.MG24Folder = m_data.FoundMG24Folder;
    // A file that could not be written has said so and that the folder is in use until KOV closes; the window stays,
    // so that Done can write it once the program folder takes it.
    return WriteFolderFile(m_data, prompter());
}

void FindFile::closeEvent(QCloseEvent* event)
{
    if (m_searching) {
        m_stopRequested = true;
        event->ignore();
        return;
    }
    LumoWindow::closeEvent(event);
}

}  // namespace kov
