#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPointF>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <tuple>

#include "core/Tables.h"
#include "report/ProgramPrinter.h"
#include "report/ReportPrinting.h"
#include "tests/report/ui/PrivateCups.h"
#include "tests/support/ScriptedPrompter.h"

using namespace kov;
using namespace kov::test;

namespace {

// Two masking channels of a ZUV-AR24 and one paging channel: page 1 holds the masking blocks, page 2 the paging.
LumoData ProjectWithResults()
{
    LumoData d;
    InitTables(d);
    d.ProjectInfo(1) = "Harbour Offices";
    d.ProjectInfo(2) = "12/7/2026";
    d.Generator = 5;
    for (int ch : {1, 4}) {
        for (int b = 22; b <= 39; ++b)
            d.MaskFinal(ch, b) = b == 30 ? 50.5f : 40;
        d.MaskCorrection(ch, 23) = 2;
        d.MaskHighCutFreq(ch) = 4000;
        d.MaskHighCutSlope(ch) = 12;
        d.MaskLowCutFreq(ch) = 200;
        d.MaskLowCutSlope(ch) = 6;
        d.MaskGainChange(ch) = 3;
    }
    d.PageSpectrum(2, 22) = 40.f;
    d.PageLevel(2) = 72.5f;
    d.PageEqFreq(2, 1) = 1000.f;
    d.PageEqWidth(2, 1) = 1.5f;
    d.PageEqLevel(2, 1) = 4.5f;
    return d;
}

// What a person reads on the pages, whatever the spacing the PDF's text layer gives the words.
void ExpectReport(const QString& pdfText)
{
    const QString text = pdfText.simplified();
    for (const char* line :
         {"Page 1", "MASKING SYSTEM EQUALIZATON REPORT", "Project: Harbour Offices", "Date: 12/7/2026",
          "THE MASKING SPECTRUM for Channel 1", "THE MASKING SPECTRUM for Channel 4",
          "FINAL 1 OCTAVE BAND MASKING SPECTRUM", "1/3 OCTAVE BAND MASKING SPECTRUM CORRECTIONS TO APPLY IN MG UNIT",
          "High Cut filter cutoff frequency: 4000 Hz.", "Low Cut filter slope: 6 dB/octave.",
          "Required change in generator gain: +3 dB.", "Page 2", "THE PAGING SPECTRUM for Channel 2",
          "PARAMETIC EQUALIZER SETTINGS IN MG24 UNIT", "EQ Type = Parametric", "EQ Freq = 1000 Hz", "EQ BW = 1.5 Oct",
          "EQ Level = 4 dB", "Bypass"})
        EXPECT_TRUE(text.contains(QLatin1String(line))) << line;
    EXPECT_TRUE(!text.contains(QLatin1String("Page 3")) && text.contains(QLatin1String(" 0.0 +2.0 ")));
}

// Where the first word `word` starts on page 1, in points from the top left of the paper.
QPointF FirstWordAt(const QString& path, const QString& word)
{
    const QString boxes = ProgramOutput(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-l"),
                                                                      QStringLiteral("1"), path, QStringLiteral("-")});
    const QRegularExpression box(QStringLiteral(R"re(xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>%1<)re").arg(word));
    const QRegularExpressionMatch m = box.match(boxes);
    return m.hasMatch() ? QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QPointF(-1, -1);
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The one message shown, a critical one offering Ok: its text starts and ends so, with the system's own reason in
// the brackets between.
void ExpectOneMessage(const ScriptedPrompter& p, const QString& start, const QString& end, const QString& title)
{
    ASSERT_EQ(p.messages().size(), 1u);
    const RecordedMessage& m = p.messages().front();
    EXPECT_TRUE(m.text.startsWith(start) && m.text.endsWith(end)) << m.text.toStdString();
    EXPECT_EQ(std::tuple(m.title, m.icon, m.buttons), std::tuple(title, MsgIcon::Critical, MsgButtons::Ok));
}

void RunTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    ASSERT_TRUE(process.waitForFinished(30000));
    ASSERT_EQ(process.exitCode(), 0) << program.toStdString() << ' ' << process.readAllStandardError().toStdString();
}

class ReportPrintingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(PrivateCupsFolder().isEmpty()) << "run through tools/private-cups.sh";
        ASSERT_TRUE(printer.choose(QStringLiteral("KOV_PDF")).isEmpty());
        ForgetPrintedPdf();
    }

    LumoData d = ProjectWithResults();
    ScriptedPrompter prompter;
    ProgramPrinter printer;
    ReportPrinting report{d, printer, prompter};
};

TEST_F(ReportPrintingTest, PrintReportSendsEveryPageToThePrinter)
{
    report.printReport();
    ExpectReport(PrintedPdfText());
    // The report leaves its last font on the printer object, as the next page header will find it.
    EXPECT_EQ(std::tuple(PrintedPdfPages(), printer.font().size, printer.font().bold, printer.font().name),
              std::tuple(2, 9.75, false, "Times New Roman"));
}

TEST_F(ReportPrintingTest, APrinterThatRefusesJobsIsAPrintErrorAndNothingIsPrinted)
{
    RunTool(QStringLiteral("/usr/sbin/cupsreject"), {QStringLiteral("KOV_PDF")});
    prompter.answer(MsgAnswer::Ok);
    report.printReport();
    RunTool(QStringLiteral("/usr/sbin/cupsaccept"), {QStringLiteral("KOV_PDF")});
    ExpectOneMessage(prompter, "Printer error (the printer KOV_PDF refused the job: ",
                     ") occurred in printing. Report cannot be completed.", "Print Error");
    EXPECT_FALSE(QFile::exists(QDir(PrivateCupsFolder()).filePath(QStringLiteral("out.pdf"))));
}

TEST_F(ReportPrintingTest, ExportPdfWritesTheSamePagesAndAsksBeforeReplacing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Harbour.pdf"));
    prompter.answerSaveFile(path);
    prompter.answer(MsgAnswer::Ok);
    report.exportPdf();
    ASSERT_TRUE(QFile::exists(path));
    ExpectReport(PdfText(path));
    const RecordedMessage written{QStringLiteral("The report was written to %1.").arg(path), "Export PDF",
                                  MsgIcon::Information};

    // A typed name without the extension gets it, so a project file cannot be written over.
    prompter.answerSaveFile(dir.filePath(QStringLiteral("Harbour")));
    prompter.answer(MsgAnswer::No);
    const QByteArray before = ReadFile(path);
    d.ProjectInfo(1) = QStringLiteral("Changed");
    report.exportPdf();
    EXPECT_EQ(ReadFile(path), before);
    EXPECT_EQ(prompter.messages(), Shown({written,
                                          {QStringLiteral("The file %1 already exists. Replace it?").arg(path),
                                           "Export PDF", MsgIcon::Question, MsgButtons::YesNo}}));
}

TEST_F(ReportPrintingTest, AnExportThatCannotBeWrittenSaysSoAndLeavesNoFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("no-such-folder/Harbour.pdf"));
    prompter.answerSaveFile(path);
    prompter.answer(MsgAnswer::Ok);
    report.exportPdf();
    EXPECT_FALSE(QFile::exists(path));
    ExpectOneMessage(prompter, QStringLiteral("The report could not be written to %1 (").arg(path),
                     "). No file was changed.", "Export PDF");
}

TEST_F(ReportPrintingTest, APreviewPaintsTheSamePages)
{
    QTemporaryDir dir;
    QPrinter preview(QPrinter::HighResolution);
    preview.setOutputFormat(QPrinter::PdfFormat);
    preview.setOutputFileName(dir.filePath(QStringLiteral("preview.pdf")));
    report.paint(&preview);
    ExpectReport(PdfText(preview.outputFileName()));
    // Looking at the pages changes nothing on the printer.
    EXPECT_EQ(printer.font().size, 10);
}

// Twips on a real page, from the printable corner: "Page 1" at (1000, 100), plain lines from the margin at
// 5 x (page width / 80); 20 twips to a point.
TEST(PainterCanvas, PlacesTheReportInTwipsFromThePrintableCorner)
{
    const LumoData d = ProjectWithResults();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    // Letter without margins: unit 153, margin 765. With the 18/36 points a PDF printer keeps free: the page is
    // 11520 twips wide, unit 144, margin 720.
    // (margins in points, where "Page" starts, where "High" starts on the left)
    for (const auto& [margins, pageAt, highX] :
         {std::tuple{QMarginsF(), QPointF(50, 5), 38.25}, {QMarginsF(18, 36, 18, 36), QPointF(68, 41), 54.0}}) {
        WriteFile(path, ReportAsPdf(d, PrinterFont{},
                                    QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, margins))
                            .bytes);
        const QPointF page = FirstWordAt(path, QStringLiteral("Page"));
        EXPECT_NEAR(page.x(), pageAt.x(), 0.01);
        EXPECT_NEAR(page.y(), pageAt.y(), 0.01);
        EXPECT_NEAR(FirstWordAt(path, QStringLiteral("High")).x(), highX, 0.01);
    }
    // Times New Roman, as the printer object holds it, comes out in the metric-compatible face the system has.
    const QString fonts = ProgramOutput(QStringLiteral("pdffonts"), {path});
    EXPECT_TRUE(fonts.contains(QLatin1String("LiberationSerif-Bold ")) &&
                fonts.contains(QLatin1String("LiberationSerif ")))
        << fonts.toStdString();
}

// The page is measured from its printable corner in twips, whatever the resolution of the device.
TEST(PainterCanvas, MeasuresThePageInTwips)
{
    // (paper, margins in points, width, height); A4 in whole points
    for (const auto& [paper, margins, width, height] : {std::tuple{QPageSize::Letter, QMarginsF(), 12240, 15840},
                                                        {QPageSize::A4, QMarginsF(), 11900, 16840},
                                                        {QPageSize::Letter, QMarginsF(18, 18, 18, 18), 11520, 15120}}) {
        PdfInMemory pdf(QStringLiteral("t"), QPageLayout(QPageSize(paper), QPageLayout::Portrait, margins));
        PrinterFont font;
        PainterCanvas canvas(pdf.writer, font);
        EXPECT_EQ(std::tuple(canvas.pageWidth(), canvas.pageHeight()), std::tuple(width, height));
    }
}

// Without a printing system the report says so and the PDF still comes out, on plain paper.
TEST(NoPrinterReport, PrintReportSaysThereIsNoPrinterAndExportStillWorks)
{
    const LumoData d = ProjectWithResults();
    ScriptedPrompter prompter;
    ProgramPrinter printer;
    ReportPrinting report(d, printer, prompter);
    prompter.answer(MsgAnswer::Ok);
    report.printReport();
    EXPECT_EQ(prompter.messages(),
              Shown({{"Printer error (no printer is installed) occurred in printing. Report cannot be completed.",
                      "Print Error", MsgIcon::Critical}}));

    QTemporaryDir dir;
    prompter.answerSaveFile(dir.filePath(QStringLiteral("Harbour")));
    prompter.answer(MsgAnswer::Ok);
    report.exportPdf();
    ExpectReport(PdfText(dir.filePath(QStringLiteral("Harbour.pdf"))));
}

// Both paging channels with all six controls in use reach below a letter page: the rest goes on a continuation
// page rather than off the sheet, and nothing is lost.
TEST(PainterCanvas, LinesBelowTheBottomGoOnAContinuationPage)
{
    LumoData d;
    InitTables(d);
    d.Generator = 5;
    for (int pch = 1; pch <= 2; ++pch) {
        d.PageSpectrum(pch, 22) = 40;
        for (int i = 1; i <= 6; ++i) {
            d.PageEqFreq(pch, i) = 100 * i + pch;
            d.PageEqWidth(pch, i) = 1;
            d.PageEqLevel(pch, i) = i;
        }
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("paging.pdf"));
    WriteFile(path, ReportAsPdf(d, PrinterFont{},
                                QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF()))
                        .bytes);

    const QString continued = PdfText(path, 3).simplified();
    EXPECT_TRUE(continued.contains(QLatin1String("EQ Freq = 602 Hz EQ BW = 1 Oct EQ Level = 6 dB")))
        << continued.toStdString();
    EXPECT_FALSE(continued.contains(QLatin1String("Page")));
    EXPECT_FALSE(PdfText(path).contains(QLatin1String("Page 4")));
}

}  // namespace
