#include "tests/support/MotifText.h"

#include <Xm/Text.h>
#include <Xm/TextF.h>
#include <Xm/Xm.h>

Pixmap LabelPixmap(Widget label)
{
    Pixmap pixmap = 0;
    XtVaGetValues(label, XmNlabelPixmap, &pixmap, NULL);
    return pixmap;
}

std::string FieldText(Widget field)
{
    char* value = XmIsTextField(field) ? XmTextFieldGetString(field) : XmTextGetString(field);
    std::string text = value ? value : "";
    XtFree(value);
    return text;
}

std::string ShownText(Widget w, const char* resource)
{
    XmString string = nullptr;
    XtVaGetValues(w, resource, &string, NULL);
    std::string text;
    XmStringContext context;
    if (string && XmStringInitContext(&context, string)) {
        unsigned int length = 0;
        XtPointer value = nullptr;
        XmStringComponentType type;
        while ((type = XmStringGetNextTriple(context, &length, &value)) != XmSTRING_COMPONENT_END) {
            if (type == XmSTRING_COMPONENT_TEXT || type == XmSTRING_COMPONENT_LOCALE_TEXT)
                text.append(static_cast<const char*>(value), length);
            else if (type == XmSTRING_COMPONENT_SEPARATOR)
                text += '\n';
            else if (type == XmSTRING_COMPONENT_TAB)
                text += '\t';
            XtFree(static_cast<char*>(value));
            value = nullptr;
        }
        XmStringFreeContext(context);
    }
    XmStringFree(string);
    return text;
}
