// sign-update keygen PRIVATE_KEY.pem
//     writes a new P-256 key pair (the private key readable by the user alone)
//     and prints the public key as the program compiles it in (128 hex digits).
// sign-update sign --key PRIVATE_KEY.pem --file INSTALLER --version V --min-supported V
//                  --rollout PERCENT [--changelog FILE] [--platform NAME] [--name FILE_NAME]
//                  --out MANIFEST.json
//     writes the signed manifest offering INSTALLER (platform linux-x64 unless given,
//     file name the installer's own unless given).
#include "tiles/file_digest.h"
#include "tools/sign-update/update_signer.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>

namespace fs = std::filesystem;

namespace {

int usage() {
    std::cerr << "usage : sign-update keygen CLE_PRIVEE.pem\n"
                 "        sign-update sign --key CLE_PRIVEE.pem --file INSTALLEUR --version V --min-supported V\n"
                 "                         --rollout POURCENT [--changelog FICHIER] [--platform NOM] [--name NOM]\n"
                 "                         --out MANIFESTE.json"
              << std::endl;
    return 2;
}

int keygen(const std::string& file) {
    std::string error;
    const SigningKey key = generateSigningKey(file, error);
    if (!key.valid()) {
        std::cerr << error << std::endl;
        return 1;
    }
    std::cout << publicKeyHex(key) << std::endl;
    return 0;
}

int sign(const std::map<std::string, std::string>& options) {
    for (const char* required : {"key", "file", "version", "min-supported", "rollout", "out"})
        if (!options.count(required)) return usage();
    auto option = [&](const char* name, const std::string& fallback) {
        const auto found = options.find(name);
        return found == options.end() ? fallback : found->second;
    };
    std::string error;
    const SigningKey key = loadSigningKey(options.at("key"), error);
    if (!key.valid()) {
        std::cerr << error << std::endl;
        return 1;
    }
    const std::string installer = options.at("file");
    std::error_code ec;
    const auto size = fs::file_size(installer, ec);
    const std::string digest = sha256File(installer);
    if (ec || digest.empty()) {
        std::cerr << "installeur illisible : " << installer << std::endl;
        return 1;
    }
    UpdateManifest manifest;
    manifest.version = options.at("version");
    manifest.minSupported = options.at("min-supported");
    try {
        manifest.rollout = std::stoi(options.at("rollout"));
    } catch (const std::exception&) {
        return usage();
    }
    manifest.fileName = option("name", fs::path(installer).filename().string());
    manifest.fileSize = static_cast<int64_t>(size);
    manifest.fileSha256 = digest;
    if (options.count("changelog")) {
        std::ifstream in(options.at("changelog"), std::ios::binary);
        if (!in) {
            std::cerr << "changelog illisible : " << options.at("changelog") << std::endl;
            return 1;
        }
        std::ostringstream text;
        text << in.rdbuf();
        manifest.changelog = text.str();
    }
    if (manifest.rollout < 0 || manifest.rollout > 100 || !isSafeUpdateFileName(manifest.fileName)) {
        std::cerr << "pourcentage ou nom de fichier refuse par le programme" << std::endl;
        return 1;
    }
    std::ofstream out(options.at("out"), std::ios::binary | std::ios::trunc);
    out << signedManifestJson(key, option("platform", "linux-x64"), manifest) << '\n';
    if (!out) {
        std::cerr << "impossible d'ecrire " << options.at("out") << std::endl;
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "keygen") return keygen(argv[2]);
    if (argc < 2 || std::string(argv[1]) != "sign" || argc % 2 != 0) return usage();
    std::map<std::string, std::string> options;
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (name.rfind("--", 0) != 0) return usage();
        options[name.substr(2)] = argv[i + 1];
    }
    return sign(options);
}
