// Blowfish engine: 16 Feistel rounds over key-dependent S-boxes.
#include "cipher/blowfish.h"

#include <cstring>
#include <new>

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

// The round function works on raw table pointers held in locals, so that
// stores into byte buffers (which may alias anything) do not force the
// compiler to reload them between blocks.
struct Keyed {
    const std::uint32_t* p;
    const std::uint32_t* s0;
    const std::uint32_t* s1;
    const std::uint32_t* s2;
    const std::uint32_t* s3;

    std::uint32_t f(std::uint32_t x) const {
        return ((s0[x >> 24] + s1[(x >> 16) & 0xFF]) ^ s2[(x >> 8) & 0xFF]) + s3[x & 0xFF];
    }

    // Rounds written out with the halves alternating instead of swapped: the
    // half that was XORed with P[i] feeds F for the other half.
    void encipher(std::uint32_t& left, std::uint32_t& right) const {
        std::uint32_t a = left ^ p[0];
        std::uint32_t b = right;
        b ^= f(a) ^ p[1];   a ^= f(b) ^ p[2];
        b ^= f(a) ^ p[3];   a ^= f(b) ^ p[4];
        b ^= f(a) ^ p[5];   a ^= f(b) ^ p[6];
        b ^= f(a) ^ p[7];   a ^= f(b) ^ p[8];
        b ^= f(a) ^ p[9];   a ^= f(b) ^ p[10];
        b ^= f(a) ^ p[11];  a ^= f(b) ^ p[12];
        b ^= f(a) ^ p[13];  a ^= f(b) ^ p[14];
        b ^= f(a) ^ p[15];  a ^= f(b) ^ p[16];
        left = b ^ p[17];
        right = a;
    }

    void decipher(std::uint32_t& left, std::uint32_t& right) const {
        std::uint32_t a = left ^ p[17];
        std::uint32_t b = right;
        b ^= f(a) ^ p[16];  a ^= f(b) ^ p[15];
        b ^= f(a) ^ p[14];  a ^= f(b) ^ p[13];
        b ^= f(a) ^ p[12];  a ^= f(b) ^ p[11];
        b ^= f(a) ^ p[10];  a ^= f(b) ^ p[9];
        b ^= f(a) ^ p[8];   a ^= f(b) ^ p[7];
        b ^= f(a) ^ p[6];   a ^= f(b) ^ p[5];
        b ^= f(a) ^ p[4];   a ^= f(b) ^ p[3];
        b ^= f(a) ^ p[2];   a ^= f(b) ^ p[1];
        left = b ^ p[0];
        right = a;
    }
};

template <typename Tables>
Keyed keyed(const Tables& t) {
    return Keyed{t.p, t.s[0], t.s[1], t.s[2], t.s[3]};
}

template <bool kEncipher>
void transform_buffer(const Keyed& k, const std::uint8_t* in, std::uint8_t* out, std::size_t n) {
    const std::size_t whole = n & ~std::size_t{7};
    for (std::size_t i = 0; i < whole; i += 8) {
        std::uint32_t l = load_le32(in + i);
        std::uint32_t r = load_le32(in + i + 4);
        if (kEncipher)
            k.encipher(l, r);
        else
            k.decipher(l, r);
        store_le32(out + i, l);
        store_le32(out + i + 4, r);
    }
}

}  // namespace

Blowfish::Blowfish(const std::uint8_t* key, std::size_t key_length) noexcept
    : tables_(new (std::nothrow) Tables) {
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
        keyed(t).encipher(l, r);
        t.p[i] = l;
        t.p[i + 1] = r;
    }
    for (auto& box : t.s) {
        for (int i = 0; i < 256; i += 2) {
            keyed(t).encipher(l, r);
            box[i] = l;
            box[i + 1] = r;
        }
    }
}

Blowfish::~Blowfish() = default;

void Blowfish::encipher_block(std::uint32_t& left, std::uint32_t& right) const {
    if (tables_) keyed(*tables_).encipher(left, right);
}

void Blowfish::decipher_block(std::uint32_t& left, std::uint32_t& right) const {
    if (tables_) keyed(*tables_).decipher(left, right);
}

std::size_t Blowfish::encipher_buffer(const std::uint8_t* in, std::uint8_t* out,
                                      std::size_t n) const {
    const std::size_t m = padded_length(n);
    if (!tables_) return m;
    const Keyed k = keyed(*tables_);
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
    const Keyed k = keyed(*tables_);
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
