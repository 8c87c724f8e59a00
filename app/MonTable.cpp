// The connection table view: applies the current server's settings to the table widget and
// turns its row list into cells after every poll.
#include "app/MonTable.h"

#include <stdlib.h>
#include <string.h>

#include <Xm/Xm.h>

#include "app/ColumnSelect.h"
#include "app/Connection.h"
#include "app/MonSOCKS5.h"
#include "app/MonitorApp.h"
#include "app/TableTexts.h"
#include "app/icons/pause_conn.xpm.h"
#include "app/icons/stop_conn.xpm.h"
#include "app/util.h"
#include "toolkit/EditTable.h"
#include "toolkit/Scroll.h"
#include "toolkit/util.h"

MonTable* current_monTable = NULL;

// Button 1 selects whole rows, several at a time, by pressing and dragging.
static const char row_translations[] =
    "<Btn1Down>:             EditTableStartSelect(multiple, row)\n"
    "   Button1<Motion>:         EditTableExtendSelect()\n"
    "   <Btn1Up>:                EditTableEndSelect()\n";

MonTable::MonTable(Widget parent, MonitorApp* owner)
    : scroll(NULL), table(NULL), rowCapacity(0), connIcons(NULL), app(owner), reallocate(realloc)
{
    current_monTable = this;
    for (int i = 0; i < SETTING_COLUMNS; i++)
        columnText[i] = NULL;
    SetupTable(parent);
}

MonTable::~MonTable()
{
    for (int i = 0; i < SETTING_COLUMNS; i++)
        free(columnText[i]);
    XtFree((char*)connIcons);
    if (current_monTable == this)
        current_monTable = NULL;
}

void MonTable::SetupTable(Widget parent)
{
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
    scroll = XtVaCreateWidget("scroll", xomScrollWidgetClass, parent, "horizontalStretch", 10000,
                              "horizontalShrink", 10000, "verticalShrink", 10000, "verticalStretch",
                              10000, "scrollBarExtend", False, NULL);
    table = XtVaCreateManagedWidget(
        "table", xomEditTableWidgetClass, scroll, XomNdefaultColumnAlignment, XomALIGNMENT_CENTER,
        XomNhorizontalAnnotationPlacement, XomPLACEMENT_TOP, XomNverticalAnnotationPlacement,
        XomPLACEMENT_LEFT, XomNcellSizeUnit, XomUNIT_PIXEL, XomNcellPointerBorderThickness, 0,
        XomNnumberOfRows, s.tableRows, XomNdefaultColumnEditMode, XomCOLUMN_NON_EDITABLE,
        XomNautomaticColumnAnnotation, False, XomNdefaultColumnDataType, XomTYPE_STRING,
        XomNdefaultColumnDataFormat, "%s", NULL);
    XtOverrideTranslations(table, XtParseTranslationTable(row_translations));
    XtVaSetValues(table, XmNheight, (Dimension)s.tableHeight, XmNwidth, (Dimension)s.tableWidth,
                  XomNnumberOfRows, s.tableRows, XomNnumberOfColumns, s.tableColumns, NULL);
    // Name, address and error columns read best from the left; the widths follow.
    static const int leftAligned[] = {0, 1, 2, 10, 11};
    for (int n : leftAligned)
        XomEditTableDefineColumnFormat(table, n, XomCOLUMN_NON_EDITABLE, XomALIGNMENT_BEGINNING,
                                       s.columnWidth[n], XomTYPE_STRING, "%s");
    connIcons = (Pixmap*)XtMalloc(2 * sizeof(Pixmap));
    connIcons[0] = _XomCreatePixmapFromData(NULL, stop_conn_xpm, table);
    connIcons[1] = _XomCreatePixmapFromData(NULL, pause_conn_xpm, table);
    XtManageChild(scroll);
}

void MonTable::AlterColumnSetting(Setting s)
{
    XomEditTableFreezeUpdate(table, 1);
    int frozen = 0;
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
    int rows = 0;
    XtVaGetValues(table, XomNnumberOfRows, &rows, NULL);
    AlterBackground(1, rows);
    XomEditTableFreezeUpdate(table, 0);
}

void MonTable::AlterTableTitle()
{
    char title[TABLE_TITLE_SIZE];
    if (app->current)
        ComposeTableTitle(title, app->current->setting.showFailed, app->current->name);
    else
        ComposeTableTitle(title, app->setting.showFailed, "SOCKS5Server Unspecified");
    XtVaSetValues(table, XomNtitleString, title, NULL);
}

bool MonTable::GrowColumnTexts(int count)
{
    int columns = app->current->setting.columnCount;
    for (int i = 0; i < columns && i < SETTING_COLUMNS; i++) {
        // On failure the old array stays valid, and so do the rows the table shows.
        char** grown = (char**)reallocate(columnText[i], sizeof(char*) * (size_t)count);
        if (!grown)
            return false;
        // Entries a skipped data column leaves alone must still be empty texts.
        for (int j = columnText[i] ? rowCapacity : 0; j < count; j++)
            grown[j] = NULL;
        columnText[i] = grown;
    }
    rowCapacity = count;
    return true;
}

// The rows of a sorted list lie anywhere in the row array, so each one read is a wait for
// memory; the rows this far ahead are asked for while the current one is handled.
enum { ROW_PREFETCH_DISTANCE = 8 };

void MonTable::RasterTable()
{
    SOCKS5* server = app->current;
    if (!server)
        return;
    const Setting& s = server->setting;
    Connection** list = s.showFailed ? server->failedRows : server->activeRows;
    int count = s.showFailed ? server->failedCount : server->activeCount;
    app->UpdateNewRejLabel();
    XomEditTableClearAllSelections(table);

    int rows = 0;
    if (count == 0) {
        XtVaGetValues(table, XomNnumberOfRows, &rows, NULL);
        if (rows > 0)
            XomEditTableDeleteRows(table, 1, rows);
        if (s.tableRows > 0) {
            XomEditTableInsertRows(table, 0, s.tableRows);
            XtVaSetValues(table, XomNnumberOfColumns, s.columnCount, XomNdefaultCellHeight,
                          s.cellHeight, NULL);
            AlterBackground(1, s.tableRows);
        }
        return;
    }
    if (!list || !GrowColumnTexts(count))
        return;
    int columns = s.columnCount < SETTING_COLUMNS ? s.columnCount : SETTING_COLUMNS;
    for (int i = 0; i < columns; i++)
        FillData(list, count, s.columnType[i], i);

    XtVaGetValues(table, XomNnumberOfRows, &rows, NULL);
    if (rows < count)
        XomEditTableInsertRows(table, 0, count - rows);
    else if (rows > count)
        XomEditTableDeleteRows(table, count + 1, rows - count);
    AlterBackground(rows + 1, count);

    // Row by row: the texts of a row lie close together, those of a column 1.8 KB apart.
    for (int j = 0; j < count; j++) {
        if (j + ROW_PREFETCH_DISTANCE < count) {
            for (int i = 0; i < columns; i++)
                __builtin_prefetch(columnText[i][j + ROW_PREFETCH_DISTANCE]);
        }
        for (int i = 0; i < columns; i++)
            XomEditTableFillCellNoUpdate(table, i + 1, j + 1, columnText[i][j]);
        if (columns < 1)
            continue;
        int kind = list[j]->kind;
        Pixmap icon = kind == CONN_ACTIVE_STOPPED ? connIcons[0]
            : kind == CONN_ACTIVE_PAUSED          ? connIcons[1]
                                                  : XmUNSPECIFIED_PIXMAP;
        XomEditTableSetCellPixmap(table, 1, 1, j + 1, 1, icon);
    }
    XomEditTableUpdateDataDisplay(table, 0, 0);
}

void MonTable::FillData(Connection** list, int count, int dataColumn, int position)
{
    if (dataColumn < 0 || dataColumn >= DATA_COLUMN_COUNT || position < 0
        || position >= SETTING_COLUMNS || count > rowCapacity)
        return;
    const Setting& s = app->current->setting;
    // Only the traffic texts are made from the record; the other texts are read in place.
    bool readsRows = dataColumn == COLUMN_IN_TRAFFIC || dataColumn == COLUMN_OUT_TRAFFIC
        || dataColumn == COLUMN_TOTAL_TRAFFIC;
    for (int j = 0; j < count; j++) {
        if (readsRows && j + ROW_PREFETCH_DISTANCE < count)
            __builtin_prefetch(&list[j + ROW_PREFETCH_DISTANCE]->data.inTotBytes);
        columnText[position][j] = ConnectionCellText(list[j], dataColumn, s.nodeType, s.unitFactor);
    }
}

void MonTable::AlterBackground(int firstRow, int lastRow)
{
    int columns = 0;
    XtVaGetValues(table, XomNnumberOfColumns, &columns, NULL);
    if (lastRow % 2 == 0)
        lastRow--;
    if (firstRow % 2 == 0)
        firstRow++;
    if (firstRow > lastRow || columns < 1)
        return;
    Pixel pink = XomLoadColor(XtDisplay(table), "pink");
    for (int row = firstRow; row <= lastRow; row += 2)
        XomEditTableSetCellBackground(table, 1, columns, row, 1, pink);
}

void MonTable::ClearTable()
{
    int rows = 0;
    XtVaGetValues(table, XomNnumberOfRows, &rows, NULL);
    if (rows > 0)
        XomEditTableDeleteRows(table, 1, rows);
}

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
    if (server && (server->status & SOCKS5_CONNECTED) && (server->status & SOCKS5_PAUSED)) {
        server->status |= SOCKS5_BUSY;
        app->UpdateData(0);
        app->SortConnectionList(SORT_AFTER_NEW_DATA);
        RasterTable();
        server->status &= ~SOCKS5_BUSY;
    }
    AlterTableTitle();
}

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
    view->SetupTable(NULL);
    SOCKS5* server = view->app->current;
    if (!server)
        return;
    server->status |= SOCKS5_BUSY;
    view->RasterTable();
    server->status &= ~SOCKS5_BUSY;
}
