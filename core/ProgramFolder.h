#pragma once

#include <QString>
#include <optional>

#include "core/Message.h"
#include "core/Prompter.h"

namespace kov {

// Where the shipped data of an installed KOV lies, seen from the folder of the program: <prefix>/bin/kov reads
// <prefix>/share/kov.
QString InstalledDataFolder(const QString& programDir);

// The folder of this person's own copies of the data of an installed KOV (~/.local/share/KOV); empty when the
// account has no place for it.
QString UserDataFolder();

// The largest shipped file copied into the person's folder; the documents are a few megabytes at most.
inline constexpr qint64 MaxCopiedFileBytes = 256 * 1024 * 1024;

struct ProgramFolderSetup {
    QString folder;                  // what AppPath becomes; empty on failure
    std::optional<Message> failure;  // "Fatal Error": the program ends after it
};

// In the person's folder of an installed KOV: which shipped files were copied there, with what bytes.
inline const QString ShippedCopiesFileName = QStringLiteral(".kov-shipped");

// The program folder for a program started from `programDir`. A program with its spectrum database beside it (a
// build folder, a copied folder) keeps that folder. An installed program cannot write beside itself, so its folder
// is `userDataDir`, made when missing, and every shipped file that is not there yet is copied in whole. When the
// shipped files have changed since (an upgrade), a copy that is still exactly as it was shipped is replaced by the
// new one, so the manuals describe the program that runs; a copy the person changed (their database, their folder
// file) and anything else of theirs (projects, EQ files) is never touched.
ProgramFolderSetup PrepareProgramFolder(const QString& programDir, const QString& userDataDir);

// Start-up: points the program folder at PrepareProgramFolder's choice for the running program, unless a test has
// pointed it elsewhere. False after the failure's message has been shown.
bool SetUpProgramFolder(Prompter& prompter);

}  // namespace kov
