#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <memory>
#include <tuple>
#include <utility>
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
        EXPECT_EQ(std::tuple(r.title, r.folder, r.proposedName, r.defaultExtension, r.filter),
                  std::tuple("File to Save", folder.path(), ".MSK", "MSK", "Design Files |*.MSK"));

        const QString asked = c.askedAs != nullptr ? folder.file(QString::fromLatin1(c.askedAs))
                                                   : UpperCaseFileName(folder.file(chosen.trimmed()));
        EXPECT_EQ(person.messages(), OnPath(c.messages, asked));
        const QString target = c.target != nullptr ? folder.file(QString::fromLatin1(c.target)) : earlier;
        EXPECT_EQ(std::tuple(d->SaveConfirmed, d->ProjectFileName, d->ProjectBaseName),
                  std::tuple(c.saveConfirmed, target, FileBaseName(target)));
        if (c.target != nullptr) {
            EXPECT_EQ(fileBytes(target), expectedBytes);
        } else {
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
    for (const auto& [path, upper] : {std::pair{"/home/ann/Jobs/office.msk", "/home/ann/Jobs/OFFICE.MSK"},
                                      {"office.msk", "OFFICE.MSK"},
                                      {"/jobs/", "/jobs/"},
                                      {"", ""}})
        EXPECT_EQ(UpperCaseFileName(QString::fromLatin1(path)), QString::fromLatin1(upper)) << path;
}

TEST_F(ProjectCommandsTest, SaveAsksUntilTheProjectWasSavedAsOrOpened)
{
    const RecordedMessage changed{"The data in file %P has changed. Do you wish to save it?", "File Save",
                                  MsgIcon::None, MsgButtons::YesNo};
    // (what, SaveConfirmed, the folder of the project file is there, answers, messages, written)
    const std::tuple<const char*, i16, bool, std::vector<MsgAnswer>, Shown, bool> cases[] = {
        {"saved before: writes at once", -1, true, {}, {}, true},
        {"not yet: Yes writes", 0, true, {MsgAnswer::Yes}, {changed}, true},
        {"not yet: No leaves the file", 0, true, {MsgAnswer::No}, {changed}, false},
        {"write fails", -1, false, {MsgAnswer::Ok}, {SaveFailed}, false},
    };
    for (const auto& [what, saveConfirmed, exists, answers, messages, written] : cases) {
        SCOPED_TRACE(what);
        ScriptedPrompter person;
        const QString path =
            exists ? folder.file(QStringLiteral("OFFICE.MSK")) : folder.file(QStringLiteral("gone/OFFICE.MSK"));
        folder.write(QStringLiteral("OFFICE.MSK"), "old project");
        d->ProjectFileName = path;
        d->SaveConfirmed = saveConfirmed;
        for (MsgAnswer a : answers)
            person.answer(a);

        EXPECT_EQ(SaveProject(*d, person), written);

        EXPECT_EQ(person.messages(), OnPath(messages, path));
        EXPECT_EQ(std::tuple(d->ProjectFileName, d->SaveConfirmed,
                             folder.read(QStringLiteral("OFFICE.MSK")) == ProjectFileBytes(*d)),
                  std::tuple(path, saveConfirmed, written));
    }
    // A project without a file name is Save As's, not Save's.
    d->ProjectFileName.clear();
    EXPECT_FALSE(SaveProject(*d, prompter));
}

TEST_F(ProjectCommandsTest, OfferToSaveResultsAsksWithTheCallersIcon)
{
    // (icon, answer, the folder of the project file is there, written)
    const std::tuple<MsgIcon, MsgAnswer, bool, bool> cases[] = {
        {MsgIcon::Information, MsgAnswer::Yes, true, true},
        {MsgIcon::Question, MsgAnswer::Yes, true, true},
        {MsgIcon::Question, MsgAnswer::No, true, false},
        {MsgIcon::Information, MsgAnswer::Yes, false, false},
    };
    for (const auto& [icon, answer, folderThere, written] : cases) {
        SCOPED_TRACE(::testing::Message()
                     << static_cast<int>(icon) << " " << static_cast<int>(answer) << " " << folderThere);
        ScriptedPrompter person;
        const QString path = folder.file(folderThere ? QStringLiteral("OFFICE.MSK") : QStringLiteral("x/O.MSK"));
        folder.remove(QStringLiteral("OFFICE.MSK"));
        d->ProjectFileName = path;
        person.answer(answer);
        Shown expected{{"Save results to %P?", "Save to File", icon, MsgButtons::YesNo}};
        if (!folderThere) {
            person.answer(MsgAnswer::Ok);
            expected.push_back(SaveFailed);
        }
        EXPECT_EQ(OfferToSaveResults(*d, person, icon), written);
        EXPECT_EQ(person.messages(), OnPath(expected, path));
        EXPECT_EQ(QFileInfo::exists(folder.file(QStringLiteral("OFFICE.MSK"))), written);
    }
}

// ---- Project information ------------------------------------------------------------------------------------

TEST(ProjectDateTest, MonthAndDayWithoutLeadingZeros)
{
    EXPECT_EQ(std::tuple(ProjectDateText(QDate(2026, 3, 7)), ProjectDateText(QDate(2025, 12, 31))),
              std::tuple("3/7/2026", "12/31/2025"));
    const std::pair<const char*, QDate> cases[] = {
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
    for (const auto& [text, date] : cases)
        EXPECT_EQ(ProjectDate(QString::fromLatin1(text)), date) << text;
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
    const std::pair<ProjectInformation, const char*> cases[] = {
        {{QString(), QString(), GeneratorNone}, "Enter a project name or description."},
        {{QStringLiteral("   "), QStringLiteral("3/7/2026"), GeneratorDU3001}, "Enter a project name or description."},
        {{QStringLiteral("LOBBY"), QStringLiteral("  "), GeneratorNone}, "Enter a project date."},
        {{QStringLiteral("LOBBY"), QStringLiteral("3/7/2026"), GeneratorNone}, "Choose a generator product."},
        {{QStringLiteral("LOBBY"), QStringLiteral("3/7/2026"), GeneratorDU3001}, ""},
    };
    for (const auto& [info, error] : cases)
        EXPECT_EQ(ProjectInformationError(info), QString::fromLatin1(error)) << info.name.toStdString();
}

TEST_F(ProjectCommandsTest, StoringInformationMovesOnlyANewOrFreshProjectToStageOne)
{
    const ProjectInformation same{QStringLiteral("THIRD FLOOR"), QStringLiteral("3/7/2026"), GeneratorDA2500};
    // (what, stage before, information stored, stage after)
    const std::tuple<const char*, i16, ProjectInformation, i16> cases[] = {
        {"stage 0, nothing changed", 0, same, 0},
        {"stage 0, name changed", 0, {QStringLiteral("LOBBY"), same.date, same.generator}, 1},
        {"stage 0, date changed", 0, {same.name, QStringLiteral("3/8/2026"), same.generator}, 1},
        {"stage 1, generator changed", 1, {same.name, same.date, GeneratorZUVAR24}, 1},
        {"stage 2, name changed", 2, {QStringLiteral("LOBBY"), same.date, same.generator}, 2},
        {"stage 3, generator changed", 3, {same.name, same.date, GeneratorZUVAR24}, 3},
        {"case counts as a change", 0, {QStringLiteral("Third Floor"), same.date, same.generator}, 1},
    };
    for (const auto& [what, stageBefore, info, stageAfter] : cases) {
        SCOPED_TRACE(what);
        ScriptedPrompter person;
        d->ProjectInfo(1) = same.name;
        d->ProjectInfo(2) = same.date;
        d->Generator = same.generator;
        d->ProjectStage = stageBefore;
        d->ProjectFileName.clear();
        person.answer(MsgAnswer::Ok);

        StoreProjectInformation(*d, person, info);

        EXPECT_EQ(std::tuple(d->ProjectStage, d->ProjectInfo(1), d->ProjectInfo(2), d->Generator),
                  std::tuple(stageAfter, info.name, info.date, info.generator));
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
    EXPECT_EQ(std::tuple(name, date), std::tuple("LOBBY", "3/8/2026"));
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
    QDir(folder.path()).mkdir(QStringLiteral("jobs"));
    const QString jobs = folder.file(QStringLiteral("jobs"));
    // (MG24 folder, mode, the open project's file, the folder listed, "" for the program folder)
    const std::tuple<const char*, i16, QString, QString> cases[] = {
        {"/opt/mg24/", 2, "", "/opt/mg24/"},
        {"", 2, "", ""},
        {"   ", 2, "", ""},
        {"/opt/mg24/", 1, "", ""},
        // Projects are listed where the open one was saved, while that folder is there.
        {"", 1, jobs + QStringLiteral("/A.MSK"), jobs},
        {"", 1, "/nowhere/B.MSK", ""},
    };
    for (const auto& [mg24, mode, project, listed] : cases) {
        d->ProjectFileName = project;
        d->MG24Folder = QString::fromLatin1(mg24);
        const QString expected = listed.isEmpty() ? folder.path() : listed;
        EXPECT_EQ(GetFileFolder(*d, mode), expected) << mg24 << " mode " << mode;
        EXPECT_EQ(d->MG24Folder, QString::fromLatin1(mg24));
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
    EXPECT_EQ(
        std::tuple(d->ProjectFileName, d->ProjectBaseName, d->ProjectStage, d->SaveConfirmed, d->MaskTestCount(3)),
        std::tuple(folder.file(QStringLiteral("LOBBY.MSK")), "LOBBY", 2, -1, 7));
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
        EXPECT_EQ(std::tuple(person.messages()[0].title, person.messages()[1]),
                  std::tuple("File Error", RecordedMessage({"The file " + folder.file(QString::fromLatin1(name)) +
                                                                " could not be opened.",
                                                            "File Error", MsgIcon::Critical})));
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
    EXPECT_EQ(std::tuple(d->ProjectEqName, d->EqChannel(4), d->EqGain(4)), std::tuple("OFFICE.EQ", 4, -2.0f));
}

}  // namespace
