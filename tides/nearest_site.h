// The one nearest-site scan of the tide code: the altimetric reference rows
// and the tide service's ports are both searched with it.
#pragma once

#include <cmath>
#include <vector>

// The site nearest to (latitude, longitude) in plain degrees among those
// `eligible` accepts; the first of equals; null when none is eligible.
template <class Site, class Eligible>
const Site* nearestSite(const std::vector<Site>& sites, double latitude, double longitude, Eligible eligible) {
    const Site* best = nullptr;
    double bestDistance = 0.0;
    for (const Site& site : sites) {
        if (!eligible(site)) continue;
        const double distance = std::hypot(site.latitude - latitude, site.longitude - longitude);
        if (!best || distance < bestDistance) {
            best = &site;
            bestDistance = distance;
        }
    }
    return best;
}
