#include "viewer/panels.h"

#include <imgui.h>

namespace {

void section(const char* title) {
    ImGui::Spacing();
    ImGui::Separator();
    ImGui::Spacing();
    ImGui::TextDisabled("%s", title);
}

void bullet(const char* line) { ImGui::BulletText("%s", line); }

void wrapped(const char* text) { ImGui::TextWrapped("%s", text); }

void swatch(const char* id, float r, float g, float b, const char* label) {
    ImGui::ColorButton(id, ImVec4(r, g, b, 1.0f), ImGuiColorEditFlags_NoTooltip, ImVec2(14, 14));
    ImGui::SameLine();
    ImGui::TextUnformatted(label);
}

} // namespace

void drawHelpWindow(bool& open, const UiRect& place) {
    ImGui::SetNextWindowPos(ImVec2(place.x, place.y), ImGuiCond_FirstUseEver);
    ImGui::SetNextWindowSize(ImVec2(place.width, place.height), ImGuiCond_FirstUseEver);
    ImGui::SetNextWindowBgAlpha(0.92f);
    if (!ImGui::Begin("Aide - Raccourcis", &open, ImGuiWindowFlags_NoCollapse)) {
        ImGui::End();
        return;
    }
    ImGui::TextColored(ImVec4(0.40f, 0.85f, 1.0f, 1.0f), "ABYSTO 3D - GUIDE RAPIDE");
    ImGui::Separator();

    ImGui::Spacing();
    ImGui::TextDisabled("NAVIGATION CAMÉRA");
    bullet("Z Q S D            : Déplacer la caméra (avancer/reculer/gauche/droite)");
    bullet("Clic gauche + glisser : Orbiter autour du terrain");
    bullet("Clic droit + glisser  : Déplacer la vue (pan)");
    bullet("Molette            : Zoom / dézoom");

    section("OUTILS DE MESURE");
    bullet("Clic gauche simple (sans glisser) : Poser un marqueur de profondeur");
    wrapped("  Les marqueurs affichent la profondeur du fond et la hauteur d'eau actuelle selon le niveau de "
            "marée sélectionné (voir panneau Marées).");

    section("MARÉE & NIVEAU D'EAU");
    bullet("T                  : Ouvrir / fermer le panneau des marées");
    wrapped("  Choisis une heure sur la courbe puis valide pour afficher le niveau de la mer correspondant sur le "
            "terrain 3D.");
    bullet("P                  : Lancer la timelapse de la marée");

    section("AFFICHAGE & CARTOGRAPHIE");
    bullet("L                  : Basculer texture satellite / coloration profondeur (terre)");
    bullet("M                  : Afficher / masquer la mini-carte (vue du dessus)");
    bullet("V                  : Régler l'exagération verticale du relief (x1 à x7)");
    bullet("+ / -              : Ajuster l'exagération verticale d'un cran");

    section("GÉNÉRAL");
    bullet("I                  : Ouvrir / fermer cette aide");
    bullet("Échap              : Retour au menu de sélection de zone");
    bullet("F11                : Basculer plein écran / fenêtré");
    bullet("F10                : Ouvrir les paramètres");

    // The colours of the terrain program.
    section("LÉGENDE DES COULEURS (terrain)");
    swatch("##land", 0.30f, 0.60f, 0.25f, "Terre émergée (proche du niveau de la mer)");
    swatch("##highland", 0.42f, 0.28f, 0.15f, "Terre en altitude");
    swatch("##shallow", 0.55f, 0.85f, 0.95f, "Eau peu profonde");
    swatch("##deep", 0.02f, 0.10f, 0.30f, "Eau profonde");
    swatch("##waterline", 1.0f, 1.0f, 0.6f, "Ligne d'eau exacte (niveau de marée choisi)");

    section("INFORMATIONS & SOURCES");
    wrapped("Abysto 3D - version bêta.");
    wrapped("Logiciel édité par l'équipe Abysto. Tous droits réservés.");
    wrapped("Contact : contact@abysto3d.fr");
    wrapped("Bathymétrie et topographie : LITTO3D® MNT 1 m, levé littoral du SHOM et de l'IGN, 2024 "
            "(référence : LITTO3D - MNT1M).");
    wrapped("Prédictions de marée : service de prédiction de marée, données sous Licence Ouverte / Etalab 2.0.");
    wrapped("Fond satellite : orthophotographies de l'IGN, service WMS de la Géoplateforme.");
    wrapped("Décalages altimétriques ZH/IGN69 : Références Altimétriques Maritimes (RAM) du SHOM.");
    ImGui::End();
}
