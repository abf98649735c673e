// Writes the program's square icon from the logo: the bar mark at the logo's left, trimmed of its white margin and
// centred on a white square.
//   kov_makeicon <logo.jpg> <icon.png> <size>
#include <QColor>
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <cstdio>

namespace {

// The mark is the part of the logo before the name; a third of its width holds all of it and none of the "K".
QRect MarkBounds(const QImage& logo)
{
    const int right = logo.width() / 3;
    QRect bounds;
    for (int y = 0; y < logo.height(); ++y) {
        for (int x = 0; x < right; ++x) {
            // JPEG leaves near-white noise around the mark.
            if (qGray(logo.pixel(x, y)) < 200)
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: kov_makeicon <logo.jpg> <icon.png> <size>\n");
        return 2;
    }
    const QImage logo(args.at(1));
    const int size = args.at(3).toInt();
    const QRect mark = logo.isNull() ? QRect() : MarkBounds(logo);
    if (mark.isEmpty() || size < 16) {
        std::fprintf(stderr, "kov_makeicon: no mark found in %s\n", qPrintable(args.at(1)));
        return 1;
    }
    QImage icon(size, size, QImage::Format_ARGB32);
    icon.fill(Qt::white);
    {
        QPainter painter(&icon);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        // A margin of an eighth on each side keeps the mark clear of the edge where desktops round the corners.
        const int room = size - size / 4;
        const QSize drawn = mark.size().scaled(room, room, Qt::KeepAspectRatio);
        painter.drawImage(QRect(QPoint((size - drawn.width()) / 2, (size - drawn.height()) / 2), drawn), logo, mark);
    }
    QSaveFile out(args.at(2));
    if (!out.open(QIODevice::WriteOnly) || !icon.save(&out, "PNG") || !out.commit()) {
        std::fprintf(stderr, "kov_makeicon: cannot write %s\n", qPrintable(args.at(2)));
        return 1;
    }
    return 0;
}
