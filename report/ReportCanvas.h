#pragma once

#include <QString>

namespace kov {

// What the report writes to: a page addressed in twips (1/1440 inch, origin at the top left), with a current print
// position and a current font that outlive each page, as a printer object holds them. The font state is never
// reset by the report, so whatever one report or page header leaves set is what the next one starts with.
class ReportCanvas {
public:
    virtual ~ReportCanvas() = default;

    // Whether a printed text ends the line or leaves the position just after it, for the next column of a row.
    enum class LineEnd { End, Stay };

    virtual void setCurrentX(int x) = 0;
    virtual void setCurrentY(int y) = 0;
    virtual int currentX() const = 0;
    virtual int currentY() const = 0;

    virtual void setFontName(const QString& name) = 0;
    virtual QString fontName() const = 0;
    virtual void setFontSize(double points) = 0;
    virtual double fontSize() const = 0;
    virtual void setFontBold(bool bold) = 0;
    virtual bool fontBold() const = 0;

    // Printed width of `text` in the current font, and the height of one line of it.
    virtual int textWidth(const QString& text) const = 0;
    virtual int textHeight() const = 0;

    // Prints `text` at the current position. LineEnd::End then moves to the left edge (x 0) one line lower;
    // LineEnd::Stay moves x to just after the text and keeps y.
    virtual void print(const QString& text, LineEnd end = LineEnd::End) = 0;

    // A fresh page, with the position back at the top left; the font is kept.
    virtual void newPage() = 0;
    // The document is complete and goes to the printer.
    virtual void endDoc() = 0;

    virtual int pageWidth() const = 0;
    virtual int pageHeight() const = 0;

    // Description of the first error the device met (a printer that is not ready, ...); empty while all is well.
    // Once set, the report stops and says so.
    virtual QString failure() const = 0;
};

}  // namespace kov
