// The account stand-in with a few accounts (one blocked), the client pointed at it; the tile stand-in builds on it.
#pragma once

#include "account/account_session.h"
#include "account/backend_config.h"
#include "tests/support/devstack_process.h"
#include "tests/support/log_capture.h"

#include <memory>

struct AuthStandIn {
    TempDir dir;
    std::unique_ptr<DevstackProcess> stack;

    explicit AuthStandIn(std::vector<std::string> args = {}) {
        writeFile(dir / "accounts.json", R"([
            {"email": "marin@abysto.test", "password": "pa\"ss\\mot", "username": "Marin", "profile": "Autre"},
            {"email": "profil@abysto.test", "password": "secret1", "profile": "Capitaine"},
            {"email": "anonyme@abysto.test", "password": "secret1"},
            {"email": "bloque@abysto.test", "password": "secret1", "blocked": true}])");
        args.insert(args.end(), {"--accounts", (dir / "accounts.json").string()});
        stack = std::make_unique<DevstackProcess>(args);
        configureBackend(stack->url(), kDefaultAuthAnonKey);
        signOut();  // whatever an earlier test left signed in
    }

    static void signOut() { captureStreams([] { logout(); }); }
    static bool signIn(const char* email = "profil@abysto.test") {
        bool signedIn = false;
        captureStreams([&] { signedIn = login(email, "secret1").signedIn; });
        return signedIn;
    }
};
