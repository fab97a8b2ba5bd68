// The reason of the last failed GPX import or export, as the route window
// shows it. Cleared when either starts.
#pragma once

#include <string>

const std::string& lastGpxError();
void setLastGpxError(const std::string& message);
