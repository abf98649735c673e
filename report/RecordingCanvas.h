#pragma once

#include <QList>
#include <QString>

#include "report/ReportCanvas.h"

namespace kov {

// One text as it landed on the page.
struct PrintedText {
    int page = 1;
    int x = 0;
    int y = 0;
    double fontSize = 0;
    bool bold = false;
    QString text;

    bool operator==(const PrintedText&) const = default;
};

// A canvas that keeps every printed text (empty ones too: an empty line is a print) with its page, position and
// font, for tests and for looking at a report's layout without a printer.
//
// Its font metrics are a fixed model, so positions can be worked out by hand:
// - a character is half the point size wide: width = characters x size x 10 twips, fraction dropped
//   (12 pt: 120 twips a character; 9.75 pt: 97.5, so "AB" is 195);
// - a line is 1.2 times the point size high: height = size x 24 twips, fraction dropped
//   (12 pt: 288; 9.75 pt: 234; 16 pt: 384).
class RecordingCanvas : public ReportCanvas {
public:
    // A US letter page in portrait unless told otherwise; the font a fresh printer object holds.
    explicit RecordingCanvas(int pageWidth = 12240, int pageHeight = 15840);

    void setCurrentX(int x) override { m_x = x; }
    void setCurrentY(int y) override { m_y = y; }
    int currentX() const override { return m_x; }
    int currentY() const override { return m_y; }

    void setFontName(const QString& name) override { m_fontName = name; }
    QString fontName() const override { return m_fontName; }
    void setFontSize(double points) override { m_fontSize = points; }
    double fontSize() const override { return m_fontSize; }
    void setFontBold(bool bold) override { m_bold = bold; }
    bool fontBold() const override { return m_bold; }

    int textWidth(const QString& text) const override;
    int textHeight() const override;

    void print(const QString& text, LineEnd end = LineEnd::End) override;
    void newPage() override;
    void endDoc() override;

    int pageWidth() const override { return m_pageWidth; }
    int pageHeight() const override { return m_pageHeight; }
    QString failure() const override { return m_failure; }

    // The `n`th print (counting from 1) fails with `description` and records nothing; every later print does too.
    void failAtPrint(int n, const QString& description);
    // Ending the document fails with `description`, as a printer that takes every page and then refuses the job.
    void failAtEndDoc(const QString& description) { m_endDocFailure = description; }

    const QList<PrintedText>& texts() const { return m_texts; }
    // The non-empty texts of one page, in the order printed.
    QList<PrintedText> textsOnPage(int page) const;
    int page() const { return m_page; }
    int endDocCount() const { return m_endDocs; }

private:
    int m_pageWidth;
    int m_pageHeight;
    int m_x = 0;
    int m_y = 0;
    QString m_fontName = QStringLiteral("Times New Roman");
    double m_fontSize = 10;
    bool m_bold = false;
    int m_page = 1;
    int m_endDocs = 0;
    int m_prints = 0;
    int m_failAt = 0;
    QString m_failDescription;
    QString m_endDocFailure;
    QString m_failure;
    QList<PrintedText> m_texts;
};

}  // namespace kov
