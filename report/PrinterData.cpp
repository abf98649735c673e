#include "report/PrinterData.h"

#include "core/Numbers.h"

namespace kov {

QString ColorModeName(int mode)
{
    switch (mode) {
        case 1:
            return QStringLiteral("Black and White");
        case 2:
            return QStringLiteral("Color");
        default:
            return {};
    }
}

QString OrientationName(int orientation)
{
    switch (orientation) {
        case 1:
            return QStringLiteral("Portrait");
        case 2:
            return QStringLiteral("Landscape");
        default:
            return {};
    }
}

QStringList PrinterDataLines(const PrinterCharacteristics& printer)
{
    QStringList lines{QStringLiteral("   CURRENT PRINTER")};
    if (!printer.deviceName.isEmpty())
        lines << printer.deviceName;
    if (!printer.fontName.isEmpty())
        lines << QStringLiteral("Font: ") + printer.fontName;
    // Each document sizes its own texts, so the printer holds no one size worth naming.
    lines << QStringLiteral("Font Size: Variable");
    if (const QString name = OrientationName(printer.orientation.value_or(0)); !name.isEmpty())
        lines << QStringLiteral("Orientation: ") + name;
    if (const QString name = ColorModeName(printer.colorMode.value_or(0)); !name.isEmpty())
        lines << QStringLiteral("Mode: ") + name;
    // A negative figure is a driver's quality level rather than a resolution; it is shown as the driver gave it.
    if (printer.printQuality)
        lines << QStringLiteral("Print Quality: %1 DPI").arg(*printer.printQuality);
    // A printer that is known to have no port still says so, with nothing after the colon.
    if (printer.port)
        lines << QStringLiteral("Port: ") + *printer.port;
    return lines;
}

int ToggledOrientation(int orientation)
{
    return orientation == 1 ? 2 : 1;
}

std::optional<Message> PrintTestPage(ReportCanvas& canvas)
{
    const QString text = QStringLiteral("This is a test print to check printer connection.");
    canvas.setFontSize(14);
    // The halves of the text are whole twips; the half page is not, on a page of an odd width or height.
    const double halfWidth = RoundHalfEven(canvas.textWidth(text) / 2.0, 0);
    const double halfHeight = RoundHalfEven(canvas.textHeight() / 2.0, 0);
    canvas.setCurrentX(static_cast<int>(RoundHalfEven(canvas.pageWidth() / 2.0 - halfWidth, 0)));
    canvas.setCurrentY(static_cast<int>(RoundHalfEven(canvas.pageHeight() / 2.0 - halfHeight, 0)));
    canvas.print(text);
    // A page that could not be printed is not sent half done.
    if (canvas.failure().isEmpty())
        canvas.endDoc();
    if (canvas.failure().isEmpty())
        return std::nullopt;
    return Message{canvas.failure() + QStringLiteral(" occurred. Could not complete test print."),
                   QStringLiteral("Print Error"), MsgIcon::Information};
}

}  // namespace kov
