// The configuration file beside the executable (config.json).
#include "app/config.h"
#include "tests/fuzz/fuzz_folder.h"

#include <cstddef>
#include <cstdint>
#include <fstream>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::ofstream(fuzzFolder() + "/config.json", std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), std::streamsize(size));
    loadConfig(fuzzFolder());
    return 0;
}
