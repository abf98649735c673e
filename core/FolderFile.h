#pragma once

#include <QString>

#include "core/LumoData.h"
#include "core/Prompter.h"

namespace kov {

inline const QString FolderFileName = QStringLiteral("DIRFILE.DAT");

QString FolderFilePath(const LumoData& d);

// Reads the seven fields of the folder file; on failure the "Fatal Error" message, failed = -1 and the
// settings in memory unchanged.
void ReadFolderFile(LumoData& d, Prompter& prompter, i16& failed);

// Rewrites the folder file from memory. A folder that cannot be written gets a message, never the end of the
// program; returns false then. The old file stays whole.
bool WriteFolderFile(const LumoData& d, Prompter& prompter);

QByteArray FolderFileBytes(const LumoData& d);

}  // namespace kov
