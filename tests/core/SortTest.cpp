// Sorting the list on show by each key, through the real application and a simulator.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "tests/support/AppFixture.h"

#include <pthread.h>
#include <string.h>

#include "core/Connection.h"
#include "core/ConnectionRows.h"
#include "core/RowSort.h"

namespace {

class SortTest : public AppTest {
protected:
    SOCKS5* Monitor(const std::string& rows)
    {
        sim.reset(new MonsimProcess(Script({rows})));
        return StartShowing(*sim);
    }

    // The keys of the list on show, in display order.
    std::vector<int> Shown()
    {
        SOCKS5* s = app->current;
        Connection** list = s->setting.showFailed ? s->failedRows : s->activeRows;
        int count = s->setting.showFailed ? s->failedCount : s->activeCount;
        std::vector<int> keys;
        for (int i = 0; i < count; i++)
            keys.push_back(KeyNumber(list[i]));
        return keys;
    }

    void Reverse()
    {
        SOCKS5* s = app->current;
        for (int i = 0, j = s->activeCount - 1; i < j; i++, j--)
            app->Swap(s->activeRows, i, j);
    }

    std::unique_ptr<MonsimProcess> sim;
};

const std::vector<int> k123 = {1, 2, 3}, k321 = {3, 2, 1};

} // namespace

TEST_F(SortTest, UserIsCaseSensitiveServiceIsNotThenStartTimeAndTotalTraffic)
{
    Monitor(Conn(1, "user=bob app=WEB start=" + std::to_string(kStart + 30) + " in=5 out=5")
            + Conn(2, "user=Ann app=ftp start=" + std::to_string(kStart - 30) + " in=300 out=0")
            + Conn(3, "user=carl app=Telnet in=1 out=0")
            + Conn(4, "user=Zed app=gopher start=" + std::to_string(kStart + 60) + " in=50 out=0"));
    const std::pair<SortKey, std::vector<int>> orders[] = {{SORT_BY_USER, {2, 4, 1, 3}},
                                                           {SORT_BY_SERVICE, {2, 4, 3, 1}},
                                                           {SORT_BY_START_TIME, {2, 3, 1, 4}},
                                                           {SORT_BY_TOTAL_TRAFFIC, {3, 1, 4, 2}}};
    for (const auto& order : orders) {
        app->setSortType(order.first);
        EXPECT_EQ(Shown(), order.second) << "sort type " << order.first;
    }
}

// Host names that differ only in case are equal keys, left in connection key order.
TEST_F(SortTest, SourceAndDestinationByNameIgnoreCaseOrByAddressLastOctetFirst)
{
    Monitor(Conn(1, "src=10.0.0.2:1 srchost=Beta dst=9.0.0.3:80 dsthost=c")
            + Conn(2, "src=9.0.0.3:1 srchost=alpha dst=10.0.0.1:80 dsthost=A")
            + Conn(3, "src=10.0.0.1:1 srchost=Gamma dst=10.0.0.2:80 dsthost=b")
            + Conn(4, "src=10.0.0.3:1 srchost=BETA dst=10.0.0.4:80 dsthost=d"));
    // The default key is Source with host names.
    EXPECT_EQ(Shown(), (std::vector<int>{2, 1, 4, 3}));
    app->setNodeType(NODE_IP_ADDRESSES);
    EXPECT_EQ(Shown(), (std::vector<int>{3, 1, 2, 4}));
    app->setSortType(SORT_BY_DESTINATION);
    EXPECT_EQ(Shown(), (std::vector<int>{2, 3, 1, 4}));
    app->setNodeType(NODE_HOST_NAMES);
    EXPECT_EQ(Shown(), (std::vector<int>{2, 3, 1, 4}));
}

TEST_F(SortTest, HostNamingReSortsOnlyForSourceAndDestination)
{
    Monitor(Conn(1, "user=a srchost=z") + Conn(2, "user=b srchost=y")
            + Conn(3, "user=c srchost=x"));
    app->setSortType(SORT_BY_USER);
    EXPECT_EQ(Shown(), k123);
    Reverse();
    app->setNodeType(NODE_IP_ADDRESSES);
    EXPECT_EQ(Shown(), k321) << "sorted by User: left alone";

    app->setSortType(SORT_BY_SOURCE);
    Reverse();
    app->setNodeType(NODE_HOST_NAMES);
    EXPECT_EQ(Shown(), k321);
}

// An empty list is RowSort.SortsAscendingWithEqualRowsInConnectionKeyOrder's.
TEST_F(SortTest, TheFailedListIsSortedWhenShown)
{
    Monitor(Conn(1, "user=c state=12") + Conn(2, "user=a state=12") + Conn(3, "user=b state=12")
            + Conn(4, "user=e") + Conn(5, "user=d"));
    app->current->setting.showFailed = 1;
    app->setSortType(SORT_BY_USER);
    EXPECT_EQ(Shown(), (std::vector<int>{2, 3, 1}));
    app->current->setting.showFailed = 0;
    EXPECT_EQ(Shown(), (std::vector<int>{4, 5})) << "the list not on show stays as it was";
    app->SortConnectionList(SORT_AFTER_SORT_KEY);
    EXPECT_EQ(Shown(), (std::vector<int>{5, 4}));
}

// By address every IPv4 row comes first, then the IPv6 ones by their bytes; by host name a
// row without a name is its address's text, an IPv6 one's included.
TEST_F(SortTest, IPv6AddressesComeAfterIPv4OnesAndSortByTheirTextWithoutAName)
{
    Monitor(Conn(1, "dst=[2001:db8::9]:443") + Conn(2, "dst=10.0.0.2:80") + Conn(3, "dst=[::1]:80")
            + Conn(4, "dst=10.0.0.1:80 dsthost=zeta")
            + Conn(5, "dst=[2001:db8::9]:80 dsthost=alpha"));
    app->setSortType(SORT_BY_DESTINATION);
    app->setNodeType(NODE_IP_ADDRESSES);
    EXPECT_EQ(Shown(), (std::vector<int>{4, 2, 3, 1, 5}));
    app->setNodeType(NODE_HOST_NAMES);
    EXPECT_EQ(Shown(), (std::vector<int>{2, 1, 3, 5, 4}));
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
    Monitor(Conn(1, "user=same"));
    // Twenty thousand rows that compare equal: each partition peels off one row only.
    std::vector<Connection> rows(20000, *app->current->activeRows[0]);
    std::vector<Connection*> list;
    for (Connection& row : rows)
        list.push_back(&row);
    const std::vector<Connection*> before = list;
    SortJob job = {app, &list};
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, 256 * 1024);
    pthread_t thread;
    ASSERT_EQ(pthread_create(&thread, &attributes, RunSort, &job), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
    EXPECT_TRUE(std::is_permutation(list.begin(), list.end(), before.begin()))
        << "every row listed once";
}

namespace {

// Whether the list on show is in the order of sortType under nodeType (an order that is
// transitive, so that neighbours tell), ties in connection key order.
::testing::AssertionResult ShownInOrder(SOCKS5* s, SortKey sortType, NodeType nodeType)
{
    Connection** list = s->setting.showFailed ? s->failedRows : s->activeRows;
    int count = s->setting.showFailed ? s->failedCount : s->activeCount;
    for (int i = 1; i < count; i++) {
        int order = CompareRowsBy(sortType, nodeType, list[i - 1], list[i]);
        if (order > 0 || (order == 0 && !KeyBefore(list[i - 1], list[i])))
            return ::testing::AssertionFailure() << "out of order at " << i << " of " << count;
    }
    return ::testing::AssertionSuccess();
}

} // namespace

// A big pass lists, ages and sorts its rows a slice at a time between the window's events.
// Whatever is chosen at any moment of it (sort key, naming, list on show), the list it leaves
// follows the choice; and Stop at any moment ends it with no rows left behind.
TEST_F(SortTest, ChoicesMadeAtAnyMomentOfABigPassAreWhatItsListFollows)
{
    MonsimProcess big({"--connections", "30000", "--seed", "3"});
    app->AddSOCKS5(big.address().c_str());
    StartAndWait();
    SOCKS5* s = app->current;
    ASSERT_GT(s->activeCount, 20000);

    // How many event-loop steps one pass takes.
    auto runPass = [](const std::function<void(int)>& atStep) {
        int steps = 0;
        TheApp()->RunMonitoring();
        while (TheApp()->PassInProgress())
            atStep(steps++), XtAppProcessEvent(monitor_app, XtIMAll);
        return steps;
    };
    int steps = runPass([](int) {});
    ASSERT_GT(steps, 2);

    const SortKey transitiveKeys[] = {SORT_BY_SERVICE, SORT_BY_USER, SORT_BY_START_TIME,
                                      SORT_BY_DESTINATION};
    for (int moment = 0; moment <= steps; moment++) {
        SortKey sortType = transitiveKeys[moment % 4];
        int showFailed = moment % 3 == 0 ? 1 : 0;
        runPass([&](int step) {
            if (step != moment)
                return;
            app->setSortType(sortType);
            app->setNodeType(NODE_HOST_NAMES);
            s->setting.showFailed = showFailed;
        });
        SCOPED_TRACE("choices made at step " + std::to_string(moment) + " of "
                     + std::to_string(steps));
        s->setting.showFailed = showFailed; // when the pass ended before the moment
        app->setSortType(sortType);
        ASSERT_TRUE(ShownInOrder(s, sortType, NODE_HOST_NAMES));
    }
    s->setting.showFailed = 0;

    // Stop early, midway and in the last steps, where the rows age and their keys are read.
    for (int moment : {0, 1, steps / 2, steps - 3, steps - 2, steps - 1}) {
        app->RunMonitoring();
        for (int step = 0; app->PassInProgress() && step < moment; step++)
            XtAppProcessEvent(monitor_app, XtIMAll);
        app->StopMonitoring();
        ASSERT_FALSE(app->PassInProgress());
        ASSERT_EQ(s->rowCount, 0);
        StartAndWait();
        ASSERT_GT(s->activeCount, 20000) << "the next Start lists the rows again";
        ASSERT_TRUE(ShownInOrder(s, s->setting.sortType, s->setting.nodeType));
    }
}

TEST_F(SortTest, DescendingOrdersKeepTiesInConnectionKeyOrder)
{
    Monitor(Conn(3, "in=10 out=0 user=x") + Conn(1, "in=5 out=0 user=x")
            + Conn(4, "in=10 out=0 user=y") + Conn(2, "in=10 out=0 user=x"));
    app->SortByHeading(SORT_BY_IN_TRAFFIC);
    EXPECT_EQ(std::vector<int>({1, 2, 3, 4}), Shown());
    app->SortByHeading(SORT_BY_IN_TRAFFIC);
    EXPECT_EQ(std::vector<int>({2, 3, 4, 1}), Shown());
    app->SortByHeading(SORT_BY_USER);
    app->SortByHeading(SORT_BY_USER);
    EXPECT_EQ(std::vector<int>({4, 1, 2, 3}), Shown());
    Poll(); // sorted as the pass reads its keys, then turned round
    EXPECT_EQ(std::vector<int>({4, 1, 2, 3}), Shown());
}
