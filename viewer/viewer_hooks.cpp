// Seams for the tide work: the tide window and its calendar. Until they are
// filled the view has no tide window.
#include "viewer/viewer.h"

// The tide window; true with the level when the user applied one this frame.
bool Viewer::drawTideWindow(float&) { return false; }

// The month calendar; a chosen day loads that day and opens the tide window.
void Viewer::drawTideCalendar() {}
