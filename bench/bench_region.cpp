// Scanning the main window's background picture into the window region.
// Target: under 2 ms for the 632 x 455 picture.
#include "widgets/rzformshape.h"

#include <QApplication>
#include <QtMath>

#include <benchmark/benchmark.h>

namespace {

QRgb mix(QRgb from, QRgb to, double t)
{
    const auto channel = [t](int a, int b) { return int(a + (b - a) * t); };
    return qRgb(channel(qRed(from), qRed(to)), channel(qGreen(from), qGreen(to)),
                channel(qBlue(from), qBlue(to)));
}

// A picture shaped like the window's background: white key colour, one opaque pixel in row 0, a
// title band over rows 1 to 33, then the panel with rounded corners down to the last row, both
// in diagonal gradients so that neighbouring pixels differ.
QImage backgroundPicture()
{
    constexpr int width = 632, height = 455, radius = 8, panelTop = 34;
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setPixel(8, 0, qRgb(59, 93, 130));
    for (int y = 1; y < panelTop; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 6; x <= 626; ++x)
            line[x] = y >= 32 ? qRgb(220, 230, 245)
                              : mix(qRgb(59, 93, 130), qRgb(134, 168, 235), (x + y) / 660.0);
    }
    for (int y = panelTop; y < height; ++y) {
        const int fromEdge = qMin(y - panelTop, height - 1 - y);
        const int inset = fromEdge >= radius ? 0
                                             : radius
                - int(qSqrt(double(radius * radius - (radius - fromEdge) * (radius - fromEdge))));
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = inset; x < width - inset; ++x)
            line[x] = mix(qRgb(37, 75, 114), qRgb(137, 173, 242), double(x + y) / (width + height));
    }
    return image;
}

void BM_GetRegionFromBitmap(benchmark::State &bench)
{
    const QImage picture = bench.range(0) == 32
        ? backgroundPicture()
        : backgroundPicture().convertToFormat(QImage::Format_RGB888);
    TRzFormShape shape;
    for (auto _ : bench)
        benchmark::DoNotOptimize(shape.GetRegionFromBitmap(picture));
}
BENCHMARK(BM_GetRegionFromBitmap)->Arg(32)->Arg(24)->Unit(benchmark::kMicrosecond);

// The whole step of the first show: scan and window mask.
void BM_RecreateRegion(benchmark::State &bench)
{
    QWidget window;
    auto *shape = new TRzFormShape(&window);
    shape->SetPicture(backgroundPicture());
    for (auto _ : bench)
        shape->RecreateRegion();
}
BENCHMARK(BM_RecreateRegion)->Unit(benchmark::kMicrosecond);

} // namespace
