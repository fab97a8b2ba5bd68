#include "update/update_status.h"

std::string updateStatusMessage(int status) {
    switch (status) {
    case UpdateReady: return "mise à jour prête";
    case UpdateNone: return "aucune mise à jour disponible";
    case UpdateNotAuthentic: return "mise à jour refusée : elle n'est pas authentique";
    case UpdateServerBusy: return "serveur momentanément saturé, réessayez plus tard";
    case UpdateServerDown: return "le serveur de mise à jour est indisponible";
    case UpdateConnectionFailed: return "connexion au serveur de mise à jour impossible";
    case UpdateCancelled: return "téléchargement annulé";
    case UpdateWriteFailed: return "impossible d'écrire le fichier téléchargé";
    case UpdateInconsistent: return "fichier téléchargé incohérent, mise à jour abandonnée";
    case UpdateNotConfigured: return "serveur de mise à jour non configuré";
    default: return "erreur inconnue";
    }
}

bool isRetryableUpdateStatus(int status) {
    return status == UpdateServerBusy || status == UpdateServerDown || status == UpdateConnectionFailed ||
           status == UpdateInconsistent;
}

std::string manifestReasonText(int reason) {
    switch (reason) {
    case ManifestValid: return "manifeste valide";
    case ManifestUnreadable: return "manifeste illisible";
    case ManifestOtherPlatform: return "manifeste destine a une autre plateforme";
    case ManifestChangelogMismatch: return "changelog incoherent avec son empreinte";
    case ManifestBadSignature: return "signature invalide";
    case ManifestUnsupported: return "format de manifeste non supporte";
    default: return "erreur inconnue";
    }
}
