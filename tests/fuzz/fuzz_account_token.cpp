// The account backend's answer to a sign-in or token refresh.
#include "account/account_session.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    AccountSession session;
    std::string message;
    readTokenAnswer(std::string(reinterpret_cast<const char*>(data), size), session, message);
    return 0;
}
