// One scroll tick of the main window's status line: advancing the text and repainting what it
// moved through, with the window behind the pane, on the demo scenery.
// Target: ticks cheap enough that the scrolling program idles under 3 % of one core at 100
// ticks a second (tools/idlecpu.sh measures the whole program).
#include "tests/support/programfolder.h"
#include "tests/support/recordingplatform.h"
#include "ui/scenform1.h"
#include "widgets/rzmarqueestatus.h"

#include <QFile>
#include <QTest>

#include <benchmark/benchmark.h>

namespace {

void BM_MarqueeTick(benchmark::State &bench)
{
    TProgramFolder folder;
    QFile::copy(QStringLiteral(SC_DEMO_DIR "/Musterhafen.ini"),
                folder.FilePath(QStringLiteral("Musterhafen.ini")));
    TRecordingPlatform platform(folder.ExeName());
    TScenForm1 form(platform);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) {
        bench.SkipWithError("the window was not shown");
        return;
    }
    TRzMarqueeStatus &status = *form.RzMarqueeStatus1;
    status.SetScrollDelay(60000); // only the benchmark's own calls move the text
    for (auto _ : bench)
        status.TimerEventHandler();
}
BENCHMARK(BM_MarqueeTick)->Unit(benchmark::kMicrosecond);

} // namespace
