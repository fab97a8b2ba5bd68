#include "tides/tide_calibration.h"

#include "tides/tide_client.h"

#include <iostream>

void calibrateTide(TideState& state, TideCalendar& calendar, const std::vector<RamSite>& ramSites, double latitude,
                   double longitude) {
    resetTide(state);
    state.latitude = latitude;
    state.longitude = longitude;

    RamSite nearest;
    if (nearestRamSite(ramSites, latitude, longitude, nearest)) {
        setDatumOffset(state, nearest.zhRef, nearest.name);
        std::cout << "Décalage ZH->IGN69 automatique : " << state.datumOffset
                  << " m (site RAM le plus proche : " << nearest.name << ")" << std::endl;
    }

    detectReferencePort(state);

    resetCalendar(calendar);
    setCalendarKey(calendar, state.apiKey);
    setCalendarSite(calendar, state.siteId);
}
