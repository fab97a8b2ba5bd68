// The user settings file (settings.json), read by the program's start-up load.
#include "app/paths.h"
#include "app/settings.h"
#include "tests/fuzz/fuzz_folder.h"

#include <cstddef>
#include <cstdint>
#include <fstream>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool once = [] {
        setenv("LOCALAPPDATA", fuzzFolder().c_str(), 1);
        resetPathsForTesting();
        std::filesystem::create_directories(rootDir());
        return true;
    }();
    (void)once;
    std::ofstream(settingsFile(), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), std::streamsize(size));
    resetSettingsForTesting();
    loadSettings();
    getUpdateSnoozedUntil();
    return 0;
}
