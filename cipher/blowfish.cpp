// Blowfish engine: 16 Feistel rounds over key-dependent S-boxes.
#include "cipher/blowfish.h"

#include <cstdlib>
#include <cstring>

#include "cipher/blowfish_tables.h"

namespace quill::cipher {
namespace {

inline std::uint32_t load_le32(const std::uint8_t* b) {
    return std::uint32_t{b[0]} | std::uint32_t{b[1]} << 8 | std::uint32_t{b[2]} << 16 |
           std::uint32_t{b[3]} << 24;
}

inline void store_le32(std::uint8_t* b, std::uint32_t v) {
    b[0] = static_cast<std::uint8_t>(v);
    b[1] = static_cast<std::uint8_t>(v >> 8);
    b[2] = static_cast<std::uint8_t>(v >> 16);
    b[3] = static_cast<std::uint8_t>(v >> 24);
}

// The round function. All five tables are reached from one address (the
// S-boxes and the P-array sit at fixed offsets in one record), so that a
// 32-bit build, with its seven usable registers, spends none on table
// pointers when the record lives on the stack.
template <typename Tables>
inline std::uint32_t f(const Tables& t, std::uint32_t x) {
    return ((t.s[0][x >> 24] + t.s[1][(x >> 16) & 0xFF]) ^ t.s[2][(x >> 8) & 0xFF]) +
           t.s[3][x & 0xFF];
}

// Blocks transformed together. Each block's rounds form one long chain of
// dependent table lookups; interleaving independent blocks lets the
// processor overlap their latencies. A 64-bit build keeps eight blocks in
// its sixteen registers. A 32-bit build has seven, yet five blocks measured
// fastest there (about 1.5x two blocks; the halves that do not fit stay in
// the stack frame, which store forwarding serves), ahead of four and eight.
#ifndef QUILL_CIPHER_LANES
#define QUILL_CIPHER_LANES (sizeof(void*) == 4 ? 5 : 8)
#endif
constexpr int kLanes = QUILL_CIPHER_LANES;

// The 16 rounds over kLanes independent blocks at once (ECB blocks are
// independent). The halves alternate instead of being swapped: the half
// just XORed with P[i] feeds F for the other. Deciphering is the same with
// the P-array in reverse order.
template <bool kEncipher, int kLanes, typename Tables>
inline void rounds(const Tables& t, std::uint32_t (&left)[kLanes],
                   std::uint32_t (&right)[kLanes]) {
    auto key = [&t](int i) { return t.p[kEncipher ? i : 17 - i]; };
    std::uint32_t a[kLanes], b[kLanes];
#pragma GCC unroll 8
    for (int j = 0; j < kLanes; ++j) {
        a[j] = left[j] ^ key(0);
        b[j] = right[j];
    }
#pragma GCC unroll 8
    for (int i = 1; i <= 16; i += 2) {
#pragma GCC unroll 8
        for (int j = 0; j < kLanes; ++j) b[j] ^= f(t, a[j]) ^ key(i);
#pragma GCC unroll 8
        for (int j = 0; j < kLanes; ++j) a[j] ^= f(t, b[j]) ^ key(i + 1);
    }
#pragma GCC unroll 8
    for (int j = 0; j < kLanes; ++j) {
        left[j] = b[j] ^ key(17);
        right[j] = a[j];
    }
}

template <bool kEncipher, typename Tables>
inline void transform_block(const Tables& t, std::uint32_t& left, std::uint32_t& right) {
    std::uint32_t l[1] = {left}, r[1] = {right};
    rounds<kEncipher, 1>(t, l, r);
    left = l[0];
    right = r[0];
}

template <bool kEncipher, int kLanes, typename Tables>
inline void transform_blocks(const Tables& t, const std::uint8_t* in, std::uint8_t* out) {
    std::uint32_t l[kLanes], r[kLanes];
#pragma GCC unroll 8
    for (int j = 0; j < kLanes; ++j) {
        l[j] = load_le32(in + 8 * j);
        r[j] = load_le32(in + 8 * j + 4);
    }
    rounds<kEncipher, kLanes>(t, l, r);
#pragma GCC unroll 8
    for (int j = 0; j < kLanes; ++j) {
        store_le32(out + 8 * j, l[j]);
        store_le32(out + 8 * j + 4, r[j]);
    }
}

// Transforms the whole blocks among the first n bytes. The tables are
// copied to the stack first (4 KiB, once per call): there they are reached
// from the stack pointer, which costs no register, and no store to `out`
// can alias them, so nothing is reloaded between blocks.
template <bool kEncipher, typename Tables>
void transform_buffer(const Tables& shared, const std::uint8_t* in, std::uint8_t* out,
                      std::size_t n) {
    Tables t;
    std::memcpy(&t, &shared, sizeof t);
    const std::size_t whole = n & ~std::size_t{7};
    std::size_t i = 0;
    for (; whole - i >= 8 * kLanes; i += 8 * kLanes)
        transform_blocks<kEncipher, kLanes>(t, in + i, out + i);
    for (; i < whole; i += 8) transform_blocks<kEncipher, 1>(t, in + i, out + i);
}

}  // namespace

Blowfish::Blowfish(const std::uint8_t* key, std::size_t key_length) noexcept
    : tables_(static_cast<Tables*>(std::malloc(sizeof(Tables)))) {
    if (!tables_) return;
    Tables& t = *tables_;
    std::memcpy(t.p, kInitialTables, sizeof t.p);
    std::memcpy(t.s, kInitialTables + 18, sizeof t.s);

    if (key_length > 0) {
        std::size_t at = 0;
        for (std::uint32_t& word : t.p) {
            std::uint32_t k = 0;
            for (int i = 0; i < 4; ++i) {
                k = k << 8 | key[at];
                at = (at + 1) % key_length;
            }
            word ^= k;
        }
    }

    // One chain of encipherings from the zero block fills the P-array and
    // then the S-boxes, each step using the tables as changed so far.
    std::uint32_t l = 0, r = 0;
    for (int i = 0; i < 18; i += 2) {
        transform_block<true>(t, l, r);
        t.p[i] = l;
        t.p[i + 1] = r;
    }
    for (auto& box : t.s) {
        for (int i = 0; i < 256; i += 2) {
            transform_block<true>(t, l, r);
            box[i] = l;
            box[i + 1] = r;
        }
    }
}

Blowfish::~Blowfish() = default;

void Blowfish::Release::operator()(Tables* t) const { std::free(t); }

void Blowfish::encipher_block(std::uint32_t& left, std::uint32_t& right) const {
    if (tables_) transform_block<true>(*tables_, left, right);
}

void Blowfish::decipher_block(std::uint32_t& left, std::uint32_t& right) const {
    if (tables_) transform_block<false>(*tables_, left, right);
}

std::size_t Blowfish::encipher_buffer(const std::uint8_t* in, std::uint8_t* out,
                                      std::size_t n) const {
    const std::size_t m = padded_length(n);
    if (!tables_) return m;
    const Tables& k = *tables_;
    transform_buffer<true>(k, in, out, n);
    const std::size_t whole = n & ~std::size_t{7};
    if (whole < n) {
        std::uint8_t block[8] = {};
        std::memcpy(block, in + whole, n - whole);
        transform_buffer<true>(k, block, out + whole, 8);
    }
    return m;
}

void Blowfish::decipher_buffer(const std::uint8_t* in, std::uint8_t* out, std::size_t n) const {
    if (!tables_) return;
    const Tables& k = *tables_;
    transform_buffer<false>(k, in, out, n);
    const std::size_t whole = n & ~std::size_t{7};
    if (whole < n) {
        std::uint8_t block[8] = {};
        std::memcpy(block, in + whole, n - whole);
        transform_buffer<false>(k, block, block, 8);
        std::memcpy(out + whole, block, n - whole);
    }
}

}  // namespace quill::cipher
