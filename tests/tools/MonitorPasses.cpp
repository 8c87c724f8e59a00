#include "tests/tools/MonitorPasses.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

Records listPass(const std::string& server)
{
    Records out;
    S5MonHandle h = nullptr;
    EXPECT_EQ(S5MonNetOpen(server.c_str(), MON_CLIENT_NETWORK, &h), 0);
    if (!h)
        return out;
    S5MonData d;
    int r;
    while ((r = S5MonRecvNextData(h, 0, &d)) == 1)
        out.push_back(d);
    EXPECT_EQ(r, 0);
    S5MonClose(h);
    return out;
}

Records passUntil(const std::string& server, const std::function<bool(const Records&)>& done)
{
    Records records;
    for (int i = 0; i < 100; ++i) {
        records = listPass(server);
        if (done(records))
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return records;
}

Records waitForEnded(const std::string& server, size_t count)
{
    return passUntil(server, [count](const Records& records) {
        size_t ended = 0;
        for (const S5MonData& d : records)
            ended += (d.state & 8) ? 1 : 0;
        return ended >= count;
    });
}
