// Reads what a window or pixmap shows, as RGB, through XGetImage.
#ifndef VANTOR_TEST_PIXEL_READER_H
#define VANTOR_TEST_PIXEL_READER_H

#include <X11/Xlib.h>

#include "tests/support/PngWriter.h"

// The whole drawable (a viewable window or a pixmap); an empty image on failure.
RgbImage ReadDrawable(Display* display, Drawable drawable);
// The rectangle of a drawable at (x, y), cut to the drawable; an empty image on failure.
RgbImage ReadArea(Display* display, Drawable drawable, int x, int y, int width, int height);
// The 0xRRGGBB value of one pixel.
uint32_t ReadPixel(Display* display, Drawable drawable, int x, int y);
// The 0xRRGGBB value of a pixel value of the display's default colormap.
uint32_t PixelToRgb(Display* display, unsigned long pixel);

// Bands of rows of the rectangle that hold black (text) pixels: the lines of text shown there.
int TextLines(const RgbImage& image, int x, int y, int width, int height);

#endif
