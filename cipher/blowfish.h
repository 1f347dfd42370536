// Blowfish engine: key schedule, block transforms and buffer transforms in
// electronic codebook mode. Blocks are read as two little-endian 32-bit halves.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace quill::cipher {

class Blowfish {
public:
    // Allocates the tables and applies the key (any length of 1 to 56 bytes
    // is accepted; the file functions always pass 20). The key's bytes are
    // used cyclically, each group of four as a big-endian word. When the
    // tables cannot be allocated the engine is not valid() and every
    // transform leaves its output untouched.
    Blowfish(const std::uint8_t* key, std::size_t key_length) noexcept;
    ~Blowfish();
    Blowfish(const Blowfish&) = delete;
    Blowfish& operator=(const Blowfish&) = delete;

    bool valid() const { return tables_ != nullptr; }

    // One block as its two halves, enciphered or deciphered in place.
    void encipher_block(std::uint32_t& left, std::uint32_t& right) const;
    void decipher_block(std::uint32_t& left, std::uint32_t& right) const;

    // Enciphers n bytes of `in` into `out` and returns padded_length(n). A
    // final partial block is completed with zero bytes. `out` must hold
    // padded_length(n) bytes; it may be the same buffer as `in`.
    std::size_t encipher_buffer(const std::uint8_t* in, std::uint8_t* out, std::size_t n) const;

    // Deciphers n bytes of `in` into n bytes of `out` (which may be `in`).
    // A final partial block is completed with zero bytes, deciphered, and
    // its first n % 8 bytes written; nothing past n is read or written.
    void decipher_buffer(const std::uint8_t* in, std::uint8_t* out, std::size_t n) const;

    // n rounded up to a multiple of the 8-byte block.
    static constexpr std::size_t padded_length(std::size_t n) { return (n + 7) & ~std::size_t{7}; }

private:
    struct Tables {
        std::uint32_t p[18];
        std::uint32_t s[4][256];
    };
    struct Release {
        void operator()(Tables* t) const;
    };
    std::unique_ptr<Tables, Release> tables_;
};

}  // namespace quill::cipher
