// Icons take the background of the first widget ever given, in place of "LightBlue3".
// A program of its own: that colour is fixed by the first call in a process.
#include <gtest/gtest.h>

#include <string.h>

#include <X11/IntrinsicP.h>
#include <Xm/Label.h>
#include <Xm/Xm.h>

#include "tests/support/DisplayFixture.h"
#include "tests/support/PixelReader.h"
#include "app/util.h"

namespace {

class PixmapTest : public DisplayFixture {
protected:
    Widget LabelWithBackground(const char* colour)
    {
        return XtVaCreateManagedWidget("label", xmLabelWidgetClass, shell, XtVaTypedArg,
                                       XmNbackground, XmRString, colour, strlen(colour) + 1, NULL);
    }
};

TEST_F(PixmapTest, LightBlue3AloneBecomesTheFirstWidgetsBackgroundForGood)
{
    const char* first[] = {
        "2 2 3 1", "   m black c LightBlue3", ".  m black c black", "X  m white c white", " .",
        "X "};
    Widget red = LabelWithBackground("#ff0000");
    Pixmap pixmap = _XomCreatePixmapFromData(nullptr, first, red);
    ASSERT_NE(pixmap, 0u);
    EXPECT_STREQ(first[1], "   c  #ffff00000000");
    EXPECT_EQ(ReadPixel(display, pixmap, 0, 0), 0xff0000u);
    EXPECT_EQ(ReadPixel(display, pixmap, 1, 0), 0x000000u);
    EXPECT_EQ(ReadPixel(display, pixmap, 0, 1), 0xffffffu);
    XFreePixmap(display, pixmap);

    // Another widget later: the first background stays.
    const char* second[] = {
        "1 1 4 1", ".  c black", "X  c white", "o  c #e66464", "+  m black c LightBlue3", "+"};
    Widget blue = LabelWithBackground("#0000ff");
    pixmap = _XomCreatePixmapFromData(nullptr, second, blue);
    EXPECT_STREQ(second[4], "+  c  #ffff00000000");
    EXPECT_EQ(ReadPixel(display, pixmap, 0, 0), 0xff0000u);
    XFreePixmap(display, pixmap);

    // The same data again finds no "LightBlue3" and keeps the line of the first call, which
    // the second icon (another background character) did not overwrite.
    pixmap = _XomCreatePixmapFromData(nullptr, first, blue);
    EXPECT_STREQ(first[1], "   c  #ffff00000000");
    EXPECT_EQ(ReadPixel(display, pixmap, 0, 0), 0xff0000u);
    XFreePixmap(display, pixmap);

    // Data without "LightBlue3" is left as it is.
    const char* plain[] = {"1 1 2 1", ".  c black", "X  c white", "X"};
    const char* before = plain[1];
    pixmap = _XomCreatePixmapFromData(nullptr, plain, red);
    EXPECT_EQ(plain[1], before);
    EXPECT_EQ(ReadPixel(display, pixmap, 0, 0), 0xffffffu);
    XFreePixmap(display, pixmap);
}

} // namespace
