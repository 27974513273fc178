// The window-outline scan on arbitrary pictures: the region's rectangles must lie inside the
// picture and cover exactly the pixels whose colour differs from the bottom-left pixel's.
//
// Input: width - 1, height - 1, picture format, then one byte per pixel (repeated when short).

#include "tests/fuzz/fuzzapplication.h"
#include "widgets/rzformshape.h"

#include <QApplication>
#include <QImage>
#include <QRegion>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

std::unique_ptr<TRzFormShape> shape;

[[noreturn]] void fail(const char *what, int x = -1, int y = -1)
{
    std::fprintf(stderr, "fuzz_region: %s (%d, %d)\n", what, x, y);
    std::abort();
}

// Few colours, so that runs of the key colour are common; the high bits vary alpha, which the
// scan must ignore.
constexpr std::array<QRgb, 4> colours = {0x000000, 0xFF00FF, 0xFFFFFF, 0x123456};

QRgb pixelFrom(uint8_t byte)
{
    const QRgb alpha = (byte & 0x80) ? 0xFF : QRgb(byte & 0x7C) << 1;
    return (alpha << 24) | colours[byte & 3];
}

const std::array<QImage::Format, 7> formats = {
    QImage::Format_RGB32,    QImage::Format_ARGB32, QImage::Format_ARGB32_Premultiplied,
    QImage::Format_Indexed8, QImage::Format_RGB888, QImage::Format_RGB16,
    QImage::Format_Mono,
};

QImage pictureFrom(const uint8_t *data, size_t size)
{
    const int width = 1 + data[0];
    const int height = 1 + data[1];
    const QImage::Format format = formats[data[2] % formats.size()];
    const uint8_t *pixels = data + 3;
    const size_t count = size - 3;
    const auto byteAt = [&](int x, int y) {
        return count == 0 ? uint8_t(0) : pixels[(size_t(y) * size_t(width) + size_t(x)) % count];
    };

    QImage argb(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(argb.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = pixelFrom(byteAt(x, y));
    }
    switch (format) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied: {
        // Raw words, so that the scan also meets alpha values the format would not produce.
        QImage raw(width, height, format);
        for (int y = 0; y < height; ++y)
            std::memcpy(raw.scanLine(y), argb.constScanLine(y), size_t(width) * sizeof(QRgb));
        return raw;
    }
    case QImage::Format_Indexed8: {
        // Two entries share a colour, so different indexes can be the key colour.
        QImage indexed(width, height, QImage::Format_Indexed8);
        indexed.setColorTable({0xFF000000, 0xFFFF00FF, 0xFFFFFFFF, 0xFF000000});
        for (int y = 0; y < height; ++y) {
            uchar *line = indexed.scanLine(y);
            for (int x = 0; x < width; ++x)
                line[x] = byteAt(x, y) & 3;
        }
        return indexed;
    }
    default:
        return argb.convertToFormat(format);
    }
}

// The colours as the scan compares them: 32-bit pixels as stored, other formats as RGB32.
QImage comparable(const QImage &picture)
{
    const QImage::Format f = picture.format();
    if (f == QImage::Format_RGB32 || f == QImage::Format_ARGB32
        || f == QImage::Format_ARGB32_Premultiplied) {
        return picture;
    }
    return picture.convertToFormat(QImage::Format_RGB32);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    StartFuzzApplication<QApplication>();
    shape = std::make_unique<TRzFormShape>();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 3)
        return 0;
    const QImage picture = pictureFrom(data, size);
    const QRegion region = shape->GetRegionFromBitmap(picture);

    const QImage colours = comparable(picture);
    const int width = colours.width();
    const int height = colours.height();
    const QRgb key = colours.pixel(0, height - 1) & 0xFFFFFF;
    const auto isOpaque = [&](int x, int y) {
        return (reinterpret_cast<const QRgb *>(colours.constScanLine(y))[x] & 0xFFFFFF) != key;
    };

    std::vector<uint8_t> covered(size_t(width) * size_t(height), 0);
    int rects = 0;
    for (const QRect &r : region) {
        ++rects;
        if (r.isEmpty() || r.left() < 0 || r.top() < 0 || r.right() >= width
            || r.bottom() >= height) {
            fail("a rectangle outside the picture", r.left(), r.top());
        }
        for (int y = r.top(); y <= r.bottom(); ++y) {
            for (int x = r.left(); x <= r.right(); ++x) {
                if (covered[size_t(y) * size_t(width) + size_t(x)]++ != 0)
                    fail("rectangles overlap", x, y);
            }
        }
    }
    if (rects != region.rectCount())
        fail("rectangle count differs from the rectangles listed");

    QRect opaqueBounds;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool opaque = isOpaque(x, y);
            if (bool(covered[size_t(y) * size_t(width) + size_t(x)]) != opaque)
                fail(opaque ? "an opaque pixel is left out" : "a key-coloured pixel is covered", x,
                     y);
            if (opaque)
                opaqueBounds |= QRect(x, y, 1, 1);
        }
    }
    if (region.boundingRect() != opaqueBounds)
        fail("the bounding rectangle differs from the opaque pixels'");
    return 0;
}
