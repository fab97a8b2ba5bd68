// The modal update window: the offer, the download's progress, the
// ready-to-install confirmation and failures. Drawn once per frame.
#pragma once

#include "update/update_state.h"

#include <cstdint>
#include <string>
#include <vector>

struct UpdateDialogState {
    int32_t lastPhase = UpdateIdle;
    bool dismissed = false;  // closed or minimised by the user
    bool open = false;       // the popup is open
};

// "70 Mo" below 1 GiB, else "1.5 Go".
std::string formatDownloadSize(int64_t bytes);

enum class UpdateDialogAction { StartDownload, Postpone, Ignore, Cancel, Dismiss, Install };

struct UpdateDialogButton {
    const char* label;
    float width, height;
    bool accent;  // highlighted as the main action
    UpdateDialogAction action;
};

// The row of buttons the dialog shows for this state, left to right.
std::vector<UpdateDialogButton> updateDialogButtons(const UpdateState& update);

// Applies the frame's state to the dialog memory (a finished download brings a
// minimised dialog back; a required update cannot stay hidden) and says
// whether the dialog is shown.
bool updateDialogShown(UpdateDialogState& dialog, const UpdateState& update);

// Draws the dialog for the shared update state; true in the frame in which the
// installer was started (the program should then end).
bool drawUpdateDialog(UpdateDialogState& dialog);
bool drawUpdateDialog();
