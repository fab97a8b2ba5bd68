// The update server's manifest: nothing but a manifest signed by a trusted
// key passes, so every input here must be refused without a crash.
#include "update/update_manifest.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    UpdateManifest manifest;
    std::string detail;
    const int reason = validateManifest(std::string(reinterpret_cast<const char*>(data), size), "linux-x64",
                                        manifest, detail);
    if (reason == 0) std::abort();  // a forged signature accepted
    return 0;
}
