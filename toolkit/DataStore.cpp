/* The typed value array of the data objects. Integers are held at their type's ends so that
 * no conversion is undefined; the ends' largest value doubles as the empty marker. */
#include "toolkit/DataStore.h"

#include <float.h>
#include <limits.h>
#include <math.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

static const int16_t kShortEmpty = INT16_MAX;
static const int32_t kIntEmpty = INT32_MAX;

int XomDataTypeValid(int type)
{
    return type >= XOM_DATA_SHORT && type <= XOM_DATA_DOUBLE;
}

int XomDataTypeSize(int type)
{
    switch (type) {
    case XOM_DATA_SHORT:
        return (int)sizeof(int16_t);
    case XOM_DATA_INT:
    case XOM_DATA_LONG:
        return (int)sizeof(int32_t);
    case XOM_DATA_FLOAT:
        return (int)sizeof(float);
    case XOM_DATA_DOUBLE:
        return (int)sizeof(double);
    default:
        return 0;
    }
}

int XomDataStoreInit(XomDataStore* store, int type, const void* values, int count, int copy)
{
    store->type = XOM_DATA_FLOAT;
    store->count = 0;
    store->values = NULL;
    store->owned = 0;
    if (!XomDataTypeValid(type) || count < 0)
        return 0;
    store->type = type;
    if (count == 0)
        return 1;
    if (copy || !values) {
        size_t bytes = (size_t)count * (size_t)XomDataTypeSize(type);
        void* own = calloc((size_t)count, (size_t)XomDataTypeSize(type));
        if (!own)
            return 0;
        if (values)
            memcpy(own, values, bytes);
        store->values = own;
        store->owned = 1;
    } else {
        store->values = (void*)values;
    }
    store->count = count;
    return 1;
}

void XomDataStoreClear(XomDataStore* store)
{
    if (store->owned)
        free(store->values);
    store->values = NULL;
    store->count = 0;
    store->owned = 0;
}

float XomDataStoreGet(const XomDataStore* store, int i)
{
    switch (store->type) {
    case XOM_DATA_SHORT: {
        int16_t v = ((const int16_t*)store->values)[i];
        return v == kShortEmpty ? XOM_NO_VALUE : (float)v;
    }
    case XOM_DATA_INT:
    case XOM_DATA_LONG: {
        int32_t v = ((const int32_t*)store->values)[i];
        return v == kIntEmpty ? XOM_NO_VALUE : (float)v;
    }
    case XOM_DATA_FLOAT:
        return ((const float*)store->values)[i];
    case XOM_DATA_DOUBLE: {
        double v = ((const double*)store->values)[i];
        if (v == DBL_MAX || v >= (double)FLT_MAX)
            return XOM_NO_VALUE;
        if (v <= -(double)FLT_MAX)
            return -FLT_MAX;
        return (float)v;
    }
    default:
        return XOM_NO_VALUE;
    }
}

/* A float rounded and held inside [low, high]; NaN becomes 0. */
static double HeldInside(float value, double low, double high)
{
    if (isnan(value))
        return 0.0;
    double v = nearbyint((double)value);
    return v < low ? low : (v > high ? high : v);
}

void XomDataStorePut(XomDataStore* store, int i, float value)
{
    int empty = value == XOM_NO_VALUE;
    switch (store->type) {
    case XOM_DATA_SHORT:
        ((int16_t*)store->values)[i] =
            empty ? kShortEmpty : (int16_t)HeldInside(value, INT16_MIN, INT16_MAX);
        break;
    case XOM_DATA_INT:
    case XOM_DATA_LONG:
        ((int32_t*)store->values)[i] =
            empty ? kIntEmpty : (int32_t)HeldInside(value, INT32_MIN, INT32_MAX);
        break;
    case XOM_DATA_FLOAT:
        ((float*)store->values)[i] = value;
        break;
    case XOM_DATA_DOUBLE:
        ((double*)store->values)[i] = empty ? DBL_MAX : (double)value;
        break;
    default:
        break;
    }
}

int XomDataStoreShift(XomDataStore* store, const float* values, int n)
{
    int c = store->count;
    int k = n < 0 ? -n : n;
    if (c == 0 || !store->values || n == 0 || k > c || !values)
        return 0;
    size_t size = (size_t)XomDataTypeSize(store->type);
    char* base = (char*)store->values;
    size_t kept = (size_t)(c - k) * size;
    if (n > 0) {
        memmove(base, base + (size_t)k * size, kept);
        for (int i = 0; i < k; i++)
            XomDataStorePut(store, c - k + i, values[i]);
    } else {
        memmove(base + (size_t)k * size, base, kept);
        for (int i = 0; i < k; i++)
            XomDataStorePut(store, i, values[i]);
    }
    return 1;
}

int XomDataStoreReplace(XomDataStore* store, const float* values, int start, int n,
                        XomDataReplaced* done)
{
    if (store->count == 0 || !store->values || n < 1 || start < 0 || start >= store->count
        || !values)
        return 0;
    if (n > store->count - start)
        n = store->count - start;
    float low = values[0], high = values[0];
    for (int i = 0; i < n; i++) {
        XomDataStorePut(store, start + i, values[i]);
        if (values[i] < low)
            low = values[i];
        if (values[i] > high)
            high = values[i];
    }
    if (done) {
        done->start = start;
        done->count = n;
        done->minimum = low;
        done->maximum = high;
    }
    return 1;
}

float* XomDataStoreCopyOut(const XomDataStore* store, int start, int n, int* got)
{
    if (store->count == 0 || !store->values || n < 1 || start < 0 || start >= store->count)
        return NULL;
    if (n > store->count - start)
        n = store->count - start;
    float* out = (float*)malloc((size_t)n * sizeof(float));
    if (!out)
        return NULL;
    for (int i = 0; i < n; i++)
        out[i] = XomDataStoreGet(store, start + i);
    if (got)
        *got = n;
    return out;
}

int XomDataStoreRange(const XomDataStore* store, float* minimum, float* maximum)
{
    int found = 0;
    float low = 0.0f, high = 0.0f;
    for (int i = 0; i < store->count; i++) {
        float v = XomDataStoreGet(store, i);
        if (v == XOM_NO_VALUE || isnan(v))
            continue;
        if (!found || v < low)
            low = v;
        if (!found || v > high)
            high = v;
        found = 1;
    }
    if (found) {
        *minimum = low;
        *maximum = high;
    }
    return found;
}
