/* Reading printf formats that come from resources, free of X: the table's cell formats and
 * the chart's tick label formats are checked with it before a value is printed, so that a
 * format can never read an argument it was not given. */
#ifndef XOM_PRINTF_FORMAT_H
#define XOM_PRINTF_FORMAT_H

/* The one conversion of a format: its letter and its length modifier. */
typedef struct {
    char letter;    /* 0 when the format has none */
    char length[3]; /* "", "h", "hh", "l", "ll", "L" */
} XomConversion;

/* Finds the one conversion of format (flags, width and precision allowed, "%%" is text).
 * Returns 0 for two or more conversions, for "*" widths, for a letter not in letters and
 * for a conversion cut off at the end; 1 otherwise, letter 0 when there is no conversion. */
int XomParseOneConversion(const char* format, const char* letters, XomConversion* conversion);

#endif
