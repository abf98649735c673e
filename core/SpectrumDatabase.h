#pragma once

#include <QString>

#include "core/LumoData.h"
#include "core/Prompter.h"
#include "core/TextFields.h"

namespace kov {

inline const QString SpectrumDatabaseFileName = QStringLiteral("KOVSPEC.DAT");
inline const QString EmptySpectrumName = QStringLiteral("Empty");

QString SpectrumDatabasePath(const LumoData& d);

// All 21 entries (bands 22..39) read into `into`, a copy of the data they are to replace; nothing else of it
// changes.
Parsed<LumoData> ParseSpectrumDatabase(const QByteArray& bytes, LumoData into);

// Reads the file from AppPath. On any failure the "Fatal Error" message is shown, failed = -1 and the database in
// memory is left as it was.
void LoadSpectrumDatabase(LumoData& d, Prompter& prompter, i16& failed);

// Writes all 21 entries; no message of its own, but on failure `reason` says why in the system's words ("No space
// left on device") for the caller's message. The old file stays byte for byte when writing fails.
void SaveSpectrumDatabase(const LumoData& d, i16& failed, QString* reason = nullptr);

// The bytes of the database file for the entries in memory.
QByteArray SpectrumDatabaseBytes(const LumoData& d);

}  // namespace kov
