// The Blowfish engine: published vector, buffer padding and bounds.
#include "cipher/blowfish.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

using quill::cipher::Blowfish;

namespace {

std::vector<std::uint8_t> random_bytes(std::mt19937& rng, std::size_t n) {
    std::vector<std::uint8_t> v(n);
    for (auto& b : v) b = static_cast<std::uint8_t>(rng());
    return v;
}

const std::uint8_t kKey[20] = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF, 0x00, 0x11,
                               0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0x00, 0xFF};

}  // namespace

TEST(Blowfish, ZeroKeyAndBlockGivePublishedVectorWithHalvesReversed) {
    // The published all-zero vector is 4E F9 97 45 61 98 DD 78; this engine
    // reads each half little-endian, so the bytes come out reversed per half.
    const std::uint8_t key[20] = {};
    const Blowfish engine(key, sizeof key);
    ASSERT_TRUE(engine.valid());
    std::uint8_t block[8] = {};
    EXPECT_EQ(engine.encipher_buffer(block, block, 8), 8u);
    const std::uint8_t expected[8] = {0x45, 0x97, 0xF9, 0x4E, 0x78, 0xDD, 0x98, 0x61};
    EXPECT_EQ(0, std::memcmp(block, expected, 8));

    std::uint32_t l = 0, r = 0;
    engine.encipher_block(l, r);
    EXPECT_EQ(l, 0x4EF99745u);
    EXPECT_EQ(r, 0x6198DD78u);
    engine.decipher_block(l, r);
    EXPECT_EQ(l, 0u);
    EXPECT_EQ(r, 0u);
}

TEST(Blowfish, PaddedLength) {
    EXPECT_EQ(Blowfish::padded_length(0), 0u);
    EXPECT_EQ(Blowfish::padded_length(1), 8u);
    EXPECT_EQ(Blowfish::padded_length(8), 8u);
    EXPECT_EQ(Blowfish::padded_length(9), 16u);
}

TEST(Blowfish, BuffersRoundTripInPlaceAndOutOfPlaceAlike) {
    std::mt19937 rng(7);
    const Blowfish engine(kKey, sizeof kKey);
    const auto plain = random_bytes(rng, 4096);

    std::vector<std::uint8_t> out(plain.size());
    ASSERT_EQ(engine.encipher_buffer(plain.data(), out.data(), plain.size()), plain.size());
    auto in_place = plain;
    engine.encipher_buffer(in_place.data(), in_place.data(), in_place.size());
    EXPECT_EQ(in_place, out);
    EXPECT_NE(out, plain);

    engine.decipher_buffer(out.data(), out.data(), out.size());
    EXPECT_EQ(out, plain);
}

TEST(Blowfish, EqualBlocksEncipherEquallyAndIndependently) {
    const Blowfish engine(kKey, sizeof kKey);
    std::uint8_t buffer[24];
    std::memcpy(buffer, "same8bytsame8bytother8by", 24);
    engine.encipher_buffer(buffer, buffer, 24);
    EXPECT_EQ(0, std::memcmp(buffer, buffer + 8, 8));
    EXPECT_NE(0, std::memcmp(buffer, buffer + 16, 8));
}

TEST(Blowfish, PartialFinalBlockIsZeroPaddedAndStaysInBounds) {
    std::mt19937 rng(11);
    const Blowfish engine(kKey, sizeof kKey);
    for (std::size_t n : {1u, 7u, 13u, 23u}) {
        SCOPED_TRACE(n);
        const auto plain = random_bytes(rng, n);
        // Enciphering n bytes equals enciphering them followed by zeros.
        auto padded = plain;
        padded.resize(Blowfish::padded_length(n), 0);
        auto expected = padded;
        engine.encipher_buffer(expected.data(), expected.data(), expected.size());
        std::vector<std::uint8_t> out(Blowfish::padded_length(n), 0xAA);
        EXPECT_EQ(engine.encipher_buffer(plain.data(), out.data(), n), padded.size());
        EXPECT_EQ(out, expected);

        // Deciphering n bytes touches exactly n bytes of the output: the
        // canary after them survives, and the input is read only up to n
        // (the exact-size vector lets the sanitizer catch an over-read).
        std::vector<std::uint8_t> cipher(out.begin(), out.begin() + static_cast<long>(n));
        std::vector<std::uint8_t> back(n + 8, 0xC3);
        engine.decipher_buffer(cipher.data(), back.data(), n);
        for (std::size_t i = n; i < back.size(); ++i) ASSERT_EQ(back[i], 0xC3) << i;
        if (n >= 8) {
            EXPECT_EQ(0, std::memcmp(back.data(), plain.data(), n & ~std::size_t{7}));
        }
        engine.decipher_buffer(cipher.data(), cipher.data(), n);
        EXPECT_EQ(0, std::memcmp(cipher.data(), back.data(), n));
    }
}

TEST(Blowfish, KeyIsRawBytesIncludingZeros) {
    std::uint8_t a[20] = {};
    std::uint8_t b[20] = {};
    b[19] = 1;  // differs only after the leading zero bytes
    const Blowfish ea(a, 20), eb(b, 20);
    std::uint32_t la = 1, ra = 2, lb = 1, rb = 2;
    ea.encipher_block(la, ra);
    eb.encipher_block(lb, rb);
    EXPECT_TRUE(la != lb || ra != rb);
}
