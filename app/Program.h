#pragma once

#include <functional>
#include <memory>

#include "core/Clock.h"
#include "core/CommPort.h"
#include "core/LumoData.h"
#include "core/LumoMainWindow.h"
#include "core/QtPrompter.h"
#include "meters/SerialLink.h"
#include "report/ProgramPrinter.h"
#include "report/ReportPrinting.h"

namespace kov {

// Names the application; call once the QApplication exists.
void ConfigureApplication();

// What the program's windows are built with: the data, the person, the clock, the printer object (made when
// first asked for), the system's serial ports, and the serial line a download opens.
struct WindowParts {
    LumoData& data;
    Prompter& prompter;
    Clock& clock;
    std::function<ProgramPrinter&()> printer;
    SerialPortLister ports;
    std::function<std::unique_ptr<SerialLink>()> serialLink;
};

// Hands every menu item of `main` that opens a window or prints the opener that builds it from `parts`. Each
// window lives for one opening: it goes when it is closed, and at the latest with the main window.
void InstallOpeners(LumoMain& main, const WindowParts& parts);

// The running program's objects: the one data object, the real prompter, the main window and the windows its
// menu items open. The program and the screenshot tool both start through here, so they start alike.
class Program {
public:
    Program();
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Loads the shared data and shows the main window, then opens `projectPath` when one is named; false when the
    // program had to end.
    bool start(const QString& projectPath = {});

    LumoData& data() { return *m_data; }
    LumoMain& mainWindow() { return *m_main; }
    // The program's printer object, on the system's default printer when first asked for.
    ProgramPrinter& printer();

private:
    std::unique_ptr<LumoData> m_data;
    QtPrompter m_prompter;
    SystemClock m_clock;
    std::unique_ptr<LumoMain> m_main;
    // Made when first asked for, so a start of the program never waits on the printing system.
    std::unique_ptr<ProgramPrinter> m_printer;
};

}  // namespace kov
