// What a newly loaded terrain does to the tides once its centre is known.
#pragma once

#include "tides/ram_table.h"
#include "tides/tide_calendar.h"
#include "tides/tide_state.h"

#include <vector>

// Forgets the previous terrain's tide, takes the datum offset of the nearest
// RAM site (kept as it was when the table is empty), detects the reference
// port and hands it with the key to a reset calendar. The viewer stores the
// centre for its own use and calls this.
void calibrateTide(TideState& state, TideCalendar& calendar, const std::vector<RamSite>& ramSites, double latitude,
                   double longitude);
