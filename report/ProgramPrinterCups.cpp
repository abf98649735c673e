#include <cups/cups.h>

#include "report/PrintSystem.h"

namespace kov {

namespace {

QString CupsReason(const QString& what)
{
    return QStringLiteral("Printer error (%1: %2)").arg(what, QString::fromLocal8Bit(cupsLastErrorString()));
}

// Hands a finished PDF to the printing system as one job. Every step's answer is checked, so a refused job
// is a failure with the printing system's reason, and a job that could not be completed is cancelled rather
// than left half sent.
QString SubmitPdf(const QString& printer, const QString& title, const QByteArray& pdf, const QPageSize& paper)
{
    const QByteArray name = printer.toLocal8Bit();
    const QByteArray jobTitle = title.toUtf8();
    // The paper the pages were laid out on, so the printing system neither scales them nor picks another tray.
    cups_option_t* options = nullptr;
    const int optionCount = cupsAddOption("media", paper.key().toLatin1().constData(), 0, &options);
    const int job = cupsCreateJob(CUPS_HTTP_DEFAULT, name.constData(), jobTitle.constData(), optionCount, options);
    cupsFreeOptions(optionCount, options);
    if (job == 0)
        return CupsReason(QStringLiteral("the printer %1 refused the job").arg(printer));
    if (cupsStartDocument(CUPS_HTTP_DEFAULT, name.constData(), job, jobTitle.constData(), CUPS_FORMAT_PDF, 1) !=
            HTTP_STATUS_CONTINUE ||
        cupsWriteRequestData(CUPS_HTTP_DEFAULT, pdf.constData(), static_cast<size_t>(pdf.size())) !=
            HTTP_STATUS_CONTINUE ||
        cupsFinishDocument(CUPS_HTTP_DEFAULT, name.constData()) != IPP_STATUS_OK) {
        const QString reason = CupsReason(QStringLiteral("the document could not be sent to %1").arg(printer));
        cupsCancelJob2(CUPS_HTTP_DEFAULT, name.constData(), job, 0);
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
    const QByteArray name = printer.toLocal8Bit();
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.constData(), nullptr);
    if (dest == nullptr)
        return facts;
    if (const char* uri = cupsGetOption("device-uri", dest->num_options, dest->options); uri != nullptr)
        facts.deviceUri = QString::fromLocal8Bit(uri);
    if (const char* mode = cupsGetOption("print-color-mode", dest->num_options, dest->options); mode != nullptr) {
        const QByteArray m(mode);
        facts.colorMode = m == "monochrome" || m == "bi-level" || m.startsWith("process-") ? 1 : 2;
    }
    if (cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest); info != nullptr) {
        if (ipp_attribute_t* res = cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest, info, "printer-resolution")) {
            int yres = 0;
            ipp_res_t units = IPP_RES_PER_INCH;
            const int xres = ippGetResolution(res, 0, &yres, &units);
            facts.resolution = units == IPP_RES_PER_CM ? qRound(xres * 2.54) : xres;
        }
        cupsFreeDestInfo(info);
    }
    cupsFreeDests(1, dest);
    return facts;
}

std::unique_ptr<PrintJob> StartPrintSystemJob(QPrinter&, const QString& printer, const QString& title,
                                              const QPageLayout& layout, PrinterFont& font)
{
    return std::make_unique<CupsPrintJob>(printer, title, layout, font);
}

}  // namespace kov
