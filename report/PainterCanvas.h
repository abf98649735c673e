#pragma once

#include <functional>
#include <optional>

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QString>

#include "report/ReportCanvas.h"

class QPagedPaintDevice;

namespace kov {

// The font a printer object holds between documents: whatever one document leaves set, the next starts with.
struct PrinterFont {
    QString name = QStringLiteral("Times New Roman");
    double size = 10;
    bool bold = false;
};

// The report's canvas on a real page: a printer's page, a PDF or a preview. Positions in twips are measured from
// the top left of the printable area, as a printer object measures them; text is placed by the top of its line.
// A line that would run past the bottom of the printable area goes on a continuation page instead of being cut.
class PainterCanvas : public ReportCanvas {
public:
    // Paints on `device` from its first page; both must outlive the canvas. `font` is read and written as the
    // document sets it, so it holds what the document leaves.
    PainterCanvas(QPagedPaintDevice& device, PrinterFont& font);
    ~PainterCanvas() override;

    // Work that ends the document after the last page is painted (handing it to the printing system); it
    // returns the reason when that failed, "" when all went well.
    void setFinisher(std::function<QString()> finisher) { m_finisher = std::move(finisher); }

    void setCurrentX(int x) override { m_x = x; }
    void setCurrentY(int y) override { m_y = y; }
    int currentX() const override { return m_x; }
    int currentY() const override { return m_y; }

    void setFontName(const QString& name) override;
    QString fontName() const override { return m_font.name; }
    void setFontSize(double points) override;
    double fontSize() const override { return m_font.size; }
    void setFontBold(bool bold) override;
    bool fontBold() const override { return m_font.bold; }

    int textWidth(const QString& text) const override;
    int textHeight() const override;

    void print(const QString& text, LineEnd end = LineEnd::End) override;
    void newPage() override;
    void endDoc() override;

    int pageWidth() const override;
    int pageHeight() const override;
    QString failure() const override { return m_failure; }

    // Marks the canvas failed (no printer to print on, a device that refused); the first description stays.
    void failWith(const QString& description);

    // Whether the document was ended and handed over whole.
    bool finished() const { return m_finished; }
    // The family the system prints `name` with (the nearest font it has when it lacks that one).
    static QString PrintedFamily(const QString& name);

private:
    void applyFont();
    void continueBelowBottom();
    int toTwipsX(double units) const;
    int toTwipsY(double units) const;

    QPagedPaintDevice& m_device;
    PrinterFont& m_font;
    QPainter m_painter;
    QFont m_qfont;
    std::optional<QFontMetricsF> m_metrics;  // of m_qfont on the device; every text is measured, so kept
    double m_dpiX = 1440;
    double m_dpiY = 1440;
    int m_x = 0;
    int m_y = 0;
    // Where the report's positions stand on the sheet: past a continuation page, this much higher.
    int m_yOffset = 0;
    static constexpr int ContinuationTop = 100;
    bool m_finished = false;
    QString m_failure;
    std::function<QString()> m_finisher;
};

}  // namespace kov
