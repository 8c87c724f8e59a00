// How a box shares surplus and missing space among its children.
#include <gtest/gtest.h>

#include <X11/IntrinsicP.h>
#include <Xm/PrimitiveP.h>
#include <Xm/Xm.h>

#include "DisplayFixture.h"
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
    Widget Child(Widget box, int width, int stretch, int shrink = 0)
    {
        return XtVaCreateManagedWidget("child", xomGlueWidgetClass, box,
                                       XmNwidth, (Dimension)width, XmNheight, (Dimension)10,
                                       XomNhorizontalStretch, stretch,
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

// Two children of a row box given another width than their natural one.
TEST_F(BoxLayoutTest, SurplusIsSharedByStretchAndMissingSpaceByNaturalSize)
{
    const struct {
        const char* what;
        int widths[2], stretch[2], shrink[2], boxWidth, expected[2];
    } cases[] = {
        {"stretch 100 and 300 share 100 extra pixels", {100, 100}, {100, 300}, {0, 0}, 300, {125, 175}},
        {"the extra is capped at the stretch total", {100, 100}, {1, 3}, {0, 0}, 300, {101, 103}},
        {"a stretch total of 40 leaves the rest empty", {100, 100}, {10, 30}, {0, 0}, 300, {110, 130}},
        {"50 missing: 50 x 100 / 400 and 50 x 300 / 400, rounded towards zero", {100, 300}, {0, 0}, {10000, 10000}, 350, {88, 263}},
        {"no child shrinks by more than its shrink", {100, 300}, {0, 0}, {0, 20}, 300, {100, 280}},
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

TEST_F(BoxLayoutTest, MarginAndSpacingSurroundTheChildren)
{
    Widget box = Row();
    XtVaSetValues(box, XomNmargin, (Dimension)7, XomNspacing, (Dimension)4, NULL);
    Widget a = Child(box, 20, 0);
    Widget b = Child(box, 30, 0);
    XtManageChild(box);
    ShowShell();
    EXPECT_EQ(a->core.x, 7);
    EXPECT_EQ(b->core.x, 7 + 20 + 4);
    EXPECT_EQ(box->core.width, 7 + 20 + 4 + 30 + 7);
}

TEST_F(BoxLayoutTest, NegativeSpacingMakesNeighboursOverlap)
{
    Widget box = OmStandardBox(shell, 2, 0, -3);
    Widget children[3];
    for (Widget& child : children)
        child = Child(box, 30, 0);
    ShowShell();
    EXPECT_EQ(children[0]->core.x, 0);
    EXPECT_EQ(children[1]->core.x, 27);
    EXPECT_EQ(children[2]->core.x, 54);
    for (Widget child : children)
        EXPECT_EQ(child->core.width, 30);
    EXPECT_EQ(box->core.width, 84);
}

TEST_F(BoxLayoutTest, AcrossTheRowChildrenFillTheBoxUnlessTheirStretchIsSmaller)
{
    Widget box = Row();
    Widget filling = XtVaCreateManagedWidget("filling", xomGlueWidgetClass, box,
                                             XmNwidth, (Dimension)10, XmNheight, (Dimension)10,
                                             XomNverticalStretch, 10000, NULL);
    Widget limited = XtVaCreateManagedWidget("limited", xomGlueWidgetClass, box,
                                             XmNwidth, (Dimension)10, XmNheight, (Dimension)10,
                                             XomNverticalStretch, 5, NULL);
    Widget rigid = XtVaCreateManagedWidget("rigid", xomGlueWidgetClass, box,
                                           XmNwidth, (Dimension)10, XmNheight, (Dimension)10, NULL);
    XtManageChild(box);
    ShowShell();
    XtResizeWidget(box, box->core.width, 40, 0);
    EXPECT_EQ(filling->core.height, 40);
    EXPECT_EQ(limited->core.height, 15);
    EXPECT_EQ(rigid->core.height, 10);
}

TEST_F(BoxLayoutTest, AlignmentPlacesChildrenAcross)
{
    Widget box = Row();
    XtVaSetValues(box, XomNalignment, XmALIGNMENT_CENTER, NULL);
    Widget tall = XtVaCreateManagedWidget("tall", xomGlueWidgetClass, box,
                                          XmNwidth, (Dimension)10, XmNheight, (Dimension)40, NULL);
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
    Widget box = OmStandardBox(shell, 1, 0, 0);
    Widget a = XtVaCreateManagedWidget("a", xomGlueWidgetClass, box, XmNwidth, (Dimension)10,
                                       XmNheight, (Dimension)50, XomNverticalStretch, 100, NULL);
    Widget b = XtVaCreateManagedWidget("b", xomGlueWidgetClass, box, XmNwidth, (Dimension)10,
                                       XmNheight, (Dimension)50, XomNverticalStretch, 300, NULL);
    ShowShell();
    XtResizeWidget(box, box->core.width, 140, 0);
    EXPECT_EQ(a->core.height, 60);
    EXPECT_EQ(b->core.height, 80);
    EXPECT_EQ(b->core.y, 60);
}

TEST_F(BoxLayoutTest, NestedBoxActsAsOneChildWithItsChildrensFlexibility)
{
    Widget outer = OmStandardBox(shell, 1, 0, 0);
    Widget inner = OmStandardBox(outer, 2, 0, 0);
    Widget a = XtVaCreateManagedWidget("a", xomGlueWidgetClass, inner, XmNwidth, (Dimension)50,
                                       XmNheight, (Dimension)10, XomNhorizontalStretch, 5, NULL);
    Widget b = XtVaCreateManagedWidget("b", xomGlueWidgetClass, inner, XmNwidth, (Dimension)70,
                                       XmNheight, (Dimension)20, XomNhorizontalStretch, 7, NULL);
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
    Widget outer = OmStandardBox(shell, 1, 0, 0);
    XtVaCreateManagedWidget("wide", xomGlueWidgetClass, outer, XmNwidth, (Dimension)300,
                            XmNheight, (Dimension)10, NULL);
    Widget inner = OmStandardBox(outer, 2, 0, 0);
    Widget a = XtVaCreateManagedWidget("a", xomGlueWidgetClass, inner, XmNwidth, (Dimension)50,
                                       XmNheight, (Dimension)10, NULL);
    ShowShell();
    EXPECT_EQ(inner->core.width, 50);

    // Only the flexibility changes, not the natural size: the outer box must still hear of it.
    XtVaSetValues(a, XomNhorizontalStretch, 10000, NULL);
    ProcessEvents();
    EXPECT_EQ(inner->core.width, 300);
    EXPECT_EQ(a->core.width, 300);
}

TEST_F(BoxLayoutTest, ABorderWidthAskedForReachesTheWindow)
{
    Widget box = Row();
    Widget child = XtVaCreateManagedWidget("label", xmPrimitiveWidgetClass, box, XmNwidth, (Dimension)40,
                                           XmNheight, (Dimension)10, NULL);
    ShowAtWidth(box, 100);
    XtVaSetValues(child, XmNborderWidth, (Dimension)3, NULL);
    ProcessEvents();
    XWindowAttributes attributes;
    XGetWindowAttributes(XtDisplay(child), XtWindow(child), &attributes);
    EXPECT_EQ(attributes.border_width, 3);
    EXPECT_EQ(child->core.border_width, 3);
}

}  // namespace
