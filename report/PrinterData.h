#pragma once

#include <optional>

#include <QString>
#include <QStringList>

#include "core/Message.h"
#include "report/ReportCanvas.h"

namespace kov {

// What the printing system tells about the current printer. A characteristic it could not tell is empty, and
// its line is left out of the list.
struct PrinterCharacteristics {
    QString deviceName;
    QString fontName;
    std::optional<int> orientation;   // 1 portrait, 2 landscape
    std::optional<int> colorMode;     // 1 monochrome, 2 colour
    std::optional<int> printQuality;  // dots per inch, or a negative quality code
    std::optional<QString> port;

    bool operator==(const PrinterCharacteristics&) const = default;
};

// "Black and White", "Color" for colour modes 1 and 2; "Portrait", "Landscape" for orientations 1 and 2.
QString ColorModeName(int mode);
QString OrientationName(int orientation);

// The lines of the characteristics list, in order, from "   CURRENT PRINTER" to "Port: ...".
QStringList PrinterDataLines(const PrinterCharacteristics& printer);

// Portrait becomes landscape; anything else becomes portrait.
int ToggledOrientation(int orientation);

// The one-line test page, in the middle of the page at 14 points, and the document ended. The message to show
// when the canvas failed on the way.
std::optional<Message> PrintTestPage(ReportCanvas& canvas);

}  // namespace kov
