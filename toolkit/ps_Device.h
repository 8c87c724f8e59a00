/* The PostScript device: writes one picture as an encapsulated PostScript file on a fresh
 * temporary file. The header and the prolog sections go to the file as they are needed;
 * the drawing operations are collected and follow them when the device is closed. Free of
 * X. */
#ifndef XOM_PS_DEVICE_H
#define XOM_PS_DEVICE_H

#include <stddef.h>

/* The language level line of the header, chosen by how the picture's colours are written. */
enum {
    XOM_PS_LEVEL_1 = 0,      /* grey only */
    XOM_PS_LEVEL_1_CMYK = 1, /* colour through the CMYK extension */
    XOM_PS_LEVEL_2 = 2       /* colour */
};

/* The longest line a picture holds, newline excluded, as document conventions ask. */
#define XOM_PS_MAX_LINE 255

typedef struct _XomPsDevice XomPsDevice;

/* Opens a picture with the bounding box (x0, y0) to (x1, y1) on a temporary file made with
 * mkstemp in $TMPDIR or /tmp, writing the header and the core prolog section. Null when the
 * file cannot be made. */
XomPsDevice* XomPsDeviceOpen(double x0, double y0, double x1, double y1, int level);

/* Adds one drawing operation on a line of its own: the operands printed with format (none
 * when it is null), a space and the operator. The operator's prolog section is written
 * first when this is its first use. */
void XomPsDeviceOp(XomPsDevice* device, const char* op, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

/* Writes the collected operations and the closing lines and closes the file; false when
 * the file could not be written completely. */
bool XomPsDeviceClose(XomPsDevice* device);

/* The temporary file's name. */
const char* XomPsDevicePath(const XomPsDevice* device);
int XomPsDeviceLevel(const XomPsDevice* device);
/* Whether a prolog section has been written. */
bool XomPsDeviceHasSection(const XomPsDevice* device, int section);

/* Closes the device if still open, removes its temporary file and frees it. */
void XomPsDeviceDestroy(XomPsDevice* device);

/* Internal consistency checks: a failed one stops the program with a message naming the
 * source line. */
void _XomPsAssertFailed(const char* file, int line, const char* condition)
    __attribute__((noreturn));
#define XOM_PS_ASSERT(condition)                                                                   \
    ((condition) ? (void)0 : _XomPsAssertFailed(__FILE__, __LINE__, #condition))

#endif
