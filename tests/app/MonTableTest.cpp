// The connection table view inside the real application, polling the simulator: the texts
// of every column, host naming, traffic units, the title, failed rows, the stripes and row
// icons read back as pixels, and a failed allocation that leaves the rows shown.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "app/MonTable.h"
#include "core/TableTexts.h"
#include "tests/support/AppFixture.h"
#include "tests/support/PixelReader.h"
#include "tests/support/PngWriter.h"
#include "toolkit/EditTable.h"

namespace {

const uint32_t PINK = 0xffc0cb;

// Two open connections (one to a destination given by name) and a failed one.
const std::string kPass =
    Conn(1,
         "state=2 in=1024 out=512 src=10.0.0.5:40000 srchost=alice-pc dst=www.example:80"
         " dsthost=www.example proxy=127.0.0.1:1080 proxyhost=proxy.lan user=alice app=http")
    + Conn(2,
           "state=2 in=10 out=20 src=10.0.0.6:40001 srchost=bob-pc dst=10.0.0.9:23"
           " dsthost=shell.lan user=bob app=telnet")
    + Conn(3,
           "state=12 end=1700000011 err=5 src=10.0.0.7:40002 dst=10.0.0.9:21 app=ftp"
           " errmsg=Connection~refused");

class MonTableTest : public AppTest {
protected:
    MonTable* view() { return app->tableView; }
    Widget table() { return view()->table; }

    // The row whose user column reads user.
    int RowOf(const std::string& user)
    {
        for (int r = 1; r <= Rows(); r++)
            if (Cell(3, r) == user)
                return r;
        return 0;
    }
    uint32_t Pixel(int column, int row, int dx, int dy)
    {
        XRectangle box;
        if (!XomEditTableGetCellRectangle(table(), column, row, &box) || dx >= box.width
            || dy >= box.height)
            return 0;
        return ReadPixel(XtDisplay(table()), XtWindow(table()), box.x + dx, box.y + dy);
    }
};

TEST_F(MonTableTest, WithoutAServerTenBlankRowsAreStripedUnderTheUnspecifiedTitle)
{
    view()->RestoreTable(0);
    EXPECT_EQ("Active Connections  (SOCKS5Server Unspecified)", Title());
    EXPECT_EQ(10, Rows());
    ProcessEvents();
    for (int row = 1; row <= 6; row++) // the rows the pane shows
        for (int column : {1, 3, 5})
            EXPECT_EQ(row % 2 == 1, Pixel(column, row, 3, 3) == PINK) << column << "," << row;
    WritePng(ArtifactPath("montable-empty.png"),
             ReadDrawable(XtDisplay(table()), XtWindow(table())));
}

TEST_F(MonTableTest, EachPollShowsItsRowsWithTheTextsOfEveryColumn)
{
    MonsimProcess sim(Script({kPass, kPass, kPass, kPass}));
    SOCKS5* server = StartShowing(sim);
    ASSERT_NE(server, nullptr);
    EXPECT_EQ("Active Connections  (" + sim.address() + ")", Title());
    ASSERT_EQ(2, Rows());
    int alice = RowOf("alice");
    ASSERT_NE(0, alice);
    const std::vector<std::string> expected = {
        "alice-pc", "www.example", "alice", "http", "",          "",
        "1024.00",  "512.00",      "",      "",     "proxy.lan", ""};
    for (int c = 1; c <= 12; c++) {
        if (c == 5 || c == 6 || c == 9 || c == 10)
            continue; // times, the accounted total and the method are checked elsewhere
        EXPECT_EQ(expected[c - 1], Cell(c, alice)) << annotation_label_list[c - 1];
    }
    EXPECT_FALSE(Cell(5, alice).empty());
    EXPECT_FALSE(Cell(6, alice).empty());

    // IP naming: dotted addresses, and 0.0.0.0 for the destination given by name.
    app->setNodeType(NODE_IP_ADDRESSES);
    alice = RowOf("alice");
    EXPECT_EQ("10.0.0.5", Cell(1, alice));
    EXPECT_EQ("0.0.0.0", Cell(2, alice));
    EXPECT_EQ("127.0.0.1", Cell(11, alice));

    // Units: 1536 bytes of total traffic.
    Connection* row = server->activeRows[alice - 1];
    row->lastTotalBytes = 1536;
    const struct {
        UnitType unit;
        const char* total;
    } units[] = {{UNIT_KILOBYTES, "1.50"}, {UNIT_MEGABYTES, "0.00"}, {UNIT_BYTES, "1536.00"}};
    for (const auto& u : units) {
        app->setUnitType(u.unit);
        EXPECT_EQ(u.total, Cell(9, alice)) << u.unit;
    }

    // Show Failed lists the failed connection with its error.
    server->setting.showFailed = 1;
    app->UpdateData(0);
    view()->RestoreTable(0);
    EXPECT_EQ("Failed Connections  (" + sim.address() + ")", Title());
    ASSERT_EQ(1, Rows());
    EXPECT_EQ("Connection refused", Cell(12, 1));
    EXPECT_EQ("ftp", Cell(4, 1));
}

TEST_F(MonTableTest, AServerOnIPv6ShowsIPv6AddressesInTheirUsualText)
{
    const std::string pass =
        Conn(1,
             "src=[2001:db8::5]:40000 dst=[2001:db8:1234:5678:9abc:def0:1234:5678]:443"
             " proxy=[::1]:1080 proxyhost=proxy.lan user=carol app=https")
        + Conn(2, "src=10.0.0.6:40001 dst=[::ffff:10.0.0.9]:23 dsthost=shell.lan user=dave");
    MonsimProcess sim(Script({pass, pass}), "::1");
    EXPECT_EQ("[::1]:" + std::to_string(sim.port()), sim.address());
    SOCKS5* server = StartShowing(sim);
    ASSERT_NE(server, nullptr);
    EXPECT_EQ("Active Connections  (" + sim.address() + ")", Title());
    ASSERT_EQ(2, Rows());
    int carol = RowOf("carol"), dave = RowOf("dave");
    ASSERT_NE(0, carol);
    ASSERT_NE(0, dave);
    // Host naming shows an address where the record names no host.
    EXPECT_EQ("2001:db8::5", Cell(1, carol));
    EXPECT_EQ("2001:db8:1234:5678:9abc:def0:1234:5678", Cell(2, carol));
    EXPECT_EQ("proxy.lan", Cell(11, carol));
    EXPECT_EQ("shell.lan", Cell(2, dave));

    app->setNodeType(NODE_IP_ADDRESSES);
    carol = RowOf("carol");
    dave = RowOf("dave");
    EXPECT_EQ("2001:db8::5", Cell(1, carol));
    EXPECT_EQ("2001:db8:1234:5678:9abc:def0:1234:5678", Cell(2, carol));
    EXPECT_EQ("::1", Cell(11, carol));
    EXPECT_EQ("10.0.0.6", Cell(1, dave));
    EXPECT_EQ("::ffff:10.0.0.9", Cell(2, dave));
    ProcessEvents();
    WritePng(ArtifactPath("montable-ipv6.png"),
             ReadDrawable(XtDisplay(table()), XtWindow(table())));
}

TEST_F(MonTableTest, KindsThreeAndFourShowTheStopAndPauseIconsAndLoseThemAgain)
{
    MonsimProcess sim(Script({kPass, kPass}));
    SOCKS5* server = StartShowing(sim);
    ASSERT_NE(server, nullptr);
    ASSERT_EQ(2, server->activeCount);
    server->activeRows[0]->kind = CONN_ACTIVE_STOPPED;
    server->activeRows[1]->kind = CONN_ACTIVE_PAUSED;
    view()->RasterTable();
    ProcessEvents();
    // The middle of each 22-pixel icon, which sits at the left of the first cell.
    XRectangle box;
    ASSERT_TRUE(XomEditTableGetCellRectangle(table(), 1, 1, &box));
    int dx = 6 + 10, dy = (box.height - 22) / 2 + 10;
    EXPECT_EQ(0xff0000u, Pixel(1, 1, dx, dy));
    EXPECT_EQ(0x00ff00u, Pixel(1, 2, dx, dy));
    WritePng(ArtifactPath("montable-icons.png"),
             ReadDrawable(XtDisplay(table()), XtWindow(table())));
    server->activeRows[0]->kind = CONN_ACTIVE;
    server->activeRows[1]->kind = CONN_ACTIVE;
    view()->RasterTable();
    ProcessEvents();
    EXPECT_NE(0xff0000u, Pixel(1, 1, dx, dy));
    EXPECT_NE(0x00ff00u, Pixel(1, 2, dx, dy));
}

TEST_F(MonTableTest, StripesFollowTheRowsAsTheListGrows)
{
    MonsimProcess sim(Script({kPass, kPass}));
    SOCKS5* server = StartShowing(sim);
    ASSERT_NE(server, nullptr);
    // Rows added behind the list's are striped by their place, like the list's own.
    XomEditTableInsertRows(table(), 0, 4);
    ProcessEvents();
    ASSERT_EQ(6, Rows());
    for (int r = 1; r <= 6; r++)
        for (int column : {1, 4})
            EXPECT_EQ(r % 2 == 1, Pixel(column, r, 3, 3) == PINK) << column << "," << r;
}

} // namespace
