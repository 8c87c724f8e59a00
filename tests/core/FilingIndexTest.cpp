// The filing index must place every record exactly where a scan of the row array would:
// into the used row with its key, else the last free slot before the end of the used
// part, else right after it. Compared here against that scan over random polls, with the
// index kept from poll to poll and told of the rows that ageing frees and of the moves of
// the growing array.
#include "core/FilingIndex.h"

#include <gtest/gtest.h>

#include <random>
#include <string.h>
#include <unordered_map>
#include <vector>

namespace {

struct Placement {
    int slot;    // where the record went
    int usedEnd; // one past the used part before it went there
};

// The scan the index replaces, written out plainly.
Placement ScanFor(const std::vector<Connection>& rows, int rowCount, const S5MonKey& key)
{
    int freeSlot = -1, passed = 0, scanned = 0;
    for (; scanned < static_cast<int>(rows.size()) && passed < rowCount; scanned++) {
        if (rows[scanned].kind == CONN_FREE) {
            freeSlot = scanned;
            continue;
        }
        passed++;
        if (memcmp(&rows[scanned].data.key, &key, sizeof key) == 0)
            return {scanned, -1};
    }
    return {freeSlot >= 0 ? freeSlot : scanned, scanned};
}

S5MonKey Key(int n)
{
    S5MonKey key;
    memset(&key, 0, sizeof key);
    memcpy(key.key, &n, sizeof n);
    return key;
}

// The keys records are drawn from: half of them pairs whose hashes agree in the 32 bits
// the index keeps, so that keys sharing an entry's hash are placed right too.
std::vector<S5MonKey> KeyPool()
{
    std::vector<S5MonKey> pool;
    std::unordered_map<uint32_t, int> seen;
    for (int n = 0; pool.size() < 60; n++) {
        auto hash = static_cast<uint32_t>(FilingIndex::Hash(Key(n).key));
        auto known = seen.emplace(hash, n);
        if (!known.second) {
            pool.push_back(Key(known.first->second));
            pool.push_back(Key(n));
        }
    }
    for (int n = -1; pool.size() < 120; n--)
        pool.push_back(Key(n));
    return pool;
}

} // namespace

TEST(FilingIndex, PlacesRecordsExactlyAsAScanWouldOverManyPolls)
{
    const std::vector<S5MonKey> pool = KeyPool();
    std::mt19937 random(12345);
    std::vector<Connection> rows(CONN_BUFFER_INITIAL);
    memset(rows.data(), 0, rows.size() * sizeof(Connection));
    int rowCount = 0;
    FilingIndex index;
    int owner = 0;
    int grown = 0, reused = 0, found = 0;

    for (int poll = 0; poll < 300; poll++) {
        // Between polls some rows are freed, as ageing does.
        for (size_t slot = 0; slot < rows.size(); slot++) {
            if (rows[slot].kind != CONN_FREE && random() % 5 == 0) {
                rows[slot].kind = CONN_FREE;
                rowCount--;
                index.Release(rows.data(), static_cast<int>(slot));
            }
        }
        index.Sync(&owner, rows.data(), static_cast<int>(rows.size()), rowCount);
        int records = static_cast<int>(random() % 40);
        for (int r = 0; r < records; r++) {
            S5MonKey key = pool[random() % pool.size()];
            Placement expected = ScanFor(rows, rowCount, key);
            int slot = index.Find(key);
            if (slot >= 0) {
                ASSERT_EQ(slot, expected.slot) << "poll " << poll;
                found++;
                continue;
            }
            ASSERT_EQ(expected.usedEnd, index.UsedEnd()) << "poll " << poll;
            slot = index.NextSlot();
            ASSERT_EQ(slot, expected.slot) << "poll " << poll;
            if (slot == static_cast<int>(rows.size())) {
                // The rows may move as they grow: the index is told, and kept.
                const Connection* before = rows.data();
                rows.resize(rows.size() + CONN_BUFFER_GROWTH); // zeroed: free slots
                index.Moved(before, rows.data());
                grown++;
            } else if (slot < index.UsedEnd()) {
                reused++;
            }
            rows[slot].kind = CONN_ACTIVE;
            rows[slot].data.key = key;
            index.Take(key, slot);
            rowCount++;
        }
    }
    // The random polls went through every kind of placement.
    EXPECT_GT(found, 100);
    EXPECT_GT(reused, 100);
    EXPECT_GT(grown, 0);
}

TEST(FilingIndex, ADuplicatedKeyIsFoundInItsFirstRow)
{
    std::vector<Connection> rows(CONN_BUFFER_INITIAL);
    memset(rows.data(), 0, rows.size() * sizeof(Connection));
    for (int slot : {3, 7}) {
        rows[slot].kind = CONN_ACTIVE;
        rows[slot].data.key = Key(9);
    }
    FilingIndex index;
    index.Build(rows.data(), static_cast<int>(rows.size()), 2);
    EXPECT_EQ(index.Find(Key(9)), 3);
    EXPECT_EQ(index.UsedEnd(), 8);
    EXPECT_EQ(index.NextSlot(), 6); // the last free slot before the end of the used part
    EXPECT_EQ(index.Find(Key(10)), -1);
}

TEST(FilingIndex, RowsChangedBehindItsBackAreFoundAfterALookAtTheRows)
{
    std::vector<Connection> rows(CONN_BUFFER_INITIAL);
    memset(rows.data(), 0, rows.size() * sizeof(Connection));
    int owner = 0, other = 0;
    FilingIndex index;
    for (int slot : {0, 1, 2}) {
        index.Sync(&owner, rows.data(), static_cast<int>(rows.size()), slot);
        rows[slot].kind = CONN_ACTIVE;
        rows[slot].data.key = Key(slot + 1);
        index.Take(Key(slot + 1), slot);
    }
    // Two rows trade keys with the count unchanged: the index notices at its next look.
    std::swap(rows[0].data.key, rows[2].data.key);
    index.Sync(&owner, rows.data(), static_cast<int>(rows.size()), 3);
    EXPECT_EQ(index.Find(Key(1)), 2);
    EXPECT_EQ(index.Find(Key(3)), 0);
    // Another server's rows in the same array are indexed anew.
    rows[1].data.key = Key(7);
    index.Sync(&other, rows.data(), static_cast<int>(rows.size()), 3);
    EXPECT_EQ(index.Find(Key(7)), 1);
    EXPECT_EQ(index.Find(Key(2)), -1);
}
