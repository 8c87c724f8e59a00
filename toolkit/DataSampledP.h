/* Private definitions of XomDataSampled. */
#ifndef XOM_DATA_SAMPLED_P_H
#define XOM_DATA_SAMPLED_P_H

#include "toolkit/DataP.h"
#include "toolkit/DataSampled.h"
#include "toolkit/DataStore.h"

typedef struct {
    XtPointer extension;
} XomDataSampledClassPart;

typedef struct _XomDataSampledClassRec {
    ObjectClassPart object_class;
    XomDataClassPart data_class;
    XomDataSampledClassPart data_sampled_class;
} XomDataSampledClassRec;

extern XomDataSampledClassRec xomDataSampledClassRec;

typedef struct {
    /* resources */
    XtPointer data_array; /* the values (the store's own when copied) */
    int count;
    int data_type;
    float* sampled_range; /* points at range below once set */
    String unit;
    String sampled_unit;

    /* private state */
    XomDataStore store; /* the values in their type */
    float range[2];     /* first x and step */
} XomDataSampledPart;

typedef struct _XomDataSampledRec {
    ObjectPart object;
    XomDataPart data;
    XomDataSampledPart sampled;
} XomDataSampledRec;

#define XomDataSampledOf(w) (&((XomDataSampledObject)(w))->sampled)

#endif
