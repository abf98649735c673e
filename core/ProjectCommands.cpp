#include "core/ProjectCommands.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

#include "core/EqFile.h"
#include "core/ProjectFile.h"

namespace kov {

namespace {

const QString FileErrorTitle = QStringLiteral("File Error");

// The system's reason on a line of its own, so that "No space left on device" tells the person what to do.
void ReportSaveFailure(Prompter& prompter, const QString& path, const QString& reason)
{
    prompter.message(QStringLiteral("The file ") + path + QStringLiteral(" could not be saved.\n") + reason,
                     FileErrorTitle, MsgIcon::Exclamation, MsgButtons::Ok);
}

void ReportOpenFailure(Prompter& prompter, const QString& name)
{
    prompter.message(QStringLiteral("The file ") + name + QStringLiteral(" could not be opened."), FileErrorTitle,
                     MsgIcon::Critical, MsgButtons::Ok);
}

void ReportNothingChosen(Prompter& prompter)
{
    prompter.message(QStringLiteral("Click on file to open first."), FileErrorTitle, MsgIcon::Exclamation,
                     MsgButtons::Ok);
}

// Writes the project to its own file and says so when that fails.
bool WriteProjectFile(LumoData& d, Prompter& prompter)
{
    i16 failed = 0;
    QString reason;
    SaveProjectFile(d, d.ProjectFileName, failed, &reason);
    if (failed != 0) {
        ReportSaveFailure(prompter, d.ProjectFileName, reason);
        return false;
    }
    return true;
}

qsizetype FolderEnd(const QString& path)
{
    return std::max(path.lastIndexOf(u'/'), path.lastIndexOf(QDir::separator()));
}

}  // namespace

// ---- Saving -------------------------------------------------------------------------------------------------

bool SaveProject(LumoData& d, Prompter& prompter)
{
    if (d.ProjectFileName.isEmpty())
        return false;
    if (d.SaveConfirmed == 0) {
        const MsgAnswer a = prompter.message(QStringLiteral("The data in file ") + d.ProjectFileName +
                                                 QStringLiteral(" has changed. Do you wish to save it?"),
                                             QStringLiteral("File Save"), MsgIcon::None, MsgButtons::YesNo);
        if (a != MsgAnswer::Yes)
            return false;
    }
    return WriteProjectFile(d, prompter);
}

QString UpperCaseFileName(const QString& path)
{
    const qsizetype folderEnd = FolderEnd(path);
    return path.left(folderEnd + 1) + path.mid(folderEnd + 1).toUpper();
}

QString SaveAsTarget(const QString& chosen)
{
    const QString upper = UpperCaseFileName(chosen);
    const QFileInfo info(upper);
    // On a case-sensitive disk the chosen "office.msk" and the upper-cased "OFFICE.MSK" are two files: the one that
    // is there already is the one the person pointed at, and it is the one to overwrite (after asking).
    if (QFileInfo::exists(upper))
        return upper;
    const QStringList names = QDir(info.absolutePath()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& name : names) {
        if (name.compare(info.fileName(), Qt::CaseInsensitive) == 0)
            return QDir(info.path()).filePath(name);
    }
    return upper;
}

QString SavedAsCaption(const QString& fileName)
{
    return QStringLiteral("MASKING EQUALIZATION FILE: ") + fileName;
}

bool SaveProjectAs(LumoData& d, Prompter& prompter)
{
    const QString chosen = prompter
                               .chooseSaveFile({QStringLiteral("File to Save"), d.AppPath, QStringLiteral(".MSK"),
                                                QStringLiteral("MSK"), DesignFileFilter})
                               .trimmed();
    if (chosen.isEmpty())
        return false;
    // A bare name belongs to the folder the dialog was shown in.
    const QString path = SaveAsTarget(QDir(d.AppPath).filePath(chosen));
    if (path.mid(FolderEnd(path) + 1).compare(QStringLiteral(".MSK"), Qt::CaseInsensitive) == 0)
        return false;

    if (QFileInfo::exists(path)) {
        if (prompter.message(QStringLiteral("The file already exists.  OverWrite?"), QString(), MsgIcon::None,
                             MsgButtons::YesNo) != MsgAnswer::Yes)
            return false;
    }
    if (prompter.message(QStringLiteral("File to save is ") + path, QStringLiteral("Verification"),
                         MsgIcon::Exclamation, MsgButtons::OkCancel) != MsgAnswer::Ok)
        return false;

    d.SaveConfirmed = -1;
    i16 failed = 0;
    QString reason;
    SaveProjectFile(d, path, failed, &reason);
    if (failed != 0) {
        ReportSaveFailure(prompter, path, reason);
        d.SaveConfirmed = 0;
        return false;
    }
    d.ProjectFileName = path;
    return true;
}

bool SettleUnsavedChanges(LumoData& d, Prompter& prompter)
{
    if (!ProjectHasUnsavedChanges(d))
        return true;
    const bool named = !d.ProjectFileName.trimmed().isEmpty();
    const QString question = named
                                 ? QStringLiteral("The project has changed since it was saved. Save the changes to ") +
                                       d.ProjectFileName + QStringLiteral(" first?")
                                 : QStringLiteral("The project has not been saved. Save it to a file first?");
    switch (prompter.message(question, QString(), MsgIcon::Question, MsgButtons::YesNoCancel)) {
        case MsgAnswer::No:
            return true;
        case MsgAnswer::Yes:
            return named ? WriteProjectFile(d, prompter) : SaveProjectAs(d, prompter);
        default:
            return false;
    }
}

bool OfferToSaveResults(LumoData& d, Prompter& prompter, MsgIcon icon)
{
    if (prompter.message(QStringLiteral("Save results to ") + d.ProjectFileName + QStringLiteral("?"),
                         QStringLiteral("Save to File"), icon, MsgButtons::YesNo) != MsgAnswer::Yes)
        return false;
    return WriteProjectFile(d, prompter);
}

// ---- Project information ------------------------------------------------------------------------------------

QString ProjectDateText(const QDate& date)
{
    return date.toString(QStringLiteral("M/d/yyyy"));
}

QDate ProjectDate(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{4})$"));
    const QRegularExpressionMatch m = form.match(text.trimmed());
    if (!m.hasMatch())
        return {};
    return QDate(m.captured(3).toInt(), m.captured(1).toInt(), m.captured(2).toInt());
}

ProjectInformation EditableProjectInformation(const LumoData& d, const QDate& today)
{
    ProjectInformation info;
    info.name = d.ProjectInfo(1);
    info.date = d.ProjectInfo(2).isEmpty() ? ProjectDateText(today) : d.ProjectInfo(2);
    info.generator = d.Generator == GeneratorNone ? i16(GeneratorVO120R) : d.Generator;
    return info;
}

QString ProjectInformationError(const ProjectInformation& info)
{
    if (info.name.trimmed().isEmpty())
        return QStringLiteral("Enter a project name or description.");
    if (info.date.trimmed().isEmpty())
        return QStringLiteral("Enter a project date.");
    if (info.generator == GeneratorNone)
        return QStringLiteral("Choose a generator product.");
    return {};
}

void ShowSaveAsNote(Prompter& prompter)
{
    prompter.message(QStringLiteral(" To save data to a file, press SAVE AS."), QStringLiteral("FileSave"),
                     MsgIcon::Information, MsgButtons::Ok);
}

void FinishEqualization(LumoData& d, Prompter& prompter, int eqKind)
{
    if (d.ProjectFileName.trimmed().isEmpty()) {
        ShowSaveAsNote(prompter);
        return;
    }
    if (d.Generator == GeneratorZUVAR24)
        WriteEqFile(d, prompter, d.CurrentChannel, static_cast<i16>(eqKind));
    OfferToSaveResults(d, prompter, MsgIcon::Information);
}

bool ProjectInformationChanged(const LumoData& d, const ProjectInformation& info)
{
    return info.name != d.ProjectInfo(1) || info.date != d.ProjectInfo(2) || info.generator != d.Generator;
}

void StoreProjectInformation(LumoData& d, Prompter& prompter, const ProjectInformation& info)
{
    if (d.ProjectStage <= 1 && ProjectInformationChanged(d, info))
        d.ProjectStage = 1;
    d.ProjectInfo(1) = info.name;
    d.ProjectInfo(2) = info.date;
    d.Generator = info.generator;
    if (d.ProjectFileName.isEmpty()) {
        ShowSaveAsNote(prompter);
        return;
    }
    OfferToSaveResults(d, prompter, MsgIcon::Question);
}

// ---- Opening ------------------------------------------------------------------------------------------------

QString GetFileFolder(const LumoData& d, i16 mode)
{
    if (mode == 2)
        return d.MG24Folder.trimmed().isEmpty() ? d.AppPath : d.MG24Folder;
    // A project saved elsewhere with Save As is opened again from where it is.
    const QFileInfo project(d.ProjectFileName.trimmed());
    if (!d.ProjectFileName.trimmed().isEmpty() && project.absoluteDir().exists())
        return project.absolutePath();
    return d.AppPath;
}

QString GetFilePattern(i16 mode)
{
    return mode == 2 ? QStringLiteral("*.EQ") : QStringLiteral("*.MSK");
}

QStringList FilesMatching(const QString& folder, const QString& pattern)
{
    if (folder.trimmed().isEmpty())
        return {};
    // Without QDir::CaseSensitive the name filter ignores case, so "office.msk" is a project file too.
    return QDir(folder).entryList({pattern}, QDir::Files, QDir::Name | QDir::IgnoreCase);
}

QString PreviewProjectFile(const QString& folder, const QString& fileName)
{
    QString name, date;
    if (!ReadProjectHeader(QDir(folder).filePath(fileName), name, date))
        return QStringLiteral("The file ") + fileName + QStringLiteral(" could not be read.");
    return QStringLiteral("Project: ") + name + QStringLiteral("\n Date: ") + date;
}

OpenResult OpenProject(LumoData& d, Prompter& prompter, const QString& folder, const QString& fileName)
{
    if (fileName.isEmpty()) {
        ReportNothingChosen(prompter);
        return OpenResult::NothingChosen;
    }
    const QString path = QDir(folder).filePath(fileName);
    i16 failed = 0;
    OpenProjectFile(d, prompter, path, failed);
    if (failed != 0) {
        ReportOpenFailure(prompter, path);
        return OpenResult::Failed;
    }
    d.ProjectFileName = path;
    d.SaveConfirmed = -1;
    d.ProjectStage = 2;
    MarkProjectSaved(d);
    return OpenResult::Opened;
}

OpenResult OpenEqFileForReview(LumoData& d, Prompter& prompter, const QString& fileName)
{
    if (fileName.isEmpty()) {
        ReportNothingChosen(prompter);
        return OpenResult::NothingChosen;
    }
    i16 failed = 0;
    i16 notFound = 0;
    ReadEqFile(d, prompter, fileName, failed, notFound);
    if (failed != 0) {
        ReportOpenFailure(prompter, fileName);
        return OpenResult::Failed;
    }
    d.ProjectEqName = fileName;
    return OpenResult::Opened;
}

}  // namespace kov
