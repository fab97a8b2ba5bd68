#include "viewer/account_page.h"

#include <cstdlib>

std::string accountDashboardUrl() {
    const char* custom = std::getenv("ABYSTO_ACCOUNT_URL");
    if (custom && *custom) return custom;
    return kAccountDashboardUrl;
}
