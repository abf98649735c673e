#pragma once

#include <QWidget>

#include "core/LumoData.h"
#include "core/ProjectCommands.h"
#include "core/Prompter.h"

class QButtonGroup;
class QDateEdit;
class QLineEdit;
class QPushButton;

namespace kov {

class LumoMain;

// Project Information: the project's name, date and generator product. The window edits its own copies and
// stores them only when it closes with Done; Cancel and the close box ask before throwing the edits away.
class LumoClient : public QWidget {
    Q_OBJECT

public:
    // `main` is disabled while this window is open; it may be null where there is no main window.
    LumoClient(LumoData& d, Prompter& prompter, LumoMain* main, QWidget* parent = nullptr);

    const ProjectInformation& edited() const { return m_edited; }

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void activate();
    void selectGenerator(i16 generator);
    void commitName();
    void done();
    void cancel();
    void enableMain();

    LumoData& m_data;
    Prompter& m_prompter;
    LumoMain* m_main;
    ProjectInformation m_edited;
    bool m_closingWithDone = false;
    bool m_closing = false;

    QLineEdit* m_name = nullptr;
    QDateEdit* m_date = nullptr;
    QButtonGroup* m_generators = nullptr;
};

}  // namespace kov
