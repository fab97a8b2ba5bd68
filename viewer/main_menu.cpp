#include "viewer/main_menu.h"

#include <imgui.h>

MenuAction drawMainMenu(const std::vector<Menu>& menus) {
    MenuAction chosen = MenuAction::None;
    if (!ImGui::BeginMainMenuBar()) return chosen;
    for (const Menu& menu : menus) {
        if (!ImGui::BeginMenu(menu.title.c_str())) continue;
        for (const MenuEntry& e : menu.entries) {
            switch (e.kind) {
            case MenuEntry::Separator:
                ImGui::Separator();
                break;
            case MenuEntry::DisabledText:
                ImGui::TextDisabled("%s", e.label.c_str());
                break;
            case MenuEntry::Item:
                if (ImGui::MenuItem(e.label.c_str(), e.shortcut.empty() ? nullptr : e.shortcut.c_str(), e.checked,
                                    e.enabled))
                    chosen = e.action;
                break;
            }
        }
        ImGui::EndMenu();
    }
    ImGui::EndMainMenuBar();
    return chosen;
}
