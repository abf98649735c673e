#include "report/PainterCanvas.h"

#include <cmath>

#include <QFontInfo>
#include <QPagedPaintDevice>

namespace kov {

PainterCanvas::PainterCanvas(QPagedPaintDevice& device, PrinterFont& font) : m_device(device), m_font(font)
{
    m_dpiX = device.logicalDpiX();
    m_dpiY = device.logicalDpiY();
    applyFont();
    if (!m_painter.begin(&device)) {
        failWith(QStringLiteral("Printer error (the page could not be started)"));
        return;
    }
    m_painter.setFont(m_qfont);
}

PainterCanvas::~PainterCanvas()
{
    // A document that did not end properly (a failure half way) is dropped, never handed over in part.
    if (m_painter.isActive())
        m_painter.end();
}

void PainterCanvas::failWith(const QString& description)
{
    if (m_failure.isEmpty())
        m_failure = description;
}

void PainterCanvas::applyFont()
{
    m_qfont = QFont(m_font.name);
    m_qfont.setPointSizeF(m_font.size);
    m_qfont.setBold(m_font.bold);
    // Positions are worked out in whole twips from these metrics; hinting would make them depend on the device.
    m_qfont.setHintingPreference(QFont::PreferNoHinting);
    m_metrics.emplace(m_qfont, &m_device);
    if (m_painter.isActive())
        m_painter.setFont(m_qfont);
}

void PainterCanvas::setFontName(const QString& name)
{
    m_font.name = name;
    applyFont();
}

void PainterCanvas::setFontSize(double points)
{
    m_font.size = points;
    applyFont();
}

void PainterCanvas::setFontBold(bool bold)
{
    m_font.bold = bold;
    applyFont();
}

int PainterCanvas::toTwipsX(double units) const
{
    return static_cast<int>(std::lround(units * 1440.0 / m_dpiX));
}

int PainterCanvas::toTwipsY(double units) const
{
    return static_cast<int>(std::lround(units * 1440.0 / m_dpiY));
}

int PainterCanvas::textWidth(const QString& text) const
{
    return toTwipsX(m_metrics->horizontalAdvance(text));
}

int PainterCanvas::textHeight() const
{
    return toTwipsY(m_metrics->lineSpacing());
}

void PainterCanvas::print(const QString& text, LineEnd end)
{
    if (!m_failure.isEmpty())
        return;
    if (!m_painter.isActive()) {
        failWith(QStringLiteral("Printer error (the page is not open)"));
        return;
    }
    if (!text.isEmpty()) {
        continueBelowBottom();
        if (!m_failure.isEmpty())
            return;
        // The position names the top of the line, as on a printer object; the painter wants the baseline.
        const int y = m_y - m_yOffset;
        m_painter.drawText(QPointF(m_x * m_dpiX / 1440.0, y * m_dpiY / 1440.0 + m_metrics->ascent()), text);
    }
    if (end == LineEnd::End) {
        m_x = 0;
        m_y += textHeight();
    } else {
        m_x += textWidth(text);
    }
}

// The report places its blocks for a portrait page; two paging channels with every control in use, or any
// report on landscape paper, reach below the printable area. Rather than lose those lines off the edge of the
// sheet, they go on a continuation page and everything after them follows there in the same spacing, until
// the report starts a page of its own.
void PainterCanvas::continueBelowBottom()
{
    const int top = m_y - m_yOffset;
    if (top + textHeight() <= pageHeight() || top <= ContinuationTop)
        return;
    if (!m_device.newPage()) {
        failWith(QStringLiteral("Printer error (a new page could not be started)"));
        return;
    }
    m_yOffset = m_y - ContinuationTop;
}

void PainterCanvas::newPage()
{
    if (!m_failure.isEmpty())
        return;
    if (!m_painter.isActive() || !m_device.newPage()) {
        failWith(QStringLiteral("Printer error (a new page could not be started)"));
        return;
    }
    m_x = 0;
    m_y = 0;
    m_yOffset = 0;
}

void PainterCanvas::endDoc()
{
    if (!m_failure.isEmpty())
        return;
    if (!m_painter.isActive() || !m_painter.end()) {
        failWith(QStringLiteral("Printer error (the document could not be completed)"));
        return;
    }
    if (m_finisher) {
        const QString reason = m_finisher();
        if (!reason.isEmpty()) {
            failWith(reason);
            return;
        }
    }
    m_finished = true;
}

int PainterCanvas::pageWidth() const
{
    return toTwipsX(m_device.width());
}

int PainterCanvas::pageHeight() const
{
    return toTwipsY(m_device.height());
}

QString PainterCanvas::PrintedFamily(const QString& name)
{
    return QFontInfo(QFont(name)).family();
}

}  // namespace kov
