// The connection table view: applies the current server's settings to the table widget and
// turns its row list into cells after every poll.
#include "app/MonTable.h"

#include <stdlib.h>
#include <string.h>

#include <string>

#include <Xm/Xm.h>

#include "app/ColumnSelect.h"
#include "core/Connection.h"
#include "app/MonSOCKS5.h"
#include "app/MonitorApp.h"
#include "core/RowFilter.h"
#include "core/TableTexts.h"
#include "app/icons/pause_conn.xpm.h"
#include "app/icons/stop_conn.xpm.h"
#include "app/util.h"
#include "toolkit/EditTable.h"
#include "toolkit/Scroll.h"
#include "toolkit/util.h"

// The one table view, for callbacks that carry no object (the column dialog's).
MonTable* current_monTable = NULL;

// Rows this many places ahead are asked for while the filter tries one: they lie far apart.
static const int FILTER_PREFETCH_DISTANCE = 4;

// Button 1 selects whole rows, several at a time, by pressing and dragging; on a column
// heading it sorts by that column.
static const char row_translations[] =
    "<Btn1Down>:             EditTableSelectHeading() EditTableStartSelect(multiple, row)\n"
    "   Button1<Motion>:         EditTableExtendSelect()\n"
    "   <Btn1Up>:                EditTableEndSelect()\n";

MonTable::MonTable(Widget parent, MonitorApp* owner)
    : scroll(NULL), table(NULL), connIcons(NULL), stripe(0), app(owner)
{
    current_monTable = this;
    SetupTable(parent);
}

MonTable::~MonTable()
{
    XtFree((char*)connIcons);
    if (current_monTable == this)
        current_monTable = NULL;
}

// The table sits in a scrolled window that is one pane of the main window.
void MonTable::SetupTable(Widget parent)
{
    // A copy: the settings of the server, or the defaults before one is chosen.
    Setting s = app->current ? app->current->setting : app->setting;
    if (!table)
        BuildTable(parent, s);
    AlterColumnSetting(s);
    AlterTableTitle();
}

void MonTable::BuildTable(Widget parent, Setting s)
{
    if (table)
        return;
    // The scrolled window stretches and shrinks freely, so the table takes whatever room the graph
    // leaves it.
    scroll = XtVaCreateWidget("scroll", xomScrollWidgetClass, parent, "horizontalStretch", 10000,
                              "horizontalShrink", 10000, "verticalShrink", 10000, "verticalStretch",
                              10000, "scrollBarExtend", False, NULL);
    table = XtVaCreateManagedWidget(
        "table", xomEditTableWidgetClass, scroll, XomNdefaultColumnAlignment, XomALIGNMENT_CENTER,
        XomNhorizontalAnnotationPlacement, XomPLACEMENT_TOP, XomNverticalAnnotationPlacement,
        XomPLACEMENT_LEFT, XomNcellSizeUnit, XomUNIT_PIXEL, XomNcellPointerBorderThickness, 0,
        XomNnumberOfRows, s.tableRows, XomNdefaultColumnEditMode, XomCOLUMN_NON_EDITABLE,
        XomNautomaticColumnAnnotation, False, XomNdefaultColumnDataType, XomTYPE_STRING,
        XomNdefaultColumnDataFormat, "%s", XomNcellSource, CellSourceCallback, XomNcellSourceData,
        this, NULL);
    XtOverrideTranslations(table, XtParseTranslationTable(row_translations));
    XtAddCallback(table, XomNheadingCallback, HeadingCallback, this);
    XtVaSetValues(table, XmNheight, (Dimension)s.tableHeight, XmNwidth, (Dimension)s.tableWidth,
                  XomNnumberOfRows, s.tableRows, XomNnumberOfColumns, s.tableColumns, NULL);
    // Name, address and error columns read best from the left; the widths follow.
    static const int leftAligned[] = {0, 1, 2, 10, 11};
    for (int n : leftAligned)
        XomEditTableDefineColumnFormat(table, n, XomCOLUMN_NON_EDITABLE, XomALIGNMENT_BEGINNING,
                                       s.columnWidth[n], XomTYPE_STRING, "%s");
    stripe = XomLoadColor(XtDisplay(table), "pink");
    // The icons of a connection listed while its server is stopped (0) or paused (1).
    connIcons = (Pixmap*)XtMalloc(2 * sizeof(Pixmap));
    connIcons[0] = _XomCreatePixmapFromData(NULL, stop_conn_xpm, table);
    connIcons[1] = _XomCreatePixmapFromData(NULL, pause_conn_xpm, table);
    XtManageChild(scroll);
}

void MonTable::AlterColumnSetting(Setting s)
{
    XomEditTableFreezeUpdate(table, 1);
    int frozen = 0;
    // The old frozen columns are released first: the new setting may freeze fewer.
    int* columns = XomEditTableGetFrozenColumns(table, &frozen);
    XtFree((char*)columns);
    for (int c = 1; c <= frozen; c++)
        XomEditTableReleaseColumn(table, c);
    // Each title follows the data column its position shows.
    const char* titles[SETTING_COLUMNS];
    for (int p = 0; p < SETTING_COLUMNS; p++) {
        int d = s.columnType[p];
        titles[p] = d >= 0 && d < DATA_COLUMN_COUNT ? annotation_label_list[d] : "";
    }
    XtVaSetValues(table, XomNnumberOfColumns, s.columnCount, XomNcolumnAnnotationData, titles,
                  XomNdefaultCellHeight, s.cellHeight, XomNcellWidthData, s.columnWidth, NULL);
    for (int i = 0; i < s.columnCount; i++)
        XomEditTableChangeColumnVisibility(table, i + 1, i + 1, s.columnVisible[i]);
    for (int c = 1; c <= s.frozenColumns; c++)
        XomEditTableFreezeColumn(table, c);
    ShowSortArrow();
    XomEditTableFreezeUpdate(table, 0);
}

// The arrow goes on the heading of the column the rows are sorted by, wherever that column now
// stands; a sort key without a visible column shows no arrow.
void MonTable::ShowSortArrow()
{
    const Setting& s = app->current ? app->current->setting : app->setting;
    int sorted = ColumnOfSortKey(s.sortType), position = 0;
    for (int p = 0; p < s.columnCount && !position; p++)
        if (s.columnType[p] == sorted)
            position = p + 1;
    XtVaSetValues(table, XomNsortIndicatorColumn, position, XomNsortIndicatorDescending,
                  s.sortDescending ? True : False, NULL);
}

// A click on a heading sorts by that column's data; clicking it again reverses the order.
void MonTable::HeadingCallback(Widget, XtPointer clientData, XtPointer callData)
{
    MonTable* view = static_cast<MonTable*>(clientData);
    const XomEditTableRowColumnCallbackStruct* heading =
        static_cast<XomEditTableRowColumnCallbackStruct*>(callData);
    SOCKS5* server = view->app->current;
    if (!server || heading->column < 1 || heading->column > server->setting.columnCount)
        return;
    view->app->SortByHeading(SortKeyOfColumn(server->setting.columnType[heading->column - 1]));
}

// Rows on show: the filter's matches, or the whole list.
int MonTable::ShownCount()
{
    SOCKS5* server = app->current;
    if (!server)
        return 0;
    const Setting& s = server->setting;
    if (s.filter[0])
        return static_cast<int>(filtered.size());
    return s.showFailed ? server->failedCount : server->activeCount;
}

// The row count the table would have without the filter, which is what the settings save.
int MonTable::RowsWithoutFilter()
{
    int rows = 0;
    XtVaGetValues(table, XomNnumberOfRows, &rows, NULL);
    SOCKS5* server = app->current;
    if (!server || !server->setting.filter[0])
        return rows;
    // As RasterTable lists them: the whole list, or blank rows for an empty one.
    const Setting& s = server->setting;
    int total = s.showFailed ? server->failedCount : server->activeCount;
    return total > 0 ? total : s.tableRows;
}

// The row at position i of the table, through the filter's positions when one applies.
Connection* MonTable::ShownRow(int i)
{
    SOCKS5* server = app->current;
    if (!server || i < 0)
        return NULL;
    const Setting& s = server->setting;
    Connection** list = s.showFailed ? server->failedRows : server->activeRows;
    int count = s.showFailed ? server->failedCount : server->activeCount;
    if (s.filter[0])
        i = i < static_cast<int>(filtered.size()) ? filtered[static_cast<size_t>(i)] : -1;
    return list && i >= 0 && i < count ? list[i] : NULL;
}

// The title names the server and the list on show, and the filter when one hides rows.
void MonTable::AlterTableTitle()
{
    char title[TABLE_TITLE_SIZE];
    std::string shown;
    if (app->current) {
        ComposeTableTitle(title, app->current->setting.showFailed, app->current->name);
        shown = title;
        if (app->current->setting.filter[0])
            shown += std::string(" (filtered: ") + app->current->setting.filter + ")";
    } else {
        ComposeTableTitle(title, app->setting.showFailed, "SOCKS5Server Unspecified");
        shown = title;
    }
    XtVaSetValues(table, XomNtitleString, shown.c_str(), NULL);
}

// After every poll, and whenever the list or its order changes. The table holds no texts:
// it is told how many rows to show and asks CellSource for each cell as it draws, so a
// list of 400,000 rows costs only what is on screen. A filter is applied here, into the
// positions of the rows it shows (filtered), asking for rows a few places ahead since a
// scan of that many rows waits on memory more than on the comparisons.
void MonTable::RasterTable()
{
    SOCKS5* server = app->current;
    if (!server)
        return;
    const Setting& s = server->setting;
    int total = s.showFailed ? server->failedCount : server->activeCount;
    // Swapped with an empty vector, not cleared, so a large filter result gives its memory back.
    std::vector<int>().swap(filtered);
    if (s.filter[0]) {
        Connection** list = s.showFailed ? server->failedRows : server->activeRows;
        RowFilter shown(s.filter);
        for (int i = 0; i < total; i++) {
            if (i + FILTER_PREFETCH_DISTANCE < total)
                PrefetchFilterFields(list[i + FILTER_PREFETCH_DISTANCE]);
            if (shown.Matches(list[i]))
                filtered.push_back(i);
        }
        app->ShowShownCount(static_cast<int>(filtered.size()), total, true);
    }
    int count = ShownCount();
    app->UpdateNewRejLabel();
    // Selections are by position and would point at other connections after the update.
    XomEditTableClearAllSelections(table);

    int rows = 0;
    XtVaGetValues(table, XomNnumberOfRows, &rows, NULL);
    // An empty list still shows the configured number of blank rows, so the table keeps its shape.
    if (count == 0) {
        if (rows > 0)
            XomEditTableDeleteRows(table, 1, rows);
        if (s.tableRows > 0) {
            XomEditTableInsertRows(table, 0, s.tableRows);
            XtVaSetValues(table, XomNnumberOfColumns, s.columnCount, XomNdefaultCellHeight,
                          s.cellHeight, NULL);
        }
        return;
    }
    // The rows follow the list; their cells and stripes are asked for as they are drawn.
    if (rows < count)
        XomEditTableInsertRows(table, 0, count - rows);
    else if (rows > count)
        XomEditTableDeleteRows(table, count + 1, rows - count);
    XomEditTableUpdateDataDisplay(table, 0, 0);
}

void MonTable::CellSourceCallback(Widget, XtPointer closure, int column, int row,
                                  XomEditTableCellContent* content)
{
    static_cast<MonTable*>(closure)->CellSource(column, row, content);
}

// One cell on demand: the text of the row's data column under the position's column, and
// in the first column the icon of a connection whose server was stopped or paused.
void MonTable::CellSource(int column, int row, XomEditTableCellContent* content)
{
    // Odd rows are pink across the table, blank rows too.
    if (row % 2 == 1) {
        content->has_background = True;
        content->background = stripe;
    }
    SOCKS5* server = app->current;
    if (!server || column < 1 || column > SETTING_COLUMNS)
        return;
    const Setting& s = server->setting;
    Connection* connection = ShownRow(row - 1);
    if (!connection)
        return; // the blank rows of an empty list
    content->text = ConnectionCellText(connection, s.columnType[column - 1], s.nodeType,
                                       s.unitFactor, &addressCell);
    if (column == 1)
        content->pixmap = connection->kind == CONN_ACTIVE_STOPPED ? connIcons[0]
            : connection->kind == CONN_ACTIVE_PAUSED              ? connIcons[1]
                                                                  : None;
}

void MonTable::ClearTable()
{
    int rows = 0;
    XtVaGetValues(table, XomNnumberOfRows, &rows, NULL);
    if (rows > 0)
        XomEditTableDeleteRows(table, 1, rows);
}

// After a change of the current server or its list. reload 0 redraws the rows as they are;
// 1 also applies the server's columns and brings its parked rows back, ageing and sorting
// them at once while the server is paused, since no poll will come to do it.
void MonTable::RestoreTable(int reload)
{
    SOCKS5* server = app->current;
    if (!server) {
        AlterTableTitle();
        return;
    }
    if (!reload) {
        server->status |= SOCKS5_BUSY;
        RasterTable();
        server->status &= ~SOCKS5_BUSY;
        AlterTableTitle();
        return;
    }
    AlterColumnSetting(server->setting);
    app->RestoreConnectionList();
    server = app->current;
    // A pass under way lists the rows anew as it ends.
    if (server && (server->status & SOCKS5_CONNECTED) && (server->status & SOCKS5_PAUSED)
        && !app->PassInProgress()) {
        server->status |= SOCKS5_BUSY;
        app->UpdateData(0);
        app->SortConnectionList(SORT_AFTER_NEW_DATA);
        RasterTable();
        server->status &= ~SOCKS5_BUSY;
    }
    AlterTableTitle();
}

// The dialog edits the current server's columns and redraws through ColumnSelectCallback.
void MonTable::callColumnSelect()
{
    if (!app->current || !table)
        return;
    new ColumnSelect(table, &app->current->setting, ColumnSelectCallback);
}

void MonTable::ColumnSelectCallback()
{
    MonTable* view = current_monTable;
    if (!view)
        return;
    // The table exists already, so no parent is needed.
    view->SetupTable(NULL);
    SOCKS5* server = view->app->current;
    if (!server)
        return;
    server->status |= SOCKS5_BUSY;
    view->RasterTable();
    server->status &= ~SOCKS5_BUSY;
}
