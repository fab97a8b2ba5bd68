// The account backend's profile rows.
#include "account/account_session.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    readProfileUsername(std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}
