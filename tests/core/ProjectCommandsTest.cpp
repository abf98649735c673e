#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <memory>
#include <vector>

#include "core/EqFile.h"
#include "core/ProjectCommands.h"
#include "core/ProjectFile.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempProgramFolder.h"

using namespace kov;
using kov::test::RecordedMessage;
using kov::test::ScriptedPrompter;
using kov::test::Shown;
using kov::test::TempProgramFolder;

namespace {

// The messages, "%P" standing for the path the command works on.
Shown OnPath(Shown shown, const QString& path)
{
    for (RecordedMessage& m : shown)
        m.text.replace(QStringLiteral("%P"), path);
    return shown;
}

const RecordedMessage Overwrite{"The file already exists.  OverWrite?", "", MsgIcon::None, MsgButtons::YesNo};
const RecordedMessage Verification{"File to save is %P", "Verification", MsgIcon::Exclamation, MsgButtons::OkCancel};
const RecordedMessage SaveFailed{"The file %P could not be saved.\nNo such file or directory", "File Error",
                                 MsgIcon::Exclamation, MsgButtons::Ok};

class ProjectCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        d->AppPath = folder.path();
        d->ProjectInfo(1) = QStringLiteral("THIRD FLOOR");
        d->ProjectInfo(2) = QStringLiteral("3/7/2026");
        d->Generator = GeneratorDA2500;
        d->ProjectStage = 2;
        d->MaskTestCount(2) = 4;
        d->MaskCorrection(2, 30) = -3.5f;
    }
    QByteArray fileBytes(const QString& path) const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    TempProgramFolder folder;
    ScriptedPrompter prompter;
    std::unique_ptr<LumoData> d = std::make_unique<LumoData>();
};

struct SaveAsCase {
    const char* what;
    const char* chosen;  // relative to the program folder unless it starts with "/"; "" = dialog cancelled
    bool inUse;          // a file of the chosen name is there beforehand
    const char* target;  // where the project must end up, relative to the program folder; nullptr = not saved
    std::vector<MsgAnswer> answers;
    Shown messages;
    i16 saveConfirmed;
    const char* askedAs = nullptr;  // the name the questions give, when not the chosen one upper-cased
};

TEST_F(ProjectCommandsTest, SaveAsAsksWhatTheChosenNameCallsForAndKeepsTheOldNameUnlessItSaved)
{
    using enum MsgAnswer;
    const SaveAsCase cases[] = {
        {"new name: only the verification", "office.msk", false, "OFFICE.MSK", {Ok}, {Verification}, -1},
        {"name in use: overwrite first", "LOBBY.MSK", true, "LOBBY.MSK", {Yes, Ok}, {Overwrite, Verification}, -1},
        {"only the file's own name upper-cased", "jobs/Lobby.msk", false, "jobs/LOBBY.MSK", {Ok}, {Verification}, -1},
        {"surrounding blanks are dropped", "  wing.msk  ", false, "WING.MSK", {Ok}, {Verification}, -1},
        {"dialog cancelled", "", false, nullptr, {}, {}, -1},
        {"nothing but the extension", ".MSK", false, nullptr, {}, {}, -1},
        {"No to the overwrite question", "LOBBY.MSK", true, nullptr, {No}, {Overwrite}, -1},
        {"Cancel to the verification", "office.msk", false, nullptr, {Cancel}, {Verification}, -1},
        {"folder that does not exist", "missing/office.msk", false, nullptr, {Ok, Ok}, {Verification, SaveFailed}, 0},
        // On a case-sensitive disk the file chosen is the one overwritten, not a second one beside it.
        {"name in use in lower case",
         "lobby.msk",
         true,
         "lobby.msk",
         {Yes, Ok},
         {Overwrite, Verification},
         -1,
         "lobby.msk"},
        {"a name of three letters", "A.B", false, "A.B", {Ok}, {Verification}, -1},
        {"another extension", "x.eq", false, "X.EQ", {Ok}, {Verification}, -1},
        {"nothing but the extension in lower case", ".msk", false, nullptr, {}, {}, -1},
    };
    QDir(folder.path()).mkdir(QStringLiteral("jobs"));
    const QString earlier = folder.file(QStringLiteral("EARLIER.MSK"));
    for (const SaveAsCase& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedPrompter person;
        d->ProjectFileName = earlier;
        d->ProjectBaseName = QStringLiteral("EARLIER");
        d->SaveConfirmed = -1;
        const QString chosen = QString::fromLatin1(c.chosen);
        if (c.inUse)
            folder.write(chosen, "old project");
        person.answerSaveFile(chosen.trimmed().isEmpty() ? chosen : folder.file(chosen.trimmed()));
        for (MsgAnswer a : c.answers)
            person.answer(a);
        const QByteArray expectedBytes = ProjectFileBytes(*d);

        EXPECT_EQ(SaveProjectAs(*d, person), c.target != nullptr);

        ASSERT_EQ(person.saveRequests().size(), 1u);
        const SaveFileRequest& r = person.saveRequests()[0];
        EXPECT_EQ(r.title, QStringLiteral("File to Save"));
        EXPECT_EQ(r.folder, folder.path());
        EXPECT_EQ(r.proposedName, QStringLiteral(".MSK"));
        EXPECT_EQ(r.defaultExtension, QStringLiteral("MSK"));
        EXPECT_EQ(r.filter, QStringLiteral("Design Files |*.MSK"));

        const QString asked = c.askedAs != nullptr ? folder.file(QString::fromLatin1(c.askedAs))
                                                   : UpperCaseFileName(folder.file(chosen.trimmed()));
        EXPECT_EQ(person.messages(), OnPath(c.messages, asked));
        EXPECT_EQ(d->SaveConfirmed, c.saveConfirmed);
        if (c.target != nullptr) {
            const QString target = folder.file(QString::fromLatin1(c.target));
            EXPECT_EQ(d->ProjectFileName, target);
            EXPECT_EQ(d->ProjectBaseName, FileBaseName(target));
            EXPECT_EQ(fileBytes(target), expectedBytes);
        } else {
            EXPECT_EQ(d->ProjectFileName, earlier);
            EXPECT_EQ(d->ProjectBaseName, QStringLiteral("EARLIER"));
            EXPECT_FALSE(QFileInfo::exists(asked) && fileBytes(asked) != "old project") << "something was written";
        }
        for (const char* stray :
             {"OFFICE.MSK", "LOBBY.MSK", "WING.MSK", ".MSK", "jobs/LOBBY.MSK", "lobby.msk", "A.B", "X.EQ"})
            folder.remove(QString::fromLatin1(stray));
    }
    EXPECT_FALSE(QFileInfo::exists(earlier));
}

TEST_F(ProjectCommandsTest, ABareNameFromTheDialogGoesIntoTheProgramFolder)
{
    prompter.answerSaveFile(QStringLiteral("annex.msk"));
    prompter.answer(MsgAnswer::Ok);
    EXPECT_TRUE(SaveProjectAs(*d, prompter));
    EXPECT_EQ(d->ProjectFileName, folder.file(QStringLiteral("ANNEX.MSK")));
    EXPECT_TRUE(QFileInfo::exists(folder.file(QStringLiteral("ANNEX.MSK"))));
}

TEST(UpperCaseFileNameTest, LeavesTheFolderAlone)
{
    EXPECT_EQ(UpperCaseFileName(QStringLiteral("/home/ann/Jobs/office.msk")),
              QStringLiteral("/home/ann/Jobs/OFFICE.MSK"));
    EXPECT_EQ(UpperCaseFileName(QStringLiteral("office.msk")), QStringLiteral("OFFICE.MSK"));
    EXPECT_EQ(UpperCaseFileName(QStringLiteral("/jobs/")), QStringLiteral("/jobs/"));
    EXPECT_EQ(UpperCaseFileName(QString()), QString());
}

struct SaveCase {
    const char* what;
    i16 saveConfirmed;
    bool exists;  // the folder of the project file is there
    std::vector<MsgAnswer> answers;
    Shown messages;
    bool written;
};

TEST_F(ProjectCommandsTest, SaveAsksUntilTheProjectWasSavedAsOrOpened)
{
    const RecordedMessage changed{"The data in file %P has changed. Do you wish to save it?", "File Save",
                                  MsgIcon::None, MsgButtons::YesNo};
    const SaveCase cases[] = {
        {"saved before: writes at once", -1, true, {}, {}, true},
        {"not yet: Yes writes", 0, true, {MsgAnswer::Yes}, {changed}, true},
        {"not yet: No leaves the file", 0, true, {MsgAnswer::No}, {changed}, false},
        {"write fails", -1, false, {MsgAnswer::Ok}, {SaveFailed}, false},
    };
    for (const SaveCase& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedPrompter person;
        const QString path =
            c.exists ? folder.file(QStringLiteral("OFFICE.MSK")) : folder.file(QStringLiteral("gone/OFFICE.MSK"));
        folder.write(QStringLiteral("OFFICE.MSK"), "old project");
        d->ProjectFileName = path;
        d->SaveConfirmed = c.saveConfirmed;
        for (MsgAnswer a : c.answers)
            person.answer(a);

        EXPECT_EQ(SaveProject(*d, person), c.written);

        EXPECT_EQ(person.messages(), OnPath(c.messages, path));
        EXPECT_EQ(d->ProjectFileName, path);
        EXPECT_EQ(d->SaveConfirmed, c.saveConfirmed);
        EXPECT_EQ(folder.read(QStringLiteral("OFFICE.MSK")) == ProjectFileBytes(*d), c.written);
    }
    // A project without a file name is Save As's, not Save's.
    d->ProjectFileName.clear();
    EXPECT_FALSE(SaveProject(*d, prompter));
}

struct OfferCase {
    MsgIcon icon;
    MsgAnswer answer;
    bool folderThere;
    bool written;
};

TEST_F(ProjectCommandsTest, OfferToSaveResultsAsksWithTheCallersIcon)
{
    const OfferCase cases[] = {
        {MsgIcon::Information, MsgAnswer::Yes, true, true},
        {MsgIcon::Question, MsgAnswer::Yes, true, true},
        {MsgIcon::Question, MsgAnswer::No, true, false},
        {MsgIcon::Information, MsgAnswer::Yes, false, false},
    };
    for (const OfferCase& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << static_cast<int>(c.icon) << " " << static_cast<int>(c.answer) << " " << c.folderThere);
        ScriptedPrompter person;
        const QString path = folder.file(c.folderThere ? QStringLiteral("OFFICE.MSK") : QStringLiteral("x/O.MSK"));
        folder.remove(QStringLiteral("OFFICE.MSK"));
        d->ProjectFileName = path;
        person.answer(c.answer);
        Shown expected{{"Save results to %P?", "Save to File", c.icon, MsgButtons::YesNo}};
        if (!c.folderThere) {
            person.answer(MsgAnswer::Ok);
            expected.push_back(SaveFailed);
        }
        EXPECT_EQ(OfferToSaveResults(*d, person, c.icon), c.written);
        EXPECT_EQ(person.messages(), OnPath(expected, path));
        EXPECT_EQ(QFileInfo::exists(folder.file(QStringLiteral("OFFICE.MSK"))), c.written);
    }
}

// ---- Project information ------------------------------------------------------------------------------------

TEST(ProjectDateTest, MonthAndDayWithoutLeadingZeros)
{
    EXPECT_EQ(ProjectDateText(QDate(2026, 3, 7)), QStringLiteral("3/7/2026"));
    EXPECT_EQ(ProjectDateText(QDate(2025, 12, 31)), QStringLiteral("12/31/2025"));

    struct Parse {
        const char* text;
        QDate date;
    };
    const Parse cases[] = {
        {"3/7/2026", QDate(2026, 3, 7)},
        {"12/31/2025", QDate(2025, 12, 31)},
        {"03/07/2026", QDate(2026, 3, 7)},
        {" 3/7/2026 ", QDate(2026, 3, 7)},
        {"2/30/2026", QDate()},
        {"7.3.2026", QDate()},
        {"March 7, 2026", QDate()},
        {"3/7/26", QDate()},
        {"", QDate()},
    };
    for (const Parse& c : cases)
        EXPECT_EQ(ProjectDate(QString::fromLatin1(c.text)), c.date) << c.text;
}

TEST(ProjectInformationTest, EditingStartsFromTheStoredValuesOrTheDefaults)
{
    LumoData d;
    const QDate today(2026, 3, 7);
    EXPECT_EQ(EditableProjectInformation(d, today),
              (ProjectInformation{QString(), QStringLiteral("3/7/2026"), GeneratorVO120R}));
    d.ProjectInfo(1) = QStringLiteral("LOBBY");
    d.ProjectInfo(2) = QStringLiteral("7.3.2026");
    d.Generator = GeneratorRUZ1200U;
    EXPECT_EQ(EditableProjectInformation(d, today),
              (ProjectInformation{QStringLiteral("LOBBY"), QStringLiteral("7.3.2026"), GeneratorRUZ1200U}));
}

TEST(ProjectInformationTest, DoneNamesTheFirstThingMissing)
{
    struct Case {
        ProjectInformation info;
        const char* error;
    };
    const Case cases[] = {
        {{QString(), QString(), GeneratorNone}, "Enter a project name or description."},
        {{QStringLiteral("   "), QStringLiteral("3/7/2026"), GeneratorDU3001}, "Enter a project name or description."},
        {{QStringLiteral("LOBBY"), QStringLiteral("  "), GeneratorNone}, "Enter a project date."},
        {{QStringLiteral("LOBBY"), QStringLiteral("3/7/2026"), GeneratorNone}, "Choose a generator product."},
        {{QStringLiteral("LOBBY"), QStringLiteral("3/7/2026"), GeneratorDU3001}, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProjectInformationError(c.info), QString::fromLatin1(c.error)) << c.info.name.toStdString();
}

struct StoreCase {
    const char* what;
    i16 stageBefore;
    ProjectInformation info;
    i16 stageAfter;
};

TEST_F(ProjectCommandsTest, StoringInformationMovesOnlyANewOrFreshProjectToStageOne)
{
    const ProjectInformation same{QStringLiteral("THIRD FLOOR"), QStringLiteral("3/7/2026"), GeneratorDA2500};
    const StoreCase cases[] = {
        {"stage 0, nothing changed", 0, same, 0},
        {"stage 0, name changed", 0, {QStringLiteral("LOBBY"), same.date, same.generator}, 1},
        {"stage 0, date changed", 0, {same.name, QStringLiteral("3/8/2026"), same.generator}, 1},
        {"stage 1, generator changed", 1, {same.name, same.date, GeneratorZUVAR24}, 1},
        {"stage 2, name changed", 2, {QStringLiteral("LOBBY"), same.date, same.generator}, 2},
        {"stage 3, generator changed", 3, {same.name, same.date, GeneratorZUVAR24}, 3},
        {"case counts as a change", 0, {QStringLiteral("Third Floor"), same.date, same.generator}, 1},
    };
    for (const StoreCase& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedPrompter person;
        d->ProjectInfo(1) = same.name;
        d->ProjectInfo(2) = same.date;
        d->Generator = same.generator;
        d->ProjectStage = c.stageBefore;
        d->ProjectFileName.clear();
        person.answer(MsgAnswer::Ok);

        StoreProjectInformation(*d, person, c.info);

        EXPECT_EQ(d->ProjectStage, c.stageAfter);
        EXPECT_EQ(d->ProjectInfo(1), c.info.name);
        EXPECT_EQ(d->ProjectInfo(2), c.info.date);
        EXPECT_EQ(d->Generator, c.info.generator);
        EXPECT_EQ(
            person.messages(),
            Shown({{" To save data to a file, press SAVE AS.", "FileSave", MsgIcon::Information, MsgButtons::Ok}}));
    }
}

TEST_F(ProjectCommandsTest, StoringInformationOfAProjectWithAFileOffersToSaveIt)
{
    const ProjectInformation info{QStringLiteral("LOBBY"), QStringLiteral("3/8/2026"), GeneratorZUVAR24};
    const QString path = folder.file(QStringLiteral("OFFICE.MSK"));
    d->ProjectFileName = path;
    prompter.answer(MsgAnswer::Yes);
    StoreProjectInformation(*d, prompter, info);
    EXPECT_EQ(prompter.messages(),
              OnPath(Shown{{"Save results to %P?", "Save to File", MsgIcon::Question, MsgButtons::YesNo}}, path));
    QString name, date;
    ASSERT_TRUE(ReadProjectHeader(path, name, date));
    EXPECT_EQ(name, QStringLiteral("LOBBY"));
    EXPECT_EQ(date, QStringLiteral("3/8/2026"));
}

// ---- Opening ------------------------------------------------------------------------------------------------

TEST_F(ProjectCommandsTest, TheOpenWindowListsMatchingFilesWhateverTheirCase)
{
    for (const char* name : {"b.msk", "A.MSK", "C.Msk", "D.MSK.BAK", "E.EQ", "f.eq"})
        folder.write(QString::fromLatin1(name), "x");
    QDir(folder.path()).mkdir(QStringLiteral("FOLDER.MSK"));
    EXPECT_EQ(FilesMatching(folder.path(), GetFilePattern(1)), (QStringList{"A.MSK", "b.msk", "C.Msk"}));
    EXPECT_EQ(FilesMatching(folder.path(), GetFilePattern(2)), (QStringList{"E.EQ", "f.eq"}));
    EXPECT_TRUE(FilesMatching(folder.file(QStringLiteral("nowhere")), GetFilePattern(1)).isEmpty());
}

TEST_F(ProjectCommandsTest, OpenListsTheProjectsFolderAndEqFilesTheZuvFolderOrElseTheProgramFolder)
{
    struct Case {
        const char* mg24;
        i16 mode;
        QString project;  // the open project's file
        QString folder;   // "" = the program folder
    };
    QDir(folder.path()).mkdir(QStringLiteral("jobs"));
    const QString jobs = folder.file(QStringLiteral("jobs"));
    const Case cases[] = {
        {"/opt/mg24/", 2, "", "/opt/mg24/"},
        {"", 2, "", ""},
        {"   ", 2, "", ""},
        {"/opt/mg24/", 1, "", ""},
        // Projects are listed where the open one was saved, while that folder is there.
        {"", 1, jobs + QStringLiteral("/A.MSK"), jobs},
        {"", 1, "/nowhere/B.MSK", ""},
    };
    for (const Case& c : cases) {
        d->ProjectFileName = c.project;
        d->MG24Folder = QString::fromLatin1(c.mg24);
        const QString expected = c.folder.isEmpty() ? folder.path() : c.folder;
        EXPECT_EQ(GetFileFolder(*d, c.mode), expected) << c.mg24 << " mode " << c.mode;
        EXPECT_EQ(d->MG24Folder, QString::fromLatin1(c.mg24));
    }
}

TEST_F(ProjectCommandsTest, ClickingAProjectFileShowsItsNameAndDateAndChangesNothing)
{
    LumoData other;
    other.ProjectInfo(1) = QStringLiteral("LOBBY, EAST WING");
    other.ProjectInfo(2) = QStringLiteral("11/2/2025");
    folder.write(QStringLiteral("LOBBY.MSK"), ProjectFileBytes(other));

    d->ProjectInfo(1) = QStringLiteral("OPEN ONE");
    const LumoData before = *d;
    EXPECT_EQ(PreviewProjectFile(folder.path(), QStringLiteral("LOBBY.MSK")),
              QStringLiteral("Project: LOBBY, EAST WING\n Date: 11/2/2025"));
    folder.write(QStringLiteral("EMPTY.MSK"), "");
    EXPECT_EQ(PreviewProjectFile(folder.path(), QStringLiteral("EMPTY.MSK")),
              QStringLiteral("The file EMPTY.MSK could not be read."));
    // A look at another file changes nothing of the open project: a later Save must write this one.
    EXPECT_TRUE(*d == before);
}

TEST_F(ProjectCommandsTest, OpeningAProjectPutsItAtStageTwoAsSaved)
{
    LumoData stored = *d;
    stored.ProjectStage = 1;
    stored.MaskTestCount(3) = 7;
    folder.write(QStringLiteral("LOBBY.MSK"), ProjectFileBytes(stored));
    d->SaveConfirmed = 0;

    EXPECT_EQ(OpenProject(*d, prompter, folder.path(), QStringLiteral("LOBBY.MSK")), OpenResult::Opened);
    EXPECT_EQ(d->ProjectFileName, folder.file(QStringLiteral("LOBBY.MSK")));
    EXPECT_EQ(d->ProjectBaseName, QStringLiteral("LOBBY"));
    EXPECT_EQ(d->ProjectStage, 2);
    EXPECT_EQ(d->SaveConfirmed, -1);
    EXPECT_EQ(d->MaskTestCount(3), 7);
}

TEST_F(ProjectCommandsTest, AProjectThatCannotBeOpenedLeavesTheProjectAsItWas)
{
    prompter.answer(MsgAnswer::Ok);
    EXPECT_EQ(OpenProject(*d, prompter, folder.path(), QString()), OpenResult::NothingChosen);
    EXPECT_EQ(prompter.messages(),
              Shown({{"Click on file to open first.", "File Error", MsgIcon::Exclamation, MsgButtons::Ok}}));

    const QList<QByteArray> lines = ProjectFileBytes(*d).split('\n');
    folder.write(QStringLiteral("SHORT.MSK"), lines.mid(0, 40).join('\n'));
    d->ProjectFileName = folder.file(QStringLiteral("EARLIER.MSK"));
    const LumoData before = *d;
    for (const char* name : {"SHORT.MSK", "MISSING.MSK"}) {
        SCOPED_TRACE(name);
        ScriptedPrompter person;
        person.answer(MsgAnswer::Ok);  // the reader's own message
        person.answer(MsgAnswer::Ok);
        EXPECT_EQ(OpenProject(*d, person, folder.path(), QString::fromLatin1(name)), OpenResult::Failed);
        ASSERT_EQ(person.messages().size(), 2u);
        EXPECT_EQ(person.messages()[0].title, QStringLiteral("File Error"));
        EXPECT_EQ(person.messages()[1],
                  RecordedMessage({QStringLiteral("The file ") + folder.file(QString::fromLatin1(name)) +
                                       QStringLiteral(" could not be opened."),
                                   QStringLiteral("File Error"), MsgIcon::Critical}));
        EXPECT_TRUE(*d == before);
    }
}

TEST_F(ProjectCommandsTest, AnEqFileForTheReviewBecomesTheProjectsEqFileOnlyOnceRead)
{
    d->MG24Folder = folder.path();
    LumoData image;
    SetFreshEqImage(image);
    image.EqChannel(4) = 4;
    image.EqGain(4) = -2;
    folder.write(QStringLiteral("OFFICE.EQ"), EqFileBytes(image));
    d->ProjectEqName = QStringLiteral("PROJECT.EQ");

    prompter.answer(MsgAnswer::Ok);
    EXPECT_EQ(OpenEqFileForReview(*d, prompter, QStringLiteral("GONE.EQ")), OpenResult::Failed);
    EXPECT_EQ(prompter.messages(),
              Shown({{"The file GONE.EQ could not be opened.", "File Error", MsgIcon::Critical, MsgButtons::Ok}}));
    EXPECT_EQ(d->ProjectEqName, QStringLiteral("PROJECT.EQ"));

    EXPECT_EQ(OpenEqFileForReview(*d, prompter, QStringLiteral("OFFICE.EQ")), OpenResult::Opened);
    EXPECT_EQ(d->ProjectEqName, QStringLiteral("OFFICE.EQ"));
    EXPECT_EQ(d->EqChannel(4), 4);
    EXPECT_EQ(d->EqGain(4), -2.0f);
}

}  // namespace
