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

void InstallOpeners(LumoMain& main, const WindowParts& parts)
{
    LumoMain* m = &main;
    main.setOpener(QStringLiteral("GoProj"),
                   [m, parts] { ShowForOneOpening(*m, new LumoClient(parts.data, parts.prompter, m), 6370, 4900); });
    main.setOpener(QStringLiteral("GoOpen"),
                   [m, parts] { ShowForOneOpening(*m, new LumoGetFile(parts.data, parts.prompter, m), 3700, 4525); });
    main.setOpener(QStringLiteral("GoReview"),
                   [m, parts] { ShowForOneOpening(*m, new Review(parts.data, parts.prompter, m), 10350, 7835); });
    // The menu item has set FindTarget before this runs.
    main.setOpener(QStringLiteral("GoMG24"), [m, parts] {
        ShowForOneOpening(*m, new FindFile(parts.data, parts.prompter, parts.clock, m), FindFileWidthTwips,
                          FindFileHeightTwips);
    });
    main.setOpener(QStringLiteral("GoComm"), [m, parts] {
        ShowForOneOpening(*m, new LumoDir(parts.data, parts.prompter, m, parts.ports), 7770, 1565);
    });
    main.setOpener(QStringLiteral("GoRefSpec"),
                   [m, parts] { ShowForOneOpening(*m, new LumoDB(parts.data, parts.prompter, m), 9765, 6425); });
    // The channel items have set CurrentChannel before their opener runs.
    for (int n = 1; n <= 6; ++n) {
        main.setOpener(QStringLiteral("GoMask%1").arg(n), [m, parts] {
            auto* mask = new Mask(parts.data, parts.prompter, parts.clock, m);
            mask->setSerialLinkFactory(parts.serialLink);
            ShowForOneOpening(*m, mask, 8000, 8000);
        });
    }
    main.setOpener(QStringLiteral("GoPrinter"), [m, parts] {
        ShowForOneOpening(*m, new LumoPrinter(parts.printer(), parts.prompter, m), 4500, 5200);
    });
    main.setOpener(QStringLiteral("GoReport"),
                   [parts] { ReportPrinting(parts.data, parts.printer(), parts.prompter).printReport(); });
    main.setOpener(QStringLiteral("GoReportPreview"),
                   [m, parts] { ReportPrinting(parts.data, parts.printer(), parts.prompter).previewReport(m); });
    main.setOpener(QStringLiteral("GoReportPdf"),
                   [parts] { ReportPrinting(parts.data, parts.printer(), parts.prompter).exportPdf(); });
    for (int n = 1; n <= 2; ++n) {
        main.setOpener(QStringLiteral("GoPage%1").arg(n), [m, parts] {
            ShowForOneOpening(*m, new Page(parts.data, parts.prompter, parts.clock, m), PageWidthTwips,
                              PageHeightTwips);
        });
    }
}

Program::Program() : m_data(std::make_unique<LumoData>()), m_main(std::make_unique<LumoMain>(*m_data, m_prompter))
{
    LumoData& data = *m_data;
    InstallOpeners(*m_main,
                   {data, m_prompter, m_clock, [this]() -> ProgramPrinter& { return printer(); }, ListSerialPorts,
                    // The port and its speed as they stand when the download starts, so a changed setting counts at
                    // once.
                    [&data]() -> std::unique_ptr<SerialLink> {
                        return std::make_unique<SerialPortLink>(Ld824PortName(data), data.CommBaud);
                    }});
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
