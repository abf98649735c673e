#include <gtest/gtest.h>

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <vector>

#include "core/Documents.h"
#include "core/LumoMainWindow.h"
#include "core/QtPrompter.h"
#include "tests/support/ScriptedPrompter.h"

namespace kov {
namespace {

// Stands in for the desktop: what the program hands it to open.
class Desktop : public QObject {
    Q_OBJECT

public:
    Desktop() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~Desktop() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened << url; }
};

// The real prompter's way of opening a document; its messages are kept instead of shown.
class RecordingPrompter : public QtPrompter {
public:
    MsgAnswer message(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons) override
    {
        messages.push_back({text, title, icon, buttons});
        return MsgAnswer::Ok;
    }
    std::vector<test::RecordedMessage> messages;
};

struct Item {
    const char* name;
    const char* file;
    QByteArray magic;  // how the file starts
};

const QByteArray Pdf("%PDF-");
const QByteArray Workbook("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);  // an .xls is an OLE compound file

const Item Items[] = {
    {"GoMaskSheet", "Mask.pdf", Pdf},       {"GoExcelSheet", "KOV.XLS", Workbook},
    {"GoHelp", "KOVTutr.pdf", Pdf},         {"GoManual", "KOVMan.pdf", Pdf},
    {"GoMeter", "MeterDownloads.pdf", Pdf}, {"GoDA2500Use", "DA2500Lumo.pdf", Pdf},
    {"GoDU3001Use", "DU3001Lumo.pdf", Pdf}, {"GoMG24Use", "MG24Lumo.pdf", Pdf},
};

QByteArray Start(const QString& path, qsizetype bytes)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.read(bytes) : QByteArray();
}

TEST(DocumentsTest, EachDocumentsItemHandsItsShippedFileToTheDesktop)
{
    LumoData d;
    d.AppPath = QStringLiteral(KOV_PROGRAM_DIR);
    RecordingPrompter prompter;
    LumoMain window(d, prompter);
    for (const Item& item : Items) {
        Desktop desktop;
        window.item(QLatin1String(item.name))->trigger();
        const QString path = QDir(QStringLiteral(KOV_PROGRAM_DIR)).filePath(QLatin1String(item.file));
        EXPECT_EQ(desktop.opened, QList<QUrl>{QUrl::fromLocalFile(path)}) << item.name;
        EXPECT_EQ(Start(path, item.magic.size()), item.magic) << item.file;
    }
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(ProgramDocuments().size(), std::size(Items));
}

TEST(DocumentsTest, AMissingDocumentIsNamedWithTheFolderItWasLookedForIn)
{
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    LumoData d;
    d.AppPath = empty.path();
    const QString folder = QDir::toNativeSeparators(empty.path());
    const QString messages[] = {
        "Could not find MASK.PDF in " + folder + "). Wrong Folder? Check Databases-FileFolders.",
        "Could not find a spreadsheet program (or KOV.XLS in " + folder +
            ").  Wrong Folder? Check Databases-FileFolders.",
        "Could not find a PDF viewer (or KOVTUTR.PDF in " + folder + "). Wrong Folder? Check Databases-FileFolders.",
        "Could not find KOVMan.pdf in " + folder + "). Wrong Folder?",
        "Could not find a PDF viewer (or MeterDownloads.pdf) in " + folder +
            "). Wrong Folder? Check Databases-FileFolders.",
        "Could not find a PDF viewer (or DA2500Lumo.pdf) in " + folder +
            "). Wrong Folder? Check Databases-FileFolders.",
        "Could not find a PDF viewer (or DU3001Lumo.pdf) in " + folder +
            "). Wrong Folder? Check Databases-FileFolders.",
        "Could not find a PDF viewer (or MG24Lumo.pdf) in " + folder + "). Wrong Folder? Check Databases-FileFolders.",
    };
    static_assert(std::size(messages) == std::size(Items));
    RecordingPrompter prompter;
    LumoMain window(d, prompter);
    Desktop desktop;
    for (std::size_t i = 0; i < std::size(Items); ++i) {
        prompter.messages.clear();
        window.item(QLatin1String(Items[i].name))->trigger();
        // No title: the program's own.
        EXPECT_EQ(prompter.messages, test::Shown({{messages[i], QString(), MsgIcon::Critical}})) << Items[i].name;
    }
    EXPECT_TRUE(desktop.opened.isEmpty());
    // The manual the same way when another window asks for it; and an item that opens no document fails quietly.
    prompter.messages.clear();
    EXPECT_FALSE(OpenManual(d, prompter));
    EXPECT_EQ(prompter.messages, test::Shown({{messages[3], QString(), MsgIcon::Critical}}));
    prompter.messages.clear();
    EXPECT_FALSE(OpenProgramDocument(d, prompter, QStringLiteral("GoComm")));
    EXPECT_TRUE(prompter.messages.empty());
}

// A document in its place that nothing on this computer opens is not reported as missing.
TEST(DocumentsTest, ADocumentNoProgramOpensIsNotCalledMissing)
{
    struct NoViewer : RecordingPrompter {
        bool openDocument(const QString&) override { return false; }
    } prompter;
    LumoData d;
    d.AppPath = QStringLiteral(KOV_PROGRAM_DIR);
    const QString folder = QDir::toNativeSeparators(d.AppPath);
    EXPECT_FALSE(OpenManual(d, prompter));
    EXPECT_FALSE(OpenProgramDocument(d, prompter, QStringLiteral("GoExcelSheet")));
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_EQ(prompter.messages[0].text, "KOVMan.pdf is in " + folder +
                                             ", but no program on this computer opens it. Install a PDF viewer (for "
                                             "example Evince or Okular) and try again.");
    EXPECT_EQ(prompter.messages[1].text, "KOV.XLS is in " + folder +
                                             ", but no program on this computer opens it. Install a spreadsheet "
                                             "program (for example LibreOffice Calc) and try again.");
}

}  // namespace
}  // namespace kov

#include "DocumentsTest.moc"
