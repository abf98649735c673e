#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "tests/support/TempProgramFolder.h"

namespace kov {
namespace {

struct ToolRun {
    int exitCode = -1;
    QString errors;
};

QString Output(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000))
        ADD_FAILURE() << program.toStdString() << " did not finish";
    return QString::fromUtf8(p.readAllStandardOutput());
}

// A document folder as data/documents is laid out: the sources, and their pictures in images/.
class MakeDocTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("images")));
        write(QStringLiteral("images/pellar.jpg"), test::ShippedFile(QStringLiteral("pellar.jpg")));
    }
    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }
    void write(const QString& name, const QByteArray& bytes) const
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << name.toStdString();
        f.write(bytes);
    }
    QByteArray read(const QString& name) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    ToolRun make(const QString& source, const QString& pdf, const QStringList& extra = {}) const
    {
        QProcess p;
        p.start(QStringLiteral(KOV_MAKEDOC), QStringList{path(source), path(pdf)} + extra);
        if (!p.waitForFinished(60000))
            ADD_FAILURE() << "kov_makedoc did not finish";
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromUtf8(p.readAllStandardError())};
    }
    // The text of one page, or of all pages with page 0.
    QString text(const QString& pdf, int page = 0) const
    {
        QStringList args{QStringLiteral("-layout")};
        if (page > 0)
            args << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l") << QString::number(page);
        return Output(QStringLiteral("pdftotext"), args << path(pdf) << QStringLiteral("-"));
    }
    QString info(const QString& pdf, const QString& field) const
    {
        const QRegularExpression line(QStringLiteral("^%1:\\s*(.*)$").arg(field), QRegularExpression::MultilineOption);
        return line.match(Output(QStringLiteral("pdfinfo"), {path(pdf)})).captured(1).trimmed();
    }
    int pages(const QString& pdf) const { return info(pdf, QStringLiteral("Pages")).toInt(); }

    QTemporaryDir dir;
};

QByteArray Paragraphs(int first, int last)
{
    QByteArray text;
    for (int i = first; i <= last; ++i)
        text += "Paragraph " + QByteArray::number(i) +
                ". The installer measures the spectrum at several places in the room and types the levels band "
                "by band into the grid of the masking window.\n\n";
    return text;
}

TEST_F(MakeDocTest, AManualWithATableAndAPictureBecomesNumberedLetterPagesInTheSerifBody)
{
    write(QStringLiteral("Manual.md"),
          "# Sample Manual\n\nIntroduction with *emphasis*.\n\n"
          "## Bands\n\n| Band | Level |\n|---|---|\n| 160 Hz | 52.1 |\n| 8 kHz | 30.2 |\n\n"
          "![The logo](images/pellar.jpg)\n\n" +
              Paragraphs(1, 40));
    const ToolRun run = make(QStringLiteral("Manual.md"), QStringLiteral("Manual.pdf"),
                             {QStringLiteral("--depfile"), path(QStringLiteral("Manual.pdf.d"))});
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();

    EXPECT_EQ(info(QStringLiteral("Manual.pdf"), QStringLiteral("Page size")),
              QStringLiteral("612 x 792 pts (letter)"));
    EXPECT_EQ(info(QStringLiteral("Manual.pdf"), QStringLiteral("Title")), QStringLiteral("Sample Manual"));
    const int n = pages(QStringLiteral("Manual.pdf"));
    ASSERT_GE(n, 2);
    for (int page = 1; page <= n; ++page) {
        const QString footer = QStringLiteral("Page %1 of %2").arg(page).arg(n);
        EXPECT_TRUE(text(QStringLiteral("Manual.pdf"), page).contains(footer)) << footer.toStdString();
    }
    const QString all = text(QStringLiteral("Manual.pdf"));
    EXPECT_TRUE(all.contains(QRegularExpression(QStringLiteral("160 Hz\\s+52\\.1"))));
    // Every line once: nothing of the next page is left, clipped but searchable, at the foot of this one.
    for (int i = 1; i <= 40; ++i)
        EXPECT_EQ(all.count(QStringLiteral("Paragraph %1. ").arg(i)), 1) << i;

    const QString fonts = Output(QStringLiteral("pdffonts"), {path(QStringLiteral("Manual.pdf"))});
    EXPECT_TRUE(fonts.contains(QStringLiteral("LiberationSerif "))) << fonts.toStdString();
    EXPECT_TRUE(fonts.contains(QStringLiteral("LiberationSerif-Italic"))) << fonts.toStdString();
    EXPECT_TRUE(fonts.contains(QStringLiteral("LiberationSans-Bold"))) << fonts.toStdString();
    // The logo, 376 pixels wide, keeps its 96 dots an inch.
    const QStringList images =
        Output(QStringLiteral("pdfimages"), {QStringLiteral("-list"), path(QStringLiteral("Manual.pdf"))})
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(images.size(), 3);
    EXPECT_EQ(images[2].split(QLatin1Char(' '), Qt::SkipEmptyParts).mid(3, 2), QStringList({"376", "188"}));
    EXPECT_EQ(images[2].split(QLatin1Char(' '), Qt::SkipEmptyParts).mid(12, 2), QStringList({"96", "96"}));

    EXPECT_EQ(read(QStringLiteral("Manual.pdf.d")),
              (path(QStringLiteral("Manual.pdf")) + QStringLiteral(": ") + path(QStringLiteral("Manual.md")) +
               QLatin1Char(' ') + path(QStringLiteral("images/pellar.jpg")) + QLatin1Char('\n'))
                  .toUtf8());
}

TEST_F(MakeDocTest, APictureWiderThanTheColumnIsShrunkToTheColumn)
{
    QImage wide(1950, 300, QImage::Format_RGB32);
    wide.fill(Qt::darkCyan);
    ASSERT_TRUE(wide.save(path(QStringLiteral("images/wide.png"))));
    write(QStringLiteral("Wide.md"), "# Wide\n\n![A wide picture](images/wide.png)\n");
    ASSERT_EQ(make(QStringLiteral("Wide.md"), QStringLiteral("Wide.pdf")).exitCode, 0);
    const QStringList images =
        Output(QStringLiteral("pdfimages"), {QStringLiteral("-list"), path(QStringLiteral("Wide.pdf"))})
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(images.size(), 3);
    // 1950 pixels across the 6.5 inches between the margins.
    EXPECT_EQ(images[2].split(QLatin1Char(' '), Qt::SkipEmptyParts).mid(12, 2), QStringList({"300", "300"}));
}

TEST_F(MakeDocTest, AHeadingNeverEndsAPage)
{
    // Sections of one line, two lines, ... twelve lines after a few opening lines: over the ten openings some
    // heading falls on the last line of a page.
    for (int opening = 0; opening < 10; ++opening) {
        QByteArray source = "# Headings\n\n";
        for (int i = 1; i <= opening; ++i)
            source += "Opening line " + QByteArray::number(i) + ".\n\n";
        int line = 0;
        for (int section = 1; section <= 12; ++section) {
            source += "## Section " + QByteArray::number(section) + "\n\n";
            for (int i = 0; i < section; ++i)
                source += "Line " + QByteArray::number(++line) + " of the text.\n\n";
        }
        write(QStringLiteral("Headings.md"), source);
        ASSERT_EQ(make(QStringLiteral("Headings.md"), QStringLiteral("Headings.pdf")).exitCode, 0);
        const int n = pages(QStringLiteral("Headings.pdf"));
        ASSERT_GE(n, 3);
        for (int page = 1; page <= n; ++page) {
            QStringList lines = text(QStringLiteral("Headings.pdf"), page).split(QLatin1Char('\n'));
            lines.removeIf(
                [](const QString& l) { return l.trimmed().isEmpty() || l.contains(QStringLiteral("Page ")); });
            ASSERT_FALSE(lines.isEmpty()) << opening << " " << page;
            EXPECT_FALSE(lines.last().trimmed().startsWith(QStringLiteral("Section "))) << opening << " " << page;
        }
    }
}

struct Failure {
    const char* name;
    QByteArray source;  // empty: no source file at all
    const char* output;
    const char* reason;  // part of what the tool says
};

TEST_F(MakeDocTest, AFailedDocumentLeavesNoPdfAndAnOldOneAsItWas)
{
    write(QStringLiteral("Old.pdf"), "an earlier PDF");
    const Failure failures[] = {
        {"missing picture", "# Doc\n\n![gone](images/none.png)\n", "New.pdf", "images/none.png"},
        {"picture that is no picture", "# Doc\n\n![text](Broken.md)\n", "New.pdf", "Broken.md"},
        {"missing picture over an old PDF", "# Doc\n\n![gone](images/none.png)\n", "Old.pdf", "images/none.png"},
        {"no source", QByteArray(), "New.pdf", "Missing.md"},
        {"no folder for the PDF", "# Doc\n", "nofolder/New.pdf", "nofolder/New.pdf"},
    };
    for (const Failure& f : failures) {
        const QString source = f.source.isEmpty() ? QStringLiteral("Missing.md") : QStringLiteral("Broken.md");
        if (!f.source.isEmpty())
            write(source, f.source);
        const ToolRun run = make(source, QLatin1String(f.output));
        EXPECT_EQ(run.exitCode, 1) << f.name;
        EXPECT_TRUE(run.errors.contains(QLatin1String(f.reason))) << f.name << ": " << run.errors.toStdString();
        // Nor a temporary file beside them.
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).filter(QStringLiteral(".pdf")), QStringList{"Old.pdf"})
            << f.name;
        EXPECT_EQ(read(QStringLiteral("Old.pdf")), QByteArray("an earlier PDF")) << f.name;
    }
}

}  // namespace
}  // namespace kov
