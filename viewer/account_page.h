// Where "Mon compte" leads: the account dashboard of the product's web site.
#pragma once

#include <string>

inline constexpr const char* kAccountDashboardUrl = "https://abysto3d.fr/compte";

// ABYSTO_ACCOUNT_URL when set and not empty, else the built-in address.
std::string accountDashboardUrl();
