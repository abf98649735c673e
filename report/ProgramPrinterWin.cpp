#include <windows.h>

#include <vector>

#include "report/PrintSystem.h"

namespace kov {

namespace {

// A document on the Windows spooler: pages go to the printer as they are painted, and a document that does not end
// well is aborted, so the spooler drops what it holds and the printer never starts a half report.
class SpoolerPrintJob : public PrintJob {
public:
    SpoolerPrintJob(QPrinter& printer, const QString& name, const QString& title, const QPageLayout& layout,
                    PrinterFont& font)
        : m_printer(printer), m_canvas(Prepare(printer, name, title, layout), font)
    {
        if (name.isEmpty()) {
            m_canvas.failWith(QStringLiteral("Printer error (no printer is installed)"));
            return;
        }
        if (m_printer.printerState() == QPrinter::Error)
            m_canvas.failWith(QStringLiteral("Printer error (the printer %1 refused the job)").arg(name));
    }

    ~SpoolerPrintJob() override
    {
        // Ending the painter would hand the spooler the pages painted so far; a document left unfinished is aborted
        // first.
        if (!m_canvas.finished())
            m_printer.abort();
    }

    ReportCanvas& canvas() override { return m_canvas; }

private:
    static QPrinter& Prepare(QPrinter& printer, const QString& name, const QString& title, const QPageLayout& layout)
    {
        printer.setOutputFormat(QPrinter::NativeFormat);
        if (!name.isEmpty())
            printer.setPrinterName(name);
        printer.setDocName(title);
        printer.setPageLayout(layout);
        printer.setFullPage(false);
        return printer;
    }

    QPrinter& m_printer;
    PainterCanvas m_canvas;
};

}  // namespace

PrintSystemFacts AskPrintSystem(const QString& printer)
{
    PrintSystemFacts facts;
    HANDLE handle = nullptr;
    std::wstring name = printer.toStdWString();
    if (!OpenPrinterW(name.data(), &handle, nullptr))
        return facts;
    DWORD needed = 0;
    GetPrinterW(handle, 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    if (needed > 0 && GetPrinterW(handle, 2, buffer.data(), needed, &needed)) {
        const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
        if (info->pPortName)
            facts.deviceUri = QString::fromWCharArray(info->pPortName);
        if (const DEVMODEW* mode = info->pDevMode) {
            if (mode->dmFields & DM_COLOR)
                facts.colorMode = mode->dmColor == DMCOLOR_COLOR ? 2 : 1;
            if ((mode->dmFields & DM_PRINTQUALITY) && mode->dmPrintQuality > 0)
                facts.resolution = mode->dmPrintQuality;
        }
    }
    ClosePrinter(handle);
    return facts;
}

std::unique_ptr<PrintJob> StartPrintSystemJob(QPrinter& qprinter, const QString& printer, const QString& title,
                                              const QPageLayout& layout, PrinterFont& font)
{
    return std::make_unique<SpoolerPrintJob>(qprinter, printer, title, layout, font);
}

}  // namespace kov
