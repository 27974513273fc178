// The markup renderer on arbitrary text: drawing, hit-testing and measuring on a real painter,
// and stripping the tags. libFuzzer's -timeout catches layouts that stop running in linear time.

#include "htmltext/htmldraw.h"
#include "htmltext/imagelist.h"
#include "htmltext/paintercanvas.h"
#include "htmltext/picturecache.h"
#include "tests/fuzz/fuzzapplication.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// Longer inputs only repeat what short ones show, at a cost in runs per second.
constexpr size_t maxInput = 64 * 1024;
constexpr int canvasWidth = 320;
constexpr int canvasHeight = 200;

std::unique_ptr<TImageList> images;
std::unique_ptr<TPictureContainer> pictures;

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "fuzz_htmldraw: %s\n", what);
    std::abort();
}

QPixmap filled(int width, int height, Qt::GlobalColor color)
{
    QPixmap pixmap(width, height);
    pixmap.fill(color);
    return pixmap;
}

// FNV-1a over the input: the draw options and the point vary with every input.
quint64 hashOf(const uint8_t *data, size_t size)
{
    quint64 hash = 14695981039346656037ull;
    for (size_t i = 0; i < size; ++i)
        hash = (hash ^ data[i]) * 1099511628211ull;
    return hash;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    StartFuzzApplication<QGuiApplication>();
    images = std::make_unique<TImageList>(16, 16);
    images->Add(filled(16, 16, Qt::red));
    images->Add(filled(8, 8, Qt::blue));
    pictures = std::make_unique<TPictureContainer>();
    pictures->Add(QStringLiteral("logo"), filled(20, 10, Qt::green));
    pictures->Add(QStringLiteral("tile"), filled(3, 3, Qt::yellow));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > maxInput)
        return 0;
    const QString markup = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const quint64 hash = hashOf(data, size);

    QImage image(canvasWidth, canvasHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    TPainterCanvas canvas(painter);
    TPictureCache cache; // per input, so no input depends on the ones before it

    THTMLDrawParams p;
    p.s = markup;
    p.fr = TRect{2, 2, canvasWidth - 2, canvasHeight - 2};
    p.FImages = images.get();
    p.pc = pictures.get();
    p.ic = &cache;
    p.WordWrap = (hash & 1) == 0;
    p.HoverStyle = (hash & 2) != 0;
    p.Selected = (hash & 4) != 0;
    p.Blink = (hash & 8) != 0;
    p.Print = (hash & 16) != 0;
    p.FocusLink = int((hash >> 8) % 4) - 1;
    p.HoverLink = int((hash >> 12) % 4) - 1;
    p.LineSpacing = int((hash >> 16) % 4);
    p.ShadowOffset = int((hash >> 20) % 3);
    const int x = int((hash >> 24) % canvasWidth);
    const int y = int((hash >> 40) % canvasHeight);

    const THTMLDrawResult drawn = HTMLDraw(canvas, p);
    const THTMLDrawResult hit = HTMLHitTest(canvas, p, x, y);
    const THTMLDrawResult measured = HTMLMeasureHeight(canvas, p);
    if (drawn.XSize < 0 || drawn.YSize < 0 || hit.XSize < 0 || hit.YSize < 0
        || measured.YSize < 0) {
        fail("negative size");
    }
    if (hit.MouseLink != -1 && (hit.MouseLink < 1 || hit.MouseLink > hit.HyperLinks))
        fail("the link under the point is none of the links met");

    const QString stripped = HTMLStrip(markup);
    if (stripped.size() > markup.size() * 2)
        fail("the stripped text grew beyond its markup");
    return 0;
}
