// The device-independent half of the canvas, seen through the recording device: what each
// drawing call turns into on a device, in device pixels.
#include <gtest/gtest.h>

#include "tests/support/RecordingCanvas.h"
#include "toolkit/XomP.h"

namespace {

using Lines = std::vector<std::string>;

TEST(CanvasTest, TheSampleSceneReachesTheDeviceShiftedClippedAndInSlotTerms)
{
    Lines log;
    XomCanvas c = CreateRecordingCanvas(100, 80, &log);
    DrawSampleScene(c);
    XomCanvasDestroy(c);
    const Lines expected = {
        "setLineAttributes 3 0 1",
        "setFillAttributes 3 0",
        "setTextAttributes 3 -",
        "fillRectangle 10 20 40 30",
        "line 10 20 50 50",
        "setClip 15 25 20 20",
        "restrictedText 10 20 40 13 1 Hi",
        "removeClip",
        "setLineAttributes 3 0 0",
        "setLineAttributes 3 2 1",
        "polyline 10,20 20,25 30,20",
        "arc 10 20 8 8 0 23040",
        "text 12 32 ok",
        "flush",
        "destroy",
    };
    EXPECT_EQ(log, expected);
}

TEST(CanvasTest, TheBoundLimitsEveryClipAndRemainsWhenTheClipGoes)
{
    Lines log;
    XomCanvas c = CreateRecordingCanvas(100, 80, &log);
    XomArea bound = {0, 0, 30, 30}, wide = {10, 10, 100, 100}, outside = {50, 50, 5, 5};
    XomCanvasSetBound(c, &bound);
    XomCanvasSetClip(c, &wide);
    XomCanvasSetClip(c, &outside);
    XomCanvasRemoveClip(c);
    XomCanvasDestroy(c);
    EXPECT_EQ(Only(log, {"setClip", "removeClip"}),
              (Lines{"setClip 0 0 30 30", "setClip 10 10 20 20", "setClip 50 50 0 0",
                     "setClip 0 0 30 30"}));
}

TEST(CanvasTest, EmptyShapesAndNoStylesDrawNothing)
{
    Lines log;
    XomCanvas c = CreateRecordingCanvas(100, 80, &log);
    XomCanvasFillRectangle(c, 0, 0, 0, 5);
    XomCanvasText(c, 0, 0, "", 0);
    XomCanvasText(c, 0, 0, nullptr, 3);
    const XomPoint two[] = {{0, 0}, {1, 1}};
    XomCanvasPolygon(c, two, 2);
    XomFillAttributes none = c->fill;
    none.style = XomFILL_NONE;
    XomCanvasSetFillAttributes(c, &none);
    XomCanvasFillRectangle(c, 0, 0, 5, 5);
    XomCanvasFillArc(c, 0, 0, 5, 5, 0, 64);
    EXPECT_EQ(Only(log, {"fillRectangle", "text", "polygon", "fillArc"}), Lines{});
    XomCanvasDestroy(c);
}

TEST(CanvasTest, TextIsPlacedByAlignmentWithTheFontsMetrics)
{
    Lines log;
    XomCanvas c = CreateRecordingCanvas(100, 80, &log);
    // Without a font: 6 pixels a character, ascent 10, descent 3.
    const XomArea box = {0, 0, 100, 20};
    const struct {
        int alignment, x, y;
    } cases[] = {
        {XomALIGNMENT_BEGINNING, 0, 13},   {XomALIGNMENT_CENTER, 41, 13},
        {XomALIGNMENT_END_TOP, 82, 10},    {XomALIGNMENT_BEGINNING_BOTTOM, 0, 17},
        {XomALIGNMENT_CENTER_TOP, 41, 10},
    };
    EXPECT_EQ(XomCanvasTextWidth(c, "abc", 3), 18);
    for (const auto& k : cases) {
        XomPoint p = XomCanvasAlignText(c, &box, "abc", 3, k.alignment);
        EXPECT_EQ(p.x, k.x) << k.alignment;
        EXPECT_EQ(p.y, k.y) << k.alignment;
    }
    XomCanvasDestroy(c);
}

TEST(CanvasTest, PixelsTurnIntoRgbThroughTheColourTable)
{
    XColor cells[3] = {};
    cells[2].red = 0xff00;
    cells[2].green = 0x8000;
    cells[2].blue = 0x0100;
    XomColorTable trueColor = {True, 0xff0000, 0x00ff00, 0x0000ff, 0, nullptr};
    XomColorTable mapped = {False, 0, 0, 0, 3, cells};
    const struct {
        const XomColorTable* table;
        Pixel pixel;
        unsigned char rgb[3];
    } cases[] = {
        {&trueColor, 0x123456, {0x12, 0x34, 0x56}},
        {&mapped, 2, {0xff, 0x80, 0x01}},
        {&mapped, 7, {7, 7, 7}}, // beyond the table: a grey level
        {nullptr, 0x40, {0x40, 0x40, 0x40}},
    };
    for (const auto& k : cases) {
        Lines log;
        XomCanvas c = CreateRecordingCanvas(1, 1, &log);
        c->colors = k.table;
        unsigned char rgb[3];
        XomCanvasPixelToRgb(c, k.pixel, rgb);
        EXPECT_EQ(rgb[0], k.rgb[0]);
        EXPECT_EQ(rgb[1], k.rgb[1]);
        EXPECT_EQ(rgb[2], k.rgb[2]);
        XomCanvasDestroy(c);
    }
}

// Ordinary intersections are drawn through the table's frozen and scrolling strips
// (EditTableTest); far from the origin an end no longer fits an int.
TEST(CanvasTest, AreasFarFromTheOriginIntersect)
{
    XomArea a = {0, 2000000000, 10, 100}, b = {0, 2000000050, 10, 100}, r;
    ASSERT_TRUE(XomIntersectAreas(&a, &b, &r));
    EXPECT_EQ(r.x, 0);
    EXPECT_EQ(r.y, 2000000050);
    EXPECT_EQ(r.width, 10);
    EXPECT_EQ(r.height, 50);
}

} // namespace
