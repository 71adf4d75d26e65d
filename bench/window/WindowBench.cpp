// A record load of the window against the reference server on loopback, with the raw fetch
// of the same record document measured in the same run; prints the ratios.
//   fetch: one GET of the used vehicle's record document through the client's transport;
//   view: UpdateView of that record in a window whose tabs are built (a warm reload: fetch,
//         layout and filling, toolbar), and its part after the fetch (the client's own work);
//   first build: a new window laying out one record of each kind, which builds every tab.

#include "gateway/CurlTransport.h"
#include "platform/Clock.h"
#include "platform/Environment.h"
#include "platform/Keyboard.h"
#include "platform/MessageBoxes.h"
#include "platform/Shell.h"
#include "seed/Seed.h"
#include "ui/TAxDravik.h"

#include "support/BenchWindow.h"

#include <benchmark/benchmark.h>

#include <QLabel>
#include <QTabWidget>
#include <QTemporaryDir>

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

// A window on the real services but its own folders, started on the demo used vehicle.
std::unique_ptr<TAxDravik> makeWindow()
{
    return makeBenchWindow(g_server->baseHRef(), *g_folder, sessionKey());
}

void show(TAxDravik &w, const QString &vehicle, const QString &customer, int typeVO, int reload)
{
    w.Set_idTVO(vehicle);
    w.Set_idClient(customer);
    w.idTypeVO = typeVO;
    w.UpdateView(reload);
}

void BM_Fetch(benchmark::State &state)
{
    auto w = makeWindow();
    show(*w, QString::number(kDemoVO), QString(), 1, 1);
    const QByteArray url = (w->UrlInfoVO + QStringLiteral("&idClient=")).toLatin1();
    for (auto _ : state)
        benchmark::DoNotOptimize(w->IdHTTP1->get(url).body.size());
}

// The same fetch as the client makes it: into its response file, with the warning checks.
void BM_FetchIntoFile(benchmark::State &state)
{
    auto w = makeWindow();
    show(*w, QString::number(kDemoVO), QString(), 1, 1);
    const QString file = w->ResponseFile(QStringLiteral("XmlVO.xml"));
    for (auto _ : state)
        w->HttpExecute(w->UrlInfoVO, file);
}

// What UpdateView does after its fetch: the layout and filling of the record from the response
// file, the detail of the page shown and the reservation.
void BM_WarmLayout(benchmark::State &state)
{
    auto w = makeWindow();
    show(*w, QString::number(kDemoVO), QString(), 1, 1);
    for (auto _ : state) {
        w->UpdateHints(false);
        w->UpdateTabDesc(0, 1);
        w->GetDataImages();
        w->GetInfoReservation();
        w->TabsChange(w->Tabs);
    }
}

void BM_WarmView(benchmark::State &state)
{
    auto w = makeWindow();
    show(*w, QString::number(kDemoVO), QString(), 1, 1);
    if (!w->LbDebugInfo0->text().isEmpty())
        state.SkipWithError(w->LbDebugInfo0->text().toStdString().c_str());
    for (auto _ : state)
        show(*w, QString::number(kDemoVO), QString(), 1, 0);
}

void BM_FirstBuild(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto w = makeWindow();
        state.ResumeTiming();
        show(*w, QString::number(kDemoVO), QString(), 1, 1);
        show(*w, QString::number(kDemoVD), QString(), 3, 1);
        show(*w, QString::number(kDemoVN), QString(), 1, 1);
        show(*w, QString(), QString::number(kDemoCustomer), 1, 1);
        state.PauseTiming();
        w.reset();
        state.ResumeTiming();
    }
}

BENCHMARK(BM_Fetch)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FetchIntoFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WarmView)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WarmLayout)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstBuild)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenchWindows(argc, argv, g_server, g_folder, [](RatioReporter &reporter) {
        if (reporter.perIteration["BM_Fetch"] <= 0)
            return false;
        printRatio("window: warm reload of a used vehicle, own work after the fetch / raw fetch",
                   reporter.ratio("BM_WarmLayout", "BM_Fetch"), "<= 3");
        printRatio("window: whole warm UpdateView / raw fetch",
                   reporter.ratio("BM_WarmView", "BM_Fetch"));
        printRatio("window: fetch into the response file / raw fetch",
                   reporter.ratio("BM_FetchIntoFile", "BM_Fetch"));
        printRatio("window: first build of every tab of four records / raw fetch",
                   reporter.ratio("BM_FirstBuild", "BM_Fetch"));
        return true;
    });
}
