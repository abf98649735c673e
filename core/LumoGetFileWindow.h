#pragma once

#include <functional>

#include "core/LumoData.h"
#include "core/LumoWindow.h"
#include "core/Prompter.h"

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace kov {

class LumoMain;

// The Open window: the project files beside the program (GetFileMode 1), or the EQ files of the ZUV-AR24 folder
// for the review window (GetFileMode 2). The mode is taken when the window is shown.
class LumoGetFile : public LumoWindow {
    Q_OBJECT

public:
    // `main` is disabled while a project is being chosen; it may be null where there is no main window.
    LumoGetFile(LumoData& d, Prompter& prompter, LumoMain* main, QWidget* parent = nullptr);

    // Run whenever the window closes in mode 2, a file read or not: it brings back the review window that asked.
    void setReviewOpener(std::function<void()> opener) { m_reviewOpener = std::move(opener); }

    // The file clicked last, "" before any.
    const QString& selectedFile() const { return m_selected; }

protected:
    void activate() override;
    // In mode 2 the review window has disabled itself; the main window is its business.
    bool disablesMain() const override { return m_data.GetFileMode != 2; }
    // Nothing is edited here: Cancel and the close box just close.
    bool confirmDiscard() override { return true; }
    void closed() override;

private:
    void buildControls();
    void listFiles();
    void chooseFolder();
    void fileClicked(QListWidgetItem* item);
    void openFile();

    LumoData& m_data;
    std::function<void()> m_reviewOpener;
    i16 m_mode = 1;
    QString m_folder;  // the folder listed; one chosen with "Other Folder..." stays for this opening
    QString m_selected;

    QListWidget* m_files = nullptr;
    QLabel* m_note = nullptr;
    QPushButton* m_otherFolder = nullptr;
};

}  // namespace kov
