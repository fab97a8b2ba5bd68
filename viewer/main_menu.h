// Draws the view's main menu bar from its model.
#pragma once

#include "viewer/main_menu_model.h"

#include <vector>

// The action of the item clicked this frame, or MenuAction::None.
MenuAction drawMainMenu(const std::vector<Menu>& menus);
