// Draws pellar.jpg and Corvexlogonew.jpg, the two pictures of KOV's main window.
// Usage: make_logos <output folder> [preview folder for PNG copies]
// The main window shows them at 188 x 94 and 253 x 94 pixels; they are drawn at twice that
// so they stay sharp on high-density screens.

#include <QColor>
#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRectF>
#include <QString>

#include <cmath>
#include <cstdio>

namespace {

const QColor kInk(0x1b, 0x3a, 0x5c);     // deep blue: lettering and outlines
const QColor kAccent(0x2a, 0x9d, 0x8f);  // teal: sound waves and spectrum bars
const QColor kPaper(0xff, 0xff, 0xff);

QFont boldFont(double pixelSize, double letterSpacing = 0)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setBold(true);
    f.setPixelSize(static_cast<int>(std::lround(pixelSize)));
    if (letterSpacing != 0)
        f.setLetterSpacing(QFont::AbsoluteSpacing, letterSpacing);
    return f;
}

// A loudspeaker seen from the side with three arcs of sound, fitted into `box`.
void drawSpeaker(QPainter& p, const QRectF& box)
{
    const double h = box.height();
    const double cy = box.center().y();
    const double x0 = box.left();

    QPainterPath body;
    const double magnetW = h * 0.16, magnetH = h * 0.34;
    const double coneW = h * 0.30, coneH = h * 0.80;
    body.moveTo(x0, cy - magnetH / 2);
    body.lineTo(x0 + magnetW, cy - magnetH / 2);
    body.lineTo(x0 + magnetW + coneW, cy - coneH / 2);
    body.lineTo(x0 + magnetW + coneW, cy + coneH / 2);
    body.lineTo(x0 + magnetW, cy + magnetH / 2);
    body.lineTo(x0, cy + magnetH / 2);
    body.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawPath(body);

    const double mouth = x0 + magnetW + coneW;
    QPen wave(kAccent, h * 0.075, Qt::SolidLine, Qt::RoundCap);
    p.setPen(wave);
    p.setBrush(Qt::NoBrush);
    for (int i = 1; i <= 3; ++i) {
        const double r = h * (0.10 + 0.17 * i);
        const QRectF arc(mouth - r, cy - r, 2 * r, 2 * r);
        const int span = 78 - 4 * i;
        p.drawArc(arc, -span * 16 / 2, span * 16);  // angles in 1/16 degree, centred on the axis
    }
}

// A 1/3-octave bar spectrum falling toward high frequencies, the shape the program works to.
void drawSpectrum(QPainter& p, const QRectF& box)
{
    const int bars = 9;
    const double gap = box.width() * 0.035;
    const double barW = (box.width() - gap * (bars - 1)) / bars;
    for (int i = 0; i < bars; ++i) {
        const double t = static_cast<double>(i) / (bars - 1);
        const double level = i < 3 ? 0.92 - 0.03 * i : 0.86 - 0.62 * (t - 0.25) / 0.75;
        const double bh = box.height() * level;
        const QRectF bar(box.left() + i * (barW + gap), box.bottom() - bh, barW, bh);
        p.setPen(Qt::NoPen);
        p.setBrush(kAccent);
        p.drawRoundedRect(bar, barW * 0.18, barW * 0.18);
    }
    // Base line the bars stand on.
    p.setPen(QPen(kInk, box.height() * 0.035, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(box.left() - gap, box.bottom() + box.height() * 0.05),
               QPointF(box.right() + gap, box.bottom() + box.height() * 0.05));
}

QImage blank(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(kPaper);
    return img;
}

QImage drawProgramLogo()
{
    QImage img = blank(376, 188);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // The speaker mark is about 1.1 times as wide as it is high; mark and name are centred as one group.
    const double markH = 100, markW = markH * 1.11, gap = 20;
    const QFont font = boldFont(82, 1);
    const QFontMetricsF fm(font);
    const QString name = QStringLiteral("KOV");
    const double textW = fm.horizontalAdvance(name);
    const double left = (img.width() - (markW + gap + textW)) / 2;

    drawSpeaker(p, QRectF(left, (img.height() - markH) / 2, markW, markH));

    p.setPen(kInk);
    p.setFont(font);
    const double baseline = img.height() / 2.0 + (fm.capHeight()) / 2;
    p.drawText(QPointF(left + markW + gap, baseline), name);
    return img;
}

QImage drawProductLogo()
{
    QImage img = blank(506, 188);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    const QFont nameFont = boldFont(76, 2);
    const QFontMetricsF nameMetrics(nameFont);
    QFont lineFont(QStringLiteral("DejaVu Sans"));
    lineFont.setPixelSize(23);
    const QFontMetricsF lineMetrics(lineFont);
    const QString lines[] = {QStringLiteral("Sound masking & paging"), QStringLiteral("equalization")};

    // Name, rule and two lines of text form one block, centred on the picture's height.
    const double ruleGap = 12, ruleW = 4, lineStep = lineMetrics.height();
    const double blockH = nameMetrics.capHeight() + ruleGap + ruleW + ruleGap / 2 + 2 * lineStep;
    const double top = (img.height() - blockH) / 2;
    const double textLeft = 184, textRight = img.width() - 26;

    const double markH = blockH * 0.86;
    drawSpectrum(p, QRectF(30, (img.height() - markH) / 2, 124, markH));

    p.setPen(kInk);
    p.setFont(nameFont);
    const double nameBase = top + nameMetrics.capHeight();
    p.drawText(QPointF(textLeft - 3, nameBase), QStringLiteral("KOV"));

    const double ruleY = nameBase + ruleGap + ruleW / 2;
    p.setPen(QPen(kAccent, ruleW, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(textLeft, ruleY), QPointF(textRight, ruleY));

    p.setPen(kInk);
    p.setFont(lineFont);
    double y = ruleY + ruleW / 2 + ruleGap / 2 + lineMetrics.ascent();
    for (const QString& line : lines) {
        p.drawText(QPointF(textLeft, y), line);
        y += lineStep;
    }
    return img;
}

bool save(const QImage& img, const QString& folder, const QString& name, const char* format, int quality)
{
    const QString path = QDir(folder).filePath(name);
    if (!img.save(path, format, quality)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("wrote %s (%d x %d)\n", qPrintable(path), img.width(), img.height());
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_logos <output folder> [preview folder]\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QImage program = drawProgramLogo();
    const QImage product = drawProductLogo();
    bool ok = save(program, out, QStringLiteral("pellar.jpg"), "JPEG", 95) &&
              save(product, out, QStringLiteral("Corvexlogonew.jpg"), "JPEG", 95);
    if (ok && argc > 2) {
        // Previews are decoded from the JPEGs so they show what the program will display.
        const QString preview = QString::fromLocal8Bit(argv[2]);
        for (const char* name : {"pellar", "Corvexlogonew"}) {
            QImage back(QDir(out).filePath(QString::fromLatin1(name) + QStringLiteral(".jpg")));
            ok = ok && save(back, preview, QString::fromLatin1(name) + QStringLiteral(".png"), "PNG", -1) &&
                 save(back.scaled(back.size() / 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation), preview,
                      QString::fromLatin1(name) + QStringLiteral("-shown.png"), "PNG", -1);
        }
    }
    return ok ? 0 : 1;
}
