// Saving one changed field of a used vehicle against the reference server on loopback, with
// the same two requests sent directly in the same run; prints the ratio.
//   requests: an update statement as the window sends it (a real change, with its request key)
//             and the fetch of the record document, as two GETs through the client's transport;
//   save: from the click on the save button to the end of the reload of the record, the field
//         changed beforehand (not timed).

#include "gateway/HttpRequests.h"
#include "gateway/RequestKeys.h"
#include "seed/Seed.h"
#include "ui/TAxDravik.h"
#include "ui/widgets/PictureButton.h"
#include "ui/widgets/TextControl.h"

#include "support/BenchWindow.h"

#include <benchmark/benchmark.h>

#include <QLabel>

namespace {

using namespace dravik::seed;

DemoServer *g_server = nullptr;
QTemporaryDir *g_folder = nullptr;

// The administrator's key, issued once for the server of the run.
const QString &sessionKey()
{
    static const QString key = g_server->sessionKey(dravik::seed::kUserAdmin);
    return key;
}

std::unique_ptr<TAxDravik> makeWindow()
{
    auto w = makeBenchWindow(g_server->baseHRef(), *g_folder, sessionKey());
    w->Set_idTVO(QString::number(kDemoVO));
    w->Set_idClient(QString());
    w->UpdateView(1);
    return w;
}

// A price that differs from the one shown, so that every save has something to send, whatever
// an earlier run of a benchmark left on the server.
void changePrice(TAxDravik &w)
{
    QWidget *price = w.Control(QStringLiteral("cPrixVente"));
    const bool low = controlText(price) == QLatin1String("10000.00");
    setControlText(price, low ? QStringLiteral("10001.00") : QStringLiteral("10000.00"));
}

QByteArray address(const TAxDravik &w, const QString &url)
{
    return EncodeAddress(
            SpaceAndHashEscaped(url + QStringLiteral("&idClient=") + w.LbIDCustomer->text()));
}

void BM_Requests(benchmark::State &state)
{
    auto w = makeWindow();
    // Two prices taken in turn, each a real change of the stored row: an update that rewrites
    // the value already stored costs the server no disk sync, the save's always does.
    QList<QString> statements;
    for (int i = 0; i < 2; ++i) {
        changePrice(*w);
        statements.append(w->TabDesc[1].PendingSql);
    }
    if (statements[0].isEmpty() || statements[0] == statements[1])
        state.SkipWithError("no pending statement");
    const QByteArray fetch = address(*w, w->UrlInfoVO);
    int turn = 0;
    for (auto _ : state) {
        // A new key per write, as the window sends it.
        const QByteArray update
                = address(*w,
                          w->BaseHRef + QStringLiteral("AxUpdate?XMLC_OutputFormat=XML&SQLExecute=")
                                  + statements[turn++ % 2] + QStringLiteral("&RequestKey=")
                                  + RequestKeys::randomKey());
        benchmark::DoNotOptimize(w->IdHTTP1->get(update).body.size());
        benchmark::DoNotOptimize(w->IdHTTP1->get(fetch).body.size());
    }
}

void BM_SaveAndReload(benchmark::State &state)
{
    auto w = makeWindow();
    for (auto _ : state) {
        state.PauseTiming();
        changePrice(*w);
        state.ResumeTiming();
        w->JvXPBtnSave->click();
        w->JvXPBtnActualize->click();
    }
    if (!w->LbDebugInfo0->text().isEmpty() || !w->TabDesc[1].PendingSql.isEmpty())
        state.SkipWithError("the save did not go through");
}

BENCHMARK(BM_Requests)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveAndReload)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenchWindows(argc, argv, g_server, g_folder, [](RatioReporter &reporter) {
        const double ratio = reporter.ratio("BM_SaveAndReload", "BM_Requests");
        if (ratio <= 0)
            return false;
        printRatio("saving: save of one field and reload / update and fetch sent directly", ratio,
                   "<= 3");
        return true;
    });
}
