// One poll of the application (receive, file, age, list, sort, fill and redraw the table)
// against the simulator and against a replay of one captured pass (the application alone);
// the table's part and the sort of the shown list alone. Needs a display (DISPLAY).
// bench-libs: vantor_app vantor_testsupport
#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <stdio.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <Xm/Xm.h>

#include "bench/ReplayServer.h"
#include "tests/support/MonsimProcess.h"
#include "app/FallbackResources.h"
#include "app/MonSOCKS5.h"
#include "app/MonTable.h"
#include "app/MonitorApp.h"

namespace {

// Handles the events that are waiting, so that the window is drawn and idle.
void Settle(Widget top)
{
    XSync(XtDisplay(top), False);
    while (XtAppPending(monitor_app))
        XtAppProcessEvent(monitor_app, XtIMAll);
}

MonitorApp* App()
{
    static MonitorApp* app = nullptr;
    if (!app) {
        static char home[] = "/tmp/vantor-bench-home-XXXXXX";
        setenv("HOME", mkdtemp(home), 1);
        static String fallback[FALLBACK_RESOURCE_COUNT + 1];
        for (int i = 0; i < FALLBACK_RESOURCE_COUNT; i++)
            fallback[i] = (String)FALLBACK_RESOURCES[i];
        static char name[] = "vantor";
        static char* argv[] = {name, nullptr};
        int argc = 1;
        Widget top =
            XtVaAppInitialize(&monitor_app, "Vantor", NULL, 0, &argc, argv, fallback, NULL);
        app = new MonitorApp(top, name);
        // Shown, as users run it: every poll then redraws the visible part of the table.
        XtRealizeWidget(top);
        Settle(top);
    }
    return app;
}

std::unique_ptr<MonsimProcess> Simulator(int connections)
{
    return std::unique_ptr<MonsimProcess>(
        new MonsimProcess({"--connections", std::to_string(connections), "--seed", "7"}));
}

// Runs the event loop until the poll under way has ended.
void FinishPass(MonitorApp* app)
{
    while (app->PassInProgress())
        XtAppProcessEvent(monitor_app, XtIMAll);
}

// The resident memory of this process in bytes.
double ResidentBytes()
{
    FILE* status = fopen("/proc/self/status", "r");
    long kib = 0;
    char line[256];
    while (status && fgets(line, sizeof line, status))
        if (sscanf(line, "VmRSS: %ld", &kib) == 1)
            break;
    if (status)
        fclose(status);
    return kib * 1024.0;
}

// Resident memory when the last monitoring began, before its rows.
double residentBeforeRows = 0;

// Monitors the server at address; the server is left current.
void Monitor(MonitorApp* app, const std::string& address)
{
    while (app->serverCount > 0)
        app->RemoveSOCKS5(0);
    residentBeforeRows = ResidentBytes();
    app->AddSOCKS5(address.c_str());
    app->StartMonitoring();
    FinishPass(app);
}

void Polls(benchmark::State& state, MonitorApp* app)
{
    for (auto _ : state) {
        app->RunMonitoring();
        FinishPass(app);
        XSync(XtDisplay(app->shell), False); // the redraw is done when the server has it
    }
    state.counters["rows"] = app->current->rowCount;
    // What a row costs resident: its slot, its place in the lists, the index and the table.
    if (app->current->rowCount > 0)
        state.counters["bytes_per_row"] =
            (ResidentBytes() - residentBeforeRows) / app->current->rowCount;
    app->StopMonitoring();
}

void BM_PollSimulator(benchmark::State& state)
{
    MonitorApp* app = App();
    std::unique_ptr<MonsimProcess> sim = Simulator(static_cast<int>(state.range(0)));
    Monitor(app, sim->address());
    Polls(state, app);
}
BENCHMARK(BM_PollSimulator)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
// A large proxy: a few polls only, each files 100,000 records.
BENCHMARK(BM_PollSimulator)->Arg(100000)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PollSimulator)->Arg(500000)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_PollReplay(benchmark::State& state)
{
    MonitorApp* app = App();
    std::unique_ptr<MonsimProcess> sim = Simulator(static_cast<int>(state.range(0)));
    ReplayServer replay(sim->address());
    Monitor(app, replay.address());
    Polls(state, app);
}
BENCHMARK(BM_PollReplay)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PollReplay)->Arg(100000)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PollReplay)->Arg(500000)->Iterations(3)->Unit(benchmark::kMillisecond);

// The table's part of a poll: its cells filled from the sorted list of rows and the visible
// part redrawn; with the second argument 1, under a filter that every row is tried against.
void BM_RasterTable(benchmark::State& state)
{
    MonitorApp* app = App();
    std::unique_ptr<MonsimProcess> sim = Simulator(static_cast<int>(state.range(0)));
    ReplayServer replay(sim->address());
    Monitor(app, replay.address());
    if (state.range(1))
        app->SetFilter("alice");
    for (auto _ : state) {
        app->tableView->RasterTable();
        XSync(XtDisplay(app->shell), False);
    }
    state.counters["rows"] = app->current->activeCount;
    state.counters["shown"] = app->tableView->ShownCount();
    app->SetFilter("");
    app->StopMonitoring();
}
BENCHMARK(BM_RasterTable)
    ->ArgsProduct({{10000, 100000, 500000}, {0, 1}})
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

// 100,000 rows from 40 client hosts sorted by source host name: long runs of equal keys.
void BM_SortFewHosts(benchmark::State& state)
{
    MonitorApp* app = App();
    std::unique_ptr<MonsimProcess> sim = Simulator(1);
    Monitor(app, sim->address());
    app->current->setting.nodeType = NODE_HOST_NAMES;
    Connection model = *app->current->activeRows[0];
    std::vector<Connection> rows(static_cast<size_t>(state.range(0)), model);
    unsigned seed = 7;
    for (size_t i = 0; i < rows.size(); i++) {
        seed = seed * 1103515245u + 12345u;
        snprintf(rows[i].data.srcHostName, sizeof rows[i].data.srcHostName, "ws%u.lan",
                 (seed >> 16) % 40);
        memcpy(rows[i].data.key.key, &i,
               sizeof i < sizeof rows[i].data.key.key ? sizeof i : sizeof rows[i].data.key.key);
    }
    std::vector<Connection*> list;
    for (Connection& row : rows)
        list.push_back(&row);
    const std::vector<Connection*> unsorted = list;
    for (auto _ : state) {
        state.PauseTiming();
        list = unsorted;
        state.ResumeTiming();
        app->Sort(list.data(), 0, static_cast<int>(list.size()) - 1, 0);
    }
    app->StopMonitoring();
}
BENCHMARK(BM_SortFewHosts)->Arg(10000)->Arg(100000)->Arg(500000)->Unit(benchmark::kMillisecond);

// Keeps the time of each poll benchmark (the median when repeated) to print how the poll
// grows from 10,000 to 100,000 connections.
class GrowthReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> ms; // "BM_PollSimulator/10000" and so on

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            std::string name = run.run_name.function_name + "/" + run.run_name.args;
            if (median || (run.run_type == Run::RT_Iteration && !medians.count(name)))
                ms[name] = run.GetAdjustedRealTime();
            if (median)
                medians.insert(name);
        }
        ConsoleReporter::ReportRuns(runs);
    }

private:
    std::set<std::string> medians;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    GrowthReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const char* source : {"BM_PollSimulator", "BM_PollReplay"}) {
        double small = reporter.ms[std::string(source) + "/10000"];
        double large = reporter.ms[std::string(source) + "/100000"];
        if (small > 0 && large > 0)
            printf("%s: 100,000 connections take %.1f times as long as 10,000\n", source,
                   large / small);
    }
    return 0;
}
