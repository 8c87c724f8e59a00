// The table's filter, its order by heading and view.ini inside the real application polling
// the simulator: the cells read back, the count and title of a filtered table, a heading
// clicked twice, the copy of the rows on show that Export writes, and Save Options, which
// leaves monitor.ini as it was and puts the rest in view.ini for the next start.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <fstream>
#include <string>

#include <Xm/TextF.h>

#include "app/MonTable.h"
#include "core/SettingsFile.h"
#include "core/TableExport.h"
#include "core/ViewFile.h"
#include "tests/support/AppFixture.h"
#include "tests/support/MotifText.h"
#include "toolkit/EditTable.h"

namespace {

const std::string kPass =
    Conn(1,
         "state=2 in=1024 out=512 src=10.0.0.5:40000 srchost=alice-pc dst=10.0.0.9:80"
         " dsthost=www.example user=alice app=http")
    + Conn(2,
           "state=2 in=99 out=1 src=10.0.0.6:40001 srchost=bob-pc dst=10.0.0.9:23"
           " dsthost=shell.lan user=bob app=telnet")
    + Conn(4,
           "state=2 in=5000 out=70 src=10.0.0.8:40003 srchost=carol-pc dst=10.0.0.9:443"
           " dsthost=secure.example user=carol app=https");

class TableViewTest : public AppTest {
protected:
    Widget table() { return app->tableView->table; }
    // The user names of the rows, top to bottom, apart by "|".
    std::string Users()
    {
        std::string users;
        for (int r = 1; r <= Rows(); r++)
            users += (r > 1 ? "|" : "") + Cell(3, r);
        return users;
    }
    // A press of button 1 on the heading of a table column, as the pointer gives it.
    void ClickHeading(int column)
    {
        XRectangle box;
        ASSERT_TRUE(XomEditTableGetCellRectangle(table(), column, 1, &box));
        XEvent event = {};
        event.xbutton.type = ButtonPress;
        event.xbutton.display = XtDisplay(table());
        event.xbutton.window = XtWindow(table());
        event.xbutton.button = 1;
        event.xbutton.x = box.x + box.width / 2;
        event.xbutton.y = box.y - 3;
        XtCallActionProc(table(), "EditTableSelectHeading", &event, NULL, 0);
        ProcessEvents();
    }
};

TEST_F(TableViewTest, FilterShowsMatchingRowsByNameOrAddressWithCountAndTitle)
{
    MonsimProcess sim(Script({kPass, kPass, kPass}));
    SOCKS5* server = StartShowing(sim);
    ASSERT_NE(server, nullptr);
    ASSERT_EQ("alice|bob|carol", Users());

    app->SetFilter("  ALICE\t");
    EXPECT_EQ("alice", Users());
    EXPECT_EQ("alice-pc", Cell(1, 1));
    EXPECT_EQ("1 of 3", FieldText(app->activeText));
    EXPECT_EQ("Active Connections  (" + sim.address() + ") (filtered: ALICE)", Title());

    // Addresses match while names are shown, in every host column; errors and services too.
    app->SetFilter("10.0.0.6");
    EXPECT_EQ("bob", Users());
    app->SetFilter(".9:");
    EXPECT_EQ(0, app->tableView->ShownCount()) << "the port is not part of an address's text";
    EXPECT_EQ("0 of 3", FieldText(app->activeText));
    app->SetFilter("HTTP");
    EXPECT_EQ("alice|carol", Users());
    // A poll keeps the filter.
    Poll();
    ProcessEvents();
    EXPECT_EQ("alice|carol", Users());
    EXPECT_EQ("2 of 3", FieldText(app->activeText));

    // What Export writes is what is on show, row for row and cell for cell.
    std::vector<Connection*> shown;
    for (int i = 0; i < app->tableView->ShownCount(); i++)
        shown.push_back(app->tableView->ShownRow(i));
    std::string path = TestHome() + "/shown.csv";
    ASSERT_EQ(SAFE_WRITE_OK, WriteFileSafely(path, [&](FILE* out) {
                  WriteRowsCsv(out, shown.data(), (int)shown.size(), server->setting);
              }));
    std::string expected = CsvRecord(ShownColumnTitles(server->setting));
    for (int r = 1; r <= Rows(); r++) {
        std::vector<std::string> cells;
        for (int c = 1; c <= 12; c++)
            cells.push_back(Cell(c, r));
        expected += CsvRecord(cells);
    }
    EXPECT_EQ(expected, FileText(path));

    app->SetFilter("");
    EXPECT_EQ("alice|bob|carol", Users());
    EXPECT_EQ("3", FieldText(app->activeText));
    EXPECT_EQ("Active Connections  (" + sim.address() + ")", Title());
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(TableViewTest, HeadingsSortBothWaysAndSaveOptionsKeepsMonitorIniAsItWas)
{
    MonsimProcess sim(Script({kPass, kPass, kPass}));
    SOCKS5* server = StartShowing(sim);
    ASSERT_NE(server, nullptr);
    Setting& s = server->setting;

    // The heading of User Name twice: ascending, then turned round; the arrow follows.
    ClickHeading(3);
    EXPECT_EQ(SORT_BY_USER, s.sortType);
    ClickHeading(3);
    EXPECT_EQ("carol|bob|alice", Users());
    int column = 0;
    Boolean descending = False;
    XtVaGetValues(table(), XomNsortIndicatorColumn, &column, XomNsortIndicatorDescending,
                  &descending, NULL);
    EXPECT_EQ(3, column);
    EXPECT_TRUE(descending);
    // A heading-only key: In Traffic, and the menu's choice takes over again ascending.
    app->SortByHeading(SORT_BY_IN_TRAFFIC);
    EXPECT_EQ("bob|alice|carol", Users());
    app->setSortType(SORT_BY_USER);
    EXPECT_EQ("alice|bob|carol", Users());
    EXPECT_EQ(0, s.sortDescending);

    // Save Options plain, then with a filter and a descending heading-only key: the same
    // monitor.ini, byte for byte.
    ASSERT_EQ(1, app->WriteSetting());
    std::string plain = FileText(MonitorIniPath());
    app->SortByHeading(SORT_BY_DURATION);
    app->SortByHeading(SORT_BY_DURATION);
    app->SetFilter("o");
    ASSERT_EQ(1, app->WriteSetting());
    EXPECT_EQ(plain, FileText(MonitorIniPath()));
    EXPECT_EQ("vantor-view 1\n" + sim.address() + "\tduration\tdescending\to\n",
              FileText(ViewIniPath()));

    // As at the next start: monitor.ini, then view.ini.
    s.filter[0] = '\0';
    s.sortDescending = 0;
    app->ReadSettingFile();
    EXPECT_EQ(SORT_BY_USER, s.sortType);
    app->ReadViewFile();
    EXPECT_STREQ("o", s.filter);
    EXPECT_EQ(1, s.sortDescending);
    EXPECT_EQ(SORT_BY_DURATION, s.sortType);
    EXPECT_EQ(SORT_BY_USER, SavedSortKey(s));

    // A damaged view.ini changes nothing and says so once; a missing one says nothing.
    std::ofstream(ViewIniPath()) << "vantor-view 1\n" << sim.address() << "\tsideways\tup\t\n";
    s.sortDescending = 0;
    app->ReadViewFile();
    Messages messages = TakeMessages();
    ASSERT_EQ(1u, messages.size());
    EXPECT_NE(messages[0].find("view.ini is damaged at line 2"), std::string::npos);
    EXPECT_EQ(0, s.sortDescending);
    remove(ViewIniPath().c_str());
    app->ReadViewFile();
    EXPECT_TRUE(TakeMessages().empty());
    app->SetFilter("");
}

} // namespace
