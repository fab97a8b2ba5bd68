// The "Calendrier des marées" window: one month of tide coefficients, a
// click on a day picks it.
#pragma once

#include "tides/tide_calendar.h"

// Draws the window when calendar.tideCalendarOpen is set (its close box clears
// it); requests the displayed month when needed. The pick says which day was
// clicked this frame.
CalendarPick drawTideCalendar(TideCalendar& calendar);
