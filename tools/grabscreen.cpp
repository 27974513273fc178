// grabscreen <file.png>: waits until a window shows on the X screen, then saves the part of the
// screen that holds windows as a PNG picture. Used to show the program on a machine without
// a display, under a virtual X server.
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QThread>

#include <cstdio>

namespace {

// The bounding box of every pixel that differs from the empty screen's colour, taken from the
// bottom-right corner (an unmanaged window opens at the top left).
QRect contentRect(const QImage &image)
{
    const QRgb background = image.pixel(image.width() - 1, image.height() - 1);
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] != background)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

QImage grabScreen(QScreen *screen)
{
    return screen->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: grabscreen <file.png>\n");
        return 2;
    }
    QScreen *screen = QGuiApplication::primaryScreen();
    QElapsedTimer clock;
    clock.start();
    QRect box;
    while (clock.elapsed() < 30000) {
        box = contentRect(grabScreen(screen));
        if (!box.isEmpty())
            break;
        QThread::msleep(200);
    }
    if (box.isEmpty()) {
        std::fprintf(stderr, "grabscreen: no window appeared within 30 seconds\n");
        return 1;
    }
    QThread::msleep(1500); // let the window finish painting
    const QImage shot = grabScreen(screen);
    if (!shot.copy(contentRect(shot)).save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "grabscreen: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
