// The editor area: its locator reports, freezing, selection and the destruction of its
// graphic objects, and the toolkit's named warnings it gives.
#include <gtest/gtest.h>

#include <Xm/Xm.h>

#include "tests/support/DisplayFixture.h"
#include "toolkit/EditObject.h"
#include "toolkit/Group.h"
#include "toolkit/XomP.h"

namespace {

// What the traffic chart view installs: a click only reports the position.
const char chartTranslations[] =
    "<FocusIn>:               ManagerFocusIn() \n"
    "        <FocusOut>:              ManagerFocusOut() \n"
    "    None<Btn1Down>:              TraverseCurrent() Locator() \n"
    "        <PtrMoved>:              DrawCursor() ExtendAreaSelection() ObjectEdit() Locator()";

class EditObjectTest : public DisplayFixture {
protected:
    Widget Area(int width = 200, int height = 100)
    {
        Widget area =
            XtVaCreateManagedWidget("editobject", xomEditObjectWidgetClass, shell, XmNwidth,
                                    (Dimension)width, XmNheight, (Dimension)height, NULL);
        XtAddCallback(area, XomNexposeCallback, CountCallback, &exposes);
        XtAddCallback(area, XomNlocatorCallback, LocatorCallback, this);
        return area;
    }
    std::vector<Widget> Selection(Widget area)
    {
        Cardinal count;
        WidgetList list = XomEditObjectGetSelection(area, &count);
        return std::vector<Widget>(list, list + count);
    }
    static void CountCallback(Widget, XtPointer client, XtPointer call)
    {
        EXPECT_EQ(static_cast<XomAnyCallbackStruct*>(call)->reason, XomCR_EXPOSE);
        ++*static_cast<int*>(client);
    }
    static void LocatorCallback(Widget, XtPointer client, XtPointer call)
    {
        auto* data = static_cast<XomLocatorCallbackStruct*>(call);
        static_cast<EditObjectTest*>(client)->locator.push_back(*data);
        static_cast<EditObjectTest*>(client)->locatorEvents.push_back(data->event->type);
    }

    int exposes = 0;
    std::vector<XomLocatorCallbackStruct> locator;
    std::vector<int> locatorEvents;
};

TEST_F(EditObjectTest, APressWithTheChartTranslationsReportsOnceInUserCoordinates)
{
    Widget area = Area(200, 100);
    XtOverrideTranslations(area, XtParseTranslationTable(chartTranslations));
    Widget group = XomCreateGroup(area, "group", nullptr, 0);
    ShowShell();
    XomEditObjectSelectObject(area, group);

    DispatchButton(area, ButtonPress, 50, 25);
    ASSERT_EQ(locator.size(), 1u);
    EXPECT_EQ(locator[0].reason, XomCR_LOCATOR);
    EXPECT_EQ(locatorEvents[0], ButtonPress);
    EXPECT_FLOAT_EQ(locator[0].x, 25.0f);
    EXPECT_FLOAT_EQ(locator[0].y, 25.0f);
    EXPECT_EQ(Selection(area), std::vector<Widget>{group});
    EXPECT_TRUE(Warnings().empty());
}

TEST_F(EditObjectTest, FreezingTwiceAndUnfreezingOnceRedrawsOnce)
{
    Widget area = Area();
    ShowShell();
    const struct {
        std::vector<int> calls; // 1 freeze, 0 unfreeze
        int redraws;
    } cases[] = {
        {{1, 1, 0}, 1},
        {{0}, 0}, // never frozen
        {{1, 0, 0}, 1},
        {{1}, 0}, // still frozen: exposures are ignored
    };
    for (const auto& c : cases) {
        XomEditObjectFreeze(area, False);
        ProcessEvents();
        exposes = 0;
        for (int call : c.calls)
            XomEditObjectFreeze(area, call);
        if (XomEditObjectIsFrozen(area))
            XClearArea(display, XtWindow(area), 0, 0, 0, 0, True);
        ProcessEvents();
        EXPECT_EQ(exposes, c.redraws) << c.calls.size();
    }
}

TEST_F(EditObjectTest, SelectionListsFollowSelectAndDeselect)
{
    Widget area = Area();
    Widget a = XomCreateGroup(area, "a", nullptr, 0);
    Widget b = XomCreateGroup(area, "b", nullptr, 0);
    Widget chart = XomCreateGroup(area, "chart", nullptr, 0);
    Widget series = XtVaCreateWidget("series", xomGroupObjectClass, area, XomNgroup, chart, NULL);
    Widget other = XtVaCreateManagedWidget("other", xomEditObjectWidgetClass, shell, NULL);
    Widget foreign = XomCreateGroup(other, "foreign", nullptr, 0);

    XomEditObjectSelectObject(area, a);
    XomEditObjectSelectObject(area, b);
    XomEditObjectSelectObject(area, a);       // already selected
    XomEditObjectSelectObject(area, foreign); // not the area's
    XomEditObjectSelectObject(shell, a);      // not an area
    EXPECT_EQ(Selection(area), (std::vector<Widget>{a, b}));

    XomEditObjectSelectObject(area, series);
    EXPECT_EQ(XomGroupSelectedMember(chart), series);
    EXPECT_EQ(Selection(area), (std::vector<Widget>{a, b, series}));

    XomEditObjectDeselectObject(area, a);
    EXPECT_EQ(Selection(area), (std::vector<Widget>{b, series}));
    XomEditObjectDeselectAll(area);
    EXPECT_EQ(Selection(area), std::vector<Widget>{});
    EXPECT_EQ(XomGroupSelectedMember(chart), nullptr);

    Cardinal count = 0;
    WidgetList list = nullptr;
    XtVaGetValues(area, XomNgraphicList, &list, XomNgraphicListCount, &count, NULL);
    EXPECT_EQ(std::vector<Widget>(list, list + count), (std::vector<Widget>{a, b, chart}));
    XtVaGetValues(chart, XomNlist, &list, XomNlistCount, &count, NULL);
    EXPECT_EQ(std::vector<Widget>(list, list + count), std::vector<Widget>{series});
}

TEST_F(EditObjectTest, DestroyingAnObjectTwiceDoesNothingTheSecondTime)
{
    Widget area = Area();
    Widget a = XomCreateGroup(area, "a", nullptr, 0);
    Widget b = XomCreateGroup(area, "b", nullptr, 0);
    int destroyed = 0;
    XtAddCallback(
        a, XtNdestroyCallback, [](Widget, XtPointer n, XtPointer) { ++*(int*)n; }, &destroyed);
    XomEditObjectSelectObject(area, a);

    XomEditObjectDestroyObject(a);
    EXPECT_EQ(destroyed, 1);
    Cardinal count = 0;
    WidgetList list = nullptr;
    XtVaGetValues(area, XomNgraphicList, &list, XomNgraphicListCount, &count, NULL);
    EXPECT_EQ(std::vector<Widget>(list, list + count), std::vector<Widget>{b});
    EXPECT_EQ(Selection(area), std::vector<Widget>{});

    XomEditObjectDestroyObject(a); // a stale handle: never read
    XomEditObjectDestroyObject(nullptr);
    XomEditObjectDestroyObject(area); // not a graphic object
    EXPECT_EQ(destroyed, 1);
    EXPECT_TRUE(XtIsWidget(area));
}

TEST_F(EditObjectTest, AWarningsTextIsShownAsItStands)
{
    XomWarning(Area(), "name", "type", "100% plain");
    EXPECT_EQ(Warnings(), std::vector<std::string>{"100% plain"});
}

TEST_F(EditObjectTest, AnAnnotationPlacementWithoutItsSidesIsRefused)
{
    Widget area = XtVaCreateWidget("editobject", xomEditObjectWidgetClass, shell,
                                   XomNhorizontalAnnotationPlacement, XomPLACEMENT_LEFT, NULL);
    int horizontal = 0, vertical = 0;
    XtVaGetValues(area, XomNhorizontalAnnotationPlacement, &horizontal, NULL);
    EXPECT_EQ(horizontal, 3);
    XtVaSetValues(area, XomNverticalAnnotationPlacement, XomPLACEMENT_TOP, NULL);
    XtVaSetValues(area, XomNhorizontalAnnotationPlacement, XomPLACEMENT_INSIDE, NULL);
    XtVaGetValues(area, XomNhorizontalAnnotationPlacement, &horizontal,
                  XomNverticalAnnotationPlacement, &vertical, NULL);
    EXPECT_EQ(horizontal, XomPLACEMENT_INSIDE);
    EXPECT_EQ(vertical, 12);
    ASSERT_EQ(Warnings().size(), 2u);
    EXPECT_EQ(Warnings()[0],
              "**** XomEditObjectWarning ****\nInitialize\n"
              "Invalid value, resource XmNhorizontalAnnotationPlacement.");
    EXPECT_EQ(Warnings()[1],
              "**** XomEditObjectWarning ****\nSetValues\n"
              "Invalid value, resource XmNverticalAnnotationPlacement.");
}

} // namespace
