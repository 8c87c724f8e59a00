/* The PostScript device file: header, prolog sections on first use, then the picture. */
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>

#include "toolkit/ps_Device.h"
#include "toolkit/ps_Prolog.h"

struct _XomPsDevice {
    FILE* file;                         /* the temporary file while open */
    std::string path;                   /* its name */
    int level;                          /* XOM_PS_LEVEL_... */
    bool written[XOM_PS_SECTION_COUNT]; /* prolog sections already in the file */
    std::string operations;             /* the drawing, one operation a line */
    bool pathOpen;                      /* a moveto since the last newpath */
};

void _XomPsAssertFailed(const char* file, int line, const char* condition)
{
    fprintf(stderr, "File '%s' line %d: assertion failed (%s)\n", file, line, condition);
    exit(1);
}

static void WriteSection(XomPsDevice* device, int section)
{
    if (section < 0 || device->written[section])
        return;
    fputs(XomPsSectionText(section), device->file);
    device->written[section] = true;
}

XomPsDevice* XomPsDeviceOpen(double x0, double y0, double x1, double y1, int level)
{
    const char* dir = getenv("TMPDIR");
    std::string path = std::string(dir && *dir ? dir : "/tmp") + "/xomXXXXXX";
    int fd = mkstemp(&path[0]);
    if (fd < 0)
        return NULL;
    FILE* file = fdopen(fd, "w");
    if (!file) {
        close(fd);
        unlink(path.c_str());
        return NULL;
    }
    XomPsDevice* device = new XomPsDevice();
    device->file = file;
    device->path = path;
    device->level = level;

    fputs("%!PS-Adobe-3.0 EPSF-3.0\n%%Creator: OMX Widget Set 3.0\n", file);
    fprintf(file, "%%%%BoundingBox: %d %d %d %d\n", (int)x0, (int)y0, (int)x1, (int)y1);
    if (level == XOM_PS_LEVEL_1)
        fputs("%%LanguageLevel: 1\n", file);
    else if (level == XOM_PS_LEVEL_1_CMYK)
        fputs("%%LanguageLevel: 1\n%%Extensions: CMYK\n", file);
    else
        fputs("%%LanguageLevel: 2\n", file);
    WriteSection(device, XOM_PS_SECTION_CORE);
    return device;
}

void XomPsDeviceOp(XomPsDevice* device, const char* op, const char* format, ...)
{
    XOM_PS_ASSERT(device && device->file);
    char line[XOM_PS_MAX_LINE + 2];
    int length = 0;
    if (format) {
        va_list args;
        va_start(args, format);
        length = vsnprintf(line, sizeof line, format, args);
        va_end(args);
        XOM_PS_ASSERT(length >= 0 && length < (int)sizeof line);
    }
    int total = length + (length > 0 ? 1 : 0) + (int)strlen(op);
    XOM_PS_ASSERT(total <= XOM_PS_MAX_LINE);

    if (strcmp(op, "c") == 0)
        XOM_PS_ASSERT(device->pathOpen);
    if (strcmp(op, "n") == 0)
        device->pathOpen = false;
    else if (strcmp(op, "m") == 0 || strcmp(op, "R") == 0 || strcmp(op, "SQ") == 0)
        device->pathOpen = true;

    WriteSection(device, XomPsOperatorSection(op));
    device->operations.append(line, length);
    if (length > 0)
        device->operations += ' ';
    device->operations += op;
    device->operations += '\n';
}

bool XomPsDeviceClose(XomPsDevice* device)
{
    XOM_PS_ASSERT(device);
    if (!device->file)
        return true;
    FILE* file = device->file;
    device->file = NULL;
    fputs("%%BeginDocument: PostScript Output\n", file);
    fputs("gsave\n", file);
    fwrite(device->operations.data(), 1, device->operations.size(), file);
    fputs("\nshowpage\ngrestore\n", file);
    fputs("%%EndDocument\n", file);
    device->operations.clear();
    bool ok = !ferror(file);
    return fclose(file) == 0 && ok;
}

const char* XomPsDevicePath(const XomPsDevice* device)
{
    return device->path.c_str();
}

int XomPsDeviceLevel(const XomPsDevice* device)
{
    return device->level;
}

bool XomPsDeviceHasSection(const XomPsDevice* device, int section)
{
    return section >= 0 && section < XOM_PS_SECTION_COUNT && device->written[section];
}

void XomPsDeviceDestroy(XomPsDevice* device)
{
    if (!device)
        return;
    if (device->file)
        fclose(device->file);
    unlink(device->path.c_str());
    delete device;
}
