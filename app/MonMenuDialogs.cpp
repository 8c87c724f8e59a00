// The entries that open the program's secondary windows: the three settings dialogs of
// the Options menu and the two windows of the Help menu.
#include "app/MonMenu.h"

void MonMenu::GeneralSettingsSelect() {}

void MonMenu::TableSettingsSelect() {}

void MonMenu::GraphSettingsSelect() {}

void MonMenu::ManualSelect() {}

void MonMenu::AboutSelect() {}
