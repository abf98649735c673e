#include "Program.h"

#include <QApplication>

namespace kov {

void ConfigureApplication()
{
    QApplication::setApplicationName(QStringLiteral("KOV"));
}

Program::Program() : m_data(std::make_unique<LumoData>()), m_main(std::make_unique<LumoMain>(*m_data, m_prompter))
{
    // Each window of the program is built here and handed to the main window as the opener of its menu item,
    // e.g. m_main->setOpener(QStringLiteral("GoProj"), [this] { ... });
}

Program::~Program() = default;

bool Program::start()
{
    return Main(*m_data, m_prompter, *m_main);
}

}  // namespace kov
