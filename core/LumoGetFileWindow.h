#pragma once

#include <QWidget>
#include <functional>

#include "core/LumoData.h"
#include "core/Prompter.h"

class QLabel;
class QListWidget;
class QListWidgetItem;

namespace kov {

class LumoMain;

// The Open window: the project files beside the program (GetFileMode 1), or the EQ files of the ZUV-AR24 folder
// for the review window (GetFileMode 2). The mode is taken when the window is shown.
class LumoGetFile : public QWidget {
    Q_OBJECT

public:
    // `main` is disabled while a project is being chosen; it may be null where there is no main window.
    LumoGetFile(LumoData& d, Prompter& prompter, LumoMain* main, QWidget* parent = nullptr);

    // Run whenever the window closes in mode 2, a file read or not: it brings back the review window that asked.
    void setReviewOpener(std::function<void()> opener) { m_reviewOpener = std::move(opener); }

    // The file clicked last, "" before any.
    const QString& selectedFile() const { return m_selected; }

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void activate();
    void listFiles();
    void fileClicked(QListWidgetItem* item);
    void openFile();

    LumoData& m_data;
    Prompter& m_prompter;
    LumoMain* m_main;
    std::function<void()> m_reviewOpener;
    i16 m_mode = 1;
    QString m_selected;
    bool m_activateOnReturn = false;

    QListWidget* m_files = nullptr;
    QLabel* m_note = nullptr;
};

}  // namespace kov
