#pragma once

#include "core/Clock.h"
#include "core/LumoData.h"
#include "core/LumoWindow.h"
#include "core/Prompter.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace kov {

class LumoMain;

// Opening size in twips. Wider than the window was on Windows: a folder of a Wine drive, "/home/installer/.wine/
// drive_c/Program Files (x86)/Corvex/ZUV-AR24/", is twice as long as "C:\Program Files\Corvex\" and has to be read
// whole.
inline constexpr int FindFileWidthTwips = 9000;
inline constexpr int FindFileHeightTwips = 3200;

// Locate MG24 Software: searches a folder tree for the ZUV-AR24 program and offers, on Done, to keep the folder it
// was found in as the folder of the EQ files. The close box closes as Done does unless Cancel was pressed last.
// Closing while a search runs stops the search and keeps the window: the search runs inside the window's own
// handler, so the window cannot go from under it.
class FindFile : public LumoWindow {
    Q_OBJECT

public:
    // `main` is disabled while this window is open; it may be null where there is no main window.
    FindFile(LumoData& d, Prompter& prompter, Clock& clock, LumoMain* main, QWidget* parent = nullptr);

    bool searching() const { return m_searching; }

protected:
    void activate() override;
    bool acceptDone() override;
    bool closeBoxIsDone() const override { return !m_cancelled; }
    QString exitTitle() const override { return QStringLiteral("KOV 2.0"); }
    bool busy() const override { return m_searching; }
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void search();

    LumoData& m_data;
    Clock& m_clock;
    bool m_cancelled = false;
    bool m_searching = false;
    bool m_stopRequested = false;

    QLineEdit* m_txtDir = nullptr;
    QLineEdit* m_txtFile = nullptr;
    QLabel* m_labDir = nullptr;
    QLabel* m_labNote = nullptr;
    QPushButton* m_cmdFind = nullptr;
    QPushButton* m_cmdCancel = nullptr;
};

}  // namespace kov
