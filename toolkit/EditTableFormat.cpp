/* Cell types and print formats of the table. A format is parsed once per print into its one
 * conversion, and the value is passed as exactly the argument that conversion reads. */
#include "toolkit/EditTableFormat.h"

#include <float.h>
#include <stdio.h>
#include <string.h>

#include "toolkit/PrintfFormat.h"

namespace {

/* Finds the one conversion of a format among the letters a cell can print. */
int ParseFormat(const char* format, XomConversion* conversion)
{
    return XomParseOneConversion(format, "diouxXeEfgGcs", conversion);
}

int IsFloatLetter(char letter)
{
    return strchr("eEfgG", letter) != NULL;
}

double AsDouble(int type, EditTableValue value)
{
    switch (type) {
    case XomTYPE_SHORT:
        return value.s;
    case XomTYPE_FLOAT:
        return value.f;
    case XomTYPE_DOUBLE:
        return value.d;
    default:
        return value.i;
    }
}

long long AsInteger(int type, EditTableValue value)
{
    switch (type) {
    case XomTYPE_SHORT:
        return value.s;
    case XomTYPE_FLOAT:
        return (long long)value.f;
    case XomTYPE_DOUBLE:
        return (long long)value.d;
    default:
        return value.i;
    }
}

} // namespace

const char* EditTableDefaultFormat(int type)
{
    static const char* const formats[XomTYPE_COUNT] = {"%hd", "%d", "%ld", "%f", "%lf", "%s", NULL};
    return type >= 0 && type < XomTYPE_COUNT ? formats[type] : NULL;
}

size_t EditTableValueSize(int type)
{
    static const size_t sizes[XomTYPE_COUNT] = {sizeof(int16_t), sizeof(int32_t), sizeof(int32_t),
                                                sizeof(float),   sizeof(double),  sizeof(char*),
                                                sizeof(void*)};
    return type >= 0 && type < XomTYPE_COUNT ? sizes[type] : 0;
}

int EditTableFormatFits(int type, const char* format)
{
    if (type == XomTYPE_POINTER || format == NULL)
        return 1;
    XomConversion c;
    if (!ParseFormat(format, &c) || !c.letter)
        return 0;
    if (type == XomTYPE_STRING)
        return c.letter == 's' && c.length[0] == 0;
    if (c.letter == 's')
        return 0;
    /* Long double is not what the table stores; refuse it rather than print garbage. */
    return strcmp(c.length, "L") != 0;
}

EditTableValue EditTableEmptyValue(int type)
{
    EditTableValue v;
    v.d = 0;
    switch (type) {
    case XomTYPE_SHORT:
        v.s = XomEMPTY_SHORT;
        break;
    case XomTYPE_INTEGER:
    case XomTYPE_LONG:
        v.i = XomEMPTY_INTEGER;
        break;
    case XomTYPE_FLOAT:
        v.f = FLT_MAX;
        break;
    case XomTYPE_DOUBLE:
        v.d = DBL_MAX;
        break;
    default:
        v.p = NULL;
        break;
    }
    return v;
}

int EditTableValueIsEmpty(int type, EditTableValue value)
{
    switch (type) {
    case XomTYPE_SHORT:
        return value.s == XomEMPTY_SHORT;
    case XomTYPE_INTEGER:
    case XomTYPE_LONG:
        return value.i == XomEMPTY_INTEGER;
    case XomTYPE_FLOAT:
        return value.f == FLT_MAX;
    case XomTYPE_DOUBLE:
        return value.d == DBL_MAX;
    default:
        return value.p == NULL;
    }
}

EditTableValue EditTableReadValue(int type, const void* address)
{
    EditTableValue v;
    v.d = 0;
    switch (type) {
    case XomTYPE_SHORT:
        memcpy(&v.s, address, sizeof v.s);
        break;
    case XomTYPE_INTEGER:
    case XomTYPE_LONG:
        memcpy(&v.i, address, sizeof v.i);
        break;
    case XomTYPE_FLOAT:
        memcpy(&v.f, address, sizeof v.f);
        break;
    case XomTYPE_DOUBLE:
        memcpy(&v.d, address, sizeof v.d);
        break;
    default:
        v.p = address;
        break;
    }
    return v;
}

size_t EditTableTextSize(const char* format)
{
    return (format ? strlen(format) : 0) + 64;
}

size_t EditTablePrintValue(int type, const char* format, EditTableValue value, char* text,
                           size_t size)
{
    if (size == 0)
        return 0;
    text[0] = 0;
    XomConversion c;
    if (format == NULL)
        format = EditTableDefaultFormat(type);
    if (EditTableValueIsEmpty(type, value) || format == NULL || type == XomTYPE_STRING
        || type == XomTYPE_POINTER || !EditTableFormatFits(type, format)
        || !ParseFormat(format, &c))
        return 0;
    int n;
    if (IsFloatLetter(c.letter)) {
        n = snprintf(text, size, format, AsDouble(type, value));
    } else {
        long long v = AsInteger(type, value);
        if (strcmp(c.length, "ll") == 0)
            n = snprintf(text, size, format, v);
        else if (strcmp(c.length, "l") == 0)
            n = snprintf(text, size, format, (long)v);
        else
            n = snprintf(text, size, format, (int)v);
    }
    if (n < 0) {
        text[0] = 0;
        return 0;
    }
    return (size_t)n < size ? (size_t)n : size - 1;
}

size_t EditTablePrintString(const char* format, const char* string, char* text, size_t size)
{
    if (size == 0)
        return 0;
    text[0] = 0;
    if (string == NULL || *string == 0)
        return 0;
    if (format == NULL)
        format = "%s";
    if (!EditTableFormatFits(XomTYPE_STRING, format))
        return 0;
    int n = snprintf(text, size, format, string);
    if (n < 0) {
        text[0] = 0;
        return 0;
    }
    return (size_t)n < size ? (size_t)n : size - 1;
}
