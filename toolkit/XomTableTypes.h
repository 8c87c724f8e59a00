/* The table's enumerated values, free of X so that the table's model can use them without
 * a display (toolkit/Xom.h includes this file). Names as resource files write them. */
#ifndef XOM_TABLE_TYPES_H
#define XOM_TABLE_TYPES_H

/* ColumnAlignment, also the alignment of titles and of text in a box: the low two bits
 * place across (beginning, center, end), the next two up and down (middle, top, bottom). */
enum {
    XomALIGNMENT_BEGINNING = 0,
    XomALIGNMENT_CENTER = 1,
    XomALIGNMENT_END = 2,
    XomALIGNMENT_BEGINNING_MIDDLE = 0,
    XomALIGNMENT_CENTER_MIDDLE = 1,
    XomALIGNMENT_END_MIDDLE = 2,
    XomALIGNMENT_BEGINNING_TOP = 4,
    XomALIGNMENT_CENTER_TOP = 5,
    XomALIGNMENT_END_TOP = 6,
    XomALIGNMENT_BEGINNING_BOTTOM = 8,
    XomALIGNMENT_CENTER_BOTTOM = 9,
    XomALIGNMENT_END_BOTTOM = 10
};
#define XomAlignmentAcross(a) ((a)&3)
#define XomAlignmentUpDown(a) ((a)&12) /* 0 middle, 4 top, 8 bottom */

enum {
    XomTYPE_SHORT = 0,
    XomTYPE_INTEGER = 1,
    XomTYPE_LONG = 2,
    XomTYPE_FLOAT = 3,
    XomTYPE_DOUBLE = 4,
    XomTYPE_STRING = 5,
    XomTYPE_POINTER = 6,
    XomTYPE_COUNT = 7
};                                                           /* DataType */
enum { XomCOLUMN_NON_EDITABLE = 0, XomCOLUMN_EDITABLE = 1 }; /* ColumnEditMode */
enum { XomUNIT_CHARACTER = 0, XomUNIT_PIXEL = 1 };           /* CellSizeUnit */
enum {
    XomGRID_LINE_SOLID = 1,
    XomGRID_LINE_DASHED = 2,
    XomGRID_LINE_DOUBLE_DASHED = 3,
    XomGRID_LINE_SHADOW_IN = 4,
    XomGRID_LINE_SHADOW_OUT = 5
}; /* GridLineStyle */
enum {
    XomGRID_LINE_COLUMNWISE = 1,
    XomGRID_LINE_ROWWISE = 2,
    XomGRID_LINE_CROSSWISE = 3
}; /* GridLineOrientation */
enum {
    XomFROZEN_TOP = 1,
    XomFROZEN_BOTTOM = 2,
    XomFROZEN_LEFT = 4,
    XomFROZEN_RIGHT = 8
};                                                         /* FrozenPlacement */
enum { XomCOLUMN_VERTICAL = 0, XomCOLUMN_HORIZONTAL = 1 }; /* ColumnOrientation */
enum { XomSPAN_NONE = 0, XomSPAN_DATA_ONLY = 1, XomSPAN_DATA_AND_EMPTY = 2 }; /* SpanMode */

#endif
