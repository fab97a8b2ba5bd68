// The saved session (session.json).
#include "account/session_file.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    AccountSession stored;
    parseSessionDocument(std::string(reinterpret_cast<const char*>(data), size), stored);
    return 0;
}
