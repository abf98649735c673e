#include "report/ReportPrinting.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QPrintPreviewDialog>
#include <QScopeGuard>

#include "core/TextFields.h"
#include "report/EqualizationReport.h"

namespace kov {

namespace {

const QString ReportTitle = QStringLiteral("KOV equalization report");

void ShowBusy()
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

// A chosen name without the PDF extension gets it, so the export can never land on a project file.
QString PdfTarget(const QString& chosen, const QString& folder)
{
    QString path = QDir(folder).filePath(chosen);
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    return path;
}

}  // namespace

ReportPdf ReportAsPdf(const LumoData& d, PrinterFont font, const QPageLayout& layout)
{
    PdfInMemory pdf(ReportTitle, layout);
    ReportPdf result;
    {
        PainterCanvas canvas(pdf.writer, font);
        result.failure = PrintReport(canvas, d);
    }
    if (!result.failure)
        result.bytes = pdf.buffer.data();
    return result;
}

QPageLayout PlainPaper()
{
    const bool us = QLocale().measurementSystem() == QLocale::ImperialUSSystem;
    return QPageLayout(QPageSize(us ? QPageSize::Letter : QPageSize::A4), QPageLayout::Portrait, QMarginsF());
}

ReportPrinting::ReportPrinting(const LumoData& d, ProgramPrinter& printer, Prompter& prompter)
    : m_data(d), m_printer(printer), m_prompter(prompter)
{
}

void ReportPrinting::printReport()
{
    std::optional<Message> failure;
    {
        ShowBusy();
        const auto restore = qScopeGuard([] { QGuiApplication::restoreOverrideCursor(); });
        const std::unique_ptr<PrintJob> job = m_printer.startDocument(ReportTitle);
        failure = PrintReport(job->canvas(), m_data);
    }
    if (failure)
        ShowMessage(m_prompter, *failure);
}

void ReportPrinting::paint(QPrinter* printer)
{
    PrinterFont font = m_printer.font();
    PainterCanvas canvas(*printer, font);
    if (const std::optional<Message> failure = PrintReport(canvas, m_data))
        ShowMessage(m_prompter, *failure);
}

void ReportPrinting::previewReport(QWidget* parent)
{
    QPrintPreviewDialog dialog(&m_printer.printer(), parent);
    dialog.setWindowTitle(QStringLiteral("Print Preview"));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [this](QPrinter* printer) { paint(printer); });
    dialog.exec();
}

QPageLayout ReportPrinting::exportLayout() const
{
    return m_printer.hasPrinter() ? m_printer.pageLayout() : PlainPaper();
}

void ReportPrinting::exportPdf()
{
    const QFileInfo project(m_data.ProjectFileName);
    const QString folder = m_data.ProjectFileName.isEmpty() ? m_data.AppPath : project.absolutePath();
    const QString proposed =
        m_data.ProjectFileName.isEmpty() ? QStringLiteral("Report.pdf") : project.completeBaseName() + ".pdf";
    const QString chosen = m_prompter
                               .chooseSaveFile({QStringLiteral("Export PDF"), folder, proposed, QStringLiteral("pdf"),
                                                QStringLiteral("PDF Files |*.pdf")})
                               .trimmed();
    if (chosen.isEmpty())
        return;
    const QString path = PdfTarget(chosen, folder);
    if (QFileInfo::exists(path) &&
        m_prompter.message(
            QStringLiteral("The file %1 already exists. Replace it?").arg(QDir::toNativeSeparators(path)),
            QStringLiteral("Export PDF"), MsgIcon::Question, MsgButtons::YesNo) != MsgAnswer::Yes)
        return;

    ReportPdf pdf;
    {
        ShowBusy();
        const auto restore = qScopeGuard([] { QGuiApplication::restoreOverrideCursor(); });
        pdf = ReportAsPdf(m_data, m_printer.font(), exportLayout());
    }
    if (pdf.failure) {
        ShowMessage(m_prompter, *pdf.failure);
        return;
    }
    QString reason;
    if (!SaveWholeFile(path, pdf.bytes, nullptr, &reason)) {
        m_prompter.message(QStringLiteral("The report could not be written to %1 (%2). No file was changed.")
                               .arg(QDir::toNativeSeparators(path), reason),
                           QStringLiteral("Export PDF"), MsgIcon::Critical, MsgButtons::Ok);
        return;
    }
    // The dialog may have been left with a name alone; the person is to find the file to hand it on.
    m_prompter.message(QStringLiteral("The report was written to %1.").arg(QDir::toNativeSeparators(path)),
                       QStringLiteral("Export PDF"), MsgIcon::Information, MsgButtons::Ok);
}

}  // namespace kov
