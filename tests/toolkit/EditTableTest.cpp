// The table widget on the test display: what it paints (read back with XGetImage), what it
// repaints and what it leaves alone, scrolling far beyond any window size, hidden columns,
// cell widgets, selections with their callbacks, and the warnings of its functions.
#include <gtest/gtest.h>

#include <X11/Intrinsic.h>
#include <Xm/ToggleB.h>
#include <Xm/Xm.h>

#include <string>
#include <vector>

#include "tests/support/DisplayFixture.h"
#include "tests/support/PixelReader.h"
#include "tests/support/PngWriter.h"
#include "toolkit/EditTable.h"
#include "toolkit/Scroll.h"
#include "toolkit/XomP.h"

namespace {

const uint32_t PINK = 0xffc0cb;
const uint32_t SENTINEL = 0x123456;

// The look the program gives its tables.
const char* const TABLE_RESOURCES[] = {
    "*background: grey77",
    "*table*gridLineStyle: grid_line_shadow_out",
    "*table*horizontalCellMargin: 5",
    "*table.tableFont: -adobe-helvetica-medium-r*120*",
    "*table.columnAnnotationFont: -adobe-helvetica-bold-r*100*",
    "*table.rowAnnotationFont: -adobe-helvetica-medium-r*100*",
    "*autoMarginAdjust: adjust_top",
    "*cellHighlightColor: blue",
    "*cellPointerColor: yellow",
    "*cellPointerBorderThickness: 2",
    nullptr,
};

class EditTableTest : public DisplayFixture {
protected:
    const char* const* FallbackResources() const override { return TABLE_RESOURCES; }

    // A managed table of 12-pixel rows and 60-pixel columns, shown.
    Widget Table(int columns, int rows, int width = 400, int height = 300)
    {
        Widget table = XtVaCreateManagedWidget(
            "table", xomEditTableWidgetClass, shell, XomNnumberOfColumns, columns, XomNnumberOfRows,
            rows, XomNcellSizeUnit, XomUNIT_PIXEL, XomNdefaultCellHeight, 20, XomNdefaultCellWidth,
            60, XmNwidth, (Dimension)width, XmNheight, (Dimension)height, NULL);
        ShowShell();
        ProcessEvents();
        return table;
    }
    // A table of 60-pixel columns in a scroll container of the given size, shown.
    Widget ScrolledTable(Widget* scroll, int columns, int rows, int rowHeight = 20,
                         Dimension width = 400, Dimension height = 300)
    {
        *scroll = XtVaCreateManagedWidget("scroll", xomScrollWidgetClass, shell, XmNwidth, width,
                                          XmNheight, height, NULL);
        Widget table = XtVaCreateManagedWidget(
            "table", xomEditTableWidgetClass, *scroll, XomNnumberOfColumns, columns,
            XomNnumberOfRows, rows, XomNcellSizeUnit, XomUNIT_PIXEL, XomNdefaultCellHeight,
            rowHeight, XomNdefaultCellWidth, 60, NULL);
        ShowShell();
        ProcessEvents();
        return table;
    }
    Pixel Color(const char* name)
    {
        XColor exact, screen;
        XAllocNamedColor(display, DefaultColormap(display, DefaultScreen(display)), name, &screen,
                         &exact);
        return screen.pixel;
    }
    XRectangle Cell(Widget table, int column, int row)
    {
        XRectangle box = {0, 0, 0, 0};
        EXPECT_TRUE(XomEditTableGetCellRectangle(table, column, row, &box)) << column << "," << row;
        return box;
    }
    // The colour in the middle of a cell's left margin (no text there).
    uint32_t CellColor(Widget table, int column, int row)
    {
        XRectangle box = Cell(table, column, row);
        return ReadPixel(display, XtWindow(table), box.x + 3, box.y + box.height / 2);
    }
    // Paints the whole window in a colour the table never uses, so that whatever the table
    // paints afterwards shows.
    void PaintSentinel(Widget table)
    {
        GC gc = XCreateGC(display, XtWindow(table), 0, nullptr);
        XSetForeground(display, gc, SENTINEL);
        XFillRectangle(display, XtWindow(table), gc, 0, 0, table->core.width, table->core.height);
        XFreeGC(display, gc);
        XSync(display, False);
    }
    bool Repainted(Widget table, int column, int row)
    {
        XSync(display, False);
        return CellColor(table, column, row) != SENTINEL;
    }
    void Save(Widget table, const char* name)
    {
        WritePng(ArtifactPath(name), ReadDrawable(display, XtWindow(table)));
    }
};

struct Recorded {
    std::vector<XomEditTableRowColumnCallbackStruct> calls;
    static void Add(Widget, XtPointer self, XtPointer data)
    {
        static_cast<Recorded*>(self)->calls.push_back(
            *static_cast<XomEditTableRowColumnCallbackStruct*>(data));
    }
};

TEST_F(EditTableTest, OddRowsArePinkAcrossAllColumnsAndOnlyChangedCellsRepaint)
{
    Widget table = Table(4, 6);
    Pixel pink = Color("pink");
    for (int row = 1; row <= 3; row += 2)
        ASSERT_TRUE(XomEditTableSetCellBackground(table, 1, 4, row, 1, pink));
    PaintSentinel(table);
    // The same colour again changes nothing, so nothing is painted.
    ASSERT_TRUE(XomEditTableSetCellBackground(table, 1, 4, 1, 1, pink));
    EXPECT_FALSE(Repainted(table, 1, 1));
    // Rows 4 to 6 get their stripes: only row 5 is odd, only row 5 is painted.
    for (int row = 5; row <= 6; row += 2)
        ASSERT_TRUE(XomEditTableSetCellBackground(table, 1, 4, row, 1, pink));
    for (int row = 1; row <= 6; row++)
        for (int column = 1; column <= 4; column++)
            EXPECT_EQ(row == 5, Repainted(table, column, row)) << column << "," << row;
    XomEditTableUpdateDataDisplay(table, 0, 0);
    for (int row = 1; row <= 6; row++)
        for (int column = 1; column <= 4; column++)
            EXPECT_EQ(row % 2 == 1, CellColor(table, column, row) == PINK) << column << "," << row;
    Save(table, "edittable-stripes.png");
}

TEST_F(EditTableTest, APixmapShowsInItsCellAndTextFollowsIt)
{
    Widget table = Table(2, 2);
    Pixmap icon = XCreatePixmap(display, XtWindow(table), 22, 22,
                                DefaultDepth(display, DefaultScreen(display)));
    GC gc = XCreateGC(display, icon, 0, nullptr);
    XSetForeground(display, gc, Color("red"));
    XFillRectangle(display, icon, gc, 0, 0, 22, 22);
    XFreeGC(display, gc);
    ASSERT_TRUE(XomEditTableFillCell(table, 1, 1, (XtPointer) "text"));
    ASSERT_TRUE(XomEditTableSetCellPixmap(table, 1, 1, 1, 1, icon));
    ProcessEvents();
    XRectangle box = Cell(table, 1, 1);
    EXPECT_EQ(0xff0000u, ReadPixel(display, XtWindow(table), box.x + 10, box.y + box.height / 2));
    EXPECT_NE(0xff0000u, CellColor(table, 1, 2));
    // The Motif unspecified pixmap removes it.
    ASSERT_TRUE(XomEditTableSetCellPixmap(table, 1, 1, 1, 1, XmUNSPECIFIED_PIXMAP));
    EXPECT_NE(0xff0000u, ReadPixel(display, XtWindow(table), box.x + 10, box.y + box.height / 2));
    XFreePixmap(display, icon);
}

TEST_F(EditTableTest, AHiddenColumnIsNotDrawnAndTheNextTakesItsPlace)
{
    Widget table = Table(3, 2);
    ASSERT_TRUE(XomEditTableSetCellBackground(table, 2, 1, 0, 0, Color("red")));
    XRectangle second = Cell(table, 2, 1);
    ASSERT_TRUE(XomEditTableChangeColumnVisibility(table, 2, 2, False));
    ProcessEvents();
    XRectangle third = Cell(table, 3, 1);
    EXPECT_EQ(second.x, third.x);
    RgbImage image = ReadDrawable(display, XtWindow(table));
    for (int y = 0; y < image.height; y++)
        for (int x = 0; x < image.width; x++)
            ASSERT_NE(0xff0000u, image.At(x, y)) << x << "," << y;
}

TEST_F(EditTableTest, TheLastOf100000RowsShowsAfterScrollingToTheEnd)
{
    Widget scroll;
    Widget table = ScrolledTable(&scroll, 3, 100000);
    int width, height, viewWidth, viewHeight;
    XomEditTableGetContentSize(table, &width, &height, &viewWidth, &viewHeight);
    EXPECT_EQ(100000 * 20, height);
    ASSERT_TRUE(XomEditTableSetCellBackground(table, 1, 3, 100000, 1, Color("green")));
    ASSERT_TRUE(XomEditTableFillCell(table, 1, 100000, (XtPointer) "last"));
    // The scroll bar dragged to its end.
    XomScrollSetPosition(scroll, 0, 1 << 30);
    ProcessEvents();
    int x, y;
    XomScrollGetPosition(scroll, &x, &y);
    EXPECT_EQ(height - viewHeight, y);
    EXPECT_EQ(0x00ff00u, CellColor(table, 2, 100000));
    XRectangle last = Cell(table, 1, 100000);
    EXPECT_LE(last.y + last.height, (int)table->core.height);
    XRectangle none;
    EXPECT_FALSE(XomEditTableGetCellRectangle(table, 1, 1, &none));
    Save(table, "edittable-last-row.png");
}

TEST_F(EditTableTest, RowsTallerThanAnIntCanSpanAreHeldAtALargestHeightAndStillScroll)
{
    // 200,000 rows of 32,767 pixels: 6.5 billion pixels, beyond an int; held at 2 to the 30th.
    Widget scroll;
    Widget table = ScrolledTable(&scroll, 2, 200000, 32767);
    int width, height, viewWidth, viewHeight;
    XomEditTableGetContentSize(table, &width, &height, &viewWidth, &viewHeight);
    EXPECT_EQ(1 << 30, height);
    ASSERT_TRUE(XomEditTableFillCell(table, 1, 65000, (XtPointer) "far"));
    XomScrollSetPosition(scroll, 0, 1 << 30);
    ProcessEvents();
    int x, y;
    XomScrollGetPosition(scroll, &x, &y);
    EXPECT_GT(y, 0);
    EXPECT_LE(y, height);
}

// The cells of a table that asks its owner for them: texts, some empty, some with a pixmap.
struct OwnerCells {
    std::vector<std::vector<std::string>> texts; // by row, then column
    Pixmap icon = None;
    int asked = 0;
    std::string Text(int column, int row) const { return texts[row - 1][column - 1]; }
    bool HasIcon(int column, int row) const { return column == 1 && row % 7 == 3; }
    static void Source(Widget, XtPointer closure, int column, int row,
                       XomEditTableCellContent* content)
    {
        OwnerCells* cells = static_cast<OwnerCells*>(closure);
        cells->asked++;
        content->text = cells->texts[row - 1][column - 1].c_str();
        if (cells->HasIcon(column, row))
            content->pixmap = cells->icon;
    }
};

TEST_F(EditTableTest, ATableThatAsksForItsCellsDrawsWhatAStoredTableDraws)
{
    const int columns = 5, rows = 20000;
    OwnerCells cells;
    for (int r = 1; r <= rows; r++) {
        std::vector<std::string> row;
        for (int c = 1; c <= columns; c++)
            row.push_back((r + c) % 11 == 0 ? ""
                                            : "r" + std::to_string(r) + " c" + std::to_string(c)
                                  + std::string((size_t)(r % 4), 'x'));
        cells.texts.push_back(row);
    }
    cells.icon = XCreatePixmap(display, DefaultRootWindow(display), 10, 10,
                               (unsigned)DefaultDepth(display, DefaultScreen(display)));
    GC gc = XCreateGC(display, cells.icon, 0, nullptr);
    XSetForeground(display, gc, 0x00ff00);
    XFillRectangle(display, cells.icon, gc, 0, 0, 10, 10);
    XFreeGC(display, gc);
    const int offsets[] = {0, 20 * 733 + 7, 20 * rows};

    std::vector<std::vector<uint8_t>> shots[2];
    for (int sourced = 0; sourced < 2; sourced++) {
        Widget scroll = XtVaCreateManagedWidget("scroll", xomScrollWidgetClass, shell, XmNwidth,
                                                400, XmNheight, 300, NULL);
        Widget table = XtVaCreateManagedWidget(
            "table", xomEditTableWidgetClass, scroll, XomNnumberOfColumns, columns,
            XomNnumberOfRows, rows, XomNcellSizeUnit, XomUNIT_PIXEL, XomNdefaultCellHeight, 20,
            XomNdefaultCellWidth, 90, NULL);
        if (sourced) {
            XtVaSetValues(table, XomNcellSource, OwnerCells::Source, XomNcellSourceData, &cells,
                          NULL);
        } else {
            for (int r = 1; r <= rows; r++)
                for (int c = 1; c <= columns; c++) {
                    XomEditTableFillCellNoUpdate(table, c, r, (XtPointer)cells.Text(c, r).c_str());
                    if (cells.HasIcon(c, r))
                        XomEditTableSetCellPixmap(table, c, 1, r, 1, cells.icon);
                }
            XomEditTableUpdateDataDisplay(table, 0, 0);
        }
        ShowShell();
        ProcessEvents();
        cells.asked = 0;
        for (int offset : offsets) {
            XomScrollSetPosition(scroll, 0, offset);
            ProcessEvents();
            RgbImage shot = ReadDrawable(display, XtWindow(table));
            shots[sourced].push_back(shot.rgb);
            if (offset == offsets[1])
                Save(table, sourced ? "edittable-sourced.png" : "edittable-stored.png");
        }
        if (sourced) {
            // Only what is in view was asked for: a few screens of cells, not 100,000.
            EXPECT_GT(cells.asked, 0);
            EXPECT_LT(cells.asked, 3 * 2 * 16 * columns * 2);
            char* text = (char*)XomEditTableGetCellData(table, 2, 734);
            EXPECT_EQ(std::string(text ? text : ""), cells.Text(2, 734));
            free(text);
        }
        XtDestroyWidget(scroll);
        ProcessEvents();
    }
    ASSERT_EQ(shots[0].size(), shots[1].size());
    for (size_t i = 0; i < shots[0].size(); i++)
        EXPECT_TRUE(shots[0][i] == shots[1][i]) << "scroll position " << offsets[i];
    XFreePixmap(display, cells.icon);
}

TEST_F(EditTableTest, AFrozenColumnStaysInPlaceWhileTheRestScrollsSideways)
{
    Widget scroll;
    Widget table = ScrolledTable(&scroll, 10, 5, 20, 300, 200);
    ASSERT_TRUE(XomEditTableSetCellBackground(table, 1, 1, 0, 0, Color("red")));
    ASSERT_TRUE(XomEditTableFreezeColumn(table, 1));
    int count = 0;
    int* frozen = XomEditTableGetFrozenColumns(table, &count);
    ASSERT_EQ(1, count);
    EXPECT_EQ(1, frozen[0]);
    XtFree((char*)frozen);
    ProcessEvents();
    XRectangle first = Cell(table, 1, 2), second = Cell(table, 3, 2);
    XomScrollSetPosition(scroll, 120, 0);
    ProcessEvents();
    XRectangle firstAfter = Cell(table, 1, 2), secondAfter = Cell(table, 3, 2);
    EXPECT_EQ(first.x, firstAfter.x);
    EXPECT_EQ(second.x - 120, secondAfter.x);
    EXPECT_EQ(0xff0000u, CellColor(table, 1, 2));
    XRectangle hidden;
    EXPECT_FALSE(XomEditTableGetCellRectangle(table, 2, 2, &hidden)); // scrolled under
    Save(table, "edittable-frozen.png");
}

TEST_F(EditTableTest, AClickOnACellToggleReachesTheToggle)
{
    Widget table = Table(2, 3);
    int range[4] = {1, 0, 2, 1}; // rows 1 to the end of column 2
    Widget toggle = XtVaCreateManagedWidget("toggle", xmToggleButtonWidgetClass, table,
                                            XomNcellWidgetRange, range, NULL);
    ProcessEvents();
    EXPECT_EQ(toggle, XomEditTableGetCellWidget(table, 2, 3));
    EXPECT_EQ(nullptr, XomEditTableGetCellWidget(table, 1, 3));
    XRectangle box = Cell(table, 2, 2);
    DispatchButton(table, ButtonPress, box.x + box.width / 2, box.y + box.height / 2);
    DispatchButton(table, ButtonRelease, box.x + box.width / 2, box.y + box.height / 2);
    ProcessEvents();
    EXPECT_TRUE(XmToggleButtonGetState(toggle));
    int column, row;
    EXPECT_TRUE(XomEditTableGetCellPointerPosition(table, &column, &row));
    EXPECT_EQ(2, column);
    EXPECT_EQ(2, row);
}

TEST_F(EditTableTest, SelectionModesCallTheirCallbacksUnlessQuiet)
{
    Widget table = Table(3, 5);
    Recorded rows, columns, cells;
    XtAddCallback(table, XomNrowCallback, Recorded::Add, &rows);
    XtAddCallback(table, XomNcolumnCallback, Recorded::Add, &columns);
    XtAddCallback(table, XomNselectCellCallback, Recorded::Add, &cells);
    struct Case {
        int mode;
        Recorded* expected;
        int reason;
    } cases[] = {
        {2, &rows, 8279}, {10, nullptr, 0},  {1, &columns, 8276},
        {9, nullptr, 0},  {4, &cells, 8275}, {12, nullptr, 0},
    };
    for (const Case& c : cases) {
        size_t before[3] = {rows.calls.size(), columns.calls.size(), cells.calls.size()};
        ASSERT_TRUE(XomEditTableSetSelection(table, 2, 1, 3, 2, c.mode));
        size_t after[3] = {rows.calls.size(), columns.calls.size(), cells.calls.size()};
        Recorded* lists[3] = {&rows, &columns, &cells};
        for (int i = 0; i < 3; i++)
            EXPECT_EQ(before[i] + (lists[i] == c.expected), after[i]) << c.mode;
        if (c.expected) {
            EXPECT_EQ(c.reason, c.expected->calls.back().reason);
        }
    }
    ProcessEvents();
    EXPECT_EQ(0x0000ffu, CellColor(table, 2, 3)); // selected: highlighted
    XomEditTableClearAllSelections(table);
    EXPECT_NE(0x0000ffu, CellColor(table, 2, 3));
}

TEST_F(EditTableTest, DraggingWithTheRowTranslationsSelectsWholeRows)
{
    Widget table = Table(3, 8);
    XtOverrideTranslations(
        table,
        XtParseTranslationTable("<Btn1Down>: EditTableStartSelect(multiple, row)\n"
                                "Button1<Motion>: EditTableExtendSelect()\n"
                                "<Btn1Up>: EditTableEndSelect()\n"));
    Recorded rows;
    XtAddCallback(table, XomNrowCallback, Recorded::Add, &rows);
    XRectangle from = Cell(table, 2, 2), to = Cell(table, 1, 4);
    DispatchButton(table, ButtonPress, from.x + 5, from.y + 5);
    XEvent motion = {};
    motion.xmotion.type = MotionNotify;
    motion.xmotion.display = display;
    motion.xmotion.window = XtWindow(table);
    motion.xmotion.x = to.x + 5;
    motion.xmotion.y = to.y + 5;
    motion.xmotion.state = Button1Mask;
    XtDispatchEvent(&motion);
    DispatchButton(table, ButtonRelease, to.x + 5, to.y + 5);
    ASSERT_EQ(1u, rows.calls.size());
    EXPECT_EQ(8279, rows.calls[0].reason);
    EXPECT_EQ(2, rows.calls[0].row);
    EXPECT_EQ(3, rows.calls[0].row_count);
    ProcessEvents();
    for (int row = 1; row <= 5; row++)
        EXPECT_EQ(row >= 2 && row <= 4, CellColor(table, 3, row) == 0x0000ffu) << row;
    Save(table, "edittable-row-selection.png");
}

TEST_F(EditTableTest, AHeadingClickReachesItsCallbackAndTheSortArrowShowsItsDirection)
{
    Widget table = Table(3, 8);
    XtVaSetValues(table, XomNautomaticColumnAnnotation, False, NULL);
    XtOverrideTranslations(table,
                           XtParseTranslationTable("<Btn1Down>: EditTableSelectHeading() "
                                                   "EditTableStartSelect(multiple, row)\n"
                                                   "<Btn1Up>: EditTableEndSelect()\n"));
    Recorded headings;
    XtAddCallback(table, XomNheadingCallback, Recorded::Add, &headings);
    XRectangle second = Cell(table, 2, 1);
    DispatchButton(table, ButtonPress, second.x + 5, second.y - 4);
    DispatchButton(table, ButtonRelease, second.x + 5, second.y - 4);
    DispatchButton(table, ButtonPress, second.x + 5, second.y + 5); // a cell: no heading
    DispatchButton(table, ButtonRelease, second.x + 5, second.y + 5);
    ASSERT_EQ(1u, headings.calls.size());
    EXPECT_EQ(XomCR_HEADING_SELECT, headings.calls[0].reason);
    EXPECT_EQ(2, headings.calls[0].column);
    // The cell's click selected its row, which the table gives back.
    int count = 0;
    int* rows = XomEditTableGetSelectedRows(table, &count);
    ASSERT_EQ(1, count);
    EXPECT_EQ(1, rows[0]);
    XtFree((char*)rows);

    // The arrow: foreground pixels at the right end of the heading, more of them at the
    // bottom when it points up, at the top when it points down.
    Pixel foreground = 0;
    XtVaGetValues(table, XmNforeground, &foreground, NULL);
    // The widths of the arrow's first and last pixel rows in the heading.
    auto ends = [&]() {
        RgbImage image = ReadDrawable(display, XtWindow(table));
        std::vector<int> widths;
        for (int y = 0; y < second.y; y++)
            if (int dark =
                    image.Count(foreground & 0xffffff, second.x + second.width - 30, y, 30, 1))
                widths.push_back(dark);
        return widths.empty() ? std::make_pair(0, 0)
                              : std::make_pair(widths.front(), widths.back());
    };
    EXPECT_EQ(std::make_pair(0, 0), ends()) << "no arrow yet";
    XtVaSetValues(table, XomNsortIndicatorColumn, 2, NULL);
    ProcessEvents();
    std::pair<int, int> up = ends();
    EXPECT_GT(up.second, up.first + 4);
    Save(table, "edittable-sort-arrow-up.png");
    XtVaSetValues(table, XomNsortIndicatorDescending, True, NULL);
    ProcessEvents();
    std::pair<int, int> down = ends();
    EXPECT_GT(down.first, down.second + 4);
}

TEST_F(EditTableTest, FunctionsGivenAnotherWidgetOrABadRangeWarnAndChangeNothing)
{
    Widget table = Table(2, 20);
    Widget other = XtVaCreateWidget("other", xmToggleButtonWidgetClass, shell, NULL);
    EXPECT_FALSE(XomEditTableFillCell(other, 1, 1, (XtPointer) "x"));
    ASSERT_FALSE(Warnings().empty());
    EXPECT_EQ("**** XomEditTableWarning ****\nXomEditTableFillCell\nNot a XomEditTable widget.",
              Warnings().back());
    EXPECT_FALSE(XomEditTableFreezeColumn(table, 1));
    EXPECT_EQ("**** XomEditTableWarning ****\nXomEditTableFreezeColumn\nParent is not XomScroll.",
              Warnings().back());
    int count = -1;
    EXPECT_EQ(nullptr, XomEditTableGetFrozenColumns(table, &count));
    EXPECT_EQ(0, count);
    // Rows inserted and deleted show in the resource.
    ASSERT_TRUE(XomEditTableInsertRows(table, 0, 5));
    int rows = 0;
    XtVaGetValues(table, XomNnumberOfRows, &rows, NULL);
    EXPECT_EQ(25, rows);
    ASSERT_TRUE(XomEditTableDeleteRows(table, 1, 25));
    XtVaGetValues(table, XomNnumberOfRows, &rows, NULL);
    EXPECT_EQ(0, rows);
}

} // namespace
