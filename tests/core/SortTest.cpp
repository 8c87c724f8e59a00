// Sorting the list on show by each key, through the real application and a simulator.
#include <gtest/gtest.h>

#include "AppFixture.h"

#include <pthread.h>
#include <string.h>

#include "MonsimProcess.h"
#include "app/Connection.h"

namespace {

const long T = 1700000000;

class SortTest : public AppTest {
protected:
    SOCKS5* Monitor(const std::string& rows)
    {
        sim.reset(new MonsimProcess({"--script", MonsimProcess::writeTempFile("sort.txt", "pass\n" + rows)}));
        app->AddSOCKS5(sim->address().c_str());
        app->StartMonitoring();
        return app->current;
    }

    // The keys of the list on show, in display order.
    std::vector<int> Shown()
    {
        SOCKS5* s = app->current;
        Connection** list = s->setting.showFailed ? s->failedRows : s->activeRows;
        int count = s->setting.showFailed ? s->failedCount : s->activeCount;
        std::vector<int> keys;
        for (int i = 0; i < count; i++) {
            uint16_t low;
            memcpy(&low, list[i]->data.key.key + 8, 2);
            keys.push_back(low);
        }
        return keys;
    }

    void Reverse()
    {
        SOCKS5* s = app->current;
        for (int i = 0, j = s->activeCount - 1; i < j; i++, j--) app->Swap(s->activeRows, i, j);
    }

    std::unique_ptr<MonsimProcess> sim;
};

std::string Row(int key, const std::string& fields)
{
    return Conn(key, "start=" + std::to_string(T) + " " + fields);
}

} // namespace

TEST_F(SortTest, UserIsCaseSensitiveAndServiceIsNot)
{
    Monitor(Row(1, "user=bob app=WEB") + Row(2, "user=Ann app=ftp") + Row(3, "user=carl app=Telnet") + Row(4, "user=ann app=gopher"));
    app->setSortType(5);
    EXPECT_EQ(Shown(), (std::vector<int>{2, 4, 1, 3}));
    app->setSortType(6);
    EXPECT_EQ(Shown(), (std::vector<int>{2, 4, 3, 1}));
}

TEST_F(SortTest, SourceAndDestinationByNameIgnoreCaseOrByAddressLastOctetFirst)
{
    Monitor(Row(1, "src=10.0.0.2:1 srchost=Beta dst=9.0.0.3:80 dsthost=c")
          + Row(2, "src=9.0.0.3:1 srchost=alpha dst=10.0.0.1:80 dsthost=A")
          + Row(3, "src=10.0.0.1:1 srchost=Gamma dst=10.0.0.2:80 dsthost=b"));
    // The default key is Source with host names.
    EXPECT_EQ(Shown(), (std::vector<int>{2, 1, 3}));
    app->setNodeType(13);
    EXPECT_EQ(Shown(), (std::vector<int>{3, 1, 2}));
    app->setSortType(4);
    EXPECT_EQ(Shown(), (std::vector<int>{2, 3, 1}));
    app->setNodeType(12);
    EXPECT_EQ(Shown(), (std::vector<int>{2, 3, 1}));
}

TEST_F(SortTest, StartingTimeAndTotalTraffic)
{
    Monitor(Conn(1, "start=" + std::to_string(T + 30) + " in=5 out=5")
          + Conn(2, "start=" + std::to_string(T - 30) + " in=300 out=0")
          + Conn(3, "start=" + std::to_string(T) + " in=1 out=0"));
    app->setSortType(7);
    EXPECT_EQ(Shown(), (std::vector<int>{2, 3, 1}));
    app->setSortType(8);
    EXPECT_EQ(Shown(), (std::vector<int>{3, 1, 2}));
}

TEST_F(SortTest, HostNamingReSortsOnlyForSourceAndDestination)
{
    Monitor(Row(1, "user=a srchost=z") + Row(2, "user=b srchost=y") + Row(3, "user=c srchost=x"));
    app->setSortType(5);
    EXPECT_EQ(Shown(), (std::vector<int>{1, 2, 3}));
    Reverse();
    app->setNodeType(13);
    EXPECT_EQ(Shown(), (std::vector<int>{3, 2, 1})) << "sorted by User: left alone";

    app->setSortType(3);
    Reverse();
    app->setNodeType(12);
    EXPECT_EQ(Shown(), (std::vector<int>{3, 2, 1}));
    Reverse();
    app->SortConnectionList(3);
    EXPECT_EQ(Shown(), (std::vector<int>{3, 2, 1}));
    Reverse();
    app->SortConnectionList(4);  // no such reason: nothing
    EXPECT_EQ(Shown(), (std::vector<int>{1, 2, 3}));
}

TEST_F(SortTest, AnUnchangedListKeepsItsOrderAcrossPolls)
{
    std::string rows;
    for (int k = 1; k <= 12; k++) rows += Row(k, "user=same app=s" + std::to_string(k % 3));
    Monitor(rows);
    app->setSortType(5);  // all equal
    app->RunMonitoring();
    std::vector<int> first = Shown();
    ASSERT_EQ(first.size(), 12u);
    for (int poll = 0; poll < 3; poll++) {
        app->RunMonitoring();
        EXPECT_EQ(Shown(), first);
    }
    app->setSortType(6);
    app->RunMonitoring();
    std::vector<int> byService = Shown();
    app->RunMonitoring();
    EXPECT_EQ(Shown(), byService);
}

TEST_F(SortTest, TheFailedListIsSortedWhenShown)
{
    Monitor(Row(1, "user=c state=12") + Row(2, "user=a state=12") + Row(3, "user=b state=12") + Row(4, "user=d"));
    app->current->setting.showFailed = 1;
    app->setSortType(5);
    EXPECT_EQ(Shown(), (std::vector<int>{2, 3, 1}));
    EXPECT_EQ(app->current->activeCount, 1);
}

TEST_F(SortTest, OneRowOrNoneIsLeftAlone)
{
    Monitor(Row(1, "user=x"));
    app->setSortType(5);
    EXPECT_EQ(Shown(), (std::vector<int>{1}));
    app->current->activeCount = 0;
    app->SortConnectionList(5);
    EXPECT_EQ(app->current->activeRows[0]->data.userName, std::string("x"));
}

// Sorts on a thread with a small stack, where a recursion as deep as the list would fail.
struct SortJob {
    MonitorApp* app;
    std::vector<Connection*>* list;
};

void* RunSort(void* argument)
{
    SortJob* job = static_cast<SortJob*>(argument);
    job->app->Sort(job->list->data(), 0, static_cast<int>(job->list->size()) - 1, 2);
    return nullptr;
}

TEST_F(SortTest, ManyEqualRowsSortWithoutExhaustingTheStack)
{
    Monitor(Row(1, "user=same"));
    std::vector<Connection*> list(20000, app->current->activeRows[0]);
    SortJob job = {app, &list};
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, 256 * 1024);
    pthread_t thread;
    ASSERT_EQ(pthread_create(&thread, &attributes, RunSort, &job), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
    EXPECT_EQ(list.front(), list.back());
}
