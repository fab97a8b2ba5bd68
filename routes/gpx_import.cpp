#include "routes/gpx_import.h"

#include "routes/gpx_error.h"
#include "terrain/bathy.h"

#include <charconv>
#include <filesystem>
#include <cmath>
#include <fstream>
#include <iostream>
#include <sstream>

namespace {

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Position of `needle` in text[from, to), case ignored; npos when absent.
size_t findNoCase(std::string_view text, std::string_view needle, size_t from, size_t to = std::string_view::npos) {
    to = std::min(to, text.size());
    if (needle.empty() || from > to || to - from < needle.size()) return std::string_view::npos;
    for (size_t i = from; i + needle.size() <= to; ++i) {
        size_t k = 0;
        while (k < needle.size() && lower(text[i + k]) == lower(needle[k])) ++k;
        if (k == needle.size()) return i;
    }
    return std::string_view::npos;
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The next `<tag` that is the tag itself, not a longer name starting the same
// way ("<trk" but not "<trkseg").
size_t findOpening(std::string_view text, std::string_view tag, size_t from) {
    for (;;) {
        const size_t at = findNoCase(text, tag, from);
        if (at == std::string_view::npos) return at;
        const size_t next = at + tag.size();
        if (next >= text.size() || text[next] == '>' || isSpace(text[next])) return at;
        from = at + 1;
    }
}

// Point tags are looked for as "<trkpt" or "<rtept" followed by white space
// (any kind: some writers put the attributes on the next line).
size_t findPointTag(std::string_view text, std::string_view tag, size_t from, size_t to) {
    for (;;) {
        const size_t at = findNoCase(text, tag, from, to);
        if (at == std::string_view::npos) return at;
        const size_t next = at + tag.size();
        if (next < to && isSpace(text[next])) return at;
        from = at + 1;
    }
}

std::optional<double> parseNumber(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && isSpace(s[i])) ++i;
    if (i < s.size() && s[i] == '+') ++i;
    double value = 0;
    const auto [end, ec] = std::from_chars(s.data() + i, s.data() + s.size(), value, std::chars_format::general);
    if (ec != std::errc() || !std::isfinite(value)) return std::nullopt;
    (void)end;
    return value;
}

struct ElementKind {
    std::string_view opening;  // "<trk"
    std::string_view closing;  // "</trk>"
    std::string_view point;    // "<trkpt"
};

void scanElements(std::string_view text, const ElementKind& kind, const Georeference& geo, const HeightGrid& grid,
                  GpxRoutes& result) {
    size_t pos = 0;
    for (;;) {
        const size_t start = findOpening(text, kind.opening, pos);
        if (start == std::string_view::npos) return;
        size_t end = findNoCase(text, kind.closing, start);
        if (end == std::string_view::npos) end = text.size();

        Route route;
        route.name = "Parcours importe";
        // The element's own name comes before its points; a name after the
        // first point belongs to that point.
        const size_t firstPoint = findPointTag(text, kind.point, start, end);
        const size_t nameStart = findNoCase(text, "<name>", start, firstPoint == std::string_view::npos ? end : firstPoint);
        if (nameStart != std::string_view::npos) {
            const size_t nameEnd = findNoCase(text, "</name>", nameStart + 6, end);
            if (nameEnd != std::string_view::npos)
                route.name = std::string(text.substr(nameStart + 6, nameEnd - nameStart - 6));
        }

        int outside = 0;
        size_t p = start;
        for (;;) {
            const size_t tagStart = findPointTag(text, kind.point, p, end);
            if (tagStart == std::string_view::npos) break;
            const size_t tagEnd = text.find('>', tagStart);
            if (tagEnd == std::string_view::npos || tagEnd > end) break;
            p = tagEnd + 1;
            if (route.points.size() >= static_cast<size_t>(kMaxRoutePoints)) continue;
            const std::string_view tag = text.substr(tagStart, tagEnd - tagStart);
            const std::optional<double> lat = readAttribute(tag, "lat");
            const std::optional<double> lon = readAttribute(tag, "lon");
            double X = 0, Y = 0;
            RoutePoint point;
            if (!lat || !lon || !wgs84ToLambert93(GeoPoint{*lat, *lon}, X, Y) ||
                !lambertToGrid(geo, X, Y, point.x, point.y))
                continue;
            point.hasZ = sampleHeight(grid, point.x, point.y, point.z);
            if (!point.hasZ) {
                point.z = 0.0f;
                ++outside;
            }
            route.points.push_back(point);
        }
        if (route.points.size() >= 2) {
            result.routes.push_back(std::move(route));
            result.outside += outside;
        }
        if (end >= text.size()) return;
        pos = end + 1;
    }
}

} // namespace

std::optional<double> readAttribute(std::string_view tag, std::string_view name) {
    size_t from = 0;
    for (;;) {
        const size_t at = findNoCase(tag, name, from);
        if (at == std::string_view::npos) return std::nullopt;
        from = at + 1;
        // A whole attribute name: "lat" must not be read from "xlat" or "latitude".
        if (at > 0 && !isSpace(tag[at - 1])) continue;
        size_t i = at + name.size();
        while (i < tag.size() && isSpace(tag[i])) ++i;
        if (i >= tag.size() || tag[i] != '=') continue;
        ++i;
        while (i < tag.size() && isSpace(tag[i])) ++i;
        if (i >= tag.size() || (tag[i] != '"' && tag[i] != '\'')) return std::nullopt;
        const char quote = tag[i];
        const size_t close = tag.find(quote, i + 1);
        if (close == std::string_view::npos) return std::nullopt;
        return parseNumber(tag.substr(i + 1, close - i - 1));
    }
}

GpxRoutes parseGpxRoutes(std::string_view text, const Georeference& geo, const HeightGrid& grid) {
    GpxRoutes result;
    scanElements(text, {"<trk", "</trk>", "<trkpt"}, geo, grid, result);
    if (result.routes.empty()) scanElements(text, {"<rte", "</rte>", "<rtept"}, geo, grid, result);
    return result;
}

bool importGpx(const std::string& path, const Georeference& geo, const HeightGrid& grid, RouteEditor& editor,
               int& outside) {
    setLastGpxError("");
    outside = 0;
    if (!geo.georeferenced) {
        setLastGpxError("Georeferencement absent : chargez une zone avant d'importer.");
        return false;
    }
    std::error_code ec;
    std::ifstream in;
    if (!std::filesystem::is_directory(path, ec)) in.open(path, std::ios::binary);
    if (!in.is_open()) {
        setLastGpxError("Impossible d'ouvrir " + path + ".");
        return false;
    }
    std::ostringstream content;
    content << in.rdbuf();
    const std::string text = content.str();
    if (text.empty()) {
        setLastGpxError("Fichier vide.");
        return false;
    }
    GpxRoutes found = parseGpxRoutes(text, geo, grid);
    if (found.routes.empty()) {
        setLastGpxError("Aucune trace exploitable trouvee dans le fichier.");
        return false;
    }
    for (Route& r : found.routes) editor.routes.push_back(std::move(r));
    outside = found.outside;
    std::cout << "Import GPX : " << found.routes.size() << " parcours, " << outside
              << " point(s) hors de la zone chargee." << std::endl;
    return true;
}
