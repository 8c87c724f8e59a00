// Receiving a 100,000-record pass through a monitor handle (receive and decode) against raw
// reads of the same bytes from the same kind of socket.
// bench-libs: s5mon vantor_testsupport
#include <benchmark/benchmark.h>

#include <memory>

#include "bench/ReplayServer.h"
#include "tests/support/MonsimProcess.h"
#include "lib/monAPI.h"

namespace {

ReplayServer& Replay()
{
    static MonsimProcess sim({"--connections", "100000", "--seed", "7"});
    static ReplayServer replay(sim.address());
    return replay;
}

void BM_ReceiveAndDecode(benchmark::State& state)
{
    S5MonHandle h = nullptr;
    S5MonNetOpen(Replay().address().c_str(), MON_CLIENT_NETWORK, &h);
    S5MonData record;
    int records = 0;
    for (auto _ : state) {
        records = 0;
        while (S5MonRecvNextData(h, 0, &record) == 1)
            records++;
    }
    state.counters["records"] = records;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Replay().bytes()));
    S5MonClose(h);
}
BENCHMARK(BM_ReceiveAndDecode)->Unit(benchmark::kMillisecond);

// The floor: read() of the same bytes into a 128 KiB buffer, nothing decoded.
void BM_RawRead(benchmark::State& state)
{
    int fd = Mon_TcpConnect(Replay().address().c_str(), MON_DEFAULT_PORT);
    std::unique_ptr<char[]> buffer(new char[128 * 1024]);
    char request[2] = {MON_MSG_GET_NEXT_CONN, 0};
    for (auto _ : state) {
        Mon_TcpSend(fd, sizeof request, request);
        size_t left = Replay().bytes();
        while (left > 0) {
            ssize_t n = read(fd, buffer.get(), left < 128 * 1024 ? left : 128 * 1024);
            if (n <= 0)
                break;
            left -= static_cast<size_t>(n);
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Replay().bytes()));
    Mon_TcpClose(fd);
}
BENCHMARK(BM_RawRead)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
