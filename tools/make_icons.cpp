// Renders the program's scalable icon at every size it ships in and writes the images as PNG
// files: make_icons <icon.svg> <folder>  ->  <folder>/16.png ... <folder>/256.png

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_icons <icon.svg> <folder>\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QDir().mkpath(argv[2]);
    for (int size : {16, 24, 32, 48, 64, 96, 128, 256}) {
        QImageReader reader(argv[1]);
        reader.setScaledSize(QSize(size, size));
        const QImage image = reader.read();
        if (image.isNull()) {
            std::fprintf(stderr, "make_icons: cannot render %s (Qt's SVG plugin, libqt6svg6): %s\n", argv[1],
                         qPrintable(reader.errorString()));
            return 1;
        }
        const QString path = QString("%1/%2.png").arg(argv[2]).arg(size);
        if (!image.save(path)) {
            std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
