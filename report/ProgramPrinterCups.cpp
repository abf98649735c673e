#include <cups/cups.h>

#include <QLibrary>

#include "report/PrintSystem.h"

namespace kov {

namespace {

// libcups is opened on the first print, not linked: linking it loads it and the score of libraries it needs
// (TLS, Kerberos, Avahi) at every start of the program, for a report that most starts never print.
struct Cups {
    decltype(&cupsLastErrorString) lastErrorString = nullptr;
    decltype(&cupsAddOption) addOption = nullptr;
    decltype(&cupsFreeOptions) freeOptions = nullptr;
    decltype(&cupsCreateJob) createJob = nullptr;
    decltype(&cupsStartDocument) startDocument = nullptr;
    decltype(&cupsWriteRequestData) writeRequestData = nullptr;
    decltype(&cupsFinishDocument) finishDocument = nullptr;
    decltype(&cupsCancelJob2) cancelJob2 = nullptr;
    decltype(&cupsGetNamedDest) getNamedDest = nullptr;
    decltype(&cupsGetOption) getOption = nullptr;
    decltype(&cupsFreeDests) freeDests = nullptr;
    decltype(&cupsCopyDestInfo) copyDestInfo = nullptr;
    decltype(&cupsFreeDestInfo) freeDestInfo = nullptr;
    decltype(&cupsFindDestDefault) findDestDefault = nullptr;
    decltype(&ippGetResolution) getResolution = nullptr;
    // Why the library could not be used; empty when every function above is there.
    QString failure;
};

template <typename F>
void Resolve(QLibrary& lib, const char* symbol, F& f, QString& failure)
{
    f = reinterpret_cast<F>(lib.resolve(symbol));
    if (f == nullptr && failure.isEmpty())
        failure = lib.errorString();
}

const Cups& LoadCups()
{
    static const Cups cups = [] {
        Cups c;
        // The library's ABI version: the one Debian's libcups2 and every CUPS since 1.2 carry.
        QLibrary lib(QStringLiteral("cups"), 2);
        if (!lib.load()) {
            c.failure = lib.errorString();
            return c;
        }
        Resolve(lib, "cupsLastErrorString", c.lastErrorString, c.failure);
        Resolve(lib, "cupsAddOption", c.addOption, c.failure);
        Resolve(lib, "cupsFreeOptions", c.freeOptions, c.failure);
        Resolve(lib, "cupsCreateJob", c.createJob, c.failure);
        Resolve(lib, "cupsStartDocument", c.startDocument, c.failure);
        Resolve(lib, "cupsWriteRequestData", c.writeRequestData, c.failure);
        Resolve(lib, "cupsFinishDocument", c.finishDocument, c.failure);
        Resolve(lib, "cupsCancelJob2", c.cancelJob2, c.failure);
        Resolve(lib, "cupsGetNamedDest", c.getNamedDest, c.failure);
        Resolve(lib, "cupsGetOption", c.getOption, c.failure);
        Resolve(lib, "cupsFreeDests", c.freeDests, c.failure);
        Resolve(lib, "cupsCopyDestInfo", c.copyDestInfo, c.failure);
        Resolve(lib, "cupsFreeDestInfo", c.freeDestInfo, c.failure);
        Resolve(lib, "cupsFindDestDefault", c.findDestDefault, c.failure);
        Resolve(lib, "ippGetResolution", c.getResolution, c.failure);
        // The library stays loaded for the rest of the run: QLibrary does not unload on destruction.
        return c;
    }();
    return cups;
}

QString CupsReason(const Cups& cups, const QString& what)
{
    return QStringLiteral("Printer error (%1: %2)").arg(what, QString::fromLocal8Bit(cups.lastErrorString()));
}

// Hands a finished PDF to the printing system as one job. Every step's answer is checked, so a refused job
// is a failure with the printing system's reason, and a job that could not be completed is cancelled rather
// than left half sent.
QString SubmitPdf(const QString& printer, const QString& title, const QByteArray& pdf, const QPageSize& paper)
{
    const Cups& cups = LoadCups();
    if (!cups.failure.isEmpty())
        return QStringLiteral("Printer error (the printing system CUPS could not be opened: %1)").arg(cups.failure);
    const QByteArray name = printer.toLocal8Bit();
    const QByteArray jobTitle = title.toUtf8();
    // The paper the pages were laid out on, so the printing system neither scales them nor picks another tray.
    cups_option_t* options = nullptr;
    const int optionCount = cups.addOption("media", paper.key().toLatin1().constData(), 0, &options);
    const int job = cups.createJob(CUPS_HTTP_DEFAULT, name.constData(), jobTitle.constData(), optionCount, options);
    cups.freeOptions(optionCount, options);
    if (job == 0)
        return CupsReason(cups, QStringLiteral("the printer %1 refused the job").arg(printer));
    if (cups.startDocument(CUPS_HTTP_DEFAULT, name.constData(), job, jobTitle.constData(), CUPS_FORMAT_PDF, 1) !=
            HTTP_STATUS_CONTINUE ||
        cups.writeRequestData(CUPS_HTTP_DEFAULT, pdf.constData(), static_cast<size_t>(pdf.size())) !=
            HTTP_STATUS_CONTINUE ||
        cups.finishDocument(CUPS_HTTP_DEFAULT, name.constData()) != IPP_STATUS_OK) {
        const QString reason = CupsReason(cups, QStringLiteral("the document could not be sent to %1").arg(printer));
        cups.cancelJob2(CUPS_HTTP_DEFAULT, name.constData(), job, 0);
        return reason;
    }
    return {};
}

// A document sent whole to the printing system when it ends.
class CupsPrintJob : public PrintJob {
public:
    CupsPrintJob(const QString& printer, const QString& title, const QPageLayout& layout, PrinterFont& font)
        : m_pdf(title, layout), m_canvas(m_pdf.writer, font)
    {
        if (printer.isEmpty()) {
            m_canvas.failWith(QStringLiteral("Printer error (no printer is installed)"));
            return;
        }
        m_canvas.setFinisher([this, printer, title, paper = layout.pageSize()] {
            return SubmitPdf(printer, title, m_pdf.buffer.data(), paper);
        });
    }

    ReportCanvas& canvas() override { return m_canvas; }

private:
    PdfInMemory m_pdf;
    PainterCanvas m_canvas;
};

}  // namespace

PrintSystemFacts AskPrintSystem(const QString& printer)
{
    PrintSystemFacts facts;
    const Cups& cups = LoadCups();
    // Without the library nothing is known of the printer; a job on it says why.
    if (!cups.failure.isEmpty())
        return facts;
    const QByteArray name = printer.toLocal8Bit();
    cups_dest_t* dest = cups.getNamedDest(CUPS_HTTP_DEFAULT, name.constData(), nullptr);
    if (dest == nullptr)
        return facts;
    if (const char* uri = cups.getOption("device-uri", dest->num_options, dest->options); uri != nullptr)
        facts.deviceUri = QString::fromLocal8Bit(uri);
    if (const char* mode = cups.getOption("print-color-mode", dest->num_options, dest->options); mode != nullptr) {
        const QByteArray m(mode);
        facts.colorMode = m == "monochrome" || m == "bi-level" || m.startsWith("process-") ? 1 : 2;
    }
    if (cups_dinfo_t* info = cups.copyDestInfo(CUPS_HTTP_DEFAULT, dest); info != nullptr) {
        if (ipp_attribute_t* res = cups.findDestDefault(CUPS_HTTP_DEFAULT, dest, info, "printer-resolution")) {
            int yres = 0;
            ipp_res_t units = IPP_RES_PER_INCH;
            const int xres = cups.getResolution(res, 0, &yres, &units);
            facts.resolution = units == IPP_RES_PER_CM ? qRound(xres * 2.54) : xres;
        }
        cups.freeDestInfo(info);
    }
    cups.freeDests(1, dest);
    return facts;
}

std::unique_ptr<PrintJob> StartPrintSystemJob(QPrinter&, const QString& printer, const QString& title,
                                              const QPageLayout& layout, PrinterFont& font)
{
    return std::make_unique<CupsPrintJob>(printer, title, layout, font);
}

}  // namespace kov
