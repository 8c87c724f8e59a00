// The toolkit's enumerated resource types read from resource files: the names the
// application's resources use, numbers, and values that are refused.
#include <gtest/gtest.h>

#include <Xm/Xm.h>

#include "tests/support/DisplayFixture.h"
#include "toolkit/EditObject.h"
#include "toolkit/Scroll.h"
#include "toolkit/Xom.h"

namespace {

class ConvertersTest : public DisplayFixture {
protected:
    // The value a string converts to in a resource of the given size; -1 when refused.
    int Convert(Widget w, const char* type, const char* text, Cardinal size = sizeof(int))
    {
        XrmValue from = {(unsigned)strlen(text) + 1, (XPointer)text};
        int result = 0;
        unsigned char small = 0;
        XrmValue to = {size, size == 1 ? (XPointer)&small : (XPointer)&result};
        if (!XtConvertAndStore(w, XtRString, &from, type, &to))
            return -1;
        return size == 1 ? small : result;
    }
};

TEST_F(ConvertersTest, NamesAndNumbersConvertToTheirValuesAndUnknownNamesAreRefused)
{
    Widget area = XtCreateWidget("editobject", xomEditObjectWidgetClass, shell, nullptr, 0);
    const struct {
        const char* type;
        const char* text;
        int value;
    } cases[] = {
        {XomRGridLineStyle, "grid_line_shadow_out", XomGRID_LINE_SHADOW_OUT},
        {XomRAutoMarginAdjust, "adjust_top", XomADJUST_TOP},
        {XomRAutoMarginAdjust, "15", 15},
        {XomRCellSizeUnit, "unit_pixel", XomUNIT_PIXEL},
        {XomRColumnAlignment, "alignment_beginning", XomALIGNMENT_BEGINNING},
        {XomRColumnAlignment, " Alignment_Center ", 1},
        {XomRDataType, "type_string", XomTYPE_STRING},
        {XomRColumnEditMode, "column_non_editable", 0},
        {XomRFrozenPlacement, "placement_right", 8},
        {XomRTextAlignment, "valign_bottom", 32},
        {XomRLineStyle, "line_on_off_dash", 2},
        {XomRFillStyle, "fill_opaque_stippled", 3},
        {XomRChartType, "chart_type_line", 7},
        {XomRSymbolType, "symbol_filled_diamond", 9},
        {XomRSpanMode, "span_data_and_empty", 2},
        {XomRCursorType, "34", 34},
        {XomRAnnotationPlacement, "0x10", 16},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Convert(area, c.type, c.text), c.value) << c.type << " " << c.text;
    EXPECT_EQ(Convert(area, XomRGridLineStyle, "grid_line_shadow_out", 1), 5) << "one byte";
    EXPECT_TRUE(Warnings().empty());
    // Unknown names are refused, each with a warning.
    for (const char* text : {"grid_line_shadow", "", "5x", "adjust_top "})
        EXPECT_EQ(Convert(area, XomRGridLineStyle, text), -1) << text;
    EXPECT_EQ(Warnings().size(), 4u);
}

TEST_F(ConvertersTest, ResourceFilesSetTheEnumeratedResourcesOfTheWidgets)
{
    XrmDatabase db = XtDatabase(display);
    XrmPutLineResource(&db, "*conv_scroll.scrollBarDisplayPolicy: XmSTATIC");
    XrmPutLineResource(&db, "*conv_scroll*shadowThickness: 2");
    XrmPutLineResource(&db, "*conv_area.autoMarginAdjust: adjust_top");
    XrmPutLineResource(&db, "*conv_area.titleAlignment: alignment_beginning");
    Widget scroll = XtCreateWidget("conv_scroll", xomScrollWidgetClass, shell, nullptr, 0);
    Widget area = XtCreateWidget("conv_area", xomEditObjectWidgetClass, scroll, nullptr, 0);
    unsigned char policy = 0;
    Dimension shadow = 0;
    int adjust = -1, alignment = -1;
    XtVaGetValues(scroll, XmNscrollBarDisplayPolicy, &policy, XmNshadowThickness, &shadow, NULL);
    XtVaGetValues(area, XomNautoMarginAdjust, &adjust, XomNtitleAlignment, &alignment, NULL);
    EXPECT_EQ(policy, XmSTATIC);
    EXPECT_EQ(shadow, 2);
    EXPECT_EQ(adjust, XomADJUST_TOP);
    EXPECT_EQ(alignment, XomALIGNMENT_BEGINNING);
}

} // namespace
