// The search of the window on the large data set, against the same AxQuery request sent
// directly through the client's transport in the same run; prints the ratios.
//   plate: the timer tick that fires a plate search (50 rows) up to the filled grid;
//   name: a customer-name search of 150 rows, from the request to the filled grid.

#include "gateway/HttpRequests.h"
#include "search/SearchSql.h"
#include "ui/TAxDravik.h"
#include "ui/widgets/DataGrid.h"

#include "support/BenchWindow.h"

#include <benchmark/benchmark.h>

#include <QLabel>
#include <QLineEdit>
#include <QTimer>

namespace {

using namespace dravik::seed;

DemoServer *g_server = nullptr;
QTemporaryDir *g_folder = nullptr;

const QString &sessionKey()
{
    static const QString key = g_server->sessionKey(kUserAdmin);
    return key;
}

const QString kPlateText = QStringLiteral("AB");
const QString kNameText = QStringLiteral("A");

// A window showing a record of that kind, its search panel prepared on the plate (vehicles)
// or the name (customers).
std::unique_ptr<TAxDravik> searchWindow(bool customer)
{
    auto w = makeBenchWindow(g_server->baseHRef(), *g_folder, sessionKey());
    w->Timer1->stop();
    // Started already: the ticks measured run the search, not the window's first start.
    w->StartCount = 1;
    w->Set_idTVO(customer ? QString() : QString::number(kDemoVO));
    w->Set_idClient(customer ? QString::number(kDemoCustomer) : QString());
    w->UpdateView(1);
    w->JvXPBtnSearchClick(nullptr);
    if (customer)
        w->TSLbClientClick(nullptr);
    else
        w->TSLbImmatClick(nullptr);
    w->SetSearchText(customer ? kNameText : kPlateText);
    w->SearchCountdown = 0;
    return w;
}

// The request the window sends for that search, as its transport sends it.
QByteArray directUrl(const TAxDravik &w, int mode, const QString &text, int rows)
{
    SearchRequest r;
    r.mode = mode;
    r.text = text;
    r.concession = w.UserConcession;
    return EncodeAddress(w.BaseHRef + QStringLiteral("AxQuery?XMLC_OutputFormat=XML&SQL=")
                         + statementForAddress(BuildSearchSql(r).statement)
                         + QStringLiteral("&MaxRows=") + QString::number(rows)
                         + QStringLiteral("&idClient=") + w.LbIDCustomer->text());
}

int gridRows(const TAxDravik &w)
{
    return w.Control<DataGrid>(QStringLiteral("ngSearch"))->rowCount();
}

void BM_PlateDirect(benchmark::State &state)
{
    auto w = searchWindow(false);
    const QByteArray url = directUrl(*w, SearchModes::VehiclePlate, kPlateText, 50);
    for (auto _ : state)
        benchmark::DoNotOptimize(w->IdHTTP1->get(url).body.size());
}

void BM_PlateFromTick(benchmark::State &state)
{
    auto w = searchWindow(false);
    for (auto _ : state) {
        w->SearchCountdown = 1;
        w->Timer1Timer();
    }
    if (gridRows(*w) != 50 || !w->LbDebugInfo0->text().isEmpty())
        state.SkipWithError("the plate search did not fill 50 rows");
}

void BM_NameDirect(benchmark::State &state)
{
    auto w = searchWindow(true);
    const QByteArray url = directUrl(*w, SearchModes::CustomerName, kNameText, 150);
    for (auto _ : state)
        benchmark::DoNotOptimize(w->IdHTTP1->get(url).body.size());
}

void BM_NameSearch(benchmark::State &state)
{
    auto w = searchWindow(true);
    for (auto _ : state) {
        w->SearchMaxRows = 50;
        w->HttpGetSearchInfo(100);
    }
    if (gridRows(*w) != 150 || !w->LbDebugInfo0->text().isEmpty())
        state.SkipWithError("the name search did not fill 150 rows");
}

BENCHMARK(BM_PlateDirect)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlateFromTick)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NameDirect)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NameSearch)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenchWindows(
            argc, argv, g_server, g_folder,
            [](RatioReporter &reporter) {
                if (reporter.perIteration["BM_PlateDirect"] <= 0
                    || reporter.perIteration["BM_NameDirect"] <= 0)
                    return false;
                printRatio("search: plate search from its tick to the filled grid / AxQuery sent "
                           "directly",
                           reporter.ratio("BM_PlateFromTick", "BM_PlateDirect"), "<= 1.5");
                printRatio("search: 150-row customer-name search to the filled grid / AxQuery sent "
                           "directly",
                           reporter.ratio("BM_NameSearch", "BM_NameDirect"), "<= 1.5");
                return true;
            },
            QStringLiteral("large"));
}
