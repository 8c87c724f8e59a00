// The table's model without a display: formats against types, empty values, range checks
// with their warning texts, insertion and deletion with their callbacks, freezing, colours
// and selections.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "toolkit/EditTableModel.h"

namespace {

const std::string HEADER = "**** XomEditTableWarning ****\n";

// Records what the model reports and vetoes deletions on request.
struct Recorder : EditTableHooks {
    std::vector<std::string> warnings;
    std::vector<std::string> calls;
    bool allowDelete = true;
    void Warn(const std::string& text) override { warnings.push_back(text); }
    bool RowsDeleting(int first, int count) override
    {
        calls.push_back("delete " + std::to_string(first) + "+" + std::to_string(count));
        return allowDelete;
    }
    void RowsInserted(int first, int count) override
    {
        calls.push_back("insert " + std::to_string(first) + "+" + std::to_string(count));
    }
    bool FormatPointer(int, int row, const void*, std::string* text) override
    {
        *text = "pointer of row " + std::to_string(row);
        return true;
    }
};

struct ModelTest : ::testing::Test {
    Recorder hooks;
    EditTableModel model{&hooks};

    void Make(int columns, int rows)
    {
        model.SetColumnCount(columns);
        model.SetRowCount(rows);
    }
    std::string Text(int column, int row)
    {
        const char* t = model.CellText(column, row);
        return t ? t : "<none>";
    }
    void Fill(int column, int row, const char* s)
    {
        bool changed;
        ASSERT_TRUE(model.FillCell("XomEditTableFillCell", column, row, s, &changed));
    }
    std::string Column(int column)
    {
        std::string all;
        for (int r = 1; r <= model.Rows(); r++)
            all += Text(column, r) + (r < model.Rows() ? "," : "");
        return all;
    }
    std::string LastWarning() { return hooks.warnings.empty() ? "" : hooks.warnings.back(); }
};

TEST(CellFormat, FormatsFitTheirTypesAndNothingElse)
{
    struct Case {
        int type;
        const char* format;
        int fits;
    } cases[] = {
        {XomTYPE_STRING, "%s", 1},    {XomTYPE_STRING, "<%-10s>", 1}, {XomTYPE_STRING, "%d", 0},
        {XomTYPE_STRING, "plain", 0}, {XomTYPE_STRING, "%s %s", 0},   {XomTYPE_STRING, "%ls", 0},
        {XomTYPE_INTEGER, "%d", 1},   {XomTYPE_INTEGER, "%5.2f", 1},  {XomTYPE_INTEGER, "%x%%", 1},
        {XomTYPE_INTEGER, "%s", 0},   {XomTYPE_INTEGER, "%d%s", 0},   {XomTYPE_INTEGER, "%*d", 0},
        {XomTYPE_INTEGER, "%n", 0},   {XomTYPE_INTEGER, "none", 0},   {XomTYPE_LONG, "%ld", 1},
        {XomTYPE_SHORT, "%hd", 1},    {XomTYPE_DOUBLE, "%lf", 1},     {XomTYPE_DOUBLE, "%Lf", 0},
        {XomTYPE_FLOAT, "%c", 1},     {XomTYPE_POINTER, "%s%s%n", 1}, {XomTYPE_DOUBLE, NULL, 1},
        {XomTYPE_FLOAT, "%", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.fits, EditTableFormatFits(c.type, c.format))
            << c.type << " " << (c.format ? c.format : "null");
}

TEST(CellFormat, ValuesPrintAsTheConversionReadsThemAndAreCutAtTheFormatLengthPlus64)
{
    char text[200];
    struct Case {
        int type;
        const char* format;
        EditTableValue value;
        const char* expected;
    };
    EditTableValue i42, f15, s7, big;
    i42.i = 42;
    f15.f = 1.5f;
    s7.s = 7;
    big.d = 1e300;
    Case cases[] = {
        {XomTYPE_LONG, "%ld", i42, "42"},    {XomTYPE_INTEGER, "%5.2f", i42, "42.00"},
        {XomTYPE_FLOAT, "%d", f15, "1"},     {XomTYPE_FLOAT, "%.2f", f15, "1.50"},
        {XomTYPE_SHORT, "[%hd]", s7, "[7]"}, {XomTYPE_INTEGER, "%x%%", i42, "2a%"},
    };
    for (const Case& c : cases) {
        EditTablePrintValue(c.type, c.format, c.value, text, EditTableTextSize(c.format));
        EXPECT_STREQ(c.expected, text) << c.format;
    }
    size_t n = EditTablePrintValue(XomTYPE_DOUBLE, "%f", big, text, EditTableTextSize("%f"));
    EXPECT_EQ(strlen("%f") + 63, n);
    EXPECT_EQ(n, strlen(text));
}

TEST_F(ModelTest, DefineColumnFormatTakesColumnZeroAsColumnOneAndRefusesFourWays)
{
    Make(3, 2);
    ASSERT_TRUE(model.DefineColumnFormat(0, 0, XomALIGNMENT_END, 40, XomTYPE_INTEGER, "%04d"));
    EXPECT_EQ(XomTYPE_INTEGER, model.ColumnType(1));
    EXPECT_STREQ("%04d", model.ColumnFormat(1));
    EXPECT_EQ(XomALIGNMENT_END, model.ColumnAlignment(1));
    EXPECT_EQ(40, model.ColumnWidth(1));
    EXPECT_EQ(XomTYPE_STRING, model.ColumnType(2));
    EXPECT_TRUE(hooks.warnings.empty());

    struct Refusal {
        int editMode, alignment, type;
        const char* format;
        const char* message;
    } refusals[] = {
        {2, 0, XomTYPE_STRING, "%s", "Invalid Edit Mode"},
        {0, 11, XomTYPE_STRING, "%s", "Invalid Alignment Setting"},
        {0, 0, 9, "%s", "Invalid data Type."},
        {0, 0, XomTYPE_DOUBLE, "%s", "Format does not match data type."},
    };
    for (const Refusal& r : refusals) {
        EXPECT_FALSE(model.DefineColumnFormat(2, r.editMode, r.alignment, 10, r.type, r.format));
        EXPECT_EQ(HEADER + "XomEditTableDefineColumnFormat\n" + r.message, LastWarning());
        EXPECT_EQ(XomTYPE_STRING, model.ColumnType(2));
        EXPECT_EQ(XomSIZE_UNSET, model.ColumnWidth(2));
    }
    // Minus one takes the defaults.
    model.defaults.alignment = XomALIGNMENT_CENTER;
    ASSERT_TRUE(model.DefineColumnFormat(1, -1, -2, -1, -1, NULL));
    EXPECT_EQ(XomALIGNMENT_CENTER, model.ColumnAlignment(1));
    EXPECT_EQ(XomTYPE_STRING, model.ColumnType(1));
    EXPECT_STREQ("%s", model.ColumnFormat(1));
}

TEST_F(ModelTest, InsertAppendsAtZeroAndDeleteAsksTheCallbacksFirst)
{
    Make(1, 0);
    EXPECT_FALSE(model.DeleteRows(1, 5)); // empty table: silently nothing
    EXPECT_TRUE(hooks.warnings.empty());
    EXPECT_TRUE(hooks.calls.empty());

    ASSERT_TRUE(model.InsertRows(0, 3));
    Fill(1, 1, "a"), Fill(1, 2, "b"), Fill(1, 3, "c");
    ASSERT_TRUE(model.InsertRows(0, 1));
    ASSERT_TRUE(model.InsertRows(2, 1));
    EXPECT_EQ("a,<none>,b,c,<none>", Column(1));

    hooks.allowDelete = false;
    EXPECT_FALSE(model.DeleteRows(1, 2));
    EXPECT_EQ(5, model.Rows());
    hooks.allowDelete = true;
    ASSERT_TRUE(model.DeleteRows(0, 1));  // below 1: the last row
    ASSERT_TRUE(model.DeleteRows(3, 99)); // past the end: to the end
    EXPECT_EQ("a,<none>", Column(1));
    std::vector<std::string> expected = {"insert 1+3", "insert 4+1", "insert 2+1",
                                         "delete 1+2", "delete 5+1", "delete 3+2"};
    EXPECT_EQ(expected, hooks.calls);

    EXPECT_FALSE(model.InsertRows(0, 0));
    EXPECT_EQ(HEADER + "    XomEditTableInsertRows: number of rows number 0 is out of range.",
              LastWarning());
    EXPECT_FALSE(model.DeleteRows(7, 1));
    EXPECT_EQ(HEADER + "    XomEditTableDeleteRows: Starting row number 7 is out of range.",
              LastWarning());
}

TEST_F(ModelTest, OriginalDataRefusesRowChangesAndFillsIntoTheCallersArray)
{
    Make(1, 3);
    model.defaults.useOriginalData = true;
    model.DefineColumnFormat(1, 0, 0, -1, XomTYPE_INTEGER, NULL);
    int value = 5;
    bool changed;
    EXPECT_FALSE(model.FillCell("XomEditTableFillCell", 1, 1, &value, &changed));
    EXPECT_EQ(HEADER + "XomEditTableFillCell\nColumn is not defined yet.", LastWarning());
    int array[3] = {1, 2, 3};
    EXPECT_EQ(3, model.FillColumnData(1, array));
    ASSERT_TRUE(model.FillCell("XomEditTableFillCell", 1, 2, &value, &changed));
    EXPECT_EQ(5, array[1]);
    EXPECT_EQ("1,5,3", Column(1));
    EXPECT_FALSE(model.InsertRows(0, 1));
    EXPECT_EQ(
        HEADER
            + "XomEditTableInsertRows\nRow insertion not allowed when XmNuseOriginalData is True.",
        LastWarning());
    EXPECT_FALSE(model.DeleteRows(1, 1));
    EXPECT_EQ(
        HEADER + "XomEditTableDeleteRows\nRow deletion not allowed on XmNuseOriginalData = true.",
        LastWarning());
}

TEST_F(ModelTest, ReversedRangesAreSwappedBeforeTheirCheck)
{
    Make(2, 20);
    EXPECT_EQ(-1, model.ChangeRowVisibility(21, 20, false));
    EXPECT_EQ(HEADER + "    XomEditTableChangeRowVisibility: Ending row number 21 is out of range.",
              LastWarning());
    EXPECT_FALSE(model.RowHidden(20));
    EXPECT_EQ(2, model.ChangeRowVisibility(20, 19, false));
    EXPECT_EQ(0, model.ChangeRowVisibility(19, 20, false)); // only changes count
    EXPECT_TRUE(model.RowHidden(19));
    EXPECT_EQ(-1, model.ChangeColumnVisibility(-1, 1, false));
    EXPECT_EQ(
        HEADER
            + "    XomEditTableChangeColumnVisibility: Starting column number -1 is out of range.",
        LastWarning());
    EXPECT_EQ(2, model.ChangeColumnVisibility(0, 0, false)); // 0 to 0: all of them
    size_t before = hooks.warnings.size();
    Make(0, 0); // no columns: refused quietly
    EXPECT_EQ(-1, model.ChangeColumnVisibility(1, 1, true));
    EXPECT_EQ(before, hooks.warnings.size());
}

TEST_F(ModelTest, EmptyValuesShowNothingAndGiveNoData)
{
    Make(6, 1);
    struct Case {
        int type;
        const void* value;
        const char* shown;
    };
    short emptyShort = 32767, shortValue = -3;
    int emptyInt = 2147483647, intValue = 12;
    double emptyDouble = 1.7976931348623157e308, doubleValue = 0.25;
    Case cases[] = {
        {XomTYPE_SHORT, &emptyShort, "<none>"},
        {XomTYPE_SHORT, &shortValue, "-3"},
        {XomTYPE_INTEGER, &emptyInt, "<none>"},
        {XomTYPE_INTEGER, &intValue, "12"},
        {XomTYPE_LONG, &emptyInt, "<none>"},
        {XomTYPE_DOUBLE, &doubleValue, "0.250000"},
        {XomTYPE_DOUBLE, &emptyDouble, "<none>"},
        {XomTYPE_STRING, "", "<none>"},
        {XomTYPE_STRING, "text", "text"},
        {XomTYPE_POINTER, NULL, "<none>"},
        {XomTYPE_POINTER, &intValue, "pointer of row 1"},
    };
    for (const Case& c : cases) {
        model.DefineColumnFormat(1, 0, 0, -1, c.type, (const char*)-1);
        bool changed;
        ASSERT_TRUE(model.FillCell("XomEditTableFillCell", 1, 1, c.value, &changed));
        EXPECT_EQ(c.shown, Text(1, 1)) << c.type;
        void* data = model.GetCellData(1, 1);
        EXPECT_EQ(std::string(c.shown) == "<none>", data == NULL) << c.type;
        if (data && c.type == XomTYPE_STRING) {
            EXPECT_STREQ("text", (char*)data);
        }
        if (data && c.type != XomTYPE_POINTER)
            free(data);
    }
    bool changed;
    model.DefineColumnFormat(2, 0, 0, -1, XomTYPE_INTEGER, NULL);
    EXPECT_FALSE(model.FillCell("XomEditTableFillCellNoUpdate", 2, 1, NULL, &changed));
    EXPECT_EQ(HEADER + "XomEditTableFillCellNoUpdate\nArgument <data_addr> is NULL", LastWarning());
    EXPECT_FALSE(model.FillCell("XomEditTableFillCell", 0, 1, "heading", &changed));
    EXPECT_EQ(HEADER + "XomEditTableFillCell\nAutomatic annotation is not edittable.",
              LastWarning());
    EXPECT_FALSE(model.FillCell("XomEditTableFillCell", 7, 1, "x", &changed));
    EXPECT_EQ(HEADER + "    XomEditTableFillCell: Column number 7 is out of range.", LastWarning());
    model.defaults.automaticRowAnnotation = false;
    ASSERT_TRUE(model.FillCell("XomEditTableFillCell", 0, 1, "heading", &changed));
    EXPECT_EQ("heading", model.RowAnnotation(1));
}

TEST_F(ModelTest, TheLastUnfrozenColumnCannotBeFrozenAndThePointerLeavesFrozenColumns)
{
    Make(3, 2);
    model.pointerColumn = 2, model.pointerRow = 1;
    ASSERT_TRUE(model.FreezeColumn(2));
    EXPECT_EQ(3, model.pointerColumn);
    ASSERT_TRUE(model.FreezeColumn(3));
    EXPECT_EQ(1, model.pointerColumn);  // wrapped round to column 1
    ASSERT_TRUE(model.FreezeColumn(3)); // frozen already: nothing
    EXPECT_FALSE(model.FreezeColumn(1));
    EXPECT_EQ(HEADER + "XomEditTableFreezeColumn\nCannot freeze the last unfrozen column.",
              LastWarning());
    EXPECT_EQ((std::vector<int>{2, 3}), model.FrozenColumns());
    ASSERT_TRUE(model.ReleaseColumn(2));
    EXPECT_EQ((std::vector<int>{3}), model.FrozenColumns());
    model.ChangeColumnVisibility(1, 2, false);
    EXPECT_EQ(0, model.pointerColumn); // no usable column left
}

TEST_F(ModelTest, ColoursAndPixmapsFillTheirRangesAndMoveWithTheirRows)
{
    Make(4, 6);
    EditTableBlock changed;
    ASSERT_TRUE(model.SetCellBackground(0, 0, 0, 0, 0xff00ff, &changed)); // 0: all cells
    EXPECT_EQ((EditTableBlock{1, 4, 1, 6}).rowCount, changed.rowCount);
    EXPECT_EQ(0xff00ffUL, model.CellBackground(4, 6));
    EXPECT_EQ(XomNO_PIXEL, model.CellForeground(4, 6));

    ASSERT_TRUE(model.SetCellPixmap(1, 1, 2, 1, 77, &changed));
    EXPECT_EQ(77UL, model.CellPixmap(1, 2));
    ASSERT_TRUE(model.SetCellPixmap(1, 1, 2, 1, 2, &changed)); // unspecified: none
    EXPECT_EQ(0UL, model.CellPixmap(1, 2));
    EXPECT_FALSE(model.SetCellBackground(5, 1, 1, 1, 0, &changed));
    EXPECT_EQ(HEADER
                  + "    XomEditTableSetCellBackground: Starting column number 5 is out of range.",
              LastWarning());

    // Colours move with their rows.
    ASSERT_TRUE(model.InsertRows(1, 1));
    EXPECT_EQ(XomNO_PIXEL, model.CellBackground(1, 1));
    EXPECT_EQ(0xff00ffUL, model.CellBackground(1, 2));
}

TEST_F(ModelTest, SelectionModesSelectBlocksRowsOrColumnsAndRefuseTheRest)
{
    Make(4, 5);
    EditTableBlock block;
    struct Case {
        int mode;
        bool accepted;
        EditTableBlock expected;
    } cases[] = {
        {4, true, {2, 2, 3, 2}},  {12, true, {2, 2, 3, 2}}, {2, true, {1, 4, 3, 2}},
        {10, true, {1, 4, 3, 2}}, {1, true, {2, 2, 1, 5}},  {9, true, {2, 2, 1, 5}},
        {0, true, {0, 0, 0, 0}},  {3, false, {0, 0, 0, 0}}, {-1, false, {0, 0, 0, 0}},
        {8, false, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        model.SetSelection(1, 1, 1, 1, 4, &block);
        EXPECT_EQ(c.accepted, model.SetSelection(2, 2, 3, 2, c.mode, &block)) << c.mode;
        EXPECT_EQ(c.expected.column, block.column) << c.mode;
        EXPECT_EQ(c.expected.columnCount, block.columnCount) << c.mode;
        EXPECT_EQ(c.expected.row, block.row) << c.mode;
        EXPECT_EQ(c.expected.rowCount, block.rowCount) << c.mode;
        // A refusal leaves the old selection; anything else replaces it.
        EXPECT_EQ(!c.accepted, model.IsSelected(1, 1)) << c.mode;
    }
    EXPECT_EQ(HEADER + "XomEditTableSetSelection\nInvalid selection mode.", LastWarning());
    model.SetSelection(0, 0, 2, 3, 2, &block);
    ASSERT_TRUE(model.DeleteRows(3, 1)); // selections keep the rows that remain
    ASSERT_EQ(1u, model.Selections().size());
    EXPECT_EQ(2, model.Selections()[0].rowCount);
    EXPECT_EQ(1u, model.ClearSelections().size());
    EXPECT_FALSE(model.IsSelected(1, 2));
}

TEST_F(ModelTest, ColumnDataCountsOnlyChangedValues)
{
    Make(1, 3);
    const char* texts[3] = {"x", "y", "z"};
    EXPECT_EQ(3, model.FillColumnData(1, texts));
    texts[1] = "Y";
    EXPECT_EQ(1, model.FillColumnData(1, texts));
    EXPECT_EQ("x,Y,z", Column(1));
    model.DefineColumnFormat(1, 0, 0, -1, XomTYPE_DOUBLE, "%.1f");
    EXPECT_EQ("<none>,<none>,<none>", Column(1)); // values of the old type go
    double numbers[3] = {1, 2.25, 3};
    EXPECT_EQ(3, model.FillColumnData(1, numbers));
    EXPECT_EQ("1.0,2.2,3.0", Column(1));
}

} // namespace
