#pragma once

#include <memory>
#include <optional>

#include <QPageLayout>
#include <QPrinter>
#include <QString>

#include "report/ProgramPrinter.h"

namespace kov {

// What the system's printing service itself says of a printer: where its jobs go, the colour mode (1 monochrome,
// 2 colour) and the resolution its jobs get unless told otherwise. Anything it does not say stays empty.
struct PrintSystemFacts {
    std::optional<QString> deviceUri;
    std::optional<int> colorMode;
    std::optional<int> resolution;
};

PrintSystemFacts AskPrintSystem(const QString& printer);

// One document for `printer` (empty: none installed) through the system's printing service: CUPS, which takes the
// document whole as a PDF, or the Windows spooler, which takes the pages as they are painted on `qprinter` and
// drops the job when it does not end well.
std::unique_ptr<PrintJob> StartPrintSystemJob(QPrinter& qprinter, const QString& printer, const QString& title,
                                              const QPageLayout& layout, PrinterFont& font);

}  // namespace kov
