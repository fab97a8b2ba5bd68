// The catalogue through HTTP with the tile stand-in: entity tags and the
// cache, the server's failures with and without a cache, hostile answers, TLS.
#include "platform/http_client.h"
#include "tests/tiles/tile_standin.h"
#include "tiles/cache_files.h"

#include "tests/support/process.h"

#include <gtest/gtest.h>

#include <cstdlib>

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

} // namespace

TEST(CatalogueFetch, EntityTagAndCache) {
    TileStandIn server;
    Fetched first = fetch();
    EXPECT_TRUE(first.result.ok && !first.result.fromCache) << first.result.message;
    EXPECT_EQ(first.result.message, "Catalogue synchronise");
    EXPECT_EQ(first.tiles.size(), 8u);
    EXPECT_EQ(first.tiles[0].path,
              "LITTO3D_FRA_0100_6800_R2/MNT1m/LITTO3D_FRA_0100_6800_MNT1M_2021_LAMB93_RGF93_IGN69.asc");
    const std::string etag = readWholeFile(catalogueEtagFile());
    EXPECT_EQ(etag.front(), '"');
    EXPECT_FALSE(readWholeFile(catalogueCacheFile()).empty());

    Fetched second = fetch();
    EXPECT_TRUE(second.result.ok && second.result.fromCache);
    EXPECT_EQ(second.result.message, "Catalogue a jour");
    EXPECT_EQ(second.tiles.size(), 8u);

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
    EXPECT_EQ(server.count("/v1/catalog"), before + 1);

    // The stand-in compresses (gzip or br) when asked, as the client always does.
    HttpRequest request;
    request.url = server.stack->url() + "/v1/catalog";
    request.acceptAnyEncoding = true;
    std::string headers, body;
    request.onHeader = [&](const char* data, size_t size) { headers.append(data, size); };
    httpFetch(request, body);
    EXPECT_NE(headers.find("Content-Encoding: "), std::string::npos) << headers;
}

// What the server's failures give, with a usable cache and without one.
TEST(CatalogueFetch, FailuresFallBackToTheCache) {
    TileStandIn server;
    const struct {
        const char* fault;
        bool withCache;
        bool ok;
        int code;
        const char* message;  // start of it
    } cases[] = {
        {"503", true, true, 5, "Hors ligne : catalogue local (Erreur du serveur)"},
        {"503", false, false, 5, "Erreur du serveur"},
        {"404", true, true, 3, "Hors ligne : catalogue local (Dalle indisponible sur le serveur)"},
        {"429", false, false, 4, "Limite de téléchargement atteinte, réessayez plus tard"},
        {"garbage", true, false, 5, "catalogue illisible : "},  // a 200 that does not parse: no fallback
        {"oversize", true, true, 5, "Hors ligne : catalogue local (Erreur du serveur)"},  // stops at 64 MiB
    };
    for (const auto& c : cases) {
        server.fault({{"clear", true}});
        fs::remove_all(server.dir / "cache");
        if (c.withCache) {
            ASSERT_TRUE(fetch().result.ok);
        }
        server.fault({{"kind", c.fault}, {"target", "catalog"}});
        const Fetched f = fetch();
        EXPECT_EQ(f.result.ok, c.ok) << c.fault;
        EXPECT_EQ(f.result.fromCache, c.ok) << c.fault;
        EXPECT_EQ(f.result.code, c.code) << c.fault;
        EXPECT_EQ(f.result.message.rfind(c.message, 0), 0u) << c.fault << " → " << f.result.message;
        EXPECT_EQ(f.tiles.size(), c.ok ? 8u : 0u) << c.fault;
    }

    server.fault({{"clear", true}});
    configureTileServer(closedPortUrl(), (server.dir / "cache").string());
    const Fetched offline = fetch();
    EXPECT_TRUE(offline.result.ok && offline.result.fromCache);
    EXPECT_EQ(offline.result.message, "Hors ligne : catalogue local (Problème de connexion)");
    configureTileServer("", (server.dir / "cache").string());
    EXPECT_EQ(fetch().result.message, "Serveur de dalles non configuré");
}

TEST(CatalogueSync, MergesAndSummarises) {
    TileStandIn server;
    std::vector<TileInfo> list(2);
    list[0].gx = 100, list[0].gy = 6800, list[0].isLocal = true;  // also on the server
    list[1].gx = 5, list[1].gy = 5, list[1].isLocal = true;        // only local
    CatalogueSyncSummary summary;
    EXPECT_EQ(captureStreams([&] { summary = syncCatalogue(list); }).out, "8 dalle(s) au catalogue, 7 nouvelle(s).\n");
    EXPECT_TRUE(summary.ok && !summary.fromCache);
    EXPECT_EQ(summary.total, 8);
    EXPECT_EQ(list.size(), 9u);

    EXPECT_EQ(captureStreams([&] { summary = syncCatalogue(list); }).out,
              "8 dalle(s) au catalogue (cache local), 0 nouvelle(s).\n");

    server.fault({{"kind", "500"}, {"target", "catalog"}});
    fs::remove_all(server.dir / "cache");
    EXPECT_EQ(captureStreams([&] { summary = syncCatalogue(list); }).err, "Catalogue indisponible : Erreur du serveur\n");
    EXPECT_FALSE(summary.ok);
    EXPECT_EQ(list.size(), 9u);
}

// TLS is really verified: a certificate of the test's own is refused until
// ABYSTO_CA_FILE names it.
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
    const Fetched refused = fetch();
    EXPECT_FALSE(refused.result.ok);
    EXPECT_EQ(refused.result.message, "Problème de connexion");
    setenv("ABYSTO_CA_FILE", cert.c_str(), 1);
    const Fetched trusted = fetch();
    unsetenv("ABYSTO_CA_FILE");
    EXPECT_TRUE(trusted.result.ok) << trusted.result.message;
    EXPECT_EQ(trusted.tiles.size(), 1u);
}
