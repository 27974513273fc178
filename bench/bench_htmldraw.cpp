// The markup renderer on the demo's credits text and on generated texts of 1,000 and 10,000
// words. Target: time linear in the length of the text.
#include "htmltext/htmldraw.h"
#include "htmltext/paintercanvas.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

QString demoCredits()
{
    QFile file(QStringLiteral(SC_DEMO_DIR "/Musterhafen.ini"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read the demo control file");
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.startsWith("HTMLCredits="))
            return QString::fromUtf8(line.mid(12).trimmed());
    }
    qFatal("the demo control file has no credits text");
}

// Words of varying length with some bold words, links and line breaks in between.
QString generatedText(int words)
{
    QString text;
    for (int i = 0; i < words; ++i) {
        const QString word = QStringLiteral("wort%1").arg(i % 97);
        if (i % 10 == 3)
            text += QStringLiteral("<B>") + word + QStringLiteral("</B> ");
        else if (i % 50 == 7)
            text += QStringLiteral("<A href=\"https://example.org/\">") + word
                + QStringLiteral("</A> ");
        else if (i % 200 == 199)
            text += word + QStringLiteral("<BR>");
        else
            text += word + u' ';
    }
    return text;
}

// Draws the whole text, laid out into a rectangle tall enough for every line, or only
// hit-tests it.
void render(benchmark::State &bench, const QString &markup, bool draw)
{
    QImage image(400, 300, QImage::Format_RGB32);
    QPainter painter(&image);
    TPainterCanvas canvas(painter);
    THTMLDrawParams p;
    p.s = markup;
    p.fr = TRect{0, 0, 400, 1000000};
    for (auto _ : bench) {
        const THTMLDrawResult result = draw ? HTMLDraw(canvas, p) : HTMLHitTest(canvas, p, 10, 10);
        benchmark::DoNotOptimize(result.YSize);
    }
}

void BM_DrawCredits(benchmark::State &bench)
{
    render(bench, demoCredits(), true);
}
BENCHMARK(BM_DrawCredits)->Unit(benchmark::kMicrosecond);

void BM_DrawWords(benchmark::State &bench)
{
    render(bench, generatedText(int(bench.range(0))), true);
    bench.SetComplexityN(bench.range(0));
}
BENCHMARK(BM_DrawWords)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity();

void BM_HitTestWords(benchmark::State &bench)
{
    render(bench, generatedText(int(bench.range(0))), false);
    bench.SetComplexityN(bench.range(0));
}
BENCHMARK(BM_HitTestWords)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity();

void BM_MeasureHeight(benchmark::State &bench)
{
    QImage image(400, 300, QImage::Format_RGB32);
    QPainter painter(&image);
    TPainterCanvas canvas(painter);
    THTMLDrawParams p;
    p.s = generatedText(int(bench.range(0)));
    p.fr = TRect{0, 0, 400, 300};
    for (auto _ : bench)
        benchmark::DoNotOptimize(HTMLMeasureHeight(canvas, p).YSize);
    bench.SetComplexityN(bench.range(0));
}
BENCHMARK(BM_MeasureHeight)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity();

} // namespace
