// The merged elevation raster of the tiles of one zone (a GDAL virtual
// mosaic in memory), and the Lambert-93 to WGS84 conversion.
#pragma once

#include <string>
#include <vector>

typedef void* GDALDatasetH;

struct GeoPoint {
    double lat = 0;
    double lon = 0;
};

class Bathy {
public:
    explicit Bathy(const std::vector<std::string>& paths);
    ~Bathy();
    Bathy(const Bathy&) = delete;
    Bathy& operator=(const Bathy&) = delete;

    bool isOpen() const;
    int width() const;
    int height() const;
    std::vector<float> readElevations();

    void logInfo() const;
    void logGeoTransform();
    void logExtent() const;
    bool centreWgs84(GeoPoint& centre) const;
    bool cornersWgs84(GeoPoint& southWest, GeoPoint& northEast) const;

    const double* geoTransform() const { return geotransform; }
    float noDataValue() const { return noData; }
    bool hasNoDataValue() const { return hasNoData; }

private:
    GDALDatasetH dataset = nullptr;
    double geotransform[6] = {0, 0, 0, 0, 0, 0};
    float noData = -99999.0f;
    bool hasNoData = false;
};

// Lambert-93 metres (EPSG:2154) to WGS84 degrees. One transformation per thread.
bool lambert93ToWgs84(double x, double y, GeoPoint& out);
// WGS84 degrees to Lambert-93 metres (GPX import). One transformation per
// thread; false for a latitude or longitude out of range.
bool wgs84ToLambert93(const GeoPoint& in, double& x, double& y);
