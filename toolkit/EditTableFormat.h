/* The table's cell types and print formats, free of X: which formats fit which type, and
 * how a stored value becomes the text of its cell. */
#ifndef XOM_EDIT_TABLE_FORMAT_H
#define XOM_EDIT_TABLE_FORMAT_H

#include <stddef.h>
#include <stdint.h>

#include "toolkit/XomTableTypes.h"

/* The empty values: a cell holding one shows no text. */
#define XomEMPTY_SHORT ((int16_t)32767)
#define XomEMPTY_INTEGER ((int32_t)2147483647)

/* One stored non-string value. */
union EditTableValue {
    int16_t s;
    int32_t i;
    float f;
    double d;
    const void* p;
};

/* The format a type prints with when its column names none; none for type_pointer. */
const char* EditTableDefaultFormat(int type);

/* Whether the format fits the type: a string format holds one "s" conversion, a numeric one
 * exactly one conversion of d, i, o, u, x, X, e, f, E, g, G or c. Formats with more than one
 * conversion, "*" widths or other letters are refused, so that printing a cell can never read
 * an argument it was not given. type_pointer and an absent format always fit. */
int EditTableFormatFits(int type, const char* format);

/* The bytes of one value of the type as the caller passes it (a pointer for strings). */
size_t EditTableValueSize(int type);

/* The empty value of a numeric type, and whether a value is it. */
EditTableValue EditTableEmptyValue(int type);
int EditTableValueIsEmpty(int type, EditTableValue value);

/* Reads the value of a numeric type from the caller's address. */
EditTableValue EditTableReadValue(int type, const void* address);

/* Prints a numeric value with a format that fits its type into a buffer of the format's
 * length plus 64 bytes (the text is cut there). Returns the text's length; 0 and an empty
 * text for the empty value. */
size_t EditTablePrintValue(int type, const char* format, EditTableValue value, char* text,
                           size_t size);

/* Prints a string with a format that fits type_string, cut the same way. */
size_t EditTablePrintString(const char* format, const char* string, char* text, size_t size);

/* The size of the text buffer a format prints into. */
size_t EditTableTextSize(const char* format);

#endif
