#include "tests/support/Ghostscript.h"

#include <stdio.h>

#include "tests/support/RunProcess.h"
#include "tests/support/TempDir.h"

// The next number of a PPM header, skipping white space and comment lines; -1 at its end.
static int HeaderNumber(FILE* file)
{
    int ch = fgetc(file);
    while (ch == '#' || ch == ' ' || ch == '\n' || ch == '\r' || ch == '\t') {
        if (ch == '#')
            while (ch != '\n' && ch != EOF)
                ch = fgetc(file);
        ch = fgetc(file);
    }
    int number = -1;
    for (; ch >= '0' && ch <= '9'; ch = fgetc(file))
        number = (number < 0 ? 0 : number * 10) + (ch - '0');
    return number; // the one white space character after it is consumed
}

// One binary PPM (P6) file; an empty image when it is not one.
static RgbImage ReadPpm(const std::string& path)
{
    RgbImage image;
    FILE* file = fopen(path.c_str(), "rb");
    if (!file)
        return image;
    bool magic = fgetc(file) == 'P' && fgetc(file) == '6';
    int width = HeaderNumber(file), height = HeaderNumber(file), maxValue = HeaderNumber(file);
    if (magic && maxValue == 255 && width > 0 && height > 0) {
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
