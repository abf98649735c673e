#pragma once

#include <QByteArray>
#include <QString>

#include "core/LumoData.h"
#include "core/Prompter.h"
#include "core/TextFields.h"

namespace kov {

// The project file (*.MSK): 1232 lines, the header, eighteen always-zero lines and one 202-line slot per masking
// channel. Each slot also carries element s of the paging arrays and EQ control s of both paging channels, so
// controls 7 and 8 and paging elements 7 and 8 are not in the file; only bands 22..39 are stored.
inline constexpr int ProjectFileLines = 1232;

QByteArray ProjectFileBytes(const LumoData& d);

// The file's bytes read into `into`, a copy of the project they are to replace: every field the file holds comes
// from the bytes, every other field stays as it is in `into`. A value that later picks an array element or a case
// comes out in range, whatever the file holds. A Generator outside 0..6, a MaskSpectrumIndex outside 0..20, a
// MaskTestCount outside 0..10 or an EQ file name with a folder part is an error; a ProjectStage outside 0..3 reads
// as 2, a PageSpecOption outside 0..5 and a PageSpeakerOption outside 0..4 as 0, and an EqPageChannel(s) other than
// 0 or s as 0.
Parsed<LumoData> ParseProjectFile(const QByteArray& bytes, LumoData into);

// The project in memory is what its file holds (after start-up, New, Open and every save).
void MarkProjectSaved(LumoData& d);
// Something the project file would hold has changed since.
bool ProjectHasUnsavedChanges(const LumoData& d);

// No message of its own: the caller names the file it could not save and gives `reason`, the system's words for
// the failure ("No space left on device"). The old file stays byte for byte on failure.
void SaveProjectFile(LumoData& d, const QString& path, i16& failed, QString* reason = nullptr);

// Every field the file holds is taken over, and ProjectBaseName set, only when the whole file was read; on failure
// the "File Error" message is shown, failed = -1 and the project in memory is exactly as it was. ProjectFileName,
// SaveConfirmed and the stage an opened project is put in are the caller's business (ProjectStage itself is in the
// file).
void OpenProjectFile(LumoData& d, Prompter& prompter, const QString& path, i16& failed);

// "C:\JOBS\A.B.MSK" -> "A": upper case, without folder and without anything from the first full stop on.
// Both separators count, since project names may come from Windows.
QString FileBaseName(const QString& path);

// The project name and date from line 1, for the preview of the Open window. False when the file cannot be read.
bool ReadProjectHeader(const QString& path, QString& name, QString& date);

}  // namespace kov
