#pragma once

#include "core/LumoData.h"
#include "core/LumoWindow.h"
#include "core/ProjectCommands.h"
#include "core/Prompter.h"

class QButtonGroup;
class QLineEdit;
class QPushButton;

namespace kov {

class LumoMain;
class ProjectDateEdit;

// Project Information: the project's name, date and generator product, and the installer the reports name. The window
// edits its own copies and stores them only when it closes with Done; Cancel and the close box ask before throwing the
// edits away.
class LumoClient : public LumoWindow {
    Q_OBJECT

public:
    // `main` is disabled while this window is open; it may be null where there is no main window.
    LumoClient(LumoData& d, Prompter& prompter, LumoMain* main, QWidget* parent = nullptr);

    const ProjectInformation& edited() const { return m_edited; }

protected:
    void activate() override;
    void apply() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void selectGenerator(i16 generator);
    void commitName();
    void done();

    LumoData& m_data;
    ProjectInformation m_edited;

    QLineEdit* m_name = nullptr;
    ProjectDateEdit* m_date = nullptr;
    QButtonGroup* m_generators = nullptr;
    QLineEdit* m_company = nullptr;
    QLineEdit* m_installer = nullptr;
};

}  // namespace kov
