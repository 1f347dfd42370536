// Whole-file enciphering and deciphering with a 20-byte Blowfish key: the
// logic behind the library's two exports.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quill::cipher {

constexpr std::size_t kKeyLength = 20;

enum class Direction { encipher, decipher };

// What a call achieved. The exports return it as an int; callers that
// ignore it lose nothing.
enum class Outcome : int {
    done = 0,
    input_unreadable = 1,   // missing, not a regular file, or a read failed
    input_too_large = 2,    // no memory for the input (or it exceeds the address space)
    output_unwritable = 3,  // the output could not be created or written in full
    bad_argument = 4,       // a null path or key
};

// Memory for the file buffer; replaceable so that tests can refuse it.
struct Allocator {
    void* (*allocate)(std::size_t bytes);
    void (*release)(void* block, std::size_t bytes);
};

Allocator default_allocator();

// Enciphers (or deciphers) the file at `input_path` into `output_path`.
// The input is read whole before the output is opened, so both may name the
// same file. Enciphering writes the input's length rounded up to a multiple
// of 8, the last block padded with zero bytes; deciphering writes exactly
// the input's length. When the input cannot be read or held in memory, the
// output is created empty, except that a file that is both input and output
// is left untouched.
Outcome cipher_file(Direction direction, const char* input_path, const char* output_path,
                    const std::uint8_t* key, const Allocator& allocator) noexcept;

}  // namespace quill::cipher
