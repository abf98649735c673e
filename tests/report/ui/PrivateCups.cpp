#include "tests/report/ui/PrivateCups.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>

namespace kov::test {

namespace {

QString PrintedPdfPath()
{
    return QDir(PrivateCupsFolder()).filePath(QStringLiteral("out.pdf"));
}

bool JobsLeft()
{
    QProcess p;
    p.start(QStringLiteral("lpstat"), {QStringLiteral("-o"), QStringLiteral("KOV_PDF")});
    // A scheduler that cannot be asked may still hold the job.
    return !p.waitForFinished(10000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0 ||
           !p.readAllStandardOutput().trimmed().isEmpty();
}

}  // namespace

QString ProgramOutput(const QString& program, const QStringList& arguments)
{
    QProcess p;
    p.start(program, arguments);
    const bool ran = p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit;
    return ran ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
}

QString PrivateCupsFolder()
{
    return qEnvironmentVariable("KOV_CUPS_DIR");
}

void ForgetPrintedPdf()
{
    QFile::remove(PrintedPdfPath());
}

QString PrintedPdfText(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    // The file appears while the backend writes it; only an empty queue says the job is complete.
    while (JobsLeft() || QFileInfo(PrintedPdfPath()).size() == 0) {
        if (deadline.hasExpired()) {
            ADD_FAILURE() << "no document reached " << PrintedPdfPath().toStdString() << " within " << timeoutMs
                          << " ms";
            return {};
        }
        QThread::msleep(100);
    }
    return PdfText(PrintedPdfPath());
}

QString PdfText(const QString& path, int firstPage)
{
    return ProgramOutput(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-f"),
                                                       QString::number(firstPage), path, QStringLiteral("-")});
}

int PrintedPdfPages()
{
    static const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = pages.match(ProgramOutput(QStringLiteral("pdfinfo"), {PrintedPdfPath()}));
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

}  // namespace kov::test
