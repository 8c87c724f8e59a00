/* The values of a sampled data object, free of X: a typed array with an empty marker, read
 * and written as floats, shifted and replaced in place. The data objects keep one store each
 * and add views, callbacks and resources around it. */
#ifndef XOM_DATA_STORE_H
#define XOM_DATA_STORE_H

/* Value types of data objects. */
enum {
    XOM_DATA_SHORT = 0, /* 16-bit integer */
    XOM_DATA_INT = 1,   /* 32-bit integer */
    XOM_DATA_LONG = 2,  /* 32-bit integer as well */
    XOM_DATA_FLOAT = 3, /* 32-bit float */
    XOM_DATA_DOUBLE = 4 /* 64-bit float */
};

/* The float that stands for "no value"; it is stored as the type's empty marker. */
#define XOM_NO_VALUE 3.40282346638528859812e+38F

typedef struct {
    int type;     /* one of the value types */
    int count;    /* number of values */
    void* values; /* count values of the type, or null when empty */
    int owned;    /* whether values was allocated by the store (freed by it) */
} XomDataStore;

/* Bytes of one value of a type; 0 for an unknown type. */
int XomDataTypeSize(int type);
/* Whether a number names a value type. */
int XomDataTypeValid(int type);

/* Makes the store hold count values of the type: a copy of the given array when copy is
 * set (zeros when values is null), else the caller's array itself. Returns 0 (store left
 * empty) for an unknown type, a negative count or memory exhaustion. */
int XomDataStoreInit(XomDataStore* store, int type, const void* values, int count, int copy);
/* Frees what the store owns and leaves it empty. */
void XomDataStoreClear(XomDataStore* store);

/* Value i as a float ("no value" for the empty marker); i must be inside the store. */
float XomDataStoreGet(const XomDataStore* store, int i);
/* Stores a float at i, converted to the type, "no value" as the empty marker; values out
 * of an integer type's range are held at its ends. */
void XomDataStorePut(XomDataStore* store, int i, float value);

/* Moves the values by n places and writes the abs(n) new ones into the freed places (at the
 * end for n above 0, at the start below 0). Returns 1, or 0 with nothing done when the store
 * is empty, n is 0, abs(n) exceeds the count or no values are given. */
int XomDataStoreShift(XomDataStore* store, const float* values, int n);

/* What a replacement wrote: the place and the range of the new values. */
typedef struct {
    int start;
    int count;
    float minimum;
    float maximum;
} XomDataReplaced;

/* Writes n values from index start, n cut to the end of the store. Returns 1 and fills
 * *done (when given), or 0 when the store is empty, n is below 1, start lies outside or no
 * values are given. */
int XomDataStoreReplace(XomDataStore* store, const float* values, int start, int n,
                        XomDataReplaced* done);

/* A newly allocated array (free() it) of the floats from start, n cut to the end; null
 * when the arguments do not fit. *got receives the number of values when given. */
float* XomDataStoreCopyOut(const XomDataStore* store, int start, int n, int* got);

/* The smallest and largest value, skipping "no value" entries; 0 when none was found. */
int XomDataStoreRange(const XomDataStore* store, float* minimum, float* maximum);

#endif
