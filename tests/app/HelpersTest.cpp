// The message dialog, panels and their grab bell, menu panes and pointer tips.
#include <gtest/gtest.h>

#include <string.h>
#include <unistd.h>

#include <string>

#include <X11/IntrinsicP.h>
#include <X11/XKBlib.h>
#include <Xm/Label.h>
#include <Xm/MessageB.h>
#include <Xm/RowColumn.h>
#include <Xm/Form.h>
#include <Xm/Xm.h>

#include "tests/support/DisplayFixture.h"
#include "tests/support/MotifText.h"
#include "tests/support/PixelReader.h"
#include "app/util.h"
#include "toolkit/util.h"

namespace {

class HelpersTest : public DisplayFixture {
protected:
    void SetUp() override
    {
        DisplayFixture::SetUp();
        XtVaSetValues(shell, XmNx, 200, XmNy, 100, XmNwidth, 500, XmNheight, 300, NULL);
        box = OmStandardBox(shell, 1, 0, 0);
        ShowShell();
    }

    Widget box = nullptr;
};

// Up to three texts on lines (the third after an empty one), bounded to 255 characters;
// the information symbol for "Information" only; OK alone, closing the dialog.
TEST_F(HelpersTest, WarningPostComposesItsTextsUnderItsSymbol)
{
    const std::string longText(400, 'a');
    const struct {
        const char *first, *second, *third, *title;
        std::string shown;
        unsigned char type;
        const char* screenshot = nullptr;
    } posts[] = {
        {"Unable to connect SOCKS5Server:", "proxy.example:5051", nullptr, "Warning",
         "Unable to connect SOCKS5Server:\nproxy.example:5051\n", XmDIALOG_ERROR,
         "warning-dialog.png"},
        {"one", "two", "three", "Notice", "one\ntwo\n\nthree", XmDIALOG_ERROR},
        {longText.c_str(), "b", "c", "Warning", std::string(255, 'a'), XmDIALOG_ERROR},
        {"Settings saved. ", nullptr, nullptr, "Information", "Settings saved. \n",
         XmDIALOG_INFORMATION},
    };
    for (const auto& post : posts) {
        Widget dialog = KesWarningPost(box, post.first, post.second, post.third, post.title);
        Widget panel = OmGetShell(dialog);
        EXPECT_EQ(ShownText(dialog, XmNmessageString), post.shown);
        unsigned char type = 0;
        XtVaGetValues(dialog, XmNdialogType, &type, NULL);
        EXPECT_EQ(type, post.type) << post.title;
        EXPECT_STREQ(XtName(dialog), post.title);
        EXPECT_STREQ(XtName(panel), post.title);
        EXPECT_TRUE(XtIsManaged(XmMessageBoxGetChild(dialog, XmDIALOG_OK_BUTTON)));
        EXPECT_FALSE(XtIsManaged(XmMessageBoxGetChild(dialog, XmDIALOG_CANCEL_BUTTON)));
        EXPECT_FALSE(XtIsManaged(XmMessageBoxGetChild(dialog, XmDIALOG_HELP_BUTTON)));
        if (post.screenshot) {
            WaitUntilViewable(panel);
            RgbImage shot = ReadDrawable(display, XtWindow(panel));
            EXPECT_TRUE(WritePng(ArtifactPath(post.screenshot), shot));
            // The two lines of text beside the symbol, and the symbol itself.
            for (auto part : {std::make_pair(XmDIALOG_MESSAGE_LABEL, 2),
                              std::make_pair(XmDIALOG_SYMBOL_LABEL, 1)}) {
                Widget label = XmMessageBoxGetChild(dialog, part.first);
                Position x = 0, y = 0;
                XtTranslateCoords(label, 0, 0, &x, &y);
                Position panelX = 0, panelY = 0;
                XtTranslateCoords(panel, 0, 0, &panelX, &panelY);
                EXPECT_EQ(
                    TextLines(shot, x - panelX, y - panelY, label->core.width, label->core.height),
                    part.second);
            }
        }
        bool destroyed = false;
        XtAddCallback(
            panel, XmNdestroyCallback,
            [](Widget, XtPointer flag, XtPointer) { *(bool*)flag = true; }, &destroyed);
        Click(XmMessageBoxGetChild(dialog, XmDIALOG_OK_BUTTON));
        EXPECT_TRUE(destroyed);
    }
}

TEST_F(HelpersTest, PanelSitsAFifthIntoItsParentShell)
{
    Widget panelBox = nullptr;
    Widget panel = KesStandardPanel(box, "General Settings", 2, -1, -1, 20, 10, &panelBox);
    EXPECT_STREQ(XtName(panel), "General Settings");
    EXPECT_TRUE(XtIsTransientShell(panel));
    EXPECT_EQ(XtParent(panel), shell);
    Position x = 0, y = 0;
    XtVaGetValues(panel, XmNx, &x, XmNy, &y, NULL);
    EXPECT_EQ(x, shell->core.x + (int)(0.2 * shell->core.width));
    EXPECT_EQ(y, shell->core.y + (int)(0.2 * shell->core.height));

    ASSERT_NE(panelBox, nullptr);
    EXPECT_STREQ(XtName(panelBox), "main_dp_vbox");
    EXPECT_TRUE(XomIsBox(panelBox));
    EXPECT_FALSE(XtIsManaged(panelBox));
    unsigned char orientation = 0;
    Dimension spacing = 0, margin = 0;
    XtVaGetValues(panelBox, XomNorientation, &orientation, XomNspacing, &spacing, XomNmargin,
                  &margin, NULL);
    EXPECT_EQ(orientation, XmHORIZONTAL);
    EXPECT_EQ(spacing, 20);
    EXPECT_EQ(margin, 10);

    Widget placed = KesStandardPanel(box, "Help", 2, 30, 40, 15, 5, &panelBox);
    XtVaGetValues(placed, XmNx, &x, XmNy, &y, NULL);
    EXPECT_EQ(x, 30);
    EXPECT_EQ(y, 40);
    XtDestroyWidget(panel);
    XtDestroyWidget(placed);
}

// Watches the bells rung on the display through a second connection.
class BellWatcher {
public:
    BellWatcher()
    {
        int error, major = XkbMajorVersion, minor = XkbMinorVersion;
        observer_ = XkbOpenDisplay(nullptr, &eventBase_, &error, &major, &minor, nullptr);
        if (observer_)
            XkbSelectEvents(observer_, XkbUseCoreKbd, XkbBellNotifyMask, XkbBellNotifyMask);
        Count();
    }
    ~BellWatcher()
    {
        if (observer_)
            XCloseDisplay(observer_);
    }
    bool ready() const { return observer_ != nullptr; }
    // Bells rung since the last call.
    int Count()
    {
        if (!observer_)
            return 0;
        XSync(observer_, False);
        int bells = 0;
        while (XPending(observer_)) {
            XEvent event;
            XNextEvent(observer_, &event);
            if (event.type == eventBase_) {
                XkbEvent* xkb = (XkbEvent*)&event;
                if (xkb->any.xkb_type == XkbBellNotify)
                    bells++;
            }
        }
        return bells;
    }

private:
    Display* observer_ = nullptr;
    int eventBase_ = 0;
};

TEST_F(HelpersTest, PressOutsideTheModalPanelRingsTheBellButNotOnItsEdge)
{
    BellWatcher bells;
    ASSERT_TRUE(bells.ready());

    Widget panelBox = nullptr;
    Widget panel = KesStandardPanel(box, "Warning", 1, 300, 200, 10, 10, &panelBox);
    XtVaCreateManagedWidget("label", xmLabelWidgetClass, panelBox, NULL);
    XtManageChild(panelBox);
    SetGrabBeepPanel(panel);
    XtPopup(panel, XtGrabExclusive);
    ProcessEvents();

    Position x = 0, y = 0;
    Dimension width = 0, height = 0;
    XtVaGetValues(panel, XmNx, &x, XmNy, &y, XmNwidth, &width, XmNheight, &height, NULL);
    auto press = [&](int rootX, int rootY, int type = ButtonPress) {
        XEvent event = {};
        event.type = type;
        event.xbutton.x_root = rootX;
        event.xbutton.y_root = rootY;
        BeepPointerSelection(&event);
        XSync(display, False);
        return bells.Count();
    };

    EXPECT_EQ(press(x - 1, y), 1);
    EXPECT_EQ(press(x + width + 1, y + 5), 1);
    EXPECT_EQ(press(x + 5, y + height + 1), 1);
    EXPECT_EQ(press(x, y), 0);
    EXPECT_EQ(press(x + width, y + height), 0);
    EXPECT_EQ(press(x + width / 2, y + height / 2), 0);
    EXPECT_EQ(press(x - 50, y, ButtonRelease), 0);

    XtDestroyWidget(panel);
    ProcessEvents();
    EXPECT_EQ(press(x - 50, y), 0);
}

// The accelerators and the callback's client data are used by the real program's menus
// (MonMenuTest, and Ctrl+p and Ctrl+x end to end).
TEST_F(HelpersTest, StandardMenuFillsAPaneWithNumberedButtons)
{
    Widget bar = XmCreateMenuBar(box, (String) "bar", nullptr, 0);
    Widget pane = XmCreatePulldownMenu(bar, (String) "pane", nullptr, 0);
    Widget buttons[3] = {};
    const char* const names[3] = {"fm_print", "fm_exit", "fm_other"};
    const char* const accelerators[3] = {"Ctrl<KeyPress>p: DoSelect()", nullptr, nullptr};
    const char* const texts[3] = {"Ctrl+p", nullptr, nullptr};
    const int separators[] = {1, 2};
    KesStandardMenu(
        pane, buttons, "menu_title", names, accelerators, texts, 3,
        [](Widget, XtPointer, XtPointer) {}, separators, 1, nullptr);

    CompositeWidget composite = (CompositeWidget)pane;
    std::vector<std::string> order;
    for (Cardinal i = 0; i < composite->composite.num_children; i++)
        order.push_back(XtName(composite->composite.children[i]));
    EXPECT_EQ(
        order,
        (std::vector<std::string>{"menu_title", "sep", "fm_print", "sep", "fm_exit", "fm_other"}));
    for (int i = 0; i < 3; i++) {
        ASSERT_NE(buttons[i], nullptr);
        EXPECT_EQ(OmGetWidgetUserData(buttons[i]), (XtPointer)(long)i);
    }
}

// Where a tip is placed, and its removal, are
// MonMenuTest.TheTipShowsTheButtonsTextUnderTheToolBar's.
TEST_F(HelpersTest, PointerTipShowsOneLabelAtATimeAndIsForgottenWithItsParent)
{
    XtVaCreateManagedWidget("area", xmLabelWidgetClass, box, NULL);
    KesPopupAnnotationText(box, "Start\nmonitoring", 10, 20);
    ProcessEvents();
    Widget tip = XtNameToWidget(box, "icon_reminder");
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(tip->core.border_width, 2);
    XWindowAttributes attributes;
    XGetWindowAttributes(display, XtWindow(tip), &attributes);
    EXPECT_EQ(attributes.map_state, IsViewable);

    KesPopupAnnotationText(box, "Stop", 30, 20);
    ProcessEvents();
    int tips = 0;
    CompositeWidget composite = (CompositeWidget)box;
    for (Cardinal i = 0; i < composite->composite.num_children; i++)
        if (strcmp(XtName(composite->composite.children[i]), "icon_reminder") == 0
            && !composite->composite.children[i]->core.being_destroyed)
            tips++;
    EXPECT_EQ(tips, 1);

    KesPopdownAnnotationText();
    KesPopdownAnnotationText(); // nothing shown: nothing to do

    // A tip gone with its parent is forgotten.
    Widget bar = XtVaCreateManagedWidget("bar", xmFormWidgetClass, box, NULL);
    KesPopupAnnotationText(bar, "Stop", 5, 5);
    XtDestroyWidget(bar); // a tool bar removed while its tip shows
    ProcessEvents();
    KesPopdownAnnotationText(); // must not destroy the tip a second time
    KesPopupAnnotationText(box, "Start", 5, 5);
    ProcessEvents();
    EXPECT_NE(XtNameToWidget(box, "icon_reminder"), nullptr);
    KesPopdownAnnotationText();
}

} // namespace
