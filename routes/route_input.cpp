#include "routes/route_input.h"

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <iostream>

RouteClickResult onRouteClick(RouteEditor& editor, RoutePanelState& panel, const PickResult& hit) {
    return onRouteClickAt(editor, panel, hit.hit, hit.x, hit.z);
}

RouteClickResult onRouteClickAt(RouteEditor& editor, RoutePanelState& panel, bool hit, double x, double y) {
    if (!hit) {
        std::cout << "Aucun terrain touché." << std::endl;
        return RouteClickResult::NoTerrain;
    }
    if (!editor.drawing) {
        if (const Route* selected = editor.selectedRouteOrNone()) {
            const int near = nearestPointIndex(*selected, x, y, kPointSelectDistance);
            if (near >= 0) {
                panel.selectedPoint = near;
                return RouteClickResult::PointSelected;
            }
        }
        editor.startRoute(nextRouteName(editor));
        // The old selection must not follow into the new route, where Delete
        // would remove one of its points.
        panel.selectedPoint = -1;
    }
    RouteClickResult result = RouteClickResult::PointAdded;
    if (!editor.addPoint(x, y)) {
        std::cerr << "Parcours : nombre maximal de points atteint." << std::endl;
        result = RouteClickResult::LimitReached;
    }
    panel.profile.routesDirty = true;
    return result;
}

RouteKeyResult onRouteKey(RouteEditor& editor, RoutePanelState& panel, int key, bool ctrl) {
    if (panel.interactionMode == kModeRoute && editor.drawing) {
        if (key == GLFW_KEY_ENTER || key == GLFW_KEY_KP_ENTER) {
            if (editor.finishRoute() < 0) return RouteKeyResult::Dropped;
            panel.selectedPoint = -1;
            panel.profile.routesDirty = true;
            return RouteKeyResult::Finished;
        }
        if (key == GLFW_KEY_ESCAPE) {
            editor.abandonRoute();
            return RouteKeyResult::Abandoned;
        }
        if (key == GLFW_KEY_Z && ctrl) {
            editor.undoLastPoint();
            return RouteKeyResult::Undone;
        }
    }
    if (key == GLFW_KEY_DELETE && panel.selectedPoint >= 0) {
        if (Route* route = editor.selectedRouteOrNone()) {
            removePoint(*route, panel.selectedPoint);
            panel.selectedPoint = -1;
            panel.profile.routesDirty = true;
            return RouteKeyResult::PointRemoved;
        }
    }
    return RouteKeyResult::Ignored;
}

const ModeButton kModeButtons[3] = {
    {"Naviguer", "Orbite, déplacement et zoom (comportement par defaut)"},
    {"Marqueur", "Clic sur le terrain : pose un marqueur de profondeur"},
    {"Parcours", "Clic sur le terrain : ajoute un point au parcours"},
};

RouteColor modeButtonColor(bool current) { return current ? routecolor::kButton : routecolor::kButtonIdle; }
RouteColor modeButtonHoveredColor(bool current) {
    return current ? routecolor::kButtonHovered : routecolor::kButtonIdleHovered;
}

void setInteractionMode(RouteEditor& editor, RoutePanelState& panel, int mode) {
    if (mode < kModeNavigate || mode > kModeRoute) return;
    if (mode != kModeRoute && editor.drawing) editor.abandonRoute();
    panel.interactionMode = mode;
}

std::vector<PanelLine> toolbarHintLines(const RouteEditor& editor, int mode) {
    std::vector<PanelLine> lines;
    if (mode == kModeMarker) {
        lines.push_back(PanelLine::greyed("Clic sur le terrain : marqueur de profondeur."));
    } else if (mode == kModeRoute) {
        if (editor.drawing) {
            lines.push_back(PanelLine::colored(
                "Trace en cours : " + std::to_string(editor.inProgress.points.size()) + " point(s)", routecolor::kBlue));
            lines.push_back(PanelLine::greyed("Clic : ajouter   Ctrl+Z : annuler le dernier"));
            lines.push_back(PanelLine::greyed("Entrée : terminer   Échap : abandonner"));
        } else {
            lines.push_back(PanelLine::greyed("Cliquez sur le terrain pour commencer un parcours."));
        }
    }
    return lines;
}
