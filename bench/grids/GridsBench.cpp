// Loading the detail grids of a record against the reference server on loopback, with the raw
// fetch of the same record document measured in the same run; prints the ratios.
//   fetch: one GET of the record document through the client's transport, at the address the
//          window asks it at (with its customer id);
//   costs: the same document fetched into its response file, read back, and the costs grid
//          filled with its 99 rows (of 120 stored);
//   actions: likewise for a customer's 99 actions (of 150 stored).

#include "support/BenchWindow.h"

#include "gateway/HttpRequests.h"
#include "ui/widgets/DataGrid.h"

#include <QLabel>
#include <QTabWidget>

#include <sqlite3.h>

namespace {

using namespace dravik::seed;

DemoServer *g_server = nullptr;
QTemporaryDir *g_folder = nullptr;

// The demo vehicle and customer get more costs and actions than their grids show.
bool seedMany()
{
    static const bool done = [] {
        sqlite3 *db = nullptr;
        if (sqlite3_open(g_server->databasePath().toUtf8().constData(), &db) != SQLITE_OK)
            return false;
        sqlite3_busy_timeout(db, 5000);
        std::string sql = "BEGIN;";
        for (int i = 0; i < 120; ++i)
            sql += "INSERT INTO \"tVO - Frevo\" (idVO, DateFrevo, LibelleFrevo, NomFournisseur, "
                   "TypeFrevo, MontantHT) VALUES ("
                    + std::to_string(kDemoVO) + ", '2026-01-" + std::to_string(1 + i % 28)
                    + "', 'Vidange " + std::to_string(i) + "', 'Garage', 'interne', "
                    + std::to_string(10 + i) + ".5);";
        for (int i = 0; i < 150; ++i)
            sql += "INSERT INTO tActions (idClient, DateAction, TypeAction, SujetAction, "
                   "CommentaireAction, DateRelance, SujetRelance, PrioriteRelance) VALUES ("
                    + std::to_string(kDemoCustomer) + ", '2026-01-10', 1, 2, 'Appel "
                    + std::to_string(i) + "', '2026-02-10', 1, 1);";
        sql += "COMMIT;";
        const bool ok = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
        sqlite3_close(db);
        return ok;
    }();
    return done;
}

std::unique_ptr<TAxDravik> makeWindow(bool customer)
{
    static const QString key = g_server->sessionKey(kUserAdmin);
    if (!seedMany())
        std::fprintf(stderr, "the costs and actions could not be added\n");
    auto w = makeBenchWindow(g_server->baseHRef(), *g_folder, key);
    w->Set_idTVO(customer ? QString() : QString::number(kDemoVO));
    w->Set_idClient(customer ? QString::number(kDemoCustomer) : QString());
    w->UpdateView(1);
    w->Tabs->setCurrentIndex(customer ? 6 : 4);
    return w;
}

// The record document as the window's own fetch asks for it.
void fetchRecord(benchmark::State &state, bool customer)
{
    auto w = makeWindow(customer);
    const QByteArray url = EncodeAddress((customer ? w->UrlInfoCL : w->UrlInfoVO)
                                         + QStringLiteral("&idClient=") + w->LbIDCustomer->text());
    qsizetype bytes = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(bytes = w->IdHTTP1->get(url).body.size());
    state.counters["bytes"] = double(bytes);
}

void BM_FetchVehicle(benchmark::State &state)
{
    fetchRecord(state, false);
}

void BM_CostsGrid(benchmark::State &state)
{
    auto w = makeWindow(false);
    const QString file = w->ResponseFile(QStringLiteral("XmlVO.xml"));
    const auto *grid = w->Control<DataGrid>(QStringLiteral("ngFrevo"));
    for (auto _ : state) {
        w->HttpExecute(w->UrlInfoVO, file);
        w->RecordDoc.setDoc(w->ResponseText(file));
        w->LoadInfoFrevo();
    }
    if (grid->rowCount() != 100)
        state.SkipWithError("the costs grid does not show 99 costs and its add row");
}

void BM_FetchCustomer(benchmark::State &state)
{
    fetchRecord(state, true);
}

void BM_ActionsGrid(benchmark::State &state)
{
    auto w = makeWindow(true);
    const QString file = w->ResponseFile(QStringLiteral("XmlCL.xml"));
    const auto *grid = w->Control<DataGrid>(QStringLiteral("ngAction"));
    for (auto _ : state) {
        w->HttpExecute(w->UrlInfoCL, file);
        w->CustomerDoc.setDoc(w->ResponseText(file));
        w->LoadInfoAction();
    }
    if (grid->rowCount() != 99)
        state.SkipWithError("the actions grid does not show 99 actions");
}

BENCHMARK(BM_FetchVehicle)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CostsGrid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FetchCustomer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ActionsGrid)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenchWindows(argc, argv, g_server, g_folder, [](RatioReporter &reporter) {
        if (reporter.perIteration["BM_FetchVehicle"] <= 0
            || reporter.perIteration["BM_CostsGrid"] <= 0
            || reporter.perIteration["BM_ActionsGrid"] <= 0)
            return false;
        printRatio("grids: 99 costs fetched and filled into their grid / raw fetch",
                   reporter.ratio("BM_CostsGrid", "BM_FetchVehicle"), "<= 2");
        printRatio("grids: 99 actions fetched and filled into their grid / raw fetch",
                   reporter.ratio("BM_ActionsGrid", "BM_FetchCustomer"), "<= 2");
        return true;
    });
}
