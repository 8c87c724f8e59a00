// The text a Motif compound string shows, with a newline for each line break.
#ifndef VANTOR_TEST_MOTIF_TEXT_H
#define VANTOR_TEST_MOTIF_TEXT_H

#include <string>

#include <X11/Intrinsic.h>

// The compound string held by a widget resource such as "labelString" or "messageString".
std::string ShownText(Widget w, const char* resource);
// The pixmap a label or button shows.
Pixmap LabelPixmap(Widget label);
// What a text or text field widget holds.
std::string FieldText(Widget field);

#endif
