#include "report/RecordingCanvas.h"

namespace kov {

RecordingCanvas::RecordingCanvas(int pageWidth, int pageHeight) : m_pageWidth(pageWidth), m_pageHeight(pageHeight) {}

int RecordingCanvas::textWidth(const QString& text) const
{
    return static_cast<int>(text.size() * m_fontSize * 10);
}

int RecordingCanvas::textHeight() const
{
    return static_cast<int>(m_fontSize * 24);
}

void RecordingCanvas::print(const QString& text, LineEnd end)
{
    ++m_prints;
    if (m_failAt > 0 && m_prints >= m_failAt) {
        if (m_failure.isEmpty())
            m_failure = m_failDescription;
        return;
    }
    m_texts.append({m_page, m_x, m_y, m_fontSize, m_bold, text});
    if (end == LineEnd::End) {
        m_x = 0;
        m_y += textHeight();
    } else {
        m_x += textWidth(text);
    }
}

void RecordingCanvas::newPage()
{
    ++m_page;
    m_x = 0;
    m_y = 0;
}

void RecordingCanvas::endDoc()
{
    ++m_endDocs;
    if (m_failure.isEmpty())
        m_failure = m_endDocFailure;
}

void RecordingCanvas::failAtPrint(int n, const QString& description)
{
    m_failAt = n;
    m_failDescription = description;
}

QList<PrintedText> RecordingCanvas::textsOnPage(int page) const
{
    QList<PrintedText> out;
    for (const PrintedText& t : m_texts)
        if (t.page == page && !t.text.isEmpty())
            out.append(t);
    return out;
}

}  // namespace kov
