#include "tests/support/Ghostscript.h"

#include <stdio.h>

#include "tests/support/RunProcess.h"
#include "tests/support/TempDir.h"

// One binary PPM (P6) file as Ghostscript writes it, with no comments in its header; an
// empty image when it is not one.
static RgbImage ReadPpm(const std::string& path)
{
    RgbImage image;
    FILE* file = fopen(path.c_str(), "rb");
    if (!file)
        return image;
    int width = 0, height = 0, maxValue = 0;
    // The one white space character after the maximum value ends the header.
    if (fscanf(file, "P6 %d %d %d", &width, &height, &maxValue) == 3 && fgetc(file) != EOF
        && maxValue == 255 && width > 0 && height > 0) {
        image.rgb.resize(static_cast<size_t>(width) * height * 3);
        if (fread(image.rgb.data(), 1, image.rgb.size(), file) == image.rgb.size()) {
            image.width = width;
            image.height = height;
        } else {
            image.rgb.clear();
        }
    }
    fclose(file);
    return image;
}

Rendering RenderPostscript(const std::string& path, int dpi, bool eps)
{
    TempDir dir;
    std::vector<std::string> argv = {"gs",
                                     "-dBATCH",
                                     "-dNOPAUSE",
                                     "-dSAFER",
                                     "-q",
                                     "-sDEVICE=ppmraw",
                                     "-r" + std::to_string(dpi),
                                     "-sOutputFile=" + dir.path() + "/page%d.ppm"};
    if (eps)
        argv.push_back("-dEPSCrop");
    else
        argv.insert(argv.end(), {"-sPAPERSIZE=letter", "-dFIXEDMEDIA"});
    argv.push_back(path);
    ProcessResult run = RunProcess(argv, {}, 120);
    Rendering result;
    result.messages = run.out + run.err;
    result.ok = run.exitStatus == 0 && result.messages.find("Error") == std::string::npos;
    for (int page = 1;; page++) {
        RgbImage image = ReadPpm(dir.path() + "/page" + std::to_string(page) + ".ppm");
        if (image.width == 0)
            break;
        result.pages.push_back(image);
    }
    return result;
}
