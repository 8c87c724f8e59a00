// bench-libs: s5mon
// Encoding and decoding connection messages: a poll of 100,000 connections decodes each once.
#include "lib/monMsg.h"

#include <benchmark/benchmark.h>

#include <string.h>

namespace {

S5MonData TypicalRecord()
{
    S5MonData d;
    memset(&d, 0, sizeof d);
    d.srcSockAddr.sin.sin_family = AF_INET;
    d.dstSockAddr.sin.sin_family = AF_INET;
    strcpy(d.srcHostName, "workstation-17.example.lan");
    strcpy(d.dstHostName, "www.example.org");
    strcpy(d.proxyHostName, "proxy.example.lan");
    strcpy(d.userName, "alice");
    strcpy(d.appName, "http");
    return d;
}

void EncodeConnection(benchmark::State& state)
{
    S5MonData d = TypicalRecord();
    char msg[MON_CONN_MAX_LEN];
    for (auto _ : state)
        benchmark::DoNotOptimize(Mon_MsgFromConn(&d, msg));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(EncodeConnection);

void DecodeConnection(benchmark::State& state)
{
    S5MonData d = TypicalRecord();
    char msg[MON_CONN_MAX_LEN];
    uint16_t len = static_cast<uint16_t>(Mon_MsgFromConn(&d, msg));
    S5MonData out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Mon_MsgToConnLen(&out, msg, len));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(DecodeConnection);

} // namespace

BENCHMARK_MAIN();
