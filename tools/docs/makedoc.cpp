// Turns one of the program's Markdown documents into the PDF shipped beside the program.
// Usage: kov_makedoc <source.md> <output.pdf> [--depfile <file.d>]
//
// Letter paper, a serif body, sans-serif headings, tables with rules and a shaded header row, and a footer with the
// document's title and "Page n of N". Images are looked up relative to the source file; one that is missing or not
// an image fails the document, so a manual never ships with a hole in it. The PDF is written whole or not at all.
// The depfile names the source and every image it drew, so the build redoes the PDF when any of them changes.

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

namespace {

// A QTextDocument measures its formats' lengths in CSS pixels, 96 to the inch, whatever the device.
constexpr double CssPerInch = 96;
constexpr double PointsPerInch = 72;
double Pt(double points)
{
    return points * CssPerInch / PointsPerInch;
}

// Letter paper; the bottom margin holds the footer.
constexpr double LeftInch = 1.0;
constexpr double RightInch = 1.0;
constexpr double TopInch = 0.8;
constexpr double BottomInch = 1.0;
constexpr double FooterBaselineFromBottomInch = 0.6;

constexpr double BodyPoints = 11;
constexpr double FooterPoints = 8.5;
const QColor Ink(0x20, 0x20, 0x20);
const QColor Rule(0x80, 0x80, 0x80);
const QColor HeaderShade(0xe6, 0xea, 0xef);
const QColor FooterInk(0x55, 0x55, 0x55);

// Times New Roman is what the program's report prints in; fontconfig gives the metric-compatible Liberation Serif
// where it is missing, and naming that first keeps the PDF the same on every build machine.
const QStringList SerifFamilies{QStringLiteral("Liberation Serif"), QStringLiteral("Times New Roman")};
const QStringList SansFamilies{QStringLiteral("Liberation Sans"), QStringLiteral("Arial")};
const QStringList MonoFamilies{QStringLiteral("Liberation Mono"), QStringLiteral("Courier New")};
constexpr double CodePoints = 9.5;
const QColor CodeShade(0xf1, 0xf3, 0xf5);

struct HeadingStyle {
    double points;
    double spaceBefore;  // points
    double spaceAfter;   // points
};
// Levels 1 to 6.
constexpr HeadingStyle HeadingStyles[] = {
    {20, 0, 10}, {15, 14, 6}, {12.5, 12, 4}, {11, 10, 3}, {11, 8, 2}, {11, 8, 2},
};

void Fail(const QString& why)
{
    std::fprintf(stderr, "kov_makedoc: %s\n", qUtf8Printable(why));
}

struct Arguments {
    QString source;
    QString output;
    QString depfile;
};

std::optional<Arguments> ParseArguments(const QStringList& args)
{
    Arguments a;
    QStringList files;
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--depfile") && i + 1 < args.size())
            a.depfile = args[++i];
        else
            files << args[i];
    }
    if (files.size() != 2)
        return std::nullopt;
    a.source = files[0];
    a.output = files[1];
    return a;
}

QFont Font(const QStringList& families, double points)
{
    QFont f;
    f.setFamilies(families);
    f.setPointSizeF(points);
    return f;
}

// Sets `change` on every fragment of `block` from the fragment's own format, so emphasis and code inside a heading
// survive.
template <typename Change>
void RestyleFragments(QTextDocument& doc, const QTextBlock& block, Change change)
{
    struct Span {
        int position;
        int length;
        QTextCharFormat format;
    };
    QList<Span> spans;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        if (f.isValid())
            spans.append({f.position(), f.length(), f.charFormat()});
    }
    QTextCursor cursor(&doc);
    for (Span& s : spans) {
        change(s.format);
        cursor.setPosition(s.position);
        cursor.setPosition(s.position + s.length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(s.format);
    }
}

void StyleHeading(QTextDocument& doc, const QTextBlock& block, int level)
{
    const HeadingStyle& style = HeadingStyles[std::clamp(level, 1, 6) - 1];
    QTextBlockFormat bf = block.blockFormat();
    bf.setTopMargin(Pt(style.spaceBefore));
    bf.setBottomMargin(Pt(style.spaceAfter));
    QTextCursor(block).setBlockFormat(bf);
    RestyleFragments(doc, block, [&](QTextCharFormat& f) {
        // The Markdown reader sizes headings relative to the application's font, not the document's.
        f.clearProperty(QTextFormat::FontSizeAdjustment);
        if (!f.fontFixedPitch())
            f.setFontFamilies(SansFamilies);
        f.setFontPointSize(style.points);
        f.setFontWeight(QFont::Bold);
    });
}

// A first row of bold names over every column is a header (a Markdown table always has one); a form's rows of
// labels and blanks are not.
bool HasHeaderRow(const QTextTable* table)
{
    for (int c = 0; c < table->columns(); ++c) {
        const QTextTableCell cell = table->cellAt(0, c);
        bool text = false;
        for (auto it = cell.begin(); !it.atEnd(); ++it) {
            for (auto f = it.currentBlock().begin(); !f.atEnd(); ++f) {
                if (!f.fragment().isValid() || f.fragment().text().trimmed().isEmpty())
                    continue;
                if (f.fragment().charFormat().fontWeight() < QFont::Bold)
                    return false;
                text = true;
            }
        }
        if (!text)
            return false;
    }
    return true;
}

void StyleTable(QTextTable* table)
{
    QTextTableFormat tf = table->format();
    tf.setBorderCollapse(true);
    tf.setBorder(Pt(0.75));
    tf.setBorderBrush(Rule);
    tf.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    tf.setCellSpacing(0);
    // A table that asks for more room (a form to write in) keeps it.
    tf.setCellPadding(std::max(tf.cellPadding(), Pt(3)));
    tf.setTopMargin(Pt(4));
    tf.setBottomMargin(Pt(8));
    if (HasHeaderRow(table)) {
        // A table that runs onto the next page shows its column names again there.
        tf.setHeaderRowCount(1);
        for (int c = 0; c < table->columns(); ++c) {
            QTextTableCell cell = table->cellAt(0, c);
            QTextTableCellFormat cf = cell.format().toTableCellFormat();
            cf.setBackground(HeaderShade);
            cell.setFormat(cf);
        }
    }
    table->setFormat(tf);
}

void StyleTables(QTextFrame* frame)
{
    for (QTextFrame* child : frame->childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(child))
            StyleTable(table);
        StyleTables(child);
    }
}

bool IsCode(const QTextBlock& block)
{
    return block.isValid() && block.blockFormat().hasProperty(QTextFormat::BlockCodeLanguage);
}

// A code block is one shaded box, whatever its number of lines.
void StyleCode(QTextDocument& doc, const QTextBlock& block)
{
    QTextBlockFormat bf = block.blockFormat();
    bf.setBackground(CodeShade);
    bf.setLeftMargin(Pt(4));
    bf.setTopMargin(IsCode(block.previous()) ? 0 : Pt(4));
    bf.setBottomMargin(IsCode(block.next()) ? 0 : Pt(8));
    QTextCursor(block).setBlockFormat(bf);
    // The Markdown reader gives code blocks the system's fixed font without marking it fixed pitch.
    RestyleFragments(doc, block, [](QTextCharFormat& f) {
        f.setFontFamilies(MonoFamilies);
        f.setFontFixedPitch(true);
        f.setFontPointSize(CodePoints);
    });
}

bool OnlyAnImage(const QTextBlock& block)
{
    return block.text() == QString(QChar::ObjectReplacementCharacter);
}

// Loads every image the text names into the document, shrunk to fit the text column and the page. False, with the
// reason, when one cannot be drawn.
bool LoadImages(QTextDocument& doc, const QSizeF& bodyCss, QStringList& loaded)
{
    struct Use {
        int position;
        QTextImageFormat format;
        QTextBlock block;
    };
    QList<Use> uses;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (f.isValid() && f.charFormat().isImageFormat())
                uses.append({f.position(), f.charFormat().toImageFormat(), b});
        }
    }
    QTextCursor cursor(&doc);
    for (Use& u : uses) {
        const QUrl url = doc.baseUrl().resolved(QUrl(u.format.name()));
        if (!url.isLocalFile()) {
            Fail(QStringLiteral("the image %1 is not a file beside the document").arg(u.format.name()));
            return false;
        }
        const QString path = url.toLocalFile();
        const QImage image(path);
        if (image.isNull()) {
            Fail(QStringLiteral("the image %1 (%2) is missing or not a picture").arg(u.format.name(), path));
            return false;
        }
        doc.addResource(QTextDocument::ImageResource, QUrl(u.format.name()), image);
        if (!loaded.contains(path))
            loaded << path;

        // A picture keeps its size at 96 dots an inch unless that is wider than the column or taller than a page.
        double w = u.format.hasProperty(QTextFormat::ImageWidth) ? u.format.width() : image.width();
        double h =
            u.format.hasProperty(QTextFormat::ImageHeight) ? u.format.height() : image.height() * w / image.width();
        const double scale = std::min({1.0, bodyCss.width() / w, 0.85 * bodyCss.height() / h});
        u.format.setWidth(w * scale);
        u.format.setHeight(h * scale);
        cursor.setPosition(u.position);
        cursor.setPosition(u.position + 1, QTextCursor::KeepAnchor);
        cursor.setCharFormat(u.format);
        if (OnlyAnImage(u.block)) {
            QTextBlockFormat bf = u.block.blockFormat();
            bf.setAlignment(Qt::AlignHCenter);
            QTextCursor(u.block).setBlockFormat(bf);
        }
    }
    return true;
}

QString DocumentTitle(const QTextDocument& doc, const QString& source)
{
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (b.blockFormat().headingLevel() == 1)
            return b.text().trimmed();
    }
    return QFileInfo(source).completeBaseName();
}

// Reads and lays out the source; the document's lengths are CSS pixels, its page the text area of a page.
bool BuildDocument(QTextDocument& doc, const QString& source, const QSizeF& bodyCss, QStringList& images)
{
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly)) {
        Fail(QStringLiteral("cannot read %1: %2").arg(source, file.errorString()));
        return false;
    }
    const QString text = QString::fromUtf8(file.readAll());
    if (file.error() != QFileDevice::NoError) {
        Fail(QStringLiteral("cannot read %1: %2").arg(source, file.errorString()));
        return false;
    }
    doc.setDocumentMargin(0);
    doc.setDefaultFont(Font(SerifFamilies, BodyPoints));
    // Relative image names in the text are relative to the source file, wherever the build runs.
    doc.setBaseUrl(QUrl::fromLocalFile(QFileInfo(source).absolutePath() + QLatin1Char('/')));
    doc.setMarkdown(text);

    // Lines keep the fonts' own spacing: Qt breaks pages by a line's natural height, so extra leading would let the
    // last line of a page run over the foot of the text area.
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const QTextBlockFormat bf = b.blockFormat();
        RestyleFragments(doc, b, [](QTextCharFormat& f) {
            if (f.fontFixedPitch())
                f.setFontFamilies(MonoFamilies);
        });
        if (const int level = bf.headingLevel(); level > 0)
            StyleHeading(doc, b, level);
        else if (IsCode(b))
            StyleCode(doc, b);
    }
    StyleTables(doc.rootFrame());
    // A document that ends in a table ends in the empty line Qt keeps after it; that line takes no room, so it
    // never makes a page of its own.
    if (const QTextBlock last = doc.lastBlock(); last.length() <= 1 && last.previous().isValid()) {
        QTextBlockFormat bf = last.blockFormat();
        bf.setLineHeight(0, QTextBlockFormat::FixedHeight);
        bf.setTopMargin(0);
        bf.setBottomMargin(0);
        QTextCursor(last).setBlockFormat(bf);
    }
    QTextCursor all(&doc);
    all.select(QTextCursor::Document);
    QTextCharFormat ink;
    ink.setForeground(Ink);
    all.mergeCharFormat(ink);
    return LoadImages(doc, bodyCss, images);
}

// Where the first or last line of a block starts on the document's run of pages: the line's offset holds the
// room Qt left to move it onto the next page, the block's box does not.
double LineTop(const QTextDocument& doc, const QTextBlock& block, bool last)
{
    const QTextLayout* layout = block.layout();
    const QRectF box = doc.documentLayout()->blockBoundingRect(block);
    if (layout == nullptr || layout->lineCount() == 0)
        return box.top();
    const QTextLine line = layout->lineAt(last ? layout->lineCount() - 1 : 0);
    return box.top() + line.y();
}

bool IsHeading(const QTextBlock& block)
{
    return block.isValid() && block.blockFormat().headingLevel() > 0;
}

// Qt breaks pages between any two lines. A heading left alone at the foot of a page goes to the next one with the
// text it heads, and so does a paragraph that would be split, unless it is long: the layout draws the line above
// a page with that page (out of sight under the clip, but found by a search), so a split paragraph leaves a copy
// of its line in the text of the PDF.
void KeepBlocksTogether(QTextDocument& doc, double pageHeight)
{
    auto pageOf = [pageHeight](double y) { return static_cast<int>(std::floor(y / pageHeight)); };
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        // Table rows are the table's to place.
        if (doc.frameAt(b.position()) != doc.rootFrame())
            continue;
        const double top = LineTop(doc, b, false);
        bool split = pageOf(top) != pageOf(LineTop(doc, b, true));
        if (IsHeading(b))
            split = b.next().isValid() && pageOf(LineTop(doc, b, true)) != pageOf(LineTop(doc, b.next(), false));
        else if (split)
            split = doc.documentLayout()->blockBoundingRect(b).height() < pageHeight / 3;
        if (!split)
            continue;
        QTextBlock target = b;
        while (IsHeading(target.previous()) && doc.frameAt(target.previous().position()) == doc.rootFrame())
            target = target.previous();
        const double targetTop = LineTop(doc, target, false);
        // At the top of a page already: a break would only leave that page empty.
        if (targetTop - pageOf(targetTop) * pageHeight < 1)
            continue;
        QTextBlockFormat bf = target.blockFormat();
        bf.setPageBreakPolicy(bf.pageBreakPolicy() | QTextFormat::PageBreak_AlwaysBefore);
        QTextCursor(target).setBlockFormat(bf);
        // A changed format lays out only its own block again; what follows moves down a page too.
        doc.markContentsDirty(target.position(), doc.characterCount() - target.position());
    }
}

bool WritePdf(QTextDocument& doc, const QString& title, const QString& output)
{
    QSaveFile out(output);
    if (!out.open(QIODevice::WriteOnly)) {
        Fail(QStringLiteral("cannot write %1: %2").arg(output, out.errorString()));
        return false;
    }
    QPdfWriter writer(&out);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("KOV"));
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF()));
    const double dpi = writer.resolution();
    const QRectF body(LeftInch * dpi, TopInch * dpi, writer.width() - (LeftInch + RightInch) * dpi,
                      writer.height() - (TopInch + BottomInch) * dpi);

    doc.documentLayout()->setPaintDevice(&writer);
    doc.setPageSize(body.size());
    KeepBlocksTogether(doc, body.height());
    const int pages = doc.pageCount();

    QPainter painter;
    if (!painter.begin(&writer)) {
        Fail(QStringLiteral("cannot start the PDF %1").arg(output));
        return false;
    }
    const QFont footerFont = Font(SansFamilies, FooterPoints);
    const QFontMetricsF footerMetrics(footerFont, &writer);
    const double footerBaseline = writer.height() - FooterBaselineFromBottomInch * dpi;
    for (int page = 0; page < pages; ++page) {
        if (page > 0 && !writer.newPage()) {
            Fail(QStringLiteral("cannot add page %1 to %2").arg(page + 1).arg(output));
            return false;
        }
        painter.save();
        painter.translate(body.left(), body.top() - page * body.height());
        const QRectF area(0, page * body.height(), body.width(), body.height());
        painter.setClipRect(area);
        // The layout draws every line that touches the area; the last line of the page before ends exactly on
        // its top edge, and drawn again here under the clip it would be invisible but found by a search.
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = area.adjusted(0, 1, 0, -1);
        doc.documentLayout()->draw(&painter, context);
        painter.restore();

        const double ruleY = footerBaseline - footerMetrics.ascent() - 0.08 * dpi;
        painter.setPen(QPen(Rule, 0.5 * dpi / PointsPerInch));
        painter.drawLine(QPointF(body.left(), ruleY), QPointF(body.right(), ruleY));
        painter.setFont(footerFont);
        painter.setPen(FooterInk);
        const QString number = QStringLiteral("Page %1 of %2").arg(page + 1).arg(pages);
        const QString left = footerMetrics.elidedText(
            title, Qt::ElideRight, body.width() - footerMetrics.horizontalAdvance(number) - 0.3 * dpi);
        painter.drawText(QPointF(body.left(), footerBaseline), left);
        painter.drawText(QPointF(body.right() - footerMetrics.horizontalAdvance(number), footerBaseline), number);
    }
    if (!painter.end()) {
        Fail(QStringLiteral("cannot finish the PDF %1").arg(output));
        return false;
    }
    if (!out.commit()) {
        Fail(QStringLiteral("cannot write %1: %2").arg(output, out.errorString()));
        return false;
    }
    return true;
}

// Make's rule syntax: a space in a name is escaped, and so is the comment sign.
QString DepfileName(const QString& path)
{
    QString escaped = path;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    escaped.replace(QLatin1Char(' '), QLatin1String("\\ "));
    escaped.replace(QLatin1Char('#'), QLatin1String("\\#"));
    escaped.replace(QLatin1Char('$'), QLatin1String("$$"));
    return escaped;
}

bool WriteDepfile(const QString& depfile, const QString& output, const QStringList& inputs)
{
    QStringList names;
    for (const QString& input : inputs)
        names << DepfileName(QFileInfo(input).absoluteFilePath());
    const QString rule =
        DepfileName(QFileInfo(output).absoluteFilePath()) + QStringLiteral(": ") + names.join(QLatin1Char(' ')) + '\n';
    QSaveFile f(depfile);
    if (!f.open(QIODevice::WriteOnly) || f.write(rule.toUtf8()) < 0 || !f.commit()) {
        Fail(QStringLiteral("cannot write %1: %2").arg(depfile, f.errorString()));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    // A build step has no screen; pictures and fonts still need the GUI side of Qt.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const std::optional<Arguments> args = ParseArguments(QCoreApplication::arguments());
    if (!args) {
        Fail(QStringLiteral("usage: kov_makedoc <source.md> <output.pdf> [--depfile <file.d>]"));
        return 2;
    }
    // The text column in CSS pixels, for fitting pictures before the PDF device is there.
    const QSizeF bodyCss((8.5 - LeftInch - RightInch) * CssPerInch, (11 - TopInch - BottomInch) * CssPerInch);
    QTextDocument doc;
    QStringList images;
    if (!BuildDocument(doc, args->source, bodyCss, images))
        return 1;
    if (!WritePdf(doc, DocumentTitle(doc, args->source), args->output))
        return 1;
    if (!args->depfile.isEmpty() && !WriteDepfile(args->depfile, args->output, QStringList{args->source} + images))
        return 1;
    return 0;
}
