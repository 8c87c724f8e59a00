#include "tests/support/PixelReader.h"

#include <X11/Xutil.h>

#include <limits.h>

#include <algorithm>

uint32_t PixelToRgb(Display* display, unsigned long pixel)
{
    XColor color;
    color.pixel = pixel;
    XQueryColor(display, DefaultColormap(display, DefaultScreen(display)), &color);
    return ((color.red >> 8) << 16) | ((color.green >> 8) << 8) | (color.blue >> 8);
}

static int ShiftOf(unsigned long mask)
{
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        shift++;
    }
    return shift;
}

static uint8_t Component(unsigned long pixel, unsigned long mask)
{
    if (!mask)
        return 0;
    unsigned long value = (pixel & mask) >> ShiftOf(mask);
    unsigned long max = mask >> ShiftOf(mask);
    return static_cast<uint8_t>(value * 255 / max);
}

RgbImage ReadDrawable(Display* display, Drawable drawable)
{
    return ReadArea(display, drawable, 0, 0, INT_MAX, INT_MAX); // cut to the drawable
}

RgbImage ReadArea(Display* display, Drawable drawable, int left, int top, int areaWidth,
                  int areaHeight)
{
    RgbImage image;
    Window root;
    int x, y;
    unsigned int fullWidth, fullHeight, border, depth;
    if (!XGetGeometry(display, drawable, &root, &x, &y, &fullWidth, &fullHeight, &border, &depth))
        return image;
    left = left < 0 ? 0 : left;
    top = top < 0 ? 0 : top;
    int right = std::min(left + areaWidth, static_cast<int>(fullWidth));
    int bottom = std::min(top + areaHeight, static_cast<int>(fullHeight));
    if (right <= left || bottom <= top)
        return image;
    unsigned width = static_cast<unsigned>(right - left),
             height = static_cast<unsigned>(bottom - top);
    XImage* ximage = XGetImage(display, drawable, left, top, width, height, AllPlanes, ZPixmap);
    if (!ximage)
        return image;
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.rgb.resize(static_cast<size_t>(width) * height * 3);
    Visual* visual = DefaultVisual(display, DefaultScreen(display));
    for (int row = 0; row < image.height; row++) {
        for (int column = 0; column < image.width; column++) {
            unsigned long pixel = XGetPixel(ximage, column, row);
            uint8_t* out = &image.rgb[(static_cast<size_t>(row) * image.width + column) * 3];
            if (visual->c_class == TrueColor || visual->c_class == DirectColor) {
                out[0] = Component(pixel, visual->red_mask);
                out[1] = Component(pixel, visual->green_mask);
                out[2] = Component(pixel, visual->blue_mask);
            } else {
                uint32_t rgb = PixelToRgb(display, pixel);
                out[0] = static_cast<uint8_t>(rgb >> 16);
                out[1] = static_cast<uint8_t>(rgb >> 8);
                out[2] = static_cast<uint8_t>(rgb);
            }
        }
    }
    XDestroyImage(ximage);
    return image;
}

uint32_t ReadPixel(Display* display, Drawable drawable, int x, int y)
{
    XImage* ximage = XGetImage(display, drawable, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!ximage)
        return 0;
    unsigned long pixel = XGetPixel(ximage, 0, 0);
    XDestroyImage(ximage);
    return PixelToRgb(display, pixel);
}

int TextLines(const RgbImage& image, int x, int y, int width, int height)
{
    int lines = 0;
    bool inLine = false;
    for (int row = y; row < y + height && row < image.height; row++) {
        bool ink = false;
        for (int column = x; column < x + width && column < image.width && !ink; column++)
            ink = (image.At(column, row) & 0xe0e0e0) == 0;
        lines += ink && !inLine;
        inLine = ink;
    }
    return lines;
}
