// The "Marée" window: the reference port, the loaded day's water-level
// curve with its hour picker, and the button that hands a sea level to the view.
#pragma once

#include "tides/tide_panel_model.h"
#include "tides/tide_state.h"

// Draws the window when state.tidePanelOpen is set (its close box clears it)
// and returns the level the user applied this frame, if any. May block on the
// tide service while its buttons or the first opening load a day.
TidePanelResult drawTidePanel(TideState& state);
