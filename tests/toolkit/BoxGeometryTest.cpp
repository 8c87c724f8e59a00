// The natural size of a box, its answers to size questions and requests of its children,
// and the checks on its constraints.
#include <gtest/gtest.h>

#include <X11/IntrinsicP.h>
#include <X11/Shell.h>
#include <Xm/Label.h>
#include <Xm/RowColumn.h>
#include <Xm/Xm.h>

#include "DisplayFixture.h"
#include "toolkit/util.h"

namespace {

class BoxGeometryTest : public DisplayFixture {};

TEST_F(BoxGeometryTest, NormalSizeOfAnEmptyBoxAndOfAChildAbove10000)
{
    Widget box = OmStandardBox(shell, 2, 0, 0);
    Dimension width = 0, height = 0;
    XomBoxGetNormalSize(box, &width, &height);
    EXPECT_EQ(width, 5);
    EXPECT_EQ(height, 5);
    // A normal size above 10000 at creation means the current size.
    XtVaCreateManagedWidget("huge", xomGlueWidgetClass, box, XmNwidth, (Dimension)70,
                            XmNheight, (Dimension)12, XomNnormalWidth, (Dimension)20000,
                            XomNnormalHeight, (Dimension)10001, NULL);
    XomBoxGetNormalSize(box, &width, &height);
    EXPECT_EQ(width, 70);
    EXPECT_EQ(height, 12);
}

TEST_F(BoxGeometryTest, ChildRequestsToResizeAreGrantedAndMakeTheNaturalSizeOnlyWhatTheyAsk)
{
    Widget box = OmStandardBox(shell, 2, 0, 0);
    Widget child = XtVaCreateManagedWidget("child", xomGlueWidgetClass, box, XmNwidth, (Dimension)40,
                                           XmNheight, (Dimension)10, XomNhorizontalStretch, 100, NULL);
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
    Widget box = OmStandardBox(shell, 1, 0, 0);
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
    Widget box = OmStandardBox(shell, 2, 0, 0);
    XtVaCreateManagedWidget("child", xomGlueWidgetClass, box, XmNwidth, (Dimension)40,
                            XmNheight, (Dimension)10, XomNhorizontalStretch, 20,
                            XomNhorizontalShrink, 5, NULL);
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
    Widget box = OmStandardBox(shell, 2, 0, 0);
    Widget child = XtVaCreateManagedWidget("child", xomGlueWidgetClass, box,
                                           XmNwidth, (Dimension)40, XmNheight, (Dimension)10, NULL);
    XtVaSetValues(child, XomNhorizontalStretch, -1, XomNverticalStretch, -2,
                  XomNhorizontalShrink, -3, XomNverticalShrink, -4, NULL);
    int values[4] = {1, 1, 1, 1};
    XtVaGetValues(child, XomNhorizontalStretch, &values[0], XomNverticalStretch, &values[1],
                  XomNhorizontalShrink, &values[2], XomNverticalShrink, &values[3], NULL);
    for (int value : values)
        EXPECT_EQ(value, 0);
    std::vector<std::string> expected = {
        "ConstraintSetValues: widget horizontal stretch is < 0",
        "ConstraintSetValues: widget vertical stretch is < 0",
        "ConstraintSetValues: widget horizontal shrink is < 0",
        "ConstraintSetValues: widget vertical shrink is < 0"};
    EXPECT_EQ(Warnings(), expected);
}

TEST_F(BoxGeometryTest, ChangingSpacingResizesTheBox)
{
    Widget box = OmStandardBox(shell, 2, 0, 0);
    for (int i = 0; i < 3; i++)
        XtVaCreateManagedWidget("child", xomGlueWidgetClass, box, XmNwidth, (Dimension)10,
                                XmNheight, (Dimension)10, NULL);
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
        EXPECT_EXIT(glue.first(XtVaAppCreateShell("test", "Vantor", applicationShellWidgetClass, TestDisplay(), NULL), 5, 5, 5),
                    ::testing::ExitedWithCode(1), glue.second);
    }
}

}  // namespace
