#pragma once

#include "core/LumoData.h"
#include "core/Prompter.h"

namespace kov {

// The loading that start-up and File, New share: tables, spectrum database, folder file.
// Returns false when a file failed (its message has been shown); the program then ends.
bool LoadProgramData(LumoData& d, Prompter& prompter);

// Start-up of the data: the program folder (SetUpProgramFolder), LoadProgramData, then stage 0 and nothing saved yet.
bool StartProgramData(LumoData& d, Prompter& prompter);

// File, New: back to an empty project, then LoadProgramData again. The main window sets its caption and menus.
// Returns false when reloading failed.
bool NewProject(LumoData& d, Prompter& prompter);

}  // namespace kov
