#include "routes/gpx_export.h"

#include "routes/gpx_error.h"
#include "terrain/bathy.h"
#include "viewer/core/exports.h"

#include <cstdio>
#include <iostream>

std::string xmlEscape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default: out += c;
        }
    }
    return out;
}


namespace {

constexpr const char* kEol = "\r\n";

void appendPoint(std::string& out, const RoutePoint& p, const Georeference& geo) {
    double X = 0, Y = 0;
    GeoPoint wgs;
    if (!gridToLambert(geo, p.x, p.y, X, Y) || !lambert93ToWgs84(X, Y, wgs)) return;
    char buf[128];
    std::snprintf(buf, sizeof buf, "      <trkpt lat=\"%.8f\" lon=\"%.8f\">", wgs.lat, wgs.lon);
    out += buf;
    out += kEol;
    if (p.hasZ) {
        std::snprintf(buf, sizeof buf, "        <ele>%.2f</ele>", static_cast<double>(p.z));
        out += buf;
        out += kEol;
    }
    out += "      </trkpt>";
    out += kEol;
}

} // namespace

std::string routesGpx(const std::vector<Route>& routes, const Georeference& geo, const std::string& creator,
                      int& written) {
    written = 0;
    std::string out;
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
    out += kEol;
    out += "<gpx version=\"1.1\" creator=\"" + xmlEscape(creator) + "\"";
    out += kEol;
    out += "     xmlns=\"http://www.topografix.com/GPX/1/1\">";
    out += kEol;
    for (const Route& route : routes) {
        if (route.points.size() < 2) continue;
        out += "  <trk>";
        out += kEol;
        out += "    <name>" + xmlEscape(route.name.empty() ? "Parcours" : route.name) + "</name>";
        out += kEol;
        out += "    <trkseg>";
        out += kEol;
        for (const RoutePoint& p : route.points) appendPoint(out, p, geo);
        if (route.loop) appendPoint(out, route.points.front(), geo);
        out += "    </trkseg>";
        out += kEol;
        out += "  </trk>";
        out += kEol;
        ++written;
    }
    out += "</gpx>";
    out += kEol;
    return out;
}

bool exportGpx(const std::string& path, const std::vector<Route>& routes, const Georeference& geo,
               const std::string& creator) {
    setLastGpxError("");
    if (!geo.georeferenced) {
        setLastGpxError("Georeferencement absent : impossible de convertir en WGS84.");
        return false;
    }
    if (routes.empty()) {
        setLastGpxError("Aucun parcours a exporter.");
        return false;
    }
    int written = 0;
    const std::string text = routesGpx(routes, geo, creator, written);
    // Checked before the file is touched: a failed export must not replace
    // the file the user chose (whose overwrite was confirmed) with an empty one.
    if (written == 0) {
        setLastGpxError("Aucun parcours ne comporte au moins deux points.");
        return false;
    }
    if (!writeExportFile(path, text)) {
        setLastGpxError("Impossible d'ouvrir " + path + " en ecriture.");
        return false;
    }
    std::cout << "Export GPX termine : " << path << " (" << written << " parcours)" << std::endl;
    return true;
}
