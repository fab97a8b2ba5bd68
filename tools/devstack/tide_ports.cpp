// The stand-in's ports: positions of Shom's reference sites, mean levels
// above chart datum from the altimetric references, and constituents of the
// size and phase these ports have (the tide wave runs north along the
// Atlantic coast, then east up the Channel; the Mediterranean barely has one).
#include "tools/devstack/tide_model.h"

const std::vector<TidePort>& tidePorts() {
    // id, name key, name, latitude, longitude, Z0,
    // M2, S2, N2, K2, K1, O1, M4 as {amplitude m, phase degrees}.
    static const std::vector<TidePort> ports = {
        {"dunkerque", "name", "Dunkerque", 51.048050, 2.366667, 3.24,
         {2.06, 330}, {0.60, 20}, {0.37, 310}, {0.17, 18}, {0.06, 180}, {0.07, 15}, {0.10, 140}},
        {"calais", "site_name", "Calais", 50.969333, 1.867500, 4.03,
         {2.50, 322}, {0.78, 12}, {0.45, 302}, {0.22, 10}, {0.07, 175}, {0.07, 10}, {0.12, 120}},
        {"boulogne-sur-mer", "nom", "Boulogne-sur-Mer", 50.727450, 1.577700, 5.00,
         {3.05, 312}, {0.98, 0}, {0.55, 292}, {0.27, 358}, {0.07, 165}, {0.07, 0}, {0.14, 95}},
        {"dieppe", "label", "Dieppe", 49.930000, 1.085000, 4.94,
         {3.20, 295}, {1.05, 342}, {0.58, 275}, {0.29, 340}, {0.07, 150}, {0.07, 345}, {0.16, 60}},
        {"le_havre", "title", "Le Havre", 49.481667, 0.106167, 4.96,
         {2.65, 270}, {0.90, 315}, {0.50, 250}, {0.25, 313}, {0.07, 125}, {0.08, 330}, {0.25, 340}},
        {"cherbourg", "name", "Cherbourg", 49.651167, -1.635500, 3.87,
         {1.87, 229}, {0.69, 277}, {0.36, 210}, {0.19, 275}, {0.07, 95}, {0.07, 320}, {0.06, 230}},
        // No name in the list: the program shows its prettified id.
        {"saint-malo", "", "", 48.641167, -2.027500, 6.78,
         {3.70, 185}, {1.39, 232}, {0.70, 165}, {0.39, 230}, {0.10, 80}, {0.07, 320}, {0.22, 200}},
        {"roscoff", "label", "Roscoff", 48.716667, -3.966667, 5.30,
         {2.80, 170}, {1.01, 215}, {0.54, 150}, {0.28, 213}, {0.07, 75}, {0.07, 320}, {0.08, 130}},
        {"brest", "name", "Brest", 48.382500, -4.494717, 4.14,
         {2.05, 139}, {0.75, 178}, {0.41, 121}, {0.21, 176}, {0.065, 70}, {0.066, 327}, {0.05, 110}},
        {"concarneau", "nom", "Concarneau", 47.873333, -3.906667, 3.06,
         {1.60, 115}, {0.58, 150}, {0.32, 98}, {0.16, 148}, {0.065, 65}, {0.066, 320}, {0.04, 70}},
        {"saint-nazaire", "site_name", "Saint-Nazaire", 47.266950, -2.201667, 3.61,
         {1.82, 126}, {0.64, 162}, {0.37, 108}, {0.18, 160}, {0.07, 68}, {0.07, 322}, {0.10, 90}},
        {"la_rochelle", "label", "La Rochelle - La Pallice", 46.158500, -1.220667, 3.90,
         {1.93, 108}, {0.67, 140}, {0.39, 90}, {0.19, 138}, {0.07, 65}, {0.07, 320}, {0.07, 60}},
        {"arcachon", "title", "Arcachon (Eyrac)", 44.664333, -1.163667, 2.48,
         {1.35, 130}, {0.47, 165}, {0.27, 112}, {0.13, 163}, {0.07, 65}, {0.07, 320}, {0.12, 100}},
        {"saint-jean-de-luz", "name", "Saint-Jean-de-Luz (Socoa)", 43.395000, -1.681667, 2.51,
         {1.30, 97}, {0.46, 128}, {0.26, 80}, {0.13, 126}, {0.07, 62}, {0.07, 318}, {0.02, 30}},
        {"marseille", "nom", "Marseille", 43.266660, 5.350000, 0.49,
         {0.070, 237}, {0.025, 250}, {0.015, 230}, {0.007, 250}, {0.035, 190}, {0.025, 120}, {0.0, 0}},
    };
    return ports;
}
