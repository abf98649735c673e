#include "Program.h"

#include <QApplication>
#include <QPointer>

#include "core/FindFileWindow.h"
#include "core/LumoClientWindow.h"
#include "core/LumoDirWindow.h"
#include "core/LumoGetFileWindow.h"
#include "core/WindowPlacement.h"
#include "masking/MaskWindow.h"
#include "meters/Ld824Port.h"
#include "meters/SerialPortLink.h"
#include "meters/SerialPorts.h"
#include "paging/PageWindow.h"
#include "paging/ReviewWindow.h"
#include "report/LumoPrinterWindow.h"
#include "spectra/LumoDBWindow.h"

namespace kov {

namespace {

// A window built for one opening: it goes when it is closed, and at the latest with the main window.
void ShowForOneOpening(LumoMain& main, QWidget* window, int widthTwips, int heightTwips)
{
    window->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(&main, &QObject::destroyed, [window = QPointer<QWidget>(window)] { delete window.data(); });
    CenterAndShowForm(window, widthTwips, heightTwips);
}

// Room for the option frames, the plot with the rating list beside it, and the widest settings frame in the plot's
// place.
constexpr int PageWidthTwips = 14400;
constexpr int PageHeightTwips = 7200;

}  // namespace

void ConfigureApplication()
{
    QApplication::setApplicationName(QStringLiteral("KOV"));
}

Program::Program() : m_data(std::make_unique<LumoData>()), m_main(std::make_unique<LumoMain>(*m_data, m_prompter))
{
    // Each window of the program is built here and handed to the main window as the opener of its menu item.
    m_main->setOpener(QStringLiteral("GoProj"), [this] {
        ShowForOneOpening(*m_main, new LumoClient(*m_data, m_prompter, m_main.get()), 6370, 4900);
    });
    m_main->setOpener(QStringLiteral("GoOpen"), [this] {
        ShowForOneOpening(*m_main, new LumoGetFile(*m_data, m_prompter, m_main.get()), 3700, 4525);
    });
    m_main->setOpener(QStringLiteral("GoReview"), [this] {
        ShowForOneOpening(*m_main, new Review(*m_data, m_prompter, m_main.get()), 10350, 7835);
    });
    // The menu item has set FindTarget before this runs.
    m_main->setOpener(QStringLiteral("GoMG24"), [this] {
        ShowForOneOpening(*m_main, new FindFile(*m_data, m_prompter, m_clock, m_main.get()), FindFileWidthTwips,
                          FindFileHeightTwips);
    });
    m_main->setOpener(QStringLiteral("GoComm"), [this] {
        ShowForOneOpening(*m_main, new LumoDir(*m_data, m_prompter, m_main.get(), ListSerialPorts), 7770, 1565);
    });
    m_main->setOpener(QStringLiteral("GoRefSpec"), [this] {
        ShowForOneOpening(*m_main, new LumoDB(*m_data, m_prompter, m_main.get()), 9765, 6425);
    });
    // The channel items have set CurrentChannel before their opener runs.
    for (int n = 1; n <= 6; ++n) {
        m_main->setOpener(QStringLiteral("GoMask%1").arg(n), [this] {
            auto* mask = new Mask(*m_data, m_prompter, m_clock, m_main.get());
            // The port and its speed as they stand when the download starts, so a changed setting counts at once.
            mask->setSerialLinkFactory([this]() -> std::unique_ptr<SerialLink> {
                return std::make_unique<SerialPortLink>(Ld824PortName(*m_data), m_data->CommBaud);
            });
            ShowForOneOpening(*m_main, mask, 8000, 8000);
        });
    }
    m_main->setOpener(QStringLiteral("GoPrinter"), [this] {
        ShowForOneOpening(*m_main, new LumoPrinter(printer(), m_prompter, m_main.get()), 4500, 5200);
    });
    m_main->setOpener(QStringLiteral("GoReport"),
                      [this] { ReportPrinting(*m_data, printer(), m_prompter).printReport(); });
    m_main->setOpener(QStringLiteral("GoReportPreview"),
                      [this] { ReportPrinting(*m_data, printer(), m_prompter).previewReport(m_main.get()); });
    m_main->setOpener(QStringLiteral("GoReportPdf"),
                      [this] { ReportPrinting(*m_data, printer(), m_prompter).exportPdf(); });
    for (int n = 1; n <= 2; ++n) {
        m_main->setOpener(QStringLiteral("GoPage%1").arg(n), [this] {
            ShowForOneOpening(*m_main, new Page(*m_data, m_prompter, m_clock, m_main.get()), PageWidthTwips,
                              PageHeightTwips);
        });
    }
}

Program::~Program() = default;

ProgramPrinter& Program::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<ProgramPrinter>();
    return *m_printer;
}

bool Program::start(const QString& projectPath)
{
    if (!Main(*m_data, m_prompter, *m_main))
        return false;
    if (!projectPath.isEmpty())
        OpenProjectNamedAtStart(*m_data, m_prompter, *m_main, projectPath);
    return true;
}

}  // namespace kov
