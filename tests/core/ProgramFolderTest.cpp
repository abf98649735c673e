#include <gtest/gtest.h>

#include <QtGlobal>
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <map>
#include <tuple>

#include "core/Message.h"
#include "core/ProgramFolder.h"
#include "core/Tables.h"
#include "tests/support/ScriptedPrompter.h"

using namespace kov;

namespace {

// Names and bytes as standard strings, so a failure prints them readably.
using Files = std::map<std::string, std::string>;

const Files Shipped{
    {"DIRFILE.DAT", "1,\"\",\"\",\"\",\"\",\"\",\"\"\r\n"},
    {"KOV.XLS", "workbook"},
    {"KOVSPEC.DAT", "\"Background\",30\r\n"},
    {"Mask.pdf", "%PDF-1.4 sheet"},
    {"pellar.jpg", "\xff\xd8 logo"},
};

void WriteFiles(const QString& folder, const Files& files)
{
    ASSERT_TRUE(QDir().mkpath(folder)) << folder.toStdString();
    for (const auto& [name, bytes] : files) {
        QFile f(QDir(folder).filePath(QString::fromStdString(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << name;
        ASSERT_EQ(f.write(bytes.data(), qint64(bytes.size())), qint64(bytes.size()));
    }
}

// Every entry of the folder, hidden ones included, so a left-over temporary file shows; but for the program's list
// of what it copied, whose hashes are no business of these tests.
Files ReadFiles(const QString& folder)
{
    Files files;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (name == ShippedCopiesFileName && dir.path().endsWith(QStringLiteral("/KOV")))
            continue;
        QFile f(dir.filePath(name));
        files[name.toStdString()] = f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : "<unreadable>";
    }
    return files;
}

// A root holding a build folder's layout (the program beside its data) or an installed one (usr/bin and
// usr/share/kov), and a home for the person's data folder.
struct Layout {
    Layout() { EXPECT_TRUE(root.isValid()); }
    QTemporaryDir root;
    QString at(const QString& path) const { return QDir(root.path()).filePath(path); }
    QString installedProgram() const { return at(QStringLiteral("usr/bin")); }
    QString userData() const { return at(QStringLiteral("home/.local/share/KOV")); }
};

struct Case {
    const char* name;
    std::function<void(const Layout&)> arrange;
    const char* programDir;  // under the root
    bool userFolderChosen;
    Files userFiles;  // the person's folder afterwards
};

}  // namespace

TEST(ProgramFolderTest, ChoosesAndFillsTheFolderTheProgramKeepsItsDataIn)
{
    Files changed = Shipped;
    changed["KOVSPEC.DAT"] = "\"My office\",41\r\n";
    changed["JOB.MSK"] = "project";

    const Case cases[] = {
        {"build folder: the data beside the program stays the program folder, even with an installed copy around",
         [](const Layout& l) {
             WriteFiles(l.at(QStringLiteral("build/bin")), Shipped);
             WriteFiles(l.at(QStringLiteral("build/share/kov")), Shipped);
         },
         "build/bin",
         false,
         {}},
        {"installed, first start: the person's folder is made and gets every shipped file",
         [](const Layout& l) {
             WriteFiles(l.installedProgram(), {{"kov", "program"}});
             WriteFiles(l.at(QStringLiteral("usr/share/kov")), Shipped);
         },
         "usr/bin", true, Shipped},
        {"installed, later start: the changed database and a project stay, a deleted folder file comes back",
         [changed](const Layout& l) {
             WriteFiles(l.at(QStringLiteral("usr/share/kov")), Shipped);
             Files mine = changed;
             mine.erase("DIRFILE.DAT");
             WriteFiles(l.userData(), mine);
         },
         "usr/bin", true, changed},
        {"share/kov without its database is no installation: the program folder as before",
         [](const Layout& l) {
             Files noDatabase = Shipped;
             noDatabase.erase("KOVSPEC.DAT");
             WriteFiles(l.at(QStringLiteral("usr/share/kov")), noDatabase);
         },
         "usr/bin",
         false,
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Layout layout;
        c.arrange(layout);
        const QString programDir = layout.at(QString::fromLatin1(c.programDir));

        const ProgramFolderSetup setup = PrepareProgramFolder(programDir, layout.userData());

        EXPECT_FALSE(setup.failure.has_value());
        EXPECT_EQ(setup.folder, c.userFolderChosen ? layout.userData() : programDir);
        EXPECT_EQ(ReadFiles(layout.userData()), c.userFiles);
        EXPECT_EQ(QDir(layout.userData()).exists(), c.userFolderChosen);
        // The shipped copies are read, never changed.
        if (c.userFolderChosen) {
            EXPECT_EQ(ReadFiles(layout.at(QStringLiteral("usr/share/kov"))), Shipped);
        }
    }
}

TEST(ProgramFolderTest, AnUpgradeRefreshesTheCopiesNobodyChangedAndKeepsThePersons)
{
    Files upgrade = Shipped;
    upgrade["Mask.pdf"] = "%PDF-1.4 sheet, second edition";
    upgrade["KOVSPEC.DAT"] = "\"Background\",31\r\n";
    upgrade["Meter.pdf"] = "%PDF-1.4 new";

    Files refreshed = upgrade;
    refreshed["KOVSPEC.DAT"] = "\"My office\",41\r\n";
    refreshed["JOB.MSK"] = "project";
    Files unknownOrigin = refreshed;
    unknownOrigin["Mask.pdf"] = Shipped.at("Mask.pdf");

    // (name, the list lost: a folder filled before the program kept its list, or the list deleted; the person's
    // files)
    const std::tuple<const char*, bool, Files> cases[] = {
        {"the new manual replaces the untouched old one, the edited database stays, a new file comes", false,
         refreshed},
        {"without the list nobody can tell a shipped copy from the person's own: only new files come", true,
         unknownOrigin},
    };
    for (const auto& [name, listLost, userFiles] : cases) {
        SCOPED_TRACE(name);
        Layout layout;
        const QString shared = layout.at(QStringLiteral("usr/share/kov"));
        WriteFiles(shared, Shipped);
        ASSERT_FALSE(PrepareProgramFolder(layout.installedProgram(), layout.userData()).failure.has_value());
        WriteFiles(layout.userData(), {{"KOVSPEC.DAT", "\"My office\",41\r\n"}, {"JOB.MSK", "project"}});
        if (listLost) {
            ASSERT_TRUE(QFile::remove(QDir(layout.userData()).filePath(ShippedCopiesFileName)));
        }
        WriteFiles(shared, upgrade);

        const ProgramFolderSetup setup = PrepareProgramFolder(layout.installedProgram(), layout.userData());

        EXPECT_FALSE(setup.failure.has_value());
        EXPECT_EQ(ReadFiles(layout.userData()), userFiles);
        // The next start, with nothing shipped changed, changes nothing either.
        WriteFiles(layout.userData(), {{"Mask.pdf", "%PDF-1.4 annotated"}});
        ASSERT_FALSE(PrepareProgramFolder(layout.installedProgram(), layout.userData()).failure.has_value());
        EXPECT_EQ(ReadFiles(layout.userData()).at("Mask.pdf"), "%PDF-1.4 annotated");
    }
}

TEST(ProgramFolderTest, AFolderThatCannotBeMadeEndsTheStartWithItsReason)
{
    Layout layout;
    WriteFiles(layout.at(QStringLiteral("usr/share/kov")), Shipped);
    // A file where the folder should go stops even root.
    WriteFiles(layout.at(QStringLiteral("home")), {{".local", "not a folder"}});

    const ProgramFolderSetup setup = PrepareProgramFolder(layout.installedProgram(), layout.userData());

    EXPECT_TRUE(setup.folder.isEmpty());
    EXPECT_EQ(setup.failure,
              (Message{QStringLiteral("Cannot make the folder %1 (Not a directory). KOV keeps its spectrum database, "
                                      "folder file and projects there and cannot start without them.")
                           .arg(QDir::toNativeSeparators(layout.userData())),
                       "Fatal Error", MsgIcon::Critical}));
}

TEST(ProgramFolderTest, AnAccountWithoutAHomeIsTold)
{
    Layout layout;
    WriteFiles(layout.at(QStringLiteral("usr/share/kov")), Shipped);

    const ProgramFolderSetup setup = PrepareProgramFolder(layout.installedProgram(), QString());

    EXPECT_EQ(setup.failure,
              (Message{QStringLiteral("KOV is installed in %1 and needs a folder of its own for its data, but this "
                                      "account has no home folder. KOV keeps its spectrum database, folder file and "
                                      "projects there and cannot start without them.")
                           .arg(QDir::toNativeSeparators(layout.installedProgram())),
                       "Fatal Error", MsgIcon::Critical}));
}

TEST(ProgramFolderTest, AFailedCopyLeavesNoPartFileAndTheNextStartCopiesTheRest)
{
    Layout layout;
    const QString shared = layout.at(QStringLiteral("usr/share/kov"));
    WriteFiles(shared, Shipped);
    // A shipped file that cannot be read whole; a sparse one, so the test writes nothing of that size.
    QFile big(QDir(shared).filePath(QStringLiteral("KOV.XLS")));
    ASSERT_TRUE(big.open(QIODevice::ReadWrite));
    ASSERT_TRUE(big.resize(MaxCopiedFileBytes + 1));
    big.close();

    const ProgramFolderSetup failed = PrepareProgramFolder(layout.installedProgram(), layout.userData());

    EXPECT_EQ(failed.failure,
              (Message{QStringLiteral("Cannot copy KOV.XLS from %1 into %2 (%3 is too large to be a KOV data file). "
                                      "KOV keeps its spectrum database, folder file and projects there and cannot "
                                      "start without them.")
                           .arg(QDir::toNativeSeparators(shared), QDir::toNativeSeparators(layout.userData()),
                                QDir::toNativeSeparators(shared + QStringLiteral("/KOV.XLS"))),
                       "Fatal Error", MsgIcon::Critical}));
    // Files are copied in name order: the one before stays whole, the failed one and those after are not there.
    EXPECT_EQ(ReadFiles(layout.userData()), (Files{*Shipped.find("DIRFILE.DAT")}));

    ASSERT_TRUE(big.resize(8));
    const ProgramFolderSetup next = PrepareProgramFolder(layout.installedProgram(), layout.userData());
    EXPECT_FALSE(next.failure.has_value());
    Files all = Shipped;
    all["KOV.XLS"] = "workbook";
    EXPECT_EQ(ReadFiles(layout.userData()), all);
}

// Copies that killed saves left in the program folder go at the start; names of other programs' files stay.
TEST(ProgramFolderTest, TheStartRemovesOnlyCopiesLeftBySavesOfItsOwnFiles)
{
    const struct {
        const char* name;
        bool removedInBuildFolder;
        bool removedInPersonsFolder;
    } cases[] = {
        {"KOVSPEC.DAT.Mvuviu", true, true},    {"DIRFILE.DAT.AbCdEf", true, true},
        {"JOB 12.MSK.Blkulk", true, true},     {"job.msk.Blkulk", true, true},
        {"JOB.EQ.Qwerty", true, true},         {"Report.pdf.Zxcvbn", true, true},
        {"pellar.jpg.Asdfgh", false, true},  // copied into the person's folder only
        {".kov-shipped.Poiuyt", false, true},  {"notes.txt.Blkulk", false, false},
        {"KOVSPEC.DAT.Mvuvi7", false, false},  {"KOVSPEC.DAT.Mvuviuu", false, false},
        {"KOVSPEC.DATA.Mvuviu", false, false}, {".Blkulk", false, false},
    };
    Layout layout;
    const QString build = layout.at(QStringLiteral("build/bin"));
    Files planted = Shipped;
    for (const auto& c : cases)
        planted[c.name] = "copy";
    WriteFiles(build, planted);
    WriteFiles(layout.at(QStringLiteral("usr/share/kov")), Shipped);
    WriteFiles(layout.userData(), planted);

    ASSERT_FALSE(PrepareProgramFolder(build, layout.userData()).failure.has_value());
    ASSERT_FALSE(PrepareProgramFolder(layout.installedProgram(), layout.userData()).failure.has_value());

    const Files inBuild = ReadFiles(build);
    const Files inPersons = ReadFiles(layout.userData());
    for (const auto& c : cases) {
        EXPECT_EQ(!inBuild.count(c.name), c.removedInBuildFolder) << c.name;
        EXPECT_EQ(!inPersons.count(c.name), c.removedInPersonsFolder) << c.name;
    }
    EXPECT_EQ(inBuild.count("KOVSPEC.DAT"), 1u);
    EXPECT_EQ(inPersons.count("KOVSPEC.DAT"), 1u);
}

TEST(ProgramFolderTest, AFolderThePersonCannotWriteIsTold)
{
#ifdef Q_OS_UNIX
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into any folder";
#else
    GTEST_SKIP() << "Qt's owner permissions do not stop writing on Windows (its folders take ACLs)";
#endif
    Layout layout;
    WriteFiles(layout.at(QStringLiteral("usr/share/kov")), Shipped);
    ASSERT_TRUE(QDir().mkpath(layout.userData()));
    ASSERT_TRUE(QFile::setPermissions(layout.userData(), QFile::ReadOwner | QFile::ExeOwner));

    const ProgramFolderSetup setup = PrepareProgramFolder(layout.installedProgram(), layout.userData());

    QFile::setPermissions(layout.userData(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_TRUE(setup.failure.has_value());
    EXPECT_TRUE(setup.failure->text.startsWith(QStringLiteral("Cannot copy DIRFILE.DAT from ")))
        << setup.failure->text.toStdString();
    EXPECT_TRUE(setup.failure->text.contains(QStringLiteral("(Permission denied)")))
        << setup.failure->text.toStdString();
    EXPECT_TRUE(ReadFiles(layout.userData()).empty());
}

TEST(ProgramFolderTest, StartUpKeepsATestsFolderAndTheBuildFolder)
{
    test::ScriptedPrompter prompter;
    // The suite runs from the build folder, where the data lies beside it.
    ASSERT_FALSE(ProgramFolderOverridden());
    EXPECT_TRUE(SetUpProgramFolder(prompter));
    EXPECT_FALSE(ProgramFolderOverridden());

    OverrideProgramFolder(QStringLiteral("/somewhere/else"));
    EXPECT_TRUE(SetUpProgramFolder(prompter));
    EXPECT_EQ(ProgramFolder(), QStringLiteral("/somewhere/else"));
    OverrideProgramFolder(QString());
}
