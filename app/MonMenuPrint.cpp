// File > Print (Ctrl+p): the main window printed to PostScript.
#include "app/MonMenu.h"

void MonMenu::PrintSelect() {}
