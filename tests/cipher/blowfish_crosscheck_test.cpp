// The engine against an independent Blowfish implementation (OpenSSL's),
// which uses big-endian halves: bytes are reversed within each 4-byte half
// on the way in and out.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/blowfish.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "cipher/blowfish.h"

using quill::cipher::Blowfish;

namespace {

void reverse_halves(std::uint8_t* block) {
    std::swap(block[0], block[3]);
    std::swap(block[1], block[2]);
    std::swap(block[4], block[7]);
    std::swap(block[5], block[6]);
}

// Reference ECB over whole blocks.
std::vector<std::uint8_t> reference(const std::vector<std::uint8_t>& key,
                                    std::vector<std::uint8_t> data, int mode) {
    BF_KEY schedule;
    BF_set_key(&schedule, static_cast<int>(key.size()), key.data());
    for (std::size_t i = 0; i < data.size(); i += 8) {
        std::uint8_t block[8];
        std::copy(data.begin() + static_cast<long>(i), data.begin() + static_cast<long>(i) + 8,
                  block);
        reverse_halves(block);
        BF_ecb_encrypt(block, block, &schedule, mode);
        reverse_halves(block);
        std::copy(block, block + 8, data.begin() + static_cast<long>(i));
    }
    return data;
}

std::vector<std::uint8_t> random_bytes(std::mt19937& rng, std::size_t n) {
    std::vector<std::uint8_t> v(n);
    for (auto& b : v) b = static_cast<std::uint8_t>(rng());
    return v;
}

}  // namespace

TEST(BlowfishCrossCheck, TwentyByteKeysMatchIndependentImplementation) {
    std::mt19937 rng(2024);
    std::vector<std::vector<std::uint8_t>> keys = {
        std::vector<std::uint8_t>(20, 0x00), std::vector<std::uint8_t>(20, 0xFF)};
    for (int i = 0; i < 8; ++i) keys.push_back(random_bytes(rng, 20));

    for (const auto& key : keys) {
        const Blowfish engine(key.data(), key.size());
        const auto plain = random_bytes(rng, 8 * 67);  // groups of blocks and a remainder
        auto cipher = plain;
        engine.encipher_buffer(cipher.data(), cipher.data(), cipher.size());
        ASSERT_EQ(cipher, reference(key, plain, BF_ENCRYPT));

        // Deciphering is checked on its own input, not only as an inverse.
        const auto foreign = random_bytes(rng, 8 * 16);
        auto deciphered = foreign;
        engine.decipher_buffer(deciphered.data(), deciphered.data(), deciphered.size());
        ASSERT_EQ(deciphered, reference(key, foreign, BF_DECRYPT));
    }
}

TEST(BlowfishCrossCheck, OtherKeyLengthsUseTheKeyCyclically) {
    std::mt19937 rng(99);
    for (std::size_t length : {1u, 5u, 8u, 16u, 33u, 56u}) {
        SCOPED_TRACE(length);
        const auto key = random_bytes(rng, length);
        const Blowfish engine(key.data(), key.size());
        const auto plain = random_bytes(rng, 64);
        auto cipher = plain;
        engine.encipher_buffer(cipher.data(), cipher.data(), cipher.size());
        EXPECT_EQ(cipher, reference(key, plain, BF_ENCRYPT));
    }
}
