// The buffer transforms interleave blocks; every block count, odd ones and
// those around the interleaving width, gives what the one-block transform
// gives. Built into the cipher tests with the native width, and once more
// with the 32-bit build's width.
#include "cipher/blowfish.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#ifndef LANES_SUITE
#define LANES_SUITE BlowfishLanes
#endif

TEST(LANES_SUITE, InterleavedBuffersEqualOneBlockAtATime) {
    std::mt19937 rng(5);
    const std::uint8_t key[20] = {9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    const quill::cipher::Blowfish engine(key, sizeof key);
    for (std::size_t blocks = 1; blocks <= 27; ++blocks) {
        SCOPED_TRACE(blocks);
        std::vector<std::uint8_t> plain(8 * blocks), expected(8 * blocks), out(8 * blocks);
        for (auto& b : plain) b = static_cast<std::uint8_t>(rng());
        for (std::size_t i = 0; i < plain.size(); i += 8) {
            std::uint32_t h[2] = {0, 0};
            for (int k = 0; k < 8; ++k) h[k / 4] |= std::uint32_t{plain[i + k]} << (8 * (k % 4));
            engine.encipher_block(h[0], h[1]);
            for (int k = 0; k < 8; ++k) expected[i + k] = static_cast<std::uint8_t>(h[k / 4] >> (8 * (k % 4)));
        }
        engine.encipher_buffer(plain.data(), out.data(), plain.size());
        EXPECT_EQ(out, expected);
        engine.decipher_buffer(out.data(), out.data(), out.size());
        EXPECT_EQ(out, plain);
    }
}
