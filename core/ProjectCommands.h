#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include "core/LumoData.h"
#include "core/Prompter.h"

namespace kov {

inline const QString DesignFileFilter = QStringLiteral("Design Files |*.MSK");

// ---- Saving -------------------------------------------------------------------------------------------------

// File, Save. Until the project was written by Save As or read by Open it asks first. True when written.
bool SaveProject(LumoData& d, Prompter& prompter);

// File, Save As: the dialog, the overwrite question for a name in use, the verification, the writing. True when
// the file was written; ProjectFileName then names it. Whatever stops the command short (cancelled dialog, a name
// that is nothing but the extension, a refused overwrite or verification, a failed write) leaves ProjectFileName
// as it was, so a later Save cannot write a stray file or the one just refused.
bool SaveProjectAs(LumoData& d, Prompter& prompter);

// The file Save As writes for the chosen name: its own name upper-cased, unless a file of the same name in another
// case is already there, which is then the file written.
QString SaveAsTarget(const QString& chosen);

// The main window's caption right after Save As.
QString SavedAsCaption(const QString& fileName);

// The path with its file's own name upper-cased and the folder untouched: folders are case-sensitive here, and the
// upper-cased folder of a chosen file would not exist.
QString UpperCaseFileName(const QString& path);

// Before the project in memory is given up (File, New, File, Exit, the main window's close box): when it holds
// changes its file does not, the person chooses to save them (Yes: written to its file, or Save As for a project
// without one), to throw them away (No) or to stay (Cancel). True when the project may go; a save that failed or
// was cancelled keeps it.
bool SettleUnsavedChanges(LumoData& d, Prompter& prompter);

// "Save results to <file>?", asked by the windows that close with results when the project has a file. The Mask
// window asks with the information icon, LumoClient with the question icon. True when written.
bool OfferToSaveResults(LumoData& d, Prompter& prompter, MsgIcon icon);

// The note of a window that closes with results while the project has no file yet.
void ShowSaveAsNote(Prompter& prompter);

// Done in an equalization window, once it stored its working set into the project set: without a file name the
// Save As note; with one the channel's line of the ZUV-AR24's EQ file (`eqKind` 1 masking, 2 paging) and the save
// question.
void FinishEqualization(LumoData& d, Prompter& prompter, int eqKind);

// ---- Project information ------------------------------------------------------------------------------------

struct ProjectInformation {
    QString name;
    QString date;  // "m/d/yyyy", or whatever text an older file holds
    i16 generator = GeneratorNone;

    bool operator==(const ProjectInformation&) const = default;
};

// "3/7/2026": month and day without leading zeros.
QString ProjectDateText(const QDate& date);
// The date a "m/d/yyyy" text stands for; invalid for any other text.
QDate ProjectDate(const QString& text);

// What LumoClient starts editing: the stored values, with today's date for a project without one and VO120R for a
// project without a generator.
ProjectInformation EditableProjectInformation(const LumoData& d, const QDate& today);

// The first thing missing, as the "Data Error" message says it; empty when the information is complete.
QString ProjectInformationError(const ProjectInformation& info);

bool ProjectInformationChanged(const LumoData& d, const ProjectInformation& info);

// LumoClient closing with Done: a new project that got information moves to stage 1 (a later stage stays), the
// values are stored, and the person is told how to save or asked whether to save now.
void StoreProjectInformation(LumoData& d, Prompter& prompter, const ProjectInformation& info);

// ---- Opening ------------------------------------------------------------------------------------------------

enum class OpenResult { NothingChosen, Failed, Opened };

// The folder and pattern LumoGetFile lists first: the project files of the open project's folder, the program's
// folder when there is none (mode 1); the EQ files of the ZUV-AR24 folder, the program's own folder when that is
// not set (mode 2).
QString GetFileFolder(const LumoData& d, i16 mode);
QString GetFilePattern(i16 mode);

// File names in `folder` matching `pattern` without regard to case, sorted the same way.
QStringList FilesMatching(const QString& folder, const QString& pattern);

// A project file clicked in the Open window: the note showing its name and date. Only shown: the open project
// changes when a file is opened, not when one is looked at.
QString PreviewProjectFile(const QString& folder, const QString& fileName);

// Opens `fileName` of `folder` as the project. On success the project is at stage 2, saved, and ProjectFileName
// names the file; on failure the project in memory is as it was (the message has been shown).
OpenResult OpenProject(LumoData& d, Prompter& prompter, const QString& folder, const QString& fileName);

// Reads `fileName` of the ZUV-AR24 folder into the EQ image for the review window; on success it becomes the
// project's EQ file name.
OpenResult OpenEqFileForReview(LumoData& d, Prompter& prompter, const QString& fileName);

}  // namespace kov
