// One poll of the application (receive, file, age, list, sort) against the simulator with
// many connections, and the sort of the shown list alone. Needs a display (DISPLAY).
// bench-libs: vantor_app vantor_testsupport
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <memory>
#include <string>

#include <Xm/Xm.h>

#include "tests/support/MonsimProcess.h"
#include "app/FallbackResources.h"
#include "app/MonSOCKS5.h"
#include "app/MonitorApp.h"

namespace {

MonitorApp* App()
{
    static MonitorApp* app = nullptr;
    if (!app) {
        static char home[] = "/tmp/vantor-bench-home-XXXXXX";
        setenv("HOME", mkdtemp(home), 1);
        static String fallback[FALLBACK_RESOURCE_COUNT + 1];
        for (int i = 0; i < FALLBACK_RESOURCE_COUNT; i++) fallback[i] = (String)FALLBACK_RESOURCES[i];
        static char name[] = "vantor";
        static char* argv[] = {name, nullptr};
        int argc = 1;
        Widget top = XtVaAppInitialize(&monitor_app, "Vantor", NULL, 0, &argc, argv, fallback, NULL);
        app = new MonitorApp(top, name);
    }
    return app;
}

// Monitors a simulator with the given number of connections; the server is left current.
std::unique_ptr<MonsimProcess> Monitor(MonitorApp* app, int connections)
{
    while (app->serverCount > 0) app->RemoveSOCKS5(0);
    std::unique_ptr<MonsimProcess> sim(new MonsimProcess({"--connections", std::to_string(connections), "--seed", "7"}));
    app->AddSOCKS5(sim->address().c_str());
    app->StartMonitoring();
    return sim;
}

void BM_Poll(benchmark::State& state)
{
    MonitorApp* app = App();
    std::unique_ptr<MonsimProcess> sim = Monitor(app, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        app->RunMonitoring();
    }
    state.counters["rows"] = app->current->rowCount;
    app->StopMonitoring();
}
BENCHMARK(BM_Poll)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);
// A large proxy: a few polls only, each files 100,000 records.
BENCHMARK(BM_Poll)->Arg(100000)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_SortByUser(benchmark::State& state)
{
    MonitorApp* app = App();
    std::unique_ptr<MonsimProcess> sim = Monitor(app, static_cast<int>(state.range(0)));
    app->current->setting.sortType = 5;
    for (auto _ : state) {
        app->SortConnectionList(5);
    }
    state.counters["rows"] = app->current->activeCount;
    app->StopMonitoring();
}
BENCHMARK(BM_SortByUser)->Arg(1000)->Arg(5000)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
