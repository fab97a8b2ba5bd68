#include "tools/devstack/devstack.h"

#include <httplib.h>

void registerTideService(httplib::Server&, const DevstackOptions&) {}
