#include "update/update_dialog.h"

#include "update/update_status.h"
#include "viewer/ui_fonts.h"

#include <imgui.h>

namespace {

const ImVec4 kRequiredColour(1.0f, 0.75f, 0.2f, 1.0f);
const ImVec4 kOptionalColour(0.18f, 0.525f, 0.878f, 1.0f);
const ImVec4 kAccentColour(0.031f, 0.337f, 0.667f, 1.0f);
const ImVec4 kAccentHoveredColour(0.043f, 0.392f, 0.761f, 1.0f);
const ImVec4 kFailureColour(0.95f, 0.45f, 0.35f, 1.0f);

void disabledText(const char* text) {
    ImGui::TextDisabled("%s", text);
}

void drawHeader(const UpdateState& update) {
    if (uiFontBold) ImGui::PushFont(uiFontBold);
    ImGui::TextColored(update.required ? kRequiredColour : kOptionalColour, "%s",
                       update.required ? "Mise à jour requise" : "Mise à jour disponible");
    if (uiFontBold) ImGui::PopFont();
    ImGui::Spacing();
    ImGui::Text("Abysto %s", update.manifest.version.c_str());
    ImGui::SameLine();
    ImGui::TextDisabled("(version installée : %s)", installedProgramVersion().c_str());
    if (update.required) {
        ImGui::Spacing();
        ImGui::TextWrapped("Cette version corrige un problème qui empêche le logiciel de fonctionner "
                           "correctement. Elle doit être installée pour continuer.");
    }
}

void drawBody(const UpdateState& update) {
    switch (update.phase) {
    case UpdateAvailable:
        if (!update.manifest.changelog.empty()) {
            ImGui::Spacing();
            disabledText("NOUVEAUTÉS");
            ImGui::BeginChild("##maj_changelog", ImVec2(-1.0f, 150.0f), true);
            ImGui::TextWrapped("%s", update.manifest.changelog.c_str());
            ImGui::EndChild();
        }
        ImGui::TextDisabled("Téléchargement : %s", formatDownloadSize(update.manifest.fileSize).c_str());
        break;
    case UpdateDownloading: {
        const auto received = static_cast<int64_t>(static_cast<double>(update.manifest.fileSize) * update.progress);
        const std::string overlay =
            formatDownloadSize(received) + " / " + formatDownloadSize(update.manifest.fileSize);
        ImGui::ProgressBar(static_cast<float>(update.progress), ImVec2(-1.0f, 24.0f), overlay.c_str());
        disabledText("Vous pouvez continuer à utiliser le logiciel pendant le téléchargement.");
        break;
    }
    case UpdateReadyToInstall:
        ImGui::TextWrapped("La mise à jour est téléchargée et son authenticité a été vérifiée. Le logiciel va "
                           "se fermer pendant l'installation, puis se rouvrir.");
        disabledText("Votre travail en cours n'est pas enregistré automatiquement.");
        break;
    case UpdateFailed:
        ImGui::TextColored(kFailureColour, "%s", "La mise à jour a échoué");
        ImGui::Spacing();
        ImGui::TextWrapped("%s", update.statusText.c_str());
        break;
    default:
        break;
    }
}

// True when the installer was started.
bool drawButtons(UpdateDialogState& dialog, const UpdateState& update) {
    bool launched = false;
    bool first = true;
    for (const UpdateDialogButton& button : updateDialogButtons(update)) {
        if (!first) ImGui::SameLine();
        first = false;
        if (button.accent) {
            ImGui::PushStyleColor(ImGuiCol_Button, kAccentColour);
            ImGui::PushStyleColor(ImGuiCol_ButtonHovered, kAccentHoveredColour);
            ImGui::PushStyleColor(ImGuiCol_ButtonActive, kAccentColour);
        }
        const bool pressed = ImGui::Button(button.label, ImVec2(button.width, button.height));
        if (button.accent) ImGui::PopStyleColor(3);
        if (!pressed) continue;
        switch (button.action) {
        case UpdateDialogAction::StartDownload: startUpdateDownload(); break;
        case UpdateDialogAction::Postpone:
            postponeUpdate(3);
            dialog.dismissed = true;
            break;
        case UpdateDialogAction::Ignore:
            ignoreUpdateVersion();
            dialog.dismissed = true;
            break;
        case UpdateDialogAction::Cancel: cancelUpdateDownload(); break;
        case UpdateDialogAction::Dismiss: dialog.dismissed = true; break;
        case UpdateDialogAction::Install: launched = installUpdate(); break;
        }
    }
    return launched;
}

} // namespace

bool drawUpdateDialog(UpdateDialogState& dialog) {
    const UpdateState update = updateSnapshot();
    if (!updateDialogShown(dialog, update)) return false;

    if (!dialog.open) {
        ImGui::OpenPopup("##maj");
        ImGui::SetNextWindowPos(ImGui::GetMainViewport()->GetCenter(), ImGuiCond_Always, ImVec2(0.5f, 0.5f));
        ImGui::SetNextWindowSize(ImVec2(520.0f, 0.0f), ImGuiCond_Always);
        dialog.open = true;
    }
    bool launched = false;
    const ImGuiWindowFlags flags =
        ImGuiWindowFlags_NoTitleBar | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_AlwaysAutoResize;
    if (ImGui::BeginPopupModal("##maj", nullptr, flags)) {
        drawHeader(update);
        drawBody(update);
        ImGui::Spacing();
        ImGui::Separator();
        ImGui::Spacing();
        launched = drawButtons(dialog, update);
        if (dialog.dismissed || launched) {
            ImGui::CloseCurrentPopup();
            dialog.open = false;
        }
        ImGui::EndPopup();
    }
    return launched;
}

bool drawUpdateDialog() {
    static UpdateDialogState dialog;
    return drawUpdateDialog(dialog);
}
