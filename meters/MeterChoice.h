#pragma once

#include "core/LumoData.h"
#include "core/Message.h"
#include "core/Prompter.h"
#include "meters/RecordRange.h"

namespace kov {

// What the file dialog of one meter's import asks, and what is said when it comes back without a file.
struct MeterFileChoice {
    OpenFileRequest request;
    Message noFileChosen;  // "File Error"
};

// The first steps of a file import: the meter's folder from the folder file (the program's folder when there is
// none, a trailing separator appended; both stored back, so the folder file keeps them when it is next written)
// and the dialog that starts there. The Excel import always starts in the program's folder and stores nothing.
// `source` is one of the file meters (Excel, Dsp30, Paa3, Bk2250, Ie45).
MeterFileChoice ChooseMeterFile(LumoData& d, DownloadSource source);

// The window caption of the record range for a download that asks for one (Ld824, Paa3).
QString RecordRangeCaption(DownloadSource source);

}  // namespace kov
