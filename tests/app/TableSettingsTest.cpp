// The "Table Settings" dialog inside the application: hiding columns, the frozen count and
// its bounds, Cancel, one dialog at a time, and the highlighted label.
#include <gtest/gtest.h>

#include <unistd.h>

#include <X11/Xlib.h>
#include <Xm/Text.h>
#include <Xm/ToggleB.h>

#include "app/ColumnSelect.h"
#include "app/MonMenu.h"
#include "app/MonTable.h"
#include "tests/support/AppFixture.h"
#include "tests/support/PixelReader.h"
#include "tests/support/PngWriter.h"
#include "toolkit/EditTable.h"

namespace {

const int kDuration = 5; // the data column of the durations

class TableSettingsTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        ASSERT_EQ(app->AddSOCKS5("127.0.0.1:1"), 1);
        record = &app->current->setting;
    }
    void TearDown() override
    {
        delete current_column_select;
        AppTest::TearDown();
    }

    ColumnSelect* Open()
    {
        app->menu->TableSettingsSelect();
        Settle();
        return current_column_select;
    }
    static void Press(long which)
    {
        ColumnSelect::ProcessButtonCallback(nullptr, (XtPointer)which, nullptr);
        ProcessEvents();
    }
    static void TypeFrozen(const char* text)
    {
        XmTextSetString(current_column_select->frozenField, const_cast<char*>(text));
    }
    int RowOf(int dataColumn) const
    {
        for (int i = 0; i < record->columnCount; i++)
            if (record->columnType[i] == dataColumn)
                return i;
        return -1;
    }
    int TableWidth() const
    {
        int width = 0, height = 0, viewWidth = 0, viewHeight = 0;
        XomEditTableGetContentSize(app->tableView->table, &width, &height, &viewWidth, &viewHeight);
        return width;
    }
    int FrozenCount() const
    {
        int count = 0;
        XtFree((char*)XomEditTableGetFrozenColumns(app->tableView->table, &count));
        return count;
    }

    Setting* record = nullptr;
};

} // namespace

TEST_F(TableSettingsTest, OneRowPerColumnAndOnlyOneDialogAtATime)
{
    ColumnSelect* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_STREQ(XtName(dialog->dialog), "Table Settings");
    for (int i = 0; i < record->columnCount; i++) {
        EXPECT_EQ(dialog->rowType[i], record->columnType[i]);
        EXPECT_TRUE(XmToggleButtonGetState(dialog->rowToggle[i]));
    }
    EXPECT_EQ(Open(), dialog) << "a second Table Settings opens nothing new";
    RgbImage shot = ReadDrawable(XtDisplay(dialog->dialog), XtWindow(dialog->dialog));
    ASSERT_GT(shot.width, 0);
    EXPECT_TRUE(WritePng(ArtifactPath("table-settings-dialog.png"), shot));
    Press(1);
    EXPECT_EQ(current_column_select, nullptr);
}

TEST_F(TableSettingsTest, HidingDurationTakesItsColumnOutOfTheTableButNotOutOfTheDialog)
{
    int before = TableWidth();
    int row = RowOf(kDuration);
    ColumnSelect* dialog = Open();
    XmToggleButtonSetState(dialog->rowToggle[row], False, False);
    Press(0);
    EXPECT_EQ(record->columnVisible[row], 0);
    EXPECT_EQ(TableWidth(), before - record->columnWidth[row]);
    dialog = Open();
    EXPECT_STREQ(XtName(dialog->rowLabel[row]), "duration") << "the row keeps its place";
    EXPECT_FALSE(XmToggleButtonGetState(dialog->rowToggle[row]));
    XmToggleButtonSetState(dialog->rowToggle[row], True, False);
    Press(0);
    EXPECT_EQ(TableWidth(), before);
}

TEST_F(TableSettingsTest, TheFrozenCountIsBoundedAndFallsBackToTwo)
{
    struct Case {
        const char* typed;
        int stored;
        int frozenInTable;
    } cases[] = {
        {"12", 11, 11}, // one column must stay free to scroll
        {"abc", 2, 2},  {"0", 0, 0},
        {"3", 3, 3},    {"-4", -4, 0}, // stored as typed, freezes nothing
        {"", 2, 2},     {"99999999999999999999", 11, 11},
    };
    for (const Case& c : cases) {
        Open();
        TypeFrozen(c.typed);
        Press(0);
        EXPECT_EQ(record->frozenColumns, c.stored) << c.typed;
        EXPECT_EQ(FrozenCount(), c.frozenInTable) << c.typed;
    }
}

TEST_F(TableSettingsTest, CancelLeavesRecordAndTableAsTheyWere)
{
    Setting saved = *record;
    int width = TableWidth();
    ColumnSelect* dialog = Open();
    for (int i = 0; i < record->columnCount; i++)
        XmToggleButtonSetState(dialog->rowToggle[i], False, False);
    TypeFrozen("7");
    Press(1);
    EXPECT_EQ(current_column_select, nullptr);
    for (int i = 0; i < record->columnCount; i++) {
        EXPECT_EQ(record->columnVisible[i], saved.columnVisible[i]);
        EXPECT_EQ(record->columnType[i], saved.columnType[i]);
    }
    EXPECT_EQ(record->frozenColumns, saved.frozenColumns);
    EXPECT_EQ(TableWidth(), width);
}

TEST_F(TableSettingsTest, AClickedLabelIsHighlightedAndThePreviousOneReturnsToTheRowColour)
{
    ColumnSelect* dialog = Open();
    Display* display = XtDisplay(dialog->dialog);
    auto colour = [&](int row) {
        ProcessEvents();
        XSync(display, False);
        usleep(20000);
        ProcessEvents();
        return ReadPixel(display, XtWindow(dialog->rowLabel[row]), 2, 2);
    };
    // Unselected labels take the row area's background ("*Vantor*background" outranks the
    // row area's own line in the resources), the selected one its highlight colour.
    const uint32_t rows = PixelToRgb(display, dialog->rowBackground);
    EXPECT_EQ(colour(0), rows);
    EnterLabel(dialog->rowLabel[0], nullptr, nullptr, nullptr);
    EXPECT_EQ(dialog->highlightedRow, 0);
    EXPECT_EQ(colour(0), 0xffcd00u);
    EnterLabel(dialog->rowLabel[4], nullptr, nullptr, nullptr);
    EXPECT_EQ(colour(4), 0xffcd00u);
    EXPECT_EQ(colour(0), rows);
    EnterLabel(dialog->rowLabel[4], nullptr, nullptr, nullptr); // the same again: no change
    EXPECT_EQ(dialog->highlightedRow, 4);
    EXPECT_EQ(colour(4), 0xffcd00u);
    Press(1);
}
