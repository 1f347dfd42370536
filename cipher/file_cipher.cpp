// Whole-file cipher: read the input into one buffer, transforming it in
// place as it arrives, then write it out.
#include "cipher/file_cipher.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "cipher/blowfish.h"
#include "cipher/platform.h"

namespace quill::cipher {
namespace {

// Reads go in pieces small enough to stay in cache between reading and
// transforming; writes in pieces that every C runtime handles. Both are
// multiples of the 8-byte block.
constexpr std::size_t kReadPiece = std::size_t{1} << 18;
constexpr std::size_t kWritePiece = std::size_t{1} << 24;

class File {
public:
    File(const char* path, const char* mode) : f_(open_file(path, mode)) {}
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
          bytes_(bytes),
          data_(static_cast<std::uint8_t*>(allocator.allocate(bytes))) {}
    ~Buffer() {
        if (data_) allocator_.release(data_, bytes_);
    }
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;
    std::uint8_t* get() const { return data_; }

private:
    Allocator allocator_;
    std::size_t bytes_;
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

Allocator default_allocator() { return Allocator{allocate_buffer, release_buffer}; }

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

    const Blowfish engine(key, kKeyLength);
    if (!engine.valid())
        return give_up_on_input(Outcome::input_too_large, input_path, output_path);

    // Each piece is transformed as soon as it is read, while it is still in
    // the processor's cache. Pieces are whole blocks, so only the last one
    // can end in a partial block. A file that shrank since its size was
    // taken yields what it still has.
    const bool enciphering = direction == Direction::encipher;
    std::size_t n = 0;
    while (n < size) {
        const std::size_t want =
            static_cast<std::size_t>(size - n < kReadPiece ? size - n : kReadPiece);
        const std::size_t got = std::fread(buffer.get() + n, 1, want, in.get());
        if (enciphering)
            engine.encipher_buffer(buffer.get() + n, buffer.get() + n, got);
        else
            engine.decipher_buffer(buffer.get() + n, buffer.get() + n, got);
        n += got;
        if (got < want) break;
    }
    if (std::ferror(in.get()))
        return give_up_on_input(Outcome::input_unreadable, input_path, output_path);
    in.close();
    const std::size_t length = enciphering ? Blowfish::padded_length(n) : n;

    File out(output_path, "wb");
    if (!out.get()) return Outcome::output_unwritable;
    for (std::size_t done = 0; done < length;) {
        const std::size_t want = length - done < kWritePiece ? length - done : kWritePiece;
        if (std::fwrite(buffer.get() + done, 1, want, out.get()) != want)
            return Outcome::output_unwritable;
        done += want;
    }
    return out.close() ? Outcome::done : Outcome::output_unwritable;
}

}  // namespace quill::cipher
