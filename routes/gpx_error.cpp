#include "routes/gpx_error.h"

namespace {
// The view loop runs imports and exports on the main thread only.
std::string lastError;
} // namespace

const std::string& lastGpxError() { return lastError; }
void setLastGpxError(const std::string& message) { lastError = message; }
