// Renders PostScript files with Ghostscript, so that tests can look at printed pages.
#ifndef VANTOR_TEST_GHOSTSCRIPT_H
#define VANTOR_TEST_GHOSTSCRIPT_H

#include <string>
#include <vector>

#include "tests/support/PngWriter.h"

struct Rendering {
    bool ok = false;      // Ghostscript ran to its end and reported no error
    std::string messages; // what it printed
    std::vector<RgbImage> pages;
};

// Renders every page of the file at dpi dots per inch. With eps, the page is the
// file's bounding box instead of a US Letter page.
Rendering RenderPostscript(const std::string& path, int dpi = 72, bool eps = false);

#endif
