/* String-to-value converters of the toolkit's enumerated resources. Each representation
 * has one table of the names resource files use; a number is accepted as well. The value
 * is stored in whatever size the resource has (char, short or int), which is why results
 * are not cached: a cached int would not fit a one-byte resource. */
#include <stdlib.h>
#include <string.h>
#include <strings.h>

#include <string>

#include "toolkit/XomP.h"

namespace {

struct Name {
    const char* name;
    int value;
};

struct Representation {
    const char* type;
    const Name* names;
};

const Name annotationPlacement[] = {{"none", 0},       {"top", 1},         {"bottom", 2},
                                    {"left", 4},       {"right", 8},       {"inside", 16},
                                    {"top_bottom", 3}, {"left_right", 12}, {nullptr, 0}};
const Name autoMarginAdjust[] = {
    {"adjust_none", 0},        {"adjust_left", 1}, {"adjust_right", 2},
    {"adjust_left_right", 3},  {"adjust_top", 4},  {"adjust_bottom", 8},
    {"adjust_top_bottom", 12}, {"adjust_all", 15}, {nullptr, 0}};
const Name columnAlignment[] = {{"alignment_beginning", 0},
                                {"alignment_center", 1},
                                {"alignment_end", 2},
                                {"alignment_beginning_middle", 0},
                                {"alignment_center_middle", 1},
                                {"alignment_end_middle", 2},
                                {"alignment_beginning_top", 4},
                                {"alignment_center_top", 5},
                                {"alignment_end_top", 6},
                                {"alignment_beginning_bottom", 8},
                                {"alignment_center_bottom", 9},
                                {"alignment_end_bottom", 10},
                                {nullptr, 0}};
const Name textAlignment[] = {{"halign_left", 1}, {"halign_center", 2},  {"halign_right", 4},
                              {"valign_top", 8},  {"valign_center", 16}, {"valign_bottom", 32},
                              {nullptr, 0}};
const Name lineStyle[] = {
    {"line_none", 0},        {"line_solid", 1},       {"line_on_off_dash", 2},
    {"line_double_dash", 3}, {"shadow_etched_in", 5}, {"shadow_etched_out", 6},
    {"shadow_in", 7},        {"shadow_out", 8},       {nullptr, 0}};
const Name fillStyle[] = {{"fill_solid", 0},
                          {"fill_stippled", 2},
                          {"fill_opaque_stippled", 3},
                          {"fill_none", 4},
                          {nullptr, 0}};
const Name dataType[] = {{"type_short", 0},   {"type_integer", 1}, {"type_long", 2},
                         {"type_float", 3},   {"type_double", 4},  {"type_string", 5},
                         {"type_pointer", 6}, {nullptr, 0}};
const Name columnEditMode[] = {{"column_non_editable", 0}, {"column_editable", 1}, {nullptr, 0}};
const Name cellSizeUnit[] = {{"unit_character", 0}, {"unit_pixel", 1}, {nullptr, 0}};
const Name gridLineStyle[] = {{"grid_line_solid", 1},         {"grid_line_dashed", 2},
                              {"grid_line_double_dashed", 3}, {"grid_line_shadow_in", 4},
                              {"grid_line_shadow_out", 5},    {nullptr, 0}};
const Name gridLineOrientation[] = {{"grid_line_columnwise", 1},
                                    {"grid_line_rowwise", 2},
                                    {"grid_line_crosswise", 3},
                                    {nullptr, 0}};
const Name frozenPlacement[] = {{"placement_top", 1},
                                {"placement_bottom", 2},
                                {"placement_left", 4},
                                {"placement_right", 8},
                                {nullptr, 0}};
const Name columnOrientation[] = {{"column_vertical", 0}, {"column_horizontal", 1}, {nullptr, 0}};
const Name spanMode[] = {
    {"span_none", 0}, {"span_data_only", 1}, {"span_data_and_empty", 2}, {nullptr, 0}};
const Name chartType[] = {{"chart_type_bar", 0},
                          {"chart_type_pie", 1},
                          {"chart_type_bar_line", 2},
                          {"chart_type_surface_3d", 3},
                          {"chart_type_high_low", 4},
                          {"chart_type_histogram", 5},
                          {"chart_type_area", 6},
                          {"chart_type_line", 7},
                          {"chart_type_scattered", 8},
                          {"chart_type_bar_3d", 9},
                          {"chart_type_cell_array", 10},
                          {"chart_type_combination", 11},
                          {nullptr, 0}};
const Name symbolType[] = {{"symbol_x", 0},
                           {"symbol_plus", 1},
                           {"symbol_square", 2},
                           {"symbol_circle", 3},
                           {"symbol_triangle", 4},
                           {"symbol_diamond", 5},
                           {"symbol_filled_square", 6},
                           {"symbol_filled_circle", 7},
                           {"symbol_filled_triangle", 8},
                           {"symbol_filled_diamond", 9},
                           {nullptr, 0}};
/* Numbers only: the names of these are not used anywhere. */
const Name numbersOnly[] = {{nullptr, 0}};
/* Motif's frame looks, by their Motif names. */
const Name scrollShadowType[] = {
    {"XmSHADOW_ETCHED_IN", 5}, {"XmSHADOW_ETCHED_OUT", 6}, {"XmSHADOW_IN", 7},
    {"XmSHADOW_OUT", 8},       {"shadow_etched_in", 5},    {"shadow_etched_out", 6},
    {"shadow_in", 7},          {"shadow_out", 8},          {nullptr, 0}};

const Representation representations[] = {
    {XomRAnnotationPlacement, annotationPlacement},
    {XomRAutoMarginAdjust, autoMarginAdjust},
    {XomRColumnAlignment, columnAlignment},
    {XomRTextAlignment, textAlignment},
    {XomRLineStyle, lineStyle},
    {XomRFillStyle, fillStyle},
    {XomRDataType, dataType},
    {XomRColumnEditMode, columnEditMode},
    {XomRCellSizeUnit, cellSizeUnit},
    {XomRGridLineStyle, gridLineStyle},
    {XomRGridLineOrientation, gridLineOrientation},
    {XomRFrozenPlacement, frozenPlacement},
    {XomRColumnOrientation, columnOrientation},
    {XomRSpanMode, spanMode},
    {XomRChartType, chartType},
    {XomRSymbolType, symbolType},
    {XomRObjectEditMode, numbersOnly},
    {XomRCursorType, numbersOnly},
    {XomRHighlightMode, numbersOnly},
    {XomRScrollShadowType, scrollShadowType},
};

/* The name (case and surrounding blanks ignored) or a whole number. */
Boolean Lookup(const Name* names, const char* text, int* value)
{
    while (*text == ' ' || *text == '\t')
        text++;
    size_t length = strlen(text);
    while (length && (text[length - 1] == ' ' || text[length - 1] == '\t'))
        length--;
    for (const Name* n = names; n->name; n++) {
        if (strlen(n->name) == length && strncasecmp(n->name, text, length) == 0) {
            *value = n->value;
            return True;
        }
    }
    char* end = nullptr;
    long number = strtol(text, &end, 0);
    if (length == 0 || end != text + length)
        return False;
    *value = (int)number;
    return True;
}

Boolean Store(XrmValue* to, int value)
{
    static int result;
    result = value;
    if (!to->addr) {
        to->addr = (XPointer)&result;
        to->size = sizeof(int);
        return True;
    }
    switch (to->size) {
    case sizeof(unsigned char):
        *(unsigned char*)to->addr = (unsigned char)value;
        return True;
    case sizeof(short):
        *(short*)to->addr = (short)value;
        return True;
    case sizeof(int):
        *(int*)to->addr = value;
        return True;
    default:
        to->size = sizeof(int);
        return False;
    }
}

Boolean Convert(Display* display, XrmValue* args, Cardinal*, XrmValue* from, XrmValue* to,
                XtPointer*)
{
    const Representation* r = (const Representation*)args[0].addr;
    int value;
    if (from->addr && Lookup(r->names, (const char*)from->addr, &value))
        return Store(to, value);
    /* Composed here: the X Toolkit's own conversion warning fills in parameters, which it
     * refuses to do for programs run by root. */
    std::string text = std::string("Cannot convert string \"")
        + (from->addr ? (const char*)from->addr : "") + "\" to type " + r->type;
    Cardinal none = 0;
    XtAppWarningMsg(XtDisplayToApplicationContext(display), (String) "conversionError",
                    (String)r->type, (String) "XomToolkitError", (String)text.c_str(), NULL, &none);
    return False;
}

} // namespace

void XomRegisterConverters(void)
{
    static Boolean done = False;
    if (done)
        return;
    done = True;
    static XtConvertArgRec args[XtNumber(representations)];
    for (size_t i = 0; i < XtNumber(representations); i++) {
        args[i].address_mode = XtAddress;
        args[i].address_id = (XtPointer)&representations[i];
        args[i].size = sizeof(XtPointer);
        XtSetTypeConverter(XtRString, (String)representations[i].type, Convert, &args[i], 1,
                           XtCacheNone, NULL);
    }
}
