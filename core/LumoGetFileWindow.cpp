#include "core/LumoGetFileWindow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "core/LumoMainWindow.h"
#include "core/ProjectCommands.h"

namespace kov {

LumoGetFile::LumoGetFile(LumoData& d, Prompter& prompter, LumoMain* main, QWidget* parent)
    : LumoWindow(prompter, main, parent), m_data(d)
{
    setObjectName(QStringLiteral("LumoGetFile"));
    buildControls();
}

void LumoGetFile::buildControls()
{
    m_files = new QListWidget(this);
    m_files->setObjectName(QStringLiteral("FileBoxOffice"));
    m_files->setToolTip(QStringLiteral("Click to select and review ID."));
    m_files->setSelectionMode(QAbstractItemView::SingleSelection);

    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("LabNote"));
    m_note->setWordWrap(true);
    m_note->setTextFormat(Qt::PlainText);
    m_note->setMinimumHeight(m_note->fontMetrics().lineSpacing() * 2);

    auto* openButton = new QPushButton(QStringLiteral("Open"), this);
    openButton->setObjectName(QStringLiteral("CmdOpen"));
    openButton->setToolTip(QStringLiteral("Open a file in the list above"));
    auto* cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("CmdCancel"));
    cancelButton->setToolTip(QStringLiteral("Exit this form"));
    // Projects saved with Save As can live in any folder; the list starts in the open project's.
    m_otherFolder = new QPushButton(QStringLiteral("Other Folder..."), this);
    m_otherFolder->setObjectName(QStringLiteral("CmdFolder"));
    m_otherFolder->setToolTip(QStringLiteral("List the project files of another folder"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(openButton);
    buttons->addWidget(m_otherFolder);
    buttons->addWidget(cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_files, 1);
    layout->addWidget(m_note);
    layout->addLayout(buttons);

    // Selection rather than the current item: the list makes its first row current when it takes the focus,
    // and that is no click.
    connect(m_files, &QListWidget::itemSelectionChanged, this,
            [this] { fileClicked(m_files->selectedItems().value(0, nullptr)); });
    // Double-clicking a file opens it, as a file box does everywhere else.
    connect(m_files, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        fileClicked(item);
        openFile();
    });
    connect(openButton, &QPushButton::clicked, this, &LumoGetFile::openFile);
    connect(m_otherFolder, &QPushButton::clicked, this, &LumoGetFile::chooseFolder);
    connect(cancelButton, &QPushButton::clicked, this, &LumoWindow::requestCancel);
}

void LumoGetFile::activate()
{
    m_mode = m_data.GetFileMode == 2 ? 2 : 1;
    m_otherFolder->setVisible(m_mode == 1);
    if (m_mode == 2 || m_folder.isEmpty())
        m_folder = GetFileFolder(m_data, m_mode);
    listFiles();
}

void LumoGetFile::chooseFolder()
{
    const QString chosen = prompter().chooseFolder(QStringLiteral("Folder of the Project Files"), m_folder);
    if (chosen.isEmpty())
        return;
    m_folder = chosen;
    m_note->clear();
    listFiles();
}

void LumoGetFile::listFiles()
{
    setWindowTitle(QStringLiteral("Open a file in ") + m_folder);
    const QSignalBlocker quiet(m_files);
    m_files->clear();
    m_files->addItems(FilesMatching(m_folder, GetFilePattern(m_mode)));
    // Coming back to the window keeps the file clicked before, while it is still there.
    const QList<QListWidgetItem*> same = m_files->findItems(m_selected, Qt::MatchExactly);
    if (!m_selected.isEmpty() && !same.isEmpty())
        m_files->setCurrentItem(same.front());
    else
        m_selected.clear();
}

void LumoGetFile::fileClicked(QListWidgetItem* item)
{
    if (item == nullptr)
        return;
    m_selected = item->text();
    if (m_mode == 1)
        m_note->setText(PreviewProjectFile(m_folder, m_selected));
}

void LumoGetFile::openFile()
{
    if (m_mode == 2) {
        if (OpenEqFileForReview(m_data, prompter(), m_selected) == OpenResult::Opened)
            requestDone();
        return;
    }
    // Opening replaces the project in memory: what it holds that its file does not is settled first, as New does.
    if (!m_selected.isEmpty() && !SettleUnsavedChanges(m_data, prompter()))
        return;
    const OpenResult result = OpenProject(m_data, prompter(), m_folder, m_selected);
    if (result == OpenResult::NothingChosen)
        return;
    if (result == OpenResult::Failed) {
        // The project in memory is still the one that was open before.
        if (mainWindow() != nullptr)
            mainWindow()->setWindowTitle(MainCaption(m_data.ProjectFileName));
        return;
    }
    if (mainWindow() != nullptr) {
        mainWindow()->updateMainMenus();
        mainWindow()->setWindowTitle(MainCaption(m_data.ProjectFileName));
    }
    requestDone();
}

void LumoGetFile::closed()
{
    if (m_mode == 2 && m_reviewOpener)
        m_reviewOpener();
}

}  // namespace kov
