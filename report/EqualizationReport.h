#pragma once

#include <optional>

#include "core/Indexed.h"
#include "core/LumoData.h"
#include "core/Message.h"
#include "report/ReportCanvas.h"

namespace kov {

// Where the report puts things, in twips: everything follows from the page width, so the report fits whatever
// paper the printer holds.
struct ReportLayout {
    i16 ReportUnit = 0;                 // page width / 80
    i16 ReportCentre = 0;               // 40 units: the middle of centred lines
    i16 ReportMargin = 0;               // 5 units: the left edge of plain lines
    Indexed<i16, 22, 39> ReportColumn;  // one column per band, 3.7 units apart, each step rounded
    i16 ReportY = 0;                    // the running vertical position
};

ReportLayout ReportLayoutFor(int pageWidth);

// The header of page `page`: page number, title, project name and date; leaves ReportY at 1350 and bold on.
// False when the canvas failed on the way (the header stops there).
bool PrintPageHeader(ReportCanvas& canvas, const LumoData& d, ReportLayout& layout, i16 page);

// The whole equalization report of the open project: the masking channels with results two to a page, then the
// paging channels with results on a page of their own, and the document ended. Reads the project only. A canvas
// failure ends the report at once (the document is not ended) with the "Print Error" message to show.
std::optional<Message> PrintReport(ReportCanvas& canvas, const LumoData& d);

}  // namespace kov
