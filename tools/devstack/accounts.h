// The accounts of the local stand-in, shared by the account service (sign-in)
// and the tile service (which refuses blocked ones).
//
// "--accounts FILE" names a JSON array of accounts:
//   [{"email": "marin@example.fr", "password": "secret1", "username": "Marin",
//     "profile": "Marin", "id": "…", "blocked": true}, ...]
//   email, password  required
//   id               the user id (default: a UUID made from the e-mail)
//   username         the name given at sign-up, answered in "user_metadata"
//                    (absent: the answers carry no "user_metadata")
//   profile          the name in the profiles table (absent: no profile row)
//   blocked          true: the tile server refuses the account (403)
// "--account EMAIL:PASSWORD" adds one account whose username and profile are
// the part of the e-mail before '@'.
#pragma once

#include "tools/devstack/devstack.h"

#include <optional>
#include <string>
#include <vector>

struct StandInAccount {
    std::string id;
    std::string email;
    std::string password;
    std::optional<std::string> username;
    std::optional<std::string> profile;
    bool blocked = false;
    bool confirmed = true;  // false after a sign-up: the address is still to be confirmed
};

// False with a French line in `error` when the file cannot be read.
bool loadStandInAccounts(const DevstackOptions& options, std::vector<StandInAccount>& accounts, std::string& error);

// A stable UUID-shaped id for an e-mail address.
std::string standInUserId(const std::string& email);
