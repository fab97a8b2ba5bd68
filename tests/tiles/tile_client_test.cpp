// The catalogue and one tile's download against the tile stand-in (401 refresh and cancel: the queue's tests).
#include "tests/tiles/tile_standin.h"
#include "tiles/cache_files.h"
#include "tiles/tile_download.h"

#include "tests/support/process.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <tuple>

namespace fs = std::filesystem;

namespace {

struct Fetched {
    CatalogueResult result;
    std::vector<CatalogueTile> tiles;
    std::string err;
};

Fetched fetch() {
    Fetched f;
    f.err = captureStreams([&] { f.result = fetchCatalogue(f.tiles); }).err;
    return f;
}

struct Downloaded {
    TileResult code;
    std::string err;
    std::vector<double> progress;
};

Downloaded download(const CatalogueTile& tile, const std::string& destination) {
    Downloaded d;
    d.err = captureStreams([&] {
        d.code = downloadTile(tile, destination, [&](double f) { d.progress.push_back(f); }, nullptr);
    }).err;
    return d;
}

} // namespace

// A first sync, then the same catalogue by its entity tag from the cache (the merge's rules: tile_rules_test).
TEST(CatalogueFetch, EntityTagCacheAndTheMerge) {
    TileStandIn server;
    std::vector<TileInfo> list;
    CatalogueSyncSummary summary;
    EXPECT_EQ(captureStreams([&] { summary = syncCatalogue(list); }).out, "8 dalle(s) au catalogue, 8 nouvelle(s).\n");
    EXPECT_EQ(summary.message, "Catalogue synchronise");
    EXPECT_EQ(list.size(), 8u);
    EXPECT_EQ(captureStreams([&] { summary = syncCatalogue(list); }).out,
              "8 dalle(s) au catalogue (cache local), 0 nouvelle(s).\n");
    EXPECT_EQ(summary.message, "Catalogue a jour");

    // 304 with the cached body gone: the tag goes too, so the next request gets the whole catalogue.
    fs::remove(catalogueCacheFile());
    Fetched lost = fetch();
    EXPECT_FALSE(lost.result.ok);
    EXPECT_EQ(lost.result.code, 5);
    EXPECT_EQ(lost.result.message, "Cache du catalogue invalide, il sera retelecharge");
    EXPECT_FALSE(fs::exists(catalogueEtagFile()));
    const long before = server.count("/v1/catalog");
    Fetched again = fetch();
    EXPECT_TRUE(again.result.ok && !again.result.fromCache) << again.result.message;
    EXPECT_EQ(again.tiles.size(), 8u);
    EXPECT_EQ(server.count("/v1/catalog"), before + 1);
}

// What the server's failures give, with a usable cache and without one.
TEST(CatalogueFetch, FailuresFallBackToTheCache) {
    TileStandIn server;
    // The fault, whether a cache was there, the fetch's outcome, code and the start of its message.
    const std::tuple<const char*, bool, bool, int, std::string> cases[] = {
        {"503", true, true, 5, "Hors ligne : catalogue local (Erreur du serveur)"},
        {"503", false, false, 5, "Erreur du serveur"},
        {"garbage", true, false, 5, "catalogue illisible : "},  // a 200 that does not parse: no fallback
        {"oversize", true, true, 5, "Hors ligne : catalogue local (Erreur du serveur)"},  // stops at 64 MiB
    };
    for (const auto& [fault, withCache, ok, code, message] : cases) {
        server.fault({{"clear", true}});
        fs::remove_all(server.dir / "cache");
        if (withCache) {
            ASSERT_TRUE(fetch().result.ok);
        }
        server.fault({{"kind", fault}, {"target", "catalog"}});
        const Fetched f = fetch();
        EXPECT_EQ(std::tuple(f.result.ok, f.result.fromCache, f.result.code), std::tuple(ok, ok, code)) << fault;
        EXPECT_EQ(f.result.message.rfind(message, 0), 0u) << fault << " → " << f.result.message;
        EXPECT_EQ(f.tiles.size(), ok ? 8u : 0u) << fault;
    }

    configureTileServer("", (server.dir / "cache").string());
    EXPECT_EQ(fetch().result.message, "Serveur de dalles non configuré");
}

// TLS is verified: the test's own certificate is refused until ABYSTO_CA_FILE names it.
TEST(CatalogueFetch, HttpsWithTheTestsCertificate) {
    TempDir certs;
    const std::string cert = (certs / "cert.pem").string(), key = (certs / "key.pem").string();
    const ProcessResult made =
        runProcess("/usr/bin/openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj",
                                        "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1", "-keyout", key,
                                        "-out", cert});
    ASSERT_EQ(made.exitCode, 0) << made.output;
    TileStandIn server("100,6800,1,1", {"--tls-cert", cert, "--tls-key", key});
    ASSERT_TRUE(server.stack->started());
    const std::string https = "https://127.0.0.1:" + std::to_string(server.stack->port);
    configureTileServer(https, (server.dir / "cache").string());
    unsetenv("ABYSTO_CA_FILE");
    EXPECT_EQ(fetch().result.message, "Problème de connexion");
    setenv("ABYSTO_CA_FILE", cert.c_str(), 1);
    const Fetched trusted = fetch();
    unsetenv("ABYSTO_CA_FILE");
    EXPECT_TRUE(trusted.result.ok) << trusted.result.message;
}

TEST(TileDownload, AnswersOfTheServerAndAccounts) {
    TileStandIn server;
    ASSERT_TRUE(TileStandIn::signIn());
    const CatalogueTile& served = server.tile(101, 6800);
    const std::string n = std::to_string(served.size), unexpected = "[0101_6800] taille inattendue : ";
    using Change = std::function<void(CatalogueTile&)>;
    const Change same = [](CatalogueTile&) {};
    // The stand-in's fault, a change to the catalogue's entry, the result and all that is said on the error stream.
    const std::tuple<const char*, Change, TileResult, std::string> cases[] = {
        {"", same, 0, ""},
        {"wrong-digest", same, 0, ""},  // the catalogue's digest wins over the header's
        {"", [](CatalogueTile& t) { t.sha256.clear(); }, 0, ""},  // the header's upper-case digest
        {"", [](CatalogueTile& t) { t.sha256 = std::string(64, '0'); }, 7, "[0101_6800] SHA-256 incoherent\n"},
        {"redirect", same, 6, ""},  // not followed
        {"extra-byte", same, 7, unexpected + std::to_string(served.size + 1) + " au lieu de " + n + "\n"},
        {"oversize", same, 7, unexpected + "plus de " + n + " au lieu de " + n + "\n"},
        // Bounded by the header's size.
        {"oversize", [](CatalogueTile& t) { t.size = 0; }, 7, unexpected + "plus de " + n + " au lieu de " + n + "\n"},
    };
    for (const auto& [fault, change, code, err] : cases) {
        SCOPED_TRACE(std::string(fault) + " → " + err);
        server.fault({{"clear", true}});
        if (*fault) server.fault({{"kind", fault}});
        CatalogueTile tile = served;
        change(tile);
        const std::string destination = server.destination(tile);
        fs::remove(destination);
        if (code != 0) writeFile(destination, "ancienne dalle");
        const Downloaded d = download(tile, destination);
        EXPECT_EQ(d.code, code) << d.err;
        EXPECT_EQ(d.err, err);
        EXPECT_FALSE(fs::exists(destination + ".part"));
        if (code == 0) {
            EXPECT_EQ(sha256File(destination), served.sha256);
            EXPECT_EQ(d.progress.back(), 1.0);
        } else {
            EXPECT_EQ(readFile(destination), "ancienne dalle");
        }
    }
    // A ".part" that cannot be created is a disk fault, said once, not a cancel.
    const std::string blocked = server.destination(served) + ".bloquee";
    writeFile(blocked + ".part/occupe", "");
    const Downloaded full = download(served, blocked);
    EXPECT_EQ(full.code, TileCode::DiskWriteFailed) << full.err;
    EXPECT_EQ(full.err, "Impossible de creer " + blocked + ".part\n");

    // Signed out: no token, a refresh that cannot succeed, then 1; a blocked account: 2.
    server.fault({{"clear", true}});
    TileStandIn::signOut();
    const std::string destination = server.destination(served);
    EXPECT_EQ(download(served, destination).code, TileCode::SessionExpired);
    ASSERT_TRUE(TileStandIn::signIn("bloque@abysto.test"));
    EXPECT_EQ(download(served, destination).code, TileCode::AccessDenied);
    TileStandIn::signOut();
    configureTileServer("", "");
    EXPECT_EQ(download(served, destination + ".x").code, TileCode::NotConfigured);
    EXPECT_FALSE(fs::exists(destination + ".x.part"));
}
