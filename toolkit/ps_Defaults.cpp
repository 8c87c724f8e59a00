/* The process-wide page size and background of printed pictures. */
#include "toolkit/Postscript.h"
#include "toolkit/ps_Page.h"

static Pixel background = XOM_PS_NO_BACKGROUND;

void XomPostscriptSetDefaults(int, double width, double height)
{
    XomPsLayout()->width = width * 72;
    XomPsLayout()->height = height * 72;
}

void XomPostscriptGetDefaults(int* resolution, double* width, double* height)
{
    if (resolution)
        *resolution = 300;
    if (width)
        *width = XomPsLayout()->width / 72;
    if (height)
        *height = XomPsLayout()->height / 72;
}

void XomPostscriptSetBackground(Pixel pixel)
{
    background = pixel;
}

Pixel XomPostscriptGetBackground(void)
{
    return background;
}
