#pragma once

#include <QString>
#include <QStringList>

// What reached the private CUPS server's one printer, KOV_PDF (tools/private-cups.sh), which writes every job to
// out.pdf in the server's folder, each job over the one before.
namespace kov::test {

// Standard output of a short command (pdftotext, pdfinfo, lpstat); empty when it could not run.
QString ProgramOutput(const QString& program, const QStringList& arguments);

// The server's folder ($KOV_CUPS_DIR); empty when the suite runs without the server.
QString PrivateCupsFolder();

// Removes out.pdf, so the next job's file cannot be mistaken for an older one.
void ForgetPrintedPdf();

// Waits until KOV_PDF has no job left and out.pdf holds a document, then gives its text with the page's layout
// (pdftotext -layout). On time-out the test fails and the text is empty.
QString PrintedPdfText(int timeoutMs = 30000);

// The text of any PDF file with the page's layout (pdftotext -layout), from page `firstPage` on.
QString PdfText(const QString& path, int firstPage = 1);

// Pages in out.pdf (pdfinfo); 0 when there is none. Call after PrintedPdfText, which waits for the job.
int PrintedPdfPages();

}  // namespace kov::test
