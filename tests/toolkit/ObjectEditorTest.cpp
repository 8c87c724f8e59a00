// The object editor: the attribute palette it builds, its choices applied to what is
// selected in the editor areas of its list, following their selection, and areas or the
// editor going away in either order.
#include <gtest/gtest.h>

#include <Xm/ToggleB.h>

#include "tests/support/DisplayFixture.h"
#include "tests/support/PixelReader.h"
#include "tests/support/PngWriter.h"
#include "toolkit/Box.h"
#include "toolkit/EditObject.h"
#include "toolkit/Graphic.h"
#include "toolkit/ObjectEditor.h"
#include "toolkit/Rectangle.h"
#include "toolkit/util.h"

namespace {

class ObjectEditorTest : public DisplayFixture {
protected:
    void SetUp() override
    {
        DisplayFixture::SetUp();
        box = XtVaCreateManagedWidget("box", xomBoxWidgetClass, shell, XomNorientation,
                                      XmHORIZONTAL, NULL);
    }
    // A white 200 by 100 area: one user unit is 2 pixels across and 1 down.
    Widget Area()
    {
        return XtVaCreateManagedWidget("editobject", xomEditObjectWidgetClass, box, XmNwidth,
                                       (Dimension)200, XmNheight, (Dimension)100, XmNbackground,
                                       XomLoadColor(display, "white"), XomNhandleSize, 0, NULL);
    }
    Widget Rect(Widget area)
    {
        float corners[4] = {20, 20, 80, 80}; // pixels 40..160 across, 20..80 down
        return XtVaCreateWidget("rec", xomRectangleObjectClass, area, XomNrectangle, corners,
                                XomNcolor, XomLoadColor(display, "blue"), NULL);
    }
    Widget Editor(ArgList args = nullptr, Cardinal count = 0)
    {
        Widget editor = XomCreateObjectEditor(box, "ObjectEditor", args, count);
        XtManageChild(editor);
        return editor;
    }
    void Choose(Widget editor, const char* attribute, int index)
    {
        Widget choice = XomObjectEditorGetChoice(editor, attribute, index);
        ASSERT_NE(choice, nullptr) << attribute << " " << index;
        XmToggleButtonSetState(choice, True, True);
    }
    bool Shows(Widget editor, const char* attribute, int index)
    {
        return XmToggleButtonGetState(XomObjectEditorGetChoice(editor, attribute, index));
    }
    static int Get(Widget object, const char* resource)
    {
        int value = -1;
        XtVaGetValues(object, resource, &value, NULL);
        return value;
    }
    static Cardinal Listed(Widget editor)
    {
        Cardinal count = 0;
        XtVaGetValues(editor, XomNnumEditObjects, &count, NULL);
        return count;
    }

    Widget box = nullptr;
};

} // namespace

TEST_F(ObjectEditorTest, OffersTheAttributesItKnowsInTheOrderAsked)
{
    Widget full = Editor(); // the default lists
    for (const char* attribute : {"FillStyle", "LineStyle", "LineWidth", "DashType"})
        EXPECT_NE(XomObjectEditorGetChoice(full, attribute, 0), nullptr) << attribute;
    EXPECT_EQ(XomObjectEditorGetChoice(full, "LineEnds", 0), nullptr);
    EXPECT_EQ(XomObjectEditorGetChoice(full, "LineWidth", 4), nullptr);
    EXPECT_EQ(XomObjectEditorGetChoice(full, "LineWidth", -1), nullptr);
    EXPECT_EQ(XomObjectEditorGetChoice(box, "LineWidth", 0), nullptr) << "not an editor";
    // The defaults show while nothing is selected.
    EXPECT_TRUE(Shows(full, "LineStyle", 0));
    EXPECT_TRUE(Shows(full, "LineWidth", 0));
    EXPECT_TRUE(Shows(full, "FillStyle", 2));

    const char* edits[] = {"AttributeEditor", nullptr};
    const char* attributes[] = {"DashType", "LineWidth", "Bogus", nullptr};
    Arg args[] = {{(String)XomNeditList, (XtArgVal)edits},
                  {(String)XomNattributeList, (XtArgVal)attributes},
                  {(String)XomNnumColumns, 1}};
    Widget some = Editor(args, XtNumber(args));
    EXPECT_EQ(XomObjectEditorGetChoice(some, "LineStyle", 0), nullptr);
    ASSERT_NE(XomObjectEditorGetChoice(some, "DashType", 0), nullptr);
    // In the order asked: the dash type's row sits above the line width's.
    ShowShell();
    Position dashY = 0, widthY = 0, x = 0;
    XtTranslateCoords(XomObjectEditorGetChoice(some, "DashType", 0), 0, 0, &x, &dashY);
    XtTranslateCoords(XomObjectEditorGetChoice(some, "LineWidth", 0), 0, 0, &x, &widthY);
    EXPECT_LT(dashY, widthY);

    const char* none[] = {"ColorEditor", nullptr};
    Arg noAttributes[] = {{(String)XomNeditList, (XtArgVal)none}};
    Widget colours = Editor(noAttributes, 1);
    EXPECT_EQ(XomObjectEditorGetChoice(colours, "LineWidth", 0), nullptr);
}

TEST_F(ObjectEditorTest, AChoiceChangesTheSelectedObjectsOfTheListedAreasOnly)
{
    Widget first = Area(), second = Area(), unlisted = Area();
    Widget a = Rect(first), b = Rect(first), c = Rect(second), d = Rect(unlisted);
    Widget editor = Editor();
    XomObjectEditorAddEditObjectToList(editor, first);
    XomObjectEditorAddEditObjectToList(editor, second);
    XomObjectEditorAddEditObjectToList(editor, first); // listed once
    XomObjectEditorAddEditObjectToList(editor, a);     // not an area
    XomObjectEditorAddEditObjectToList(box, first);    // not an editor
    EXPECT_EQ(Listed(editor), 2u);
    ShowShell();
    EXPECT_NE(ReadPixel(display, XtWindow(first), 42, 50), 0x0000ffu);

    XomEditObjectSelectObject(first, a);
    XomEditObjectSelectObject(second, c);
    XomEditObjectSelectObject(unlisted, d);
    Choose(editor, "LineWidth", 3); // 5 pixels
    Choose(editor, "FillStyle", 0); // solid
    for (Widget changed : {a, c}) {
        EXPECT_EQ(Get(changed, XomNlineThickness), 5);
        EXPECT_EQ(Get(changed, XomNfillStyle), XomFILL_SOLID);
    }
    for (Widget kept : {b, d}) {
        EXPECT_EQ(Get(kept, XomNlineThickness), 1);
        EXPECT_EQ(Get(kept, XomNfillStyle), XomFILL_NONE);
    }
    ProcessEvents();
    // The wider outline shows in the window.
    EXPECT_EQ(ReadPixel(display, XtWindow(first), 42, 50), 0x0000ffu);
    WritePng(ArtifactPath("object-editor.png"), ReadDrawable(display, XtWindow(shell)));

    // The dash type gives dashed lines their dashes and leaves solid ones solid.
    Choose(editor, "DashType", 1);
    EXPECT_EQ(Get(a, XomNlineStyle), XomLINE_SOLID);
    Choose(editor, "LineStyle", 1);
    EXPECT_EQ(Get(a, XomNlineStyle), XomLINE_DOUBLE_DASH);
    Choose(editor, "DashType", 0);
    EXPECT_EQ(Get(a, XomNlineStyle), XomLINE_ON_OFF_DASH);
    Choose(editor, "LineStyle", 2);
    EXPECT_EQ(Get(c, XomNlineStyle), XomLINE_NONE);
}

TEST_F(ObjectEditorTest, SelectingAnObjectShowsItsValues)
{
    Widget area = Area();
    Widget dashed = Rect(area), plain = Rect(area);
    XtVaSetValues(dashed, XomNlineStyle, XomLINE_DOUBLE_DASH, XomNlineThickness, 3, XomNfillStyle,
                  XomFILL_STIPPLED, NULL);
    Widget editor = Editor();
    XomObjectEditorAddEditObjectToList(editor, area);
    XomEditObjectSelectObject(area, dashed);
    EXPECT_TRUE(Shows(editor, "LineStyle", 1));
    EXPECT_TRUE(Shows(editor, "DashType", 1));
    EXPECT_TRUE(Shows(editor, "LineWidth", 2));
    EXPECT_TRUE(Shows(editor, "FillStyle", 1));
    EXPECT_FALSE(Shows(editor, "LineStyle", 0));
    XomEditObjectDeselectAll(area);
    XomEditObjectSelectObject(area, plain);
    EXPECT_TRUE(Shows(editor, "LineStyle", 0));
    EXPECT_TRUE(Shows(editor, "LineWidth", 0));
    EXPECT_TRUE(Shows(editor, "DashType", 1)) << "the dash type a dashed line will get";
    // A dashed line made now takes the double dashes last shown.
    Choose(editor, "LineStyle", 1);
    EXPECT_EQ(Get(plain, XomNlineStyle), XomLINE_DOUBLE_DASH);
}

TEST_F(ObjectEditorTest, AnAreaOrTheEditorMayGoFirst)
{
    Widget kept = Area(), gone = Area();
    Widget object = Rect(kept);
    Widget editor = Editor();
    XomObjectEditorAddEditObjectToList(editor, gone);
    XomObjectEditorAddEditObjectToList(editor, kept);
    XtDestroyWidget(gone);
    ProcessEvents();
    EXPECT_EQ(Listed(editor), 1u);
    XomEditObjectSelectObject(kept, object);
    Choose(editor, "LineWidth", 1);
    EXPECT_EQ(Get(object, XomNlineThickness), 2);

    XtDestroyWidget(editor);
    ProcessEvents();
    XomEditObjectDeselectAll(kept);
    XomEditObjectSelectObject(kept, object); // no editor is told any more
    EXPECT_EQ(Get(object, XomNlineThickness), 2);
}
