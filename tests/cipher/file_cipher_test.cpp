// The file rules of Enblow and Deblow, each test in its own temporary folder.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "cipher/blowfish.h"
#include "cipher/ciphon.h"
#include "cipher/file_cipher.h"

namespace fs = std::filesystem;
using quill::cipher::Allocator;
using quill::cipher::Blowfish;
using quill::cipher::cipher_file;
using quill::cipher::Direction;
using quill::cipher::Outcome;
using Bytes = std::vector<std::uint8_t>;

namespace {

const std::uint8_t kKey[20] = {0x00, 0x00, 0x13, 0x37, 0xC0, 0xFF, 0xEE, 0x00, 0x42, 0x01,
                               0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x00};

Bytes random_bytes(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    Bytes v(n);
    for (auto& b : v) b = static_cast<std::uint8_t>(rng());
    return v;
}

Bytes engine_encipher(const Bytes& plain) {
    const Blowfish engine(kKey, 20);
    Bytes out(Blowfish::padded_length(plain.size()));
    engine.encipher_buffer(plain.data(), out.data(), plain.size());
    return out;
}

class FileCipher : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/ciphon-test.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(dir_, fs::perms::owner_all, ec);
        fs::remove_all(dir_, ec);
    }

    std::string path(const std::string& name) const { return dir_ + "/" + name; }

    void write(const std::string& name, const Bytes& data) const {
        std::FILE* f = std::fopen(path(name).c_str(), "wb");
        ASSERT_NE(f, nullptr);
        if (!data.empty()) {
            ASSERT_EQ(std::fwrite(data.data(), 1, data.size(), f), data.size());
        }
        std::fclose(f);
    }

    Bytes read(const std::string& name) const {
        Bytes data;
        std::FILE* f = std::fopen(path(name).c_str(), "rb");
        if (!f) return data;
        std::uint8_t chunk[4096];
        std::size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0)
            data.insert(data.end(), chunk, chunk + got);
        std::fclose(f);
        return data;
    }

    int enblow(const std::string& in, const std::string& out) const {
        return Enblow(path(in).c_str(), path(out).c_str(), kKey);
    }
    int deblow(const std::string& in, const std::string& out) const {
        return Deblow(path(in).c_str(), path(out).c_str(), kKey);
    }

    std::string dir_;
};

void* refuse(std::size_t) { return nullptr; }
void release(void*, std::size_t) {}

}  // namespace

TEST_F(FileCipher, EmptyInputGivesEmptyOutputBothWays) {
    write("empty", {});
    write("enc", Bytes(5, 1));
    EXPECT_EQ(enblow("empty", "enc"), 0);
    EXPECT_TRUE(fs::exists(path("enc")));
    EXPECT_TRUE(read("enc").empty());
    EXPECT_EQ(deblow("empty", "dec"), 0);
    EXPECT_TRUE(fs::exists(path("dec")));
    EXPECT_TRUE(read("dec").empty());
}

TEST_F(FileCipher, ShortInputsBecomeOneBlockAndComeBackZeroPadded) {
    for (std::size_t n = 1; n <= 7; ++n) {
        SCOPED_TRACE(n);
        const Bytes plain = random_bytes(n, static_cast<unsigned>(n));
        write("plain", plain);
        ASSERT_EQ(enblow("plain", "enc"), 0);
        const Bytes enc = read("enc");
        EXPECT_EQ(enc, engine_encipher(plain));
        ASSERT_EQ(enc.size(), 8u);
        ASSERT_EQ(deblow("enc", "dec"), 0);
        Bytes expected = plain;
        expected.resize(8, 0);
        EXPECT_EQ(read("dec"), expected);
    }
}

TEST_F(FileCipher, WholeBlocksRoundTripExactly) {
    const Bytes plain = random_bytes(64 * 1024 + 8, 3);
    write("plain", plain);
    ASSERT_EQ(enblow("plain", "enc"), 0);
    const Bytes enc = read("enc");
    EXPECT_EQ(enc.size(), plain.size());
    EXPECT_EQ(enc, engine_encipher(plain));
    ASSERT_EQ(deblow("enc", "dec"), 0);
    EXPECT_EQ(read("dec"), plain);
}

TEST_F(FileCipher, LargeFileIsTransformedPieceByPieceLikeOneBuffer) {
    // Several megabytes: many read pieces, the large-buffer allocation and
    // a final partial block.
    const Bytes plain = random_bytes((5u << 20) + 5, 4);
    write("plain", plain);
    ASSERT_EQ(enblow("plain", "enc"), 0);
    const Bytes enc = read("enc");
    ASSERT_EQ(enc.size(), plain.size() + 3);
    EXPECT_TRUE(enc == engine_encipher(plain));
    ASSERT_EQ(deblow("enc", "dec"), 0);
    Bytes expected = plain;
    expected.resize(enc.size(), 0);
    EXPECT_TRUE(read("dec") == expected);
}

TEST_F(FileCipher, EqualPlainBlocksGiveEqualCipherBlocks) {
    Bytes plain;
    for (int i = 0; i < 3; ++i) plain.insert(plain.end(), {'q', 'u', 'i', 'l', 'l', 's', 'e', 't'});
    write("plain", plain);
    ASSERT_EQ(enblow("plain", "enc"), 0);
    const Bytes enc = read("enc");
    ASSERT_EQ(enc.size(), 24u);
    EXPECT_TRUE(std::equal(enc.begin(), enc.begin() + 8, enc.begin() + 8));
    EXPECT_TRUE(std::equal(enc.begin(), enc.begin() + 8, enc.begin() + 16));
}

TEST_F(FileCipher, KeyIsAlwaysTwentyRawBytes) {
    // The key starts with zero bytes: a text-based reading would see none.
    write("plain", Bytes(16, 0x5A));
    ASSERT_EQ(enblow("plain", "enc"), 0);
    std::uint8_t other[20];
    std::copy(kKey, kKey + 20, other);
    other[19] ^= 0x80;
    ASSERT_EQ(Enblow(path("plain").c_str(), path("enc2").c_str(), other), 0);
    EXPECT_NE(read("enc"), read("enc2"));
    EXPECT_EQ(read("enc"), engine_encipher(Bytes(16, 0x5A)));
}

TEST_F(FileCipher, MissingOrUnusableInputEmptiesTheOutput) {
    write("out", Bytes(40, 7));
    EXPECT_EQ(enblow("no-such-file", "out"), 1);
    EXPECT_TRUE(fs::exists(path("out")));
    EXPECT_TRUE(read("out").empty());

    EXPECT_EQ(deblow("no-such-file", "fresh"), 1);
    EXPECT_TRUE(fs::exists(path("fresh")));

    // A folder is not a file to encipher.
    fs::create_directory(path("folder"));
    write("out", Bytes(40, 7));
    EXPECT_EQ(enblow("folder", "out"), 1);
    EXPECT_TRUE(read("out").empty());
}

TEST_F(FileCipher, SameFileAsInputAndOutputIsTransformedInPlace) {
    const Bytes plain = random_bytes(1003, 5);
    write("data", plain);
    ASSERT_EQ(enblow("data", "data"), 0);
    EXPECT_EQ(read("data"), engine_encipher(plain));
    // The same file under another spelling, and through a hard link.
    ASSERT_EQ(Deblow(path("data").c_str(), (dir_ + "/./data").c_str(), kKey), 0);
    Bytes expected = plain;
    expected.resize(1008, 0);
    EXPECT_EQ(read("data"), expected);

    fs::create_hard_link(path("data"), path("link"));
    ASSERT_EQ(enblow("data", "link"), 0);
    ASSERT_EQ(deblow("link", "data"), 0);
    EXPECT_EQ(read("data"), expected);
}

TEST_F(FileCipher, DeblowOnPartialBlockWritesExactlyItsInputLength) {
    const Bytes plain = random_bytes(16, 9);
    write("plain", plain);
    ASSERT_EQ(enblow("plain", "enc"), 0);
    Bytes enc = read("enc");
    enc.resize(13);  // no longer a whole number of blocks
    write("cut", enc);
    ASSERT_EQ(deblow("cut", "dec"), 0);
    const Bytes dec = read("dec");
    ASSERT_EQ(dec.size(), 13u);
    EXPECT_TRUE(std::equal(plain.begin(), plain.begin() + 8, dec.begin()));
}

TEST_F(FileCipher, UnallocatableInputDoesNotCrashOrDestroyData) {
    const Bytes plain = random_bytes(100, 1);
    write("plain", plain);
    write("out", Bytes(3, 3));
    const Allocator none{refuse, release};
    EXPECT_EQ(cipher_file(Direction::encipher, path("plain").c_str(), path("out").c_str(), kKey,
                          none),
              Outcome::input_too_large);
    EXPECT_TRUE(read("out").empty());
    EXPECT_EQ(read("plain"), plain);

    // In place, a failure leaves the one file as it was.
    EXPECT_EQ(cipher_file(Direction::decipher, path("plain").c_str(), path("plain").c_str(), kKey,
                          none),
              Outcome::input_too_large);
    EXPECT_EQ(read("plain"), plain);
}

TEST_F(FileCipher, UnwritableOutputAndNullArgumentsAreReported) {
    write("plain", Bytes(8, 1));
    EXPECT_EQ(enblow("plain", "missing-folder/out"), 3);
    EXPECT_EQ(Enblow(nullptr, path("out").c_str(), kKey), 4);
    EXPECT_EQ(Deblow(path("plain").c_str(), nullptr, kKey), 4);
    EXPECT_EQ(Enblow(path("plain").c_str(), path("out").c_str(), nullptr), 4);
    EXPECT_FALSE(fs::exists(path("out")));
}
