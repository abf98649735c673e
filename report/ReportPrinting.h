#pragma once

#include <optional>

#include <QByteArray>
#include <QPageLayout>

#include "core/LumoData.h"
#include "core/Message.h"
#include "core/Prompter.h"
#include "report/ProgramPrinter.h"

class QPrinter;
class QWidget;

namespace kov {

// The report as a PDF on `layout`, painted as the printer would with `font` as the printer holds it: the file's
// bytes, or the "Print Error" message when painting failed.
struct ReportPdf {
    QByteArray bytes;
    std::optional<Message> failure;
};
ReportPdf ReportAsPdf(const LumoData& d, PrinterFont font, const QPageLayout& layout);

// The paper a PDF takes when no printer is installed to lend its own: letter in the United States, A4 elsewhere.
QPageLayout PlainPaper();

// The report's three menu items: "Print Report" on the program's printer exactly as it always printed, and
// beside it a preview and a PDF of the same pages, for a client who wants the report by mail.
class ReportPrinting {
public:
    ReportPrinting(const LumoData& d, ProgramPrinter& printer, Prompter& prompter);

    // The report on the current printer, with the busy pointer while it runs; "Print Error" when it fails, and
    // then nothing reaches the printer. The font the report leaves stays on the printer.
    void printReport();
    // The pages as the current printer would print them, in a preview window over `parent`.
    void previewReport(QWidget* parent);
    // Asks where to put the PDF and writes it whole: a failed write leaves any file already there as it was.
    void exportPdf();

    // Paints the report on `printer` (each page the preview shows), leaving the printer object's font alone.
    void paint(QPrinter* printer);

private:
    QPageLayout exportLayout() const;

    const LumoData& m_data;
    ProgramPrinter& m_printer;
    Prompter& m_prompter;
};

}  // namespace kov
