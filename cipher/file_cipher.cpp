// Whole-file cipher: read the input into one buffer, transform it in place,
// write it out.
#include "cipher/file_cipher.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cipher/blowfish.h"
#include "cipher/file_info.h"

namespace quill::cipher {
namespace {

// Large transfers go through stdio in pieces that every C runtime handles.
constexpr std::size_t kChunk = std::size_t{1} << 24;

class File {
public:
    File(const char* path, const char* mode) : f_(std::fopen(path, mode)) {}
    ~File() { close(); }
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    std::FILE* get() const { return f_; }
    bool close() {
        if (!f_) return true;
        const bool ok = std::fclose(f_) == 0;
        f_ = nullptr;
        return ok;
    }

private:
    std::FILE* f_;
};

class Buffer {
public:
    Buffer(const Allocator& allocator, std::size_t bytes)
        : allocator_(allocator),
          data_(static_cast<std::uint8_t*>(allocator.allocate(bytes ? bytes : 1))) {}
    ~Buffer() {
        if (data_) allocator_.release(data_);
    }
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;
    std::uint8_t* get() const { return data_; }

private:
    Allocator allocator_;
    std::uint8_t* data_;
};

// The documented result of an input that cannot be used is an empty output;
// but when the output is the input itself, emptying it would destroy the
// very data that could not be read, so that file is left alone.
Outcome give_up_on_input(Outcome why, const char* input_path, const char* output_path) {
    if (!same_file(input_path, output_path)) {
        File out(output_path, "wb");
    }
    return why;
}

}  // namespace

Allocator default_allocator() { return Allocator{std::malloc, std::free}; }

Outcome cipher_file(Direction direction, const char* input_path, const char* output_path,
                    const std::uint8_t* key, const Allocator& allocator) noexcept {
    if (!input_path || !output_path || !key) return Outcome::bad_argument;

    File in(input_path, "rb");
    std::uint64_t size = 0;
    if (!in.get() || !regular_file_size(in.get(), size))
        return give_up_on_input(Outcome::input_unreadable, input_path, output_path);
    if (size > SIZE_MAX - 7)
        return give_up_on_input(Outcome::input_too_large, input_path, output_path);

    // One buffer of the padded length serves as both input and output.
    const std::size_t capacity = Blowfish::padded_length(static_cast<std::size_t>(size));
    Buffer buffer(allocator, capacity);
    if (!buffer.get())
        return give_up_on_input(Outcome::input_too_large, input_path, output_path);

    // A file that shrank since its size was taken yields what it still has.
    std::size_t n = 0;
    while (n < size) {
        const std::size_t want = static_cast<std::size_t>(
            size - n < kChunk ? size - n : kChunk);
        const std::size_t got = std::fread(buffer.get() + n, 1, want, in.get());
        n += got;
        if (got < want) break;
    }
    if (std::ferror(in.get()))
        return give_up_on_input(Outcome::input_unreadable, input_path, output_path);
    in.close();
    std::memset(buffer.get() + n, 0, Blowfish::padded_length(n) - n);

    const Blowfish engine(key, kKeyLength);
    if (!engine.valid())
        return give_up_on_input(Outcome::input_too_large, input_path, output_path);

    std::size_t length = n;
    if (direction == Direction::encipher)
        length = engine.encipher_buffer(buffer.get(), buffer.get(), n);
    else
        engine.decipher_buffer(buffer.get(), buffer.get(), n);

    File out(output_path, "wb");
    if (!out.get()) return Outcome::output_unwritable;
    for (std::size_t done = 0; done < length;) {
        const std::size_t want = length - done < kChunk ? length - done : kChunk;
        if (std::fwrite(buffer.get() + done, 1, want, out.get()) != want)
            return Outcome::output_unwritable;
        done += want;
    }
    return out.close() ? Outcome::done : Outcome::output_unwritable;
}

}  // namespace quill::cipher
