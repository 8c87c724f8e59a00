// The values of sampled data: types, the "no value" marker, shifting, replacing, copying
// out and the range, without a display.
#include <gtest/gtest.h>

#include <float.h>
#include <stdint.h>
#include <stdlib.h>

#include <vector>

#include "toolkit/DataStore.h"

namespace {

// A store of the type holding 0, 1, ..., count - 1.
struct Series {
    explicit Series(int type = XOM_DATA_FLOAT, int count = 21)
    {
        EXPECT_TRUE(XomDataStoreInit(&store, type, nullptr, count, 1));
        for (int i = 0; i < count; i++)
            XomDataStorePut(&store, i, static_cast<float>(i));
    }
    ~Series() { XomDataStoreClear(&store); }
    std::vector<float> Values() const
    {
        std::vector<float> out;
        for (int i = 0; i < store.count; i++)
            out.push_back(XomDataStoreGet(&store, i));
        return out;
    }
    XomDataStore store;
};

// from, from + 1, ..., count values, followed by the values of more.
std::vector<float> Range(float from, int count, std::vector<float> more = {})
{
    std::vector<float> out;
    for (int i = 0; i < count; i++)
        out.push_back(from + static_cast<float>(i));
    out.insert(out.end(), more.begin(), more.end());
    return out;
}

TEST(DataStore, EveryTypeKeepsValuesAndTheNoValueMarker)
{
    struct Case {
        int type;
        int size;
        float stored; // what a value of 1234.6 reads back as
    } cases[] = {
        {XOM_DATA_SHORT, 2, 1235.0f}, {XOM_DATA_INT, 4, 1235.0f},    {XOM_DATA_LONG, 4, 1235.0f},
        {XOM_DATA_FLOAT, 4, 1234.6f}, {XOM_DATA_DOUBLE, 8, 1234.6f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        Series s(c.type, 3);
        EXPECT_EQ(XomDataTypeSize(c.type), c.size);
        XomDataStorePut(&s.store, 0, 1234.6f);
        XomDataStorePut(&s.store, 1, XOM_NO_VALUE);
        EXPECT_EQ(XomDataStoreGet(&s.store, 0), c.stored);
        EXPECT_EQ(XomDataStoreGet(&s.store, 1), XOM_NO_VALUE);
        EXPECT_EQ(XomDataStoreGet(&s.store, 2), 2.0f);
    }
    EXPECT_EQ(XomDataTypeSize(5), 0);
}

TEST(DataStore, NoValueIsTheTypesEmptyMarkerAndIntegersAreHeldAtTheirEnds)
{
    Series shorts(XOM_DATA_SHORT, 3), ints(XOM_DATA_INT, 3), doubles(XOM_DATA_DOUBLE, 1);
    XomDataStorePut(&shorts.store, 0, XOM_NO_VALUE);
    XomDataStorePut(&shorts.store, 1, 1e9f);
    XomDataStorePut(&shorts.store, 2, -1e9f);
    XomDataStorePut(&ints.store, 0, XOM_NO_VALUE);
    XomDataStorePut(&ints.store, 1, 1e20f);
    XomDataStorePut(&doubles.store, 0, XOM_NO_VALUE);
    const int16_t* s = static_cast<const int16_t*>(shorts.store.values);
    const int32_t* i = static_cast<const int32_t*>(ints.store.values);
    EXPECT_EQ(s[0], 32767);
    EXPECT_EQ(s[1], 32767); // indistinguishable from the marker, as the type allows
    EXPECT_EQ(s[2], -32768);
    EXPECT_EQ(i[0], 2147483647);
    EXPECT_EQ(i[1], 2147483647);
    EXPECT_EQ(*static_cast<const double*>(doubles.store.values), DBL_MAX);
}

TEST(DataStore, InitCopiesOrBorrowsAndRefusesUnknownTypes)
{
    float given[3] = {5, 6, 7};
    XomDataStore copy, borrowed, bad;
    ASSERT_TRUE(XomDataStoreInit(&copy, XOM_DATA_FLOAT, given, 3, 1));
    ASSERT_TRUE(XomDataStoreInit(&borrowed, XOM_DATA_FLOAT, given, 3, 0));
    float one = 9;
    XomDataStoreShift(&copy, &one, 1);
    XomDataStoreShift(&borrowed, &one, -1);
    EXPECT_EQ(given[0], 9.0f); // the borrowed array is the caller's own
    EXPECT_EQ(XomDataStoreGet(&copy, 0), 6.0f);
    EXPECT_FALSE(XomDataStoreInit(&bad, 7, given, 3, 1));
    EXPECT_FALSE(XomDataStoreInit(&bad, XOM_DATA_FLOAT, given, -1, 1));
    EXPECT_EQ(bad.count, 0);
    XomDataStoreClear(&copy);
    XomDataStoreClear(&borrowed);
}

TEST(DataStore, ShiftsMoveTheSeriesOrRefuse)
{
    std::vector<float> fresh = Range(100, 22);
    struct Case {
        int n;
        int result;
        std::vector<float> after;
    } cases[] = {
        {3, 1, Range(3, 18, Range(100, 3))},
        {-1, 1, Range(100, 1, Range(0, 20))},
        {-2, 1, Range(100, 2, Range(0, 19))},
        {21, 1, Range(100, 21)},
        {-21, 1, Range(100, 21)},
        {22, 0, Range(0, 21)},
        {-22, 0, Range(0, 21)},
        {0, 0, Range(0, 21)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.n);
        Series s;
        EXPECT_EQ(XomDataStoreShift(&s.store, fresh.data(), c.n), c.result);
        EXPECT_EQ(s.Values(), c.after);
    }
    Series s;
    EXPECT_EQ(XomDataStoreShift(&s.store, nullptr, 1), 0);
    Series empty(XOM_DATA_FLOAT, 0);
    EXPECT_EQ(XomDataStoreShift(&empty.store, fresh.data(), 1), 0);
}

TEST(DataStore, ReplaceCutsToTheEndAndReportsWhatItWrote)
{
    std::vector<float> in = {5, -3, 8, 2, 1};
    struct Case {
        int start, n;
        int result;
        XomDataReplaced done;
    } cases[] = {
        {0, 5, 1, {0, 5, -3, 8}},
        {18, 5, 1, {18, 3, -3, 8}}, // cut to the end: three values written
        {20, 2, 1, {20, 1, 5, 5}},
        {0, 0, 0, {}},
        {-1, 2, 0, {}},
        {21, 1, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start * 100 + c.n);
        Series s;
        XomDataReplaced done = {-7, -7, 0, 0};
        EXPECT_EQ(XomDataStoreReplace(&s.store, in.data(), c.start, c.n, &done), c.result);
        if (!c.result) {
            EXPECT_EQ(done.start, -7);
            EXPECT_EQ(s.Values(), Range(0, 21));
            continue;
        }
        EXPECT_EQ(done.start, c.done.start);
        EXPECT_EQ(done.count, c.done.count);
        EXPECT_EQ(done.minimum, c.done.minimum);
        EXPECT_EQ(done.maximum, c.done.maximum);
        std::vector<float> expected = Range(0, 21);
        for (int i = 0; i < done.count; i++)
            expected[c.start + i] = in[i];
        EXPECT_EQ(s.Values(), expected);
    }
    Series s;
    EXPECT_EQ(XomDataStoreReplace(&s.store, nullptr, 0, 1, nullptr), 0);
}

TEST(DataStore, CopyOutIsCutToTheEnd)
{
    Series s;
    struct Case {
        int start, n, got;
    } cases[] = {{0, 21, 21}, {0, 30, 21}, {5, 3, 3}, {20, 5, 1},
                 {21, 1, 0},  {-1, 3, 0},  {0, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start * 100 + c.n);
        int got = -1;
        float* out = XomDataStoreCopyOut(&s.store, c.start, c.n, &got);
        if (!c.got) {
            EXPECT_EQ(out, nullptr);
            continue;
        }
        ASSERT_NE(out, nullptr);
        EXPECT_EQ(got, c.got);
        EXPECT_EQ(out[0], static_cast<float>(c.start));
        EXPECT_EQ(out[got - 1], static_cast<float>(c.start + got - 1));
        free(out);
    }
}

TEST(DataStore, RangeSkipsNoValueEntries)
{
    Series s(XOM_DATA_FLOAT, 4);
    float low = 0, high = 0;
    XomDataStorePut(&s.store, 3, XOM_NO_VALUE);
    XomDataStorePut(&s.store, 0, -4);
    ASSERT_TRUE(XomDataStoreRange(&s.store, &low, &high));
    EXPECT_EQ(low, -4.0f);
    EXPECT_EQ(high, 2.0f);

    for (int type : {XOM_DATA_SHORT, XOM_DATA_INT, XOM_DATA_FLOAT, XOM_DATA_DOUBLE}) {
        Series none(type, 21);
        for (int i = 0; i < 21; i++)
            XomDataStorePut(&none.store, i, XOM_NO_VALUE);
        low = high = 42;
        EXPECT_FALSE(XomDataStoreRange(&none.store, &low, &high)) << type;
        EXPECT_EQ(high, 42.0f);
    }
}

} // namespace
