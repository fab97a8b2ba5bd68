// A tile file as the zone loading reads it: the header check, GDAL's open of
// the ESRI ASCII grid through its in-memory file system, the mosaic, the
// elevations and the terrain grid.
#include "app/load_zone.h"

#include <cpl_error.h>
#include <cpl_vsi.h>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool quiet = (CPLSetErrorHandler(CPLQuietErrorHandler), true);
    (void)quiet;
    const char* path = "/vsimem/fuzz/LITTO3D_FRA_0934_6315_MNT1M_RGF93LA93_IGN69.asc";
    VSIFCloseL(VSIFileFromMemBuffer(path, const_cast<GByte*>(data), vsi_l_offset(size), FALSE));
    loadZone({path});
    VSIUnlink(path);
    return 0;
}
