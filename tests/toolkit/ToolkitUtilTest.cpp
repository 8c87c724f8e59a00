// The one-call constructors and lookups of the toolkit.
#include <gtest/gtest.h>

#include <X11/IntrinsicP.h>
#include <Xm/PushB.h>
#include <Xm/Xm.h>

#include "tests/support/DisplayFixture.h"
#include "tests/support/MotifText.h"
#include "toolkit/util.h"

namespace {

class ToolkitUtilTest : public DisplayFixture {};

// The standard box's orientation, margin and spacing show in BoxLayoutTest's placements.
TEST_F(ToolkitUtilTest, GlueCarriesItsSizeAndFlexibility)
{
    Widget glue = XomCreateHorizontalGlue(OmStandardBox(shell, 2, 0, 0), 5, 10000, 30);
    EXPECT_TRUE(XtIsManaged(glue));
    EXPECT_STREQ(XtName(glue), "glue");
    int shrink = 0, stretch = 0;
    XtVaGetValues(glue, XomNhorizontalShrink, &shrink, XomNhorizontalStretch, &stretch, NULL);
    EXPECT_EQ(shrink, 10000);
    EXPECT_EQ(stretch, 30);
    EXPECT_EQ(glue->core.width, 5);

    Widget gap = XomCreateVerticalGlue(OmStandardBox(shell, 1, 0, 0), 18, 7, 9);
    XtVaGetValues(gap, XomNverticalShrink, &shrink, XomNverticalStretch, &stretch, NULL);
    EXPECT_EQ(gap->core.height, 18);
    EXPECT_EQ(shrink, 7);
    EXPECT_EQ(stretch, 9);
}

TEST_F(ToolkitUtilTest, StringEditIsALabelledFieldInARowThatShowsNumbers)
{
    Widget box = OmStandardBox(shell, 1, 0, 0);
    Widget text = OmStandardStringEdit(box, "name", nullptr, 20);
    Widget row = XtParent(text);
    EXPECT_STREQ(XtName(row), "hbox");
    EXPECT_STREQ(XtName(text), "se");
    Widget label = (Widget)OmGetWidgetUserData(text);
    ASSERT_NE(label, nullptr);
    EXPECT_STREQ(XtName(label), "name");
    short columns = 0;
    XtVaGetValues(text, XmNcolumns, &columns, NULL);
    EXPECT_EQ(columns, 20);
    // label, elastic gap, field
    EXPECT_EQ(((CompositeWidget)row)->composite.num_children, 3u);
    OmStandardSetStringEditInt(text, -17);
    EXPECT_EQ(FieldText(text), "-17");

    Widget centred = OmStandardStringEditCenter(box, "name", "x", 4);
    EXPECT_EQ(((CompositeWidget)XtParent(centred))->composite.num_children, 2u);
}

TEST_F(ToolkitUtilTest, MenuBarHasOneCascadePerMenuWithItsMnemonic)
{
    Widget box = OmStandardBox(shell, 1, 0, 0);
    Widget pulldowns[3] = {};
    const char* const names[3] = {"fm_file", "fm_view", "fm_help"};
    Widget bar = OmStandardMenuBar(box, pulldowns, names, "FVH", 3, 1);
    EXPECT_TRUE(XtIsManaged(bar));
    int stretch = 0, shrink = 0;
    XtVaGetValues(bar, XomNhorizontalStretch, &stretch, XomNhorizontalShrink, &shrink, NULL);
    EXPECT_EQ(stretch, 10000);
    EXPECT_EQ(shrink, 10000);

    for (Widget pulldown : pulldowns) {
        ASSERT_NE(pulldown, nullptr);
        EXPECT_STREQ(XtName(pulldown), "pd_button");
    }
    Widget file = XtNameToWidget(bar, "fm_file");
    ASSERT_NE(file, nullptr);
    Widget opened = nullptr;
    KeySym mnemonic = 0;
    XtVaGetValues(file, XmNsubMenuId, &opened, XmNmnemonic, &mnemonic, NULL);
    EXPECT_EQ(opened, pulldowns[0]);
    EXPECT_EQ(mnemonic, (KeySym)'F');
}

TEST_F(ToolkitUtilTest, LookupsFindShellDepthVisualAndColours)
{
    Widget box = OmStandardBox(shell, 1, 0, 0);
    Widget button = XtVaCreateManagedWidget("button", xmPushButtonWidgetClass, box, NULL);
    EXPECT_EQ(OmGetShell(button), shell);
    EXPECT_EQ(OmGetShell(shell), shell);

    Widget glue = XomCreateHorizontalGlue(box, 5, 0, 0);
    EXPECT_EQ(XomDepthOfWidgetWindow(glue), DefaultDepth(display, DefaultScreen(display)));
    EXPECT_EQ(XomDepthOfWidgetWindow(button), button->core.depth);
    EXPECT_EQ(XomGetVisual(button), DefaultVisual(display, DefaultScreen(display)));

    EXPECT_EQ(XomLoadColor(display, "white"), WhitePixel(display, DefaultScreen(display)));
    EXPECT_EQ(XomLoadColor(display, "no such colour"), 0u);
}

} // namespace
