#pragma once

#include <QByteArray>
#include <QString>

#include "core/LumoData.h"
#include "core/Prompter.h"
#include "core/TextFields.h"

namespace kov {

// The EQ file the ZUV-AR24's configuration software reads: two paging lines (channel, then eight parametric
// controls of frequency, width and level) and four masking lines 3..6 (channel, low cut, high cut, gain, and the
// corrections of bands 13..43). The Eq... fields of LumoData are its image in memory.

// `name` without a folder part: what follows its last "/" or "\" (project files come from Windows too), and
// nothing when that is only dots and blanks, which name a folder rather than a file.
QString EqFileNamePart(const QString& name);

// The path of `name` in the ZUV-AR24 folder, and never outside it: only the file-name part of `name` is used. An
// empty MG24Folder becomes the program folder, and the folder gets a trailing separator; the changed folder stays
// in MG24Folder, so the folder file keeps it when next written.
QString EqFilePath(LumoData& d, const QString& name);

QByteArray EqFileBytes(const LumoData& d);

// The file's bytes read into the image of `into`, a copy of the data they are to replace; nothing else of it
// changes. A line numbered with another line's channel is an error.
Parsed<LumoData> ParseEqFile(const QByteArray& bytes, LumoData into);

// What the image holds when the file does not exist yet.
void SetFreshEqImage(LumoData& d);

// Reads the file into the image, which is changed only when the whole file was read. A missing file (or folder):
// failed = notFound = -1 and no message. Any other failure: failed = -1, notFound = 0 and the "File Error" message.
void ReadEqFile(LumoData& d, Prompter& prompter, const QString& name, i16& failed, i16& notFound);

// Merges one channel of the project set (1..2 paging, 3..6 masking) into the file ProjectEqName and confirms.
// kind 1 (masking) or 2 (paging) words the confirmation. A file that exists but cannot be read is left alone.
void WriteEqFile(LumoData& d, Prompter& prompter, i16 channel, i16 kind);

}  // namespace kov
