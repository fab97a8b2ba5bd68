// Result codes of the update machinery and their French texts.
#pragma once

#include <string>

// What a manifest check or an installer download came to.
enum UpdateStatus : int {
    UpdateReady = 0,
    UpdateNone = 1,
    UpdateNotAuthentic = 2,
    UpdateServerBusy = 3,
    UpdateServerDown = 4,
    UpdateConnectionFailed = 5,
    UpdateCancelled = 6,
    UpdateWriteFailed = 7,
    UpdateInconsistent = 8,
    UpdateNotConfigured = 9,
};

std::string updateStatusMessage(int status);
// Failures that may go away by themselves; the dialog offers "Réessayer".
bool isRetryableUpdateStatus(int status);

// Why a manifest was refused (0 when it was not).
enum ManifestReason : int {
    ManifestValid = 0,
    ManifestUnreadable = 1,
    ManifestOtherPlatform = 2,
    ManifestChangelogMismatch = 3,
    ManifestBadSignature = 4,
    ManifestUnsupported = 5,
};

std::string manifestReasonText(int reason);
