// WGS84 degrees to Lambert-93 metres (EPSG:4326 -> EPSG:2154), for GPX import.
#pragma once

// One transformation per thread, created on its first use.
bool wgs84ToLambert93(double lat, double lon, double& x, double& y);
