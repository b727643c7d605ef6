// Draws the program's icon at every size it ships in and writes the images as PNG files:
// make_icons <folder>  ->  <folder>/16.png ... <folder>/256.png

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

namespace {

QImage draw(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);

    // A rounded tile in deep teal to blue.
    QLinearGradient tile(0, 0, 256, 256);
    tile.setColorAt(0, QColor(0x10, 0x9c, 0x9a));
    tile.setColorAt(1, QColor(0x1d, 0x4e, 0xd8));
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(12, 12, 232, 232), 52, 52);

    // A sheet of paper with a folded corner: the file.
    QPainterPath sheet;
    sheet.moveTo(70, 44);
    sheet.lineTo(152, 44);
    sheet.lineTo(190, 82);
    sheet.lineTo(190, 212);
    sheet.lineTo(70, 212);
    sheet.closeSubpath();
    p.setBrush(QColor(255, 255, 255, 240));
    p.drawPath(sheet);
    QPainterPath fold;
    fold.moveTo(152, 44);
    fold.lineTo(152, 82);
    fold.lineTo(190, 82);
    fold.closeSubpath();
    p.setBrush(QColor(0xb8, 0xd4, 0xf5));
    p.drawPath(fold);

    // Three lines of digest text, the last one short.
    p.setBrush(QColor(0x1d, 0x4e, 0xd8, 150));
    if (size >= 32) {
        p.drawRoundedRect(QRectF(90, 100, 80, 12), 6, 6);
        p.drawRoundedRect(QRectF(90, 124, 80, 12), 6, 6);
        p.drawRoundedRect(QRectF(90, 148, 44, 12), 6, 6);
    }

    // A green seal with a check mark: verified.
    p.setBrush(QColor(0x16, 0xa3, 0x4a));
    p.setPen(QPen(Qt::white, 10));
    p.drawEllipse(QPointF(178, 184), 46, 46);
    QPen tick(Qt::white, 14, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(tick);
    p.setBrush(Qt::NoBrush);
    QPainterPath mark;
    mark.moveTo(156, 184);
    mark.lineTo(172, 200);
    mark.lineTo(202, 168);
    p.drawPath(mark);
    return image;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icons <folder>\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QDir().mkpath(argv[1]);
    for (int size : {16, 24, 32, 48, 64, 96, 128, 256}) {
        const QString path = QString("%1/%2.png").arg(argv[1]).arg(size);
        if (!draw(size).save(path)) {
            std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
