#include "tides/tide_state.h"

#include "tides/tide_service_config.h"

#include <cstring>

namespace {

template <size_t N>
void copyInto(char (&buffer)[N], const std::string& text) {
    const size_t n = std::min(text.size(), N - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

} // namespace

TideState makeTideState() {
    TideState state;
    setTideKey(state, tideServiceKey());
    return state;
}

void setTideKey(TideState& state, const std::string& key) { copyInto(state.apiKey, key); }

void setTideSiteId(TideState& state, const std::string& id) { copyInto(state.siteId, id); }

void resetTide(TideState& state) {
    state.siteId[0] = '\0';
    state.siteName.clear();
    state.detectionFailed = false;
    state.samples.clear();
    state.samplesLoaded = false;
    state.loadAttempted = false;
    state.displayedDate.clear();
    state.selectedHour = 12.0f;
}

void setDatumOffset(TideState& state, float offset, const std::string& siteName) {
    state.datumOffset = offset;
    state.ramSiteName = siteName;
    state.datumOffsetKnown = true;
}
