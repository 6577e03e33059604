// The menus (not yet built).
#include "menu/menu.h"

int cursorOffset(int32_t) { return 0; }
void drawMenuScreen() {}
bool handleNavigation(NavAction) { return false; }
