// How a box shares surplus and missing space among its children, its natural size, its
// answers to size questions and requests of its children, and the checks on its constraints.
#include <gtest/gtest.h>

#include <X11/IntrinsicP.h>
#include <X11/Shell.h>
#include <Xm/PrimitiveP.h>
#include <Xm/RowColumn.h>
#include <Xm/Label.h>
#include <Xm/Xm.h>

#include "tests/support/DisplayFixture.h"
#include "toolkit/util.h"

namespace {

class BoxLayoutTest : public DisplayFixture {
protected:
    // A row box with no margin and no spacing.
    Widget Row()
    {
        Widget box = XomCreateBox(shell, "row", nullptr, 0);
        XtVaSetValues(box, XomNorientation, XmHORIZONTAL, NULL);
        return box;
    }
    // A glue child of the given size and one stretch constraint.
    Widget Glue(Widget box, int width, int height,
                const char* stretchResource = XomNverticalStretch, int stretch = 0)
    {
        return XtVaCreateManagedWidget("glue", xomGlueWidgetClass, box, XmNwidth, (Dimension)width,
                                       XmNheight, (Dimension)height, stretchResource, stretch,
                                       NULL);
    }
    Widget Child(Widget box, int width, int stretch, int shrink = 0)
    {
        return XtVaCreateManagedWidget("child", xomGlueWidgetClass, box, XmNwidth, (Dimension)width,
                                       XmNheight, (Dimension)10, XomNhorizontalStretch, stretch,
                                       XomNhorizontalShrink, shrink, NULL);
    }
    // Manages the box and gives it a width other than its natural one.
    void ShowAtWidth(Widget box, int width)
    {
        XtManageChild(box);
        ShowShell();
        XtResizeWidget(box, (Dimension)width, box->core.height, 0);
        ProcessEvents();
    }
};

// Two children of a row box given another width than their natural one; missing space is
// shared in proportion to natural size, rounded towards zero.
TEST_F(BoxLayoutTest, SurplusIsSharedByStretchAndMissingSpaceByNaturalSize)
{
    const struct {
        int widths[2], stretch[2], shrink[2], boxWidth, expected[2];
        const char* what;
    } cases[] = {
        {{100, 100}, {100, 300}, {0, 0}, 300, {125, 175}, "100 extra shared by 100 and 300"},
        {{100, 100}, {1, 3}, {0, 0}, 300, {101, 103}, "the extra is capped at the stretch total"},
        {{100, 100}, {10, 30}, {0, 0}, 300, {110, 130}, "a stretch total of 40: the rest empty"},
        {{100, 300}, {0, 0}, {10000, 10000}, 350, {88, 263}, "50 missing, shared 100 : 300"},
        {{100, 300}, {0, 0}, {0, 20}, 300, {100, 280}, "no child shrinks by more than its shrink"},
    };
    for (const auto& c : cases) {
        Widget box = Row();
        Widget a = Child(box, c.widths[0], c.stretch[0], c.shrink[0]);
        Widget b = Child(box, c.widths[1], c.stretch[1], c.shrink[1]);
        ShowAtWidth(box, c.boxWidth);
        EXPECT_EQ(a->core.width, c.expected[0]) << c.what;
        EXPECT_EQ(b->core.width, c.expected[1]) << c.what;
        EXPECT_EQ(a->core.x, 0) << c.what;
        EXPECT_EQ(b->core.x, a->core.width) << c.what;
        XtDestroyWidget(box);
    }
}

// Margin before the first and after the last child, spacing between them; a spacing of -3
// is 65533 as an unsigned value, and with 16-bit positions it makes neighbours overlap.
TEST_F(BoxLayoutTest, MarginAndSpacingPlaceTheChildren)
{
    const struct {
        int margin, spacing;
        int x[3], boxWidth;
    } cases[] = {{7, 4, {7, 41, 75}, 112}, {0, -3, {0, 27, 54}, 84}};
    for (const auto& c : cases) {
        Widget box = OmStandardBox(shell, XmHORIZONTAL, c.margin, c.spacing);
        Widget children[3];
        for (Widget& child : children)
            child = Child(box, 30, 0);
        ShowShell();
        for (int i = 0; i < 3; i++) {
            EXPECT_EQ(children[i]->core.x, c.x[i]) << "spacing " << c.spacing;
            EXPECT_EQ(children[i]->core.width, 30);
        }
        EXPECT_EQ(box->core.width, c.boxWidth);
        XtDestroyWidget(box);
    }
}

TEST_F(BoxLayoutTest, AlignmentPlacesChildrenAcross)
{
    Widget box = Row();
    XtVaSetValues(box, XomNalignment, XmALIGNMENT_CENTER, NULL);
    Widget tall = Glue(box, 10, 40);
    Widget low = Child(box, 10, 0);
    XtManageChild(box);
    ShowShell();
    EXPECT_EQ(tall->core.y, 0);
    EXPECT_EQ(low->core.y, 15);
    XtVaSetValues(box, XomNalignment, XmALIGNMENT_END, NULL);
    EXPECT_EQ(low->core.y, 30);
}

TEST_F(BoxLayoutTest, ColumnBoxSharesHeight)
{
    Widget box = OmStandardBox(shell, XmVERTICAL, 0, 0);
    Widget a = Glue(box, 10, 50, XomNverticalStretch, 100);
    Widget b = Glue(box, 10, 50, XomNverticalStretch, 300);
    ShowShell();
    XtResizeWidget(box, box->core.width, 140, 0);
    EXPECT_EQ(a->core.height, 60);
    EXPECT_EQ(b->core.height, 80);
    EXPECT_EQ(b->core.y, 60);
}

TEST_F(BoxLayoutTest, NestedBoxActsAsOneChildWithItsChildrensFlexibility)
{
    Widget outer = OmStandardBox(shell, XmVERTICAL, 0, 0);
    Widget inner = OmStandardBox(outer, XmHORIZONTAL, 0, 0);
    Widget a = Glue(inner, 50, 10, XomNhorizontalStretch, 5);
    Widget b = Glue(inner, 70, 20, XomNhorizontalStretch, 7);
    ShowShell();

    Dimension width = 0, height = 0;
    XomBoxGetNormalSize(outer, &width, &height);
    EXPECT_EQ(width, 120);
    EXPECT_EQ(height, 20);
    int stretch = 0;
    XtVaGetValues(inner, XomNhorizontalStretch, &stretch, NULL);
    EXPECT_EQ(stretch, 12);

    // Wider than needed: the inner box grows only by its children's stretch total.
    XtResizeWidget(outer, 300, outer->core.height, 0);
    EXPECT_EQ(inner->core.width, 132);
    EXPECT_EQ(a->core.width, 55);
    EXPECT_EQ(b->core.width, 77);
}

TEST_F(BoxLayoutTest, FlexibilityChangedInsideANestedBoxReachesTheOuterBox)
{
    // A column 300 wide: the inner row may fill that width only as far as it can stretch.
    Widget outer = OmStandardBox(shell, XmVERTICAL, 0, 0);
    Glue(outer, 300, 10);
    Widget inner = OmStandardBox(outer, XmHORIZONTAL, 0, 0);
    Widget a = Glue(inner, 50, 10);
    ShowShell();
    EXPECT_EQ(inner->core.width, 50);

    // Only the flexibility changes, not the natural size: the outer box must still hear of it.
    XtVaSetValues(a, XomNhorizontalStretch, 10000, NULL);
    ProcessEvents();
    EXPECT_EQ(inner->core.width, 300);
    EXPECT_EQ(a->core.width, 300);
}

// Across a row a child fills the box unless its stretch is smaller than the surplus; with
// autoAdjust off it keeps its normal height, unless the box is smaller than the child.
TEST_F(BoxLayoutTest, AcrossTheRowChildrenFillTheBoxAsFarAsAutoAdjustAndStretchAllow)
{
    struct Case {
        Boolean autoAdjust;
        int boxHeight;
        int stretch, shrink;
        int height; // of the child
    } cases[] = {
        {True, 30, 10000, 0, 30},  {True, 30, 5, 0, 15}, {True, 30, 0, 0, 10},
        {False, 30, 10000, 0, 10}, {True, 5, 0, 100, 5}, {False, 5, 0, 100, 5},
        {False, 5, 0, 0, 10},
    };
    for (const Case& c : cases) {
        Widget box = Row();
        XtVaSetValues(box, XomNautoAdjust, c.autoAdjust, NULL);
        Widget child = XtVaCreateManagedWidget(
            "child", xomGlueWidgetClass, box, XmNwidth, (Dimension)20, XmNheight, (Dimension)10,
            XomNverticalStretch, c.stretch, XomNverticalShrink, c.shrink, NULL);
        XtManageChild(box);
        XtResizeWidget(box, 20, (Dimension)c.boxHeight, 0);
        EXPECT_EQ(child->core.height, c.height)
            << "autoAdjust " << (int)c.autoAdjust << ", box " << c.boxHeight;
        XtDestroyWidget(box);
    }
}

// A border width asked for reaches the window; it counts twice in the natural size and
// pushes the next child along.
TEST_F(BoxLayoutTest, ABorderWidthReachesTheWindowAndTakesRoomAlongTheRow)
{
    Widget box = Row();
    Widget framed = XtVaCreateManagedWidget("framed", xmPrimitiveWidgetClass, box, XmNwidth,
                                            (Dimension)20, XmNheight, (Dimension)10, NULL);
    Widget next = Child(box, 10, 0);
    ShowAtWidth(box, 36);
    XtVaSetValues(framed, XmNborderWidth, (Dimension)3, NULL);
    ProcessEvents();
    XWindowAttributes attributes;
    XGetWindowAttributes(XtDisplay(framed), XtWindow(framed), &attributes);
    EXPECT_EQ(attributes.border_width, 3);
    Dimension width = 0, height = 0;
    XomBoxGetNormalSize(box, &width, &height);
    EXPECT_EQ(width, 36);
    EXPECT_EQ(height, 10); // across the row the border is not counted
    EXPECT_EQ(framed->core.x, 0);
    EXPECT_EQ(framed->core.border_width, 3);
    EXPECT_EQ(next->core.x, 26);
}

// The natural size of a box, its answers to size questions and requests of its children,
// and the checks on its constraints.
class BoxGeometryTest : public BoxLayoutTest {};

TEST_F(BoxGeometryTest, NormalSizeOfAnEmptyBoxAndOfAChildAbove10000)
{
    Widget box = OmStandardBox(shell, XmHORIZONTAL, 0, 0);
    Dimension width = 0, height = 0;
    XomBoxGetNormalSize(box, &width, &height);
    EXPECT_EQ(width, 5);
    EXPECT_EQ(height, 5);
    // A normal size above 10000 at creation means the current size.
    XtVaCreateManagedWidget("huge", xomGlueWidgetClass, box, XmNwidth, (Dimension)70, XmNheight,
                            (Dimension)12, XomNnormalWidth, (Dimension)20000, XomNnormalHeight,
                            (Dimension)10001, NULL);
    XomBoxGetNormalSize(box, &width, &height);
    EXPECT_EQ(width, 70);
    EXPECT_EQ(height, 12);
}

TEST_F(BoxGeometryTest, ChildRequestsToResizeAreGrantedAndMakeTheNaturalSizeOnlyWhatTheyAsk)
{
    Widget box = OmStandardBox(shell, XmHORIZONTAL, 0, 0);
    Widget child = Glue(box, 40, 10, XomNhorizontalStretch, 100);
    ShowShell();
    XtWidgetGeometry request = {};
    request.request_mode = CWX;
    request.x = 17;
    EXPECT_EQ(XtMakeGeometryRequest(child, &request, nullptr), XtGeometryNo);
    EXPECT_EQ(child->core.x, 0);

    request.request_mode = CWWidth;
    request.width = 60;
    EXPECT_EQ(XtMakeGeometryRequest(child, &request, nullptr), XtGeometryYes);
    EXPECT_EQ(child->core.width, 60);
    EXPECT_EQ(box->core.width, 60);
    XtVaSetValues(child, XmNwidth, (Dimension)90, NULL);
    ProcessEvents();
    Dimension width = 0, height = 0;
    XtVaGetValues(child, XomNnormalWidth, &width, NULL);
    EXPECT_EQ(width, 90);
    EXPECT_EQ(child->core.width, 90);
    EXPECT_EQ(box->core.width, 90);

    // A height request keeps the natural width of a child stretched wider.
    XtResizeWidget(box, 150, box->core.height, 0);
    ASSERT_EQ(child->core.width, 150);
    request.request_mode = CWHeight;
    request.height = 30;
    XtMakeGeometryRequest(child, &request, nullptr);
    XomBoxGetNormalSize(box, &width, &height);
    EXPECT_EQ(width, 90);
    EXPECT_EQ(height, 30);
}

TEST_F(BoxGeometryTest, AChildThatGrowsByItselfWidensTheBox)
{
    Widget box = OmStandardBox(shell, XmVERTICAL, 0, 0);
    Widget label = XtVaCreateManagedWidget("short", xmLabelWidgetClass, box, NULL);
    Widget bar = XmCreateMenuBar(box, (String) "bar", nullptr, 0);
    XtManageChild(bar);
    XtVaCreateManagedWidget("entry", xmLabelWidgetClass, bar, NULL);
    ShowShell();
    Dimension before = box->core.width;
    XmString text = XmStringCreateLocalized((char*)"a much longer label text than before");
    XtVaSetValues(label, XmNlabelString, text, NULL);
    XmStringFree(text);
    ProcessEvents();
    EXPECT_GT(box->core.width, before);
    EXPECT_EQ(box->core.width, label->core.width);

    // A row column keeps the size it chooses.
    before = bar->core.width;
    for (const char* name : {"a_second_entry", "a_third_entry", "a_fourth_entry", "a_fifth_entry"})
        XtVaCreateManagedWidget(name, xmLabelWidgetClass, bar, NULL);
    ProcessEvents();
    EXPECT_GT(bar->core.width, before);
    EXPECT_EQ(box->core.width, bar->core.width);
}

TEST_F(BoxGeometryTest, PreferredSizeIsTheNaturalSize)
{
    Widget box = OmStandardBox(shell, XmHORIZONTAL, 0, 0);
    XtVaCreateManagedWidget("child", xomGlueWidgetClass, box, XmNwidth, (Dimension)40, XmNheight,
                            (Dimension)10, XomNhorizontalStretch, 20, XomNhorizontalShrink, 5,
                            NULL);
    XtWidgetGeometry intended = {}, preferred = {};
    EXPECT_EQ(XtQueryGeometry(box, nullptr, &preferred), XtGeometryAlmost);
    EXPECT_EQ(preferred.width, 40);
    EXPECT_EQ(preferred.height, 10);

    intended.request_mode = CWWidth | CWHeight;
    intended.width = 50;
    intended.height = 10;
    EXPECT_EQ(XtQueryGeometry(box, &intended, &preferred), XtGeometryYes);
    intended.width = 61;
    EXPECT_EQ(XtQueryGeometry(box, &intended, &preferred), XtGeometryAlmost);
    intended.width = 40;
    EXPECT_EQ(XtQueryGeometry(box, &intended, &preferred), XtGeometryNo);
}

TEST_F(BoxGeometryTest, NegativeConstraintsBecomeZeroWithAWarning)
{
    Widget box = OmStandardBox(shell, XmHORIZONTAL, 0, 0);
    Widget child = Glue(box, 40, 10);
    XtVaSetValues(child, XomNhorizontalStretch, -1, XomNverticalStretch, -2, XomNhorizontalShrink,
                  -3, XomNverticalShrink, -4, NULL);
    int values[4] = {1, 1, 1, 1};
    XtVaGetValues(child, XomNhorizontalStretch, &values[0], XomNverticalStretch, &values[1],
                  XomNhorizontalShrink, &values[2], XomNverticalShrink, &values[3], NULL);
    for (int value : values)
        EXPECT_EQ(value, 0);
    std::vector<std::string> expected = {"ConstraintSetValues: widget horizontal stretch is < 0",
                                         "ConstraintSetValues: widget vertical stretch is < 0",
                                         "ConstraintSetValues: widget horizontal shrink is < 0",
                                         "ConstraintSetValues: widget vertical shrink is < 0"};
    EXPECT_EQ(Warnings(), expected);
    EXPECT_EQ(WarningKinds()[0], "constraintSetValues/negativeHorizontalStretch");
}

// An orientation or alignment outside its values is refused with a named warning: at
// creation the default stands, later the value the box had.
TEST_F(BoxGeometryTest, BadOrientationOrAlignmentWarnsAndKeepsTheOldValue)
{
    struct Case {
        const char* resource;
        unsigned char bad;
        unsigned char atCreation, kept;
        const char* type;
    } cases[] = {
        {XomNorientation, 7, XmVERTICAL, XmHORIZONTAL, "badOrientation"},
        {XomNalignment, 9, XmALIGNMENT_BEGINNING, XmALIGNMENT_END, "badAlignment"},
    };
    for (const Case& c : cases) {
        Widget box = XtVaCreateWidget("box", xomBoxWidgetClass, shell, c.resource, c.bad, NULL);
        unsigned char value = 0;
        XtVaGetValues(box, c.resource, &value, NULL);
        EXPECT_EQ(value, c.atCreation) << c.resource;
        XtVaSetValues(box, c.resource, c.kept, NULL);
        XtVaSetValues(box, c.resource, c.bad, NULL);
        XtVaGetValues(box, c.resource, &value, NULL);
        EXPECT_EQ(value, c.kept) << c.resource;
        XtDestroyWidget(box);
    }
    std::vector<std::string> expected = {"initialize/badOrientation", "setValues/badOrientation",
                                         "initialize/badAlignment", "setValues/badAlignment"};
    EXPECT_EQ(WarningKinds(), expected);
}

TEST_F(BoxGeometryTest, ChangingSpacingResizesTheBox)
{
    Widget box = OmStandardBox(shell, XmHORIZONTAL, 0, 0);
    for (int i = 0; i < 3; i++)
        Glue(box, 10, 10);
    ShowShell();
    EXPECT_EQ(box->core.width, 30);
    XtVaSetValues(box, XomNspacing, (Dimension)5, NULL);
    ProcessEvents();
    EXPECT_EQ(box->core.width, 40);
    XtVaSetValues(box, XomNorientation, XmVERTICAL, NULL);
    ProcessEvents();
    EXPECT_EQ(box->core.width, 10);
    EXPECT_EQ(box->core.height, 40);
}

TEST(GlueDeathTest, GlueOutsideABoxIsFatal)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::pair<Widget (*)(Widget, int, int, int), const char*> constructors[] = {
        {XomCreateHorizontalGlue, "XomCreateHorizontalGlue: parent must be a box widget"},
        {XomCreateVerticalGlue, "XomCreateVerticalGlue: parent must be a box widget"}};
    for (const auto& glue : constructors) {
        EXPECT_EXIT(glue.first(XtVaAppCreateShell("test", "Vantor", applicationShellWidgetClass,
                                                  TestDisplay(), NULL),
                               5, 5, 5),
                    ::testing::ExitedWithCode(1), glue.second);
    }
}

} // namespace
