#include "tiles/file_digest.h"

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

// Known answers (FIPS 180-4 examples), and a file longer than one read block
// whose digest sha256sum gives.
TEST(FileDigest, Sha256OfFilesAndTheirComparison) {
    TempDir dir;
    writeFile(dir / "empty", "");
    writeFile(dir / "abc", "abc");
    std::string big;
    for (int i = 0; i < 200000; ++i) big += static_cast<char>('a' + i % 26);
    writeFile(dir / "big", big);
    EXPECT_EQ(sha256File((dir / "empty").string()), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(sha256File((dir / "abc").string()), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(sha256File((dir / "big").string()), "215fd793b3307b85788c29cd609b538beebaf5fb352bdf7c549fb6951ce0314d");
    EXPECT_EQ(sha256File((dir / "missing").string()), "");
    EXPECT_EQ(sha256File(dir.str()), "");  // a folder cannot be read

    const struct {
        const char *a, *b;
        bool equal;
    } cases[] = {{"abc0", "ABC0", true}, {"abc0", "abc1", false}, {"", "", false},
                 {"abc", "abcd", false}, {"AbC", "aBc", true},   {"ab", "", false}};
    for (const auto& c : cases) EXPECT_EQ(digestsEqual(c.a, c.b), c.equal) << c.a << " / " << c.b;
}
