// The buffer transforms interleave several blocks; every block count, odd
// ones and those around the interleaving width, must give what the
// one-block transform gives. Compiled into the cipher tests with the
// native width, and once more with the 32-bit build's width of five.
#include "cipher/blowfish.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#ifndef LANES_SUITE
#define LANES_SUITE BlowfishLanes
#endif

using quill::cipher::Blowfish;

namespace {

std::uint32_t load(const std::uint8_t* b) {
    return std::uint32_t{b[0]} | std::uint32_t{b[1]} << 8 | std::uint32_t{b[2]} << 16 |
           std::uint32_t{b[3]} << 24;
}

void store(std::uint8_t* b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace

TEST(LANES_SUITE, InterleavedBuffersEqualOneBlockAtATime) {
    std::mt19937 rng(5);
    std::uint8_t key[20];
    for (auto& k : key) k = static_cast<std::uint8_t>(rng());
    const Blowfish engine(key, sizeof key);
    for (std::size_t blocks = 1; blocks <= 27; ++blocks) {
        SCOPED_TRACE(blocks);
        std::vector<std::uint8_t> plain(8 * blocks);
        for (auto& b : plain) b = static_cast<std::uint8_t>(rng());
        std::vector<std::uint8_t> expected(plain);
        for (std::size_t i = 0; i < expected.size(); i += 8) {
            std::uint32_t l = load(&expected[i]), r = load(&expected[i + 4]);
            engine.encipher_block(l, r);
            store(&expected[i], l);
            store(&expected[i + 4], r);
        }
        std::vector<std::uint8_t> out(plain.size());
        engine.encipher_buffer(plain.data(), out.data(), plain.size());
        EXPECT_EQ(out, expected);
        engine.decipher_buffer(out.data(), out.data(), out.size());
        EXPECT_EQ(out, plain);
    }
}
