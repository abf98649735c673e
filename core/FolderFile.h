#pragma once

#include <QString>

#include "core/LumoData.h"
#include "core/Prompter.h"
#include "core/TextFields.h"

namespace kov {

inline const QString FolderFileName = QStringLiteral("DIRFILE.DAT");

QString FolderFilePath(const LumoData& d);

// The folder file read into `into`, a copy of the data it is to replace; nothing else of it changes. Seven fields
// (port number, port text, five software folders), then two that only a setup with its own serial line writes: the
// device name and the baud rate; then two that only a setup that names its installer writes: the company and the
// person. A file without them sets them to their defaults.
Parsed<LumoData> ParseFolderFile(const QByteArray& bytes, LumoData into);

// Reads the file from AppPath; on failure the "Fatal Error" message, failed = -1 and the settings in memory
// unchanged.
void ReadFolderFile(LumoData& d, Prompter& prompter, i16& failed);

// Rewrites the folder file from memory. A folder that cannot be written gets a message, never the end of the
// program; returns false then. The old file stays whole.
bool WriteFolderFile(const LumoData& d, Prompter& prompter);

QByteArray FolderFileBytes(const LumoData& d);

}  // namespace kov
