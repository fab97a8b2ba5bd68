#include "update/update_dialog.h"

#include <cstdio>

std::string formatDownloadSize(int64_t bytes) {
    constexpr double kMiB = 1024.0 * 1024.0, kGiB = kMiB * 1024.0;
    char text[32];
    if (static_cast<double>(bytes) < kGiB)
        std::snprintf(text, sizeof text, "%.0f Mo", static_cast<double>(bytes) / kMiB);
    else
        std::snprintf(text, sizeof text, "%.1f Go", static_cast<double>(bytes) / kGiB);
    return text;
}

std::vector<UpdateDialogButton> updateDialogButtons(const UpdateState& update) {
    using A = UpdateDialogAction;
    std::vector<UpdateDialogButton> buttons;
    const bool optional = !update.required;
    switch (update.phase) {
    case UpdateAvailable:
        buttons.push_back({"Mettre à jour", 170, 34, true, A::StartDownload});
        if (optional) {
            buttons.push_back({"Plus tard", 120, 34, false, A::Postpone});
            buttons.push_back({"Ignorer cette version", 180, 34, false, A::Ignore});
        }
        break;
    case UpdateDownloading:
        buttons.push_back({"Annuler", 120, 32, false, A::Cancel});
        if (optional) buttons.push_back({"Réduire", 120, 32, false, A::Dismiss});
        break;
    case UpdateReadyToInstall:
        buttons.push_back({"Installer maintenant", 200, 34, true, A::Install});
        if (optional) buttons.push_back({"À la prochaine ouverture", 210, 34, false, A::Dismiss});
        break;
    case UpdateFailed:
        if (update.retryable) buttons.push_back({"Réessayer", 140, 32, true, A::StartDownload});
        buttons.push_back({"Fermer", 120, 32, false, A::Dismiss});
        break;
    default:
        break;
    }
    return buttons;
}

bool updateDialogShown(UpdateDialogState& dialog, const UpdateState& update) {
    if (update.phase != dialog.lastPhase) {
        if (dialog.lastPhase == UpdateDownloading && update.phase == UpdateReadyToInstall) dialog.dismissed = false;
        dialog.lastPhase = update.phase;
    }
    if (update.required) dialog.dismissed = false;
    const bool active = update.phase >= UpdateAvailable && update.phase <= UpdateFailed;
    if (!active || dialog.dismissed) {
        dialog.open = false;
        return false;
    }
    return true;
}
