#include "tools/devstack/devstack.h"

#include <httplib.h>

void registerWmsService(httplib::Server&, const DevstackOptions&) {}
