#pragma once

#include <memory>

#include <QBuffer>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPrinter>
#include <QStringList>

#include "report/PainterCanvas.h"
#include "report/PrinterData.h"

namespace kov {

// A PDF painted in memory on the given paper, in twips (1440 dots an inch), so positions on the page are the
// report's own numbers.
struct PdfInMemory {
    PdfInMemory(const QString& title, const QPageLayout& layout);

    QBuffer buffer;
    QPdfWriter writer;
};

// One document under way on the program's printer: painted into a PDF in memory and handed to the printing
// system as one job when it ends, so a report that fails half way never reaches the printer, and a job the
// printing system refuses is a failure with its reason.
class PrintJob {
public:
    virtual ~PrintJob() = default;
    virtual ReportCanvas& canvas() = 0;
};

// The program's one printer object: which installed printer it prints to, in which orientation, and the font it
// holds between documents. It starts on the system's default printer in portrait; nothing of it is stored, so
// each start of the program begins there again.
class ProgramPrinter {
public:
    ProgramPrinter();
    ~ProgramPrinter();
    ProgramPrinter(const ProgramPrinter&) = delete;
    ProgramPrinter& operator=(const ProgramPrinter&) = delete;

    // The installed printers, in the printing system's order.
    static QStringList installedPrinters();

    // Makes `name` the current printer, in portrait. The reason when it could not (the printer went away).
    QString choose(const QString& name);
    // False when no printer is installed (nor chosen).
    bool hasPrinter() const;
    QString deviceName() const;

    // 1 portrait, 2 landscape.
    int orientation() const;
    void setOrientation(int orientation);

    PrinterCharacteristics characteristics() const;

    PrinterFont& font() { return m_font; }
    const PrinterFont& font() const { return m_font; }

    // The current printer's paper, margins and orientation (a preview and a PDF take them over).
    QPageLayout pageLayout() const;
    // The Qt printer behind it, for a preview of what it would print.
    QPrinter& printer() { return m_printer; }

    // Starts one document titled `title` on the current printer. Its canvas carries the printer's font and
    // leaves its changes on it, as a printer object does.
    std::unique_ptr<PrintJob> startDocument(const QString& title);

private:
    QPrinter m_printer{QPrinter::HighResolution};
    PrinterFont m_font;
};

}  // namespace kov
