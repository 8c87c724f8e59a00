/* The chart's arithmetic, free of X: which colour and symbol a series takes, and how values
 * along an axis map to pixels and back. */
#ifndef XOM_CHART_MODEL_H
#define XOM_CHART_MODEL_H

/* The index into the usable colours that series i takes (i modulo their number); -1 when
 * no colour is usable. */
int XomSeriesColorIndex(int series, int usableColors);
/* The symbol type that series i takes: i modulo symbolCount (0 when the count is not
 * positive). */
int XomSeriesSymbol(int series, int symbolCount);

/* An axis laid over pixels: its limits run from the pixel `from` to the pixel `to` (the
 * ends may run either way, as a vertical axis runs upward). */
typedef struct {
    double minimum;
    double maximum;
    double from;
    double to;
    int logScale;
    int reverse; /* the maximum lies at `from` */
} XomAxisScale;

/* The pixel of a value; 0 (and *pixel untouched) when the axis cannot map it (limits equal,
 * or a value or limit not above 0 on a log scale). */
int XomAxisScaleToPixel(const XomAxisScale* axis, double value, double* pixel);
/* The value at a pixel: linear between the ends and the limits, exponential on a log scale,
 * mirrored on a reversed axis; 0 when the axis has no length or cannot map. */
int XomAxisScaleToValue(const XomAxisScale* axis, double pixel, double* value);

/* Whether a printf format takes exactly one double (a conversion of e, E, f, F, g or G
 * with flags, width and precision but no '*') and otherwise only literal text and "%%":
 * tick label formats come from resources, and anything else would read beyond the one
 * value passed. */
int XomFormatTakesOneDouble(const char* format);

#endif
