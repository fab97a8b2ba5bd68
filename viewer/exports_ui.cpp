// The three exports of the view and the account page: each asks for its
// destination with the system's save dialog; a cancelled dialog ends it silently.
#include "platform/platform.h"
#include "viewer/account_page.h"
#include "viewer/core/exports.h"
#include "viewer/viewer.h"

#include <glad/gl.h>
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <iostream>

namespace {

const char* const kSaveTitle = "Enregistrer sous";

bool askPath(const char* defaultName, const char* description, const char* pattern, const char* extension,
             std::string& path) {
    return platform::saveFileDialog(kSaveTitle, defaultName, {{description, pattern}, {"Tous les fichiers", "*.*"}},
                                    extension, path);
}

} // namespace

void Viewer::exportMarkersCsv() {
    if (markers.empty()) return;
    std::string path;
    if (!askPath("abysto_marqueurs.csv", "Fichier CSV", "*.csv", "csv", path)) return;
    const auto positions = grid ? markerPositionsWgs84(markers, grid->originX, grid->originY)
                                : std::vector<std::optional<GeoPoint>>(markers.size());
    if (!writeExportFile(path, markersCsv(markers, positions, seaLevel))) return;
    std::cout << "Marqueurs exportes en CSV : " << path << std::endl;
}

void Viewer::exportMarkersGpx() {
    if (markers.empty()) return;
    std::string path;
    if (!askPath("abysto_marqueurs.gpx", "Fichier GPX", "*.gpx", "gpx", path)) return;
    const auto positions = grid ? markerPositionsWgs84(markers, grid->originX, grid->originY)
                                : std::vector<std::optional<GeoPoint>>(markers.size());
    if (!writeExportFile(path, markersGpx(markers, positions))) return;
    std::cout << "Marqueurs exportés en GPX : " << path << std::endl;
}

void Viewer::saveScreenshot() {
    // The frame just drawn, before it is swapped and before the dialog covers anything.
    int width = 0, height = 0;
    glfwGetFramebufferSize(window, &width, &height);
    if (width <= 0 || height <= 0) return;
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    GLint alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);

    std::string path;
    if (!askPath("abysto_screenshot.bmp", "Image BMP", "*.bmp", "bmp", path)) return;
    const std::vector<uint8_t> bmp = encodeBmp(width, height, rgb);
    if (!writeExportFile(path, std::string(bmp.begin(), bmp.end()))) return;
    std::cout << "Screenshot sauvegarde : " << path << std::endl;
}

void Viewer::openAccountPage() {
    if (!platform::openUrl(accountDashboardUrl()))
        std::cerr << "Impossible d'ouvrir la page du compte dans le navigateur." << std::endl;
}
