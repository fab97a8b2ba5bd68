// The public halves of the release signing keys. Their private halves are
// kept offline by the release manager and never enter this repository.
#include "update/update_signature.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

constexpr const char* kReleaseKeys[] = {
    "e1a2968f25f1e02f1b6733265ba49b5c738c51311f2ca70c87756f86292ee1b8"
    "baacd2075512d8025446bd9ab266f70ac24cd86cfba5d91f8b120b9fcb17bfa5",
    "04f89361f86a3b8a419d66c98937628bd49d9232e51351ca918905b348aaccd5"
    "2692944c360d765a1dee060f51495c2ae7c1751c1e09476b188230ba7c5a026d",
};

#ifdef ABYSTO_TRUST_DEV_UPDATE_KEY
// The first word of the file: a public key in the same 128-digit form.
std::string developmentKey() {
    const char* file = std::getenv("ABYSTO_DEV_UPDATE_KEY_FILE");
    if (!file || !*file) return {};
    std::ifstream in(file);
    std::string key;
    in >> key;
    return key;
}
#endif

} // namespace

std::vector<std::string> trustedUpdateKeys() {
    std::vector<std::string> keys(std::begin(kReleaseKeys), std::end(kReleaseKeys));
#ifdef ABYSTO_TRUST_DEV_UPDATE_KEY
    const std::string extra = developmentKey();
    if (!extra.empty()) keys.push_back(extra);
#endif
    return keys;
}
