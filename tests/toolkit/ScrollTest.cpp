// The scroll container with a drawing child far taller than any X window: it scrolls to
// the end, the child is asked to draw only what is in view, and the heading and frozen
// strips stay in place while the rest scrolls.
#include <gtest/gtest.h>

#include <X11/IntrinsicP.h>
#include <Xm/ScrollBar.h>
#include <Xm/Xm.h>

#include "tests/support/DisplayFixture.h"
#include "tests/support/PixelReader.h"
#include "toolkit/CompBaseP.h"
#include "toolkit/EditObject.h"
#include "toolkit/Scroll.h"
#include "toolkit/util.h"

namespace {

// A drawing child that paints a pattern given by content coordinates and writes down
// every area it is asked to draw: a heading band 20 high (green by columns of 50), a
// frozen band 40 wide (blue by rows of 20), and a body checkered in 50 by 20 cells.
const int HEADING = 20, FROZEN = 40, COLUMN = 50, ROW = 20;
const int CONTENT_WIDTH = 1000, CONTENT_HEIGHT = 200000;
std::vector<XomArea> drawn;

const char* ColourAt(int x, int y)
{
    if (y < HEADING)
        return (x / COLUMN) % 2 ? "green" : "darkgreen";
    if (x < FROZEN)
        return ((y - HEADING) / ROW) % 2 ? "blue" : "navy";
    return ((y - HEADING) / ROW + (x - FROZEN) / COLUMN) % 2 ? "red" : "white";
}

void ProbeDraw(Widget w, XomCanvas canvas, const XomArea* area)
{
    drawn.push_back(*area);
    XomFillAttributes fill = canvas->fill;
    fill.style = XomFILL_SOLID;
    // Cells of 10 by 10 pixels: every band and cell edge falls on a multiple of 10.
    for (int y = area->y / 10 * 10; y < area->y + area->height; y += 10)
        for (int x = area->x / 10 * 10; x < area->x + area->width; x += 10) {
            fill.color = XomLoadColor(XtDisplay(w), ColourAt(x, y));
            XomCanvasSetFillAttributes(canvas, &fill);
            XomCanvasFillRectangle(canvas, x, y, 10, 10);
        }
}

// The probe's class: the composite drawing base, drawing with ProbeDraw.
WidgetClass ProbeClass()
{
    static XomCompBaseClassRec probe;
    if (!probe.core_class.superclass) {
        CoreClassPart& core = probe.core_class;
        core.superclass = (WidgetClass)&xomCompBaseClassRec;
        core.class_name = (String) "Probe";
        core.widget_size = sizeof(XomCompBaseRec);
        core.realize = XtInheritRealize;
        core.compress_exposure = XtExposeCompressMaximal;
        core.resize = XtInheritResize;
        core.expose = XtInheritExpose;
        core.set_values_almost = XtInheritSetValuesAlmost;
        core.version = XtVersion;
        core.tm_table = XtInheritTranslations;
        probe.composite_class = {XtInheritGeometryManager, XtInheritChangeManaged,
                                 XtInheritInsertChild, XtInheritDeleteChild, NULL};
        probe.constraint_class.constraint_size = sizeof(XmManagerConstraintRec);
        probe.manager_class.translations = XtInheritTranslations;
        probe.manager_class.parent_process = XmInheritParentProcess;
        probe.comp_base_class.draw = ProbeDraw;
    }
    return (WidgetClass)&probe;
}

class ScrollTest : public DisplayFixture {
protected:
    void SetUp() override
    {
        DisplayFixture::SetUp();
        drawn.clear();
    }
    Widget Scroll(int width = 400, int height = 300)
    {
        return XtVaCreateWidget("scroll", xomScrollWidgetClass, shell, XmNwidth, (Dimension)width,
                                XmNheight, (Dimension)height, XmNscrollBarDisplayPolicy, XmSTATIC,
                                NULL);
    }
    // The probe in a shown container, its content given with a heading and a frozen band.
    Widget Probe(Widget scroll)
    {
        Widget probe = XtCreateManagedWidget("probe", ProbeClass(), scroll, nullptr, 0);
        XomScrollContent content = {};
        content.width = CONTENT_WIDTH;
        content.height = CONTENT_HEIGHT;
        content.topAnnotation = HEADING;
        content.leftFrozen = FROZEN;
        content.verticalIncrement = ROW;
        XomScrollSetContent(scroll, &content);
        XtManageChild(scroll);
        ShowShell();
        return probe;
    }
    uint32_t Rgb(const char* name) { return PixelToRgb(display, XomLoadColor(display, name)); }
    // Where the pixel of a window shows in the content, and whether it shows it.
    void ExpectShows(Widget window, int wx, int wy, int cx, int cy, const char* what)
    {
        EXPECT_EQ(ReadPixel(display, XtWindow(window), wx, wy), Rgb(ColourAt(cx, cy)))
            << what << " at " << wx << "," << wy << " showing " << cx << "," << cy;
    }
};

TEST_F(ScrollTest, AChildOf200000PixelsScrollsToItsEndDrawingOnlyWhatIsInView)
{
    Widget scroll = Scroll();
    Widget probe = Probe(scroll);
    int viewW = 0, viewH = 0;
    XomScrollGetViewSize(scroll, &viewW, &viewH);
    EXPECT_EQ(probe->core.width, viewW);
    EXPECT_EQ(probe->core.height, viewH);
    ASSERT_GT(viewH, 100);

    // The user drags the vertical bar to its end.
    Widget bar = XomScrollGetChild(scroll, XomSCROLL_VERTICAL_BAR);
    int maximum = 0, slider = 0;
    XtVaGetValues(bar, XmNmaximum, &maximum, XmNsliderSize, &slider, NULL);
    EXPECT_EQ(maximum, CONTENT_HEIGHT - HEADING);
    drawn.clear();
    XmScrollBarSetValues(bar, maximum - slider, slider, ROW, slider, True);
    ProcessEvents();

    int x = -1, y = -1, ox = -1, oy = -1;
    XomScrollGetPosition(scroll, &x, &y);
    XomCompBaseGetOrigin(probe, &ox, &oy);
    EXPECT_EQ(y, CONTENT_HEIGHT - HEADING - viewH);
    EXPECT_EQ(oy, CONTENT_HEIGHT - viewH);
    EXPECT_EQ(ox, FROZEN);

    // Only the rows in view were asked for: the view and the frozen strip beside it.
    ASSERT_FALSE(drawn.empty());
    EXPECT_LE(drawn.size(), 4u);
    long pixels = 0;
    for (const XomArea& a : drawn) {
        EXPECT_GE(a.y, CONTENT_HEIGHT - viewH);
        EXPECT_LE(a.y + a.height, CONTENT_HEIGHT);
        EXPECT_LE(a.x + a.width, FROZEN + viewW);
        pixels += long(a.width) * a.height;
    }
    EXPECT_LE(pixels, long(FROZEN + viewW) * viewH);

    // The last row shows at the bottom of the view and of the frozen strip.
    ExpectShows(probe, 5, viewH - 1, FROZEN + 5, CONTENT_HEIGHT - 1, "last row");
    ExpectShows(probe, 5, 0, FROZEN + 5, CONTENT_HEIGHT - viewH, "first row in view");
    Widget frozen = XomScrollGetChild(scroll, XomSCROLL_LEFT_FROZEN);
    ExpectShows(frozen, 5, frozen->core.height - 1, 5, CONTENT_HEIGHT - 1, "frozen last row");
    Widget heading = XomScrollGetChild(scroll, XomSCROLL_TOP_ANNOTATION);
    ExpectShows(heading, FROZEN + 5, 5, FROZEN + 5, 5, "heading");
    WritePng(ArtifactPath("scroll-end.png"), ReadDrawable(display, XtWindow(shell)));
}

TEST_F(ScrollTest, HeadingAndFrozenStripsStayInPlaceWhileTheRestScrolls)
{
    Widget scroll = Scroll();
    Widget probe = Probe(scroll);
    Widget heading = XomScrollGetChild(scroll, XomSCROLL_TOP_ANNOTATION);
    Widget frozen = XomScrollGetChild(scroll, XomSCROLL_LEFT_FROZEN);
    ASSERT_TRUE(heading && frozen);
    EXPECT_EQ(frozen->core.width, FROZEN);
    EXPECT_EQ(heading->core.height, HEADING);
    const Position places[] = {heading->core.x, heading->core.y, frozen->core.x,
                               frozen->core.y,  probe->core.x,   probe->core.y};

    const struct {
        int x, y;
    } positions[] = {{0, 0}, {50, 0}, {0, 20}, {130, 57}, {CONTENT_WIDTH, CONTENT_HEIGHT}};
    for (const auto& p : positions) {
        XomScrollSetPosition(scroll, p.x, p.y);
        ProcessEvents();
        int x, y;
        XomScrollGetPosition(scroll, &x, &y);
        const Position now[] = {heading->core.x, heading->core.y, frozen->core.x,
                                frozen->core.y,  probe->core.x,   probe->core.y};
        EXPECT_TRUE(std::equal(places, places + 6, now)) << "windows never move";
        // The heading scrolls across only, the frozen band down only, the body both ways.
        ExpectShows(heading, FROZEN + 15, 5, FROZEN + x + 15, 5, "heading");
        ExpectShows(heading, 15, 5, 15, 5, "heading over the frozen band");
        ExpectShows(frozen, 15, 15, 15, HEADING + y + 15, "frozen");
        ExpectShows(probe, 15, 15, FROZEN + x + 15, HEADING + y + 15, "body");
    }
    WritePng(ArtifactPath("scroll-strips.png"), ReadDrawable(display, XtWindow(shell)));
}

TEST_F(ScrollTest, MakeVisibleScrollsAsLittleAsNeeded)
{
    Widget scroll = Scroll();
    Probe(scroll);
    int viewW, viewH;
    XomScrollGetViewSize(scroll, &viewW, &viewH);
    const struct {
        int cx, cy, w, h, x, y;
    } cases[] = {
        {FROZEN + 10, HEADING + 10, 50, 20, 0, 0}, // in view already
        {FROZEN + 10, HEADING + 100000, 50, 20, 0,
         100000 + 20 - viewH},                                   // below: to the bottom edge
        {FROZEN + 10, HEADING + 500, 50, 20, 0, 500},            // above: to the top edge
        {FROZEN + 900, HEADING + 500, 50, 20, 950 - viewW, 500}, // to the right
    };
    for (const auto& c : cases) {
        XomScrollMakeVisible(scroll, c.cx, c.cy, c.w, c.h);
        int x, y;
        XomScrollGetPosition(scroll, &x, &y);
        EXPECT_EQ(x, c.x) << c.cx << "," << c.cy;
        EXPECT_EQ(y, c.y) << c.cx << "," << c.cy;
    }
}

TEST_F(ScrollTest, PartsByIdAndTheWarningsOfTheContainer)
{
    Widget scroll = Scroll();
    Widget probe = Probe(scroll);
    EXPECT_EQ(XomScrollGetChild(scroll, XomSCROLL_VIEWPORT), probe);
    EXPECT_EQ(XomScrollGetChild(scroll, XomSCROLL_FRAME), nullptr);
    EXPECT_TRUE(Warnings().empty());

    EXPECT_EQ(XomScrollGetChild(scroll, 3), nullptr);
    EXPECT_EQ(XomScrollGetChild(probe, 1), nullptr); // not a container: no warning
    Widget other = XmCreateScrollBar(shell, (String) "other", nullptr, 0);
    XtVaSetValues(scroll, XmNverticalScrollBar, other, XmNhorizontalScrollBar, other, NULL);
    XtVaSetValues(scroll, XmNshadowType, 42, NULL);
    unsigned char type = 0;
    XtVaGetValues(scroll, XmNshadowType, &type, NULL);
    EXPECT_EQ(type, XmSHADOW_IN);
    const std::vector<std::string> expected = {
        "XomScrollGetChild: Invalid child ID",
        "Cannot replace owned vertical scrollbar.\n",
        "Cannot replace owned horizontal scrollbar.\n",
        "Invalid value for the resource XmNshadowType in XomScroll.\nI'll use default.",
    };
    EXPECT_EQ(Warnings(), expected);
    EXPECT_NE(XomScrollGetChild(scroll, XomSCROLL_VERTICAL_BAR), other);
}

TEST_F(ScrollTest, AnAutoSizedContainerTakesTheContentsWidthAndHasNoBarForIt)
{
    Widget scroll =
        XtVaCreateWidget("scroll", xomScrollWidgetClass, shell, XmNwidth, (Dimension)100, XmNheight,
                         (Dimension)200, XomNhorizontalAutoSized, True, XomNhorizontalOutsideMargin,
                         2, XomNhorizontalInsideMargin, 0, XmNshadowThickness, (Dimension)2, NULL);
    XtCreateManagedWidget("probe", ProbeClass(), scroll, nullptr, 0);
    XomScrollContent content = {};
    content.width = 300;
    content.height = 1000;
    XomScrollSetContent(scroll, &content);
    XtManageChild(scroll);
    ShowShell();
    int viewW, viewH;
    XomScrollGetViewSize(scroll, &viewW, &viewH);
    EXPECT_EQ(viewW, 300);
    EXPECT_FALSE(XtIsManaged(XomScrollGetChild(scroll, XomSCROLL_HORIZONTAL_BAR)));
    EXPECT_TRUE(XtIsManaged(XomScrollGetChild(scroll, XomSCROLL_VERTICAL_BAR)));
}

} // namespace
