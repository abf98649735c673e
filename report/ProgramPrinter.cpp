#include "report/ProgramPrinter.h"

#include <QPrinterInfo>

#include "report/PrintSystem.h"

namespace kov {

PdfInMemory::PdfInMemory(const QString& title, const QPageLayout& layout) : writer(&buffer)
{
    buffer.open(QIODevice::WriteOnly);
    writer.setResolution(1440);
    writer.setCreator(QStringLiteral("KOV"));
    writer.setTitle(title);
    writer.setPageLayout(layout);
}

ProgramPrinter::ProgramPrinter()
{
    const QPrinterInfo system = QPrinterInfo::defaultPrinter();
    if (!system.isNull()) {
        m_printer.setPrinterName(system.printerName());
        // Qt keeps the paper it had when it can; the printer's own paper is what the installer loaded.
        m_printer.setPageSize(system.defaultPageSize());
    }
    m_printer.setPageOrientation(QPageLayout::Portrait);
}

ProgramPrinter::~ProgramPrinter() = default;

QStringList ProgramPrinter::installedPrinters()
{
    return QPrinterInfo::availablePrinterNames();
}

QString ProgramPrinter::choose(const QString& name)
{
    const QPrinterInfo info = QPrinterInfo::printerInfo(name);
    if (info.isNull())
        return QStringLiteral("The printer %1 is no longer installed.").arg(name);
    m_printer.setPrinterName(name);
    if (m_printer.printerName() != name)
        return QStringLiteral("The printer %1 could not be made the current printer.").arg(name);
    m_printer.setPageSize(info.defaultPageSize());
    m_printer.setPageOrientation(QPageLayout::Portrait);
    return {};
}

bool ProgramPrinter::hasPrinter() const
{
    return !m_printer.printerName().isEmpty();
}

QString ProgramPrinter::deviceName() const
{
    return m_printer.printerName();
}

int ProgramPrinter::orientation() const
{
    return m_printer.pageLayout().orientation() == QPageLayout::Landscape ? 2 : 1;
}

void ProgramPrinter::setOrientation(int orientation)
{
    m_printer.setPageOrientation(orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
}

PrinterCharacteristics ProgramPrinter::characteristics() const
{
    PrinterCharacteristics c;
    c.deviceName = deviceName();
    c.fontName = m_font.name;
    c.orientation = orientation();
    if (!hasPrinter())
        return c;
    const PrintSystemFacts facts = AskPrintSystem(deviceName());
    c.colorMode = facts.colorMode;
    c.printQuality = facts.resolution;
    c.port = facts.deviceUri;
    return c;
}

QPageLayout ProgramPrinter::pageLayout() const
{
    return m_printer.pageLayout();
}

std::unique_ptr<PrintJob> ProgramPrinter::startDocument(const QString& title)
{
    return StartPrintSystemJob(m_printer, hasPrinter() ? deviceName() : QString(), title, pageLayout(), m_font);
}

}  // namespace kov
