// POSIX platform: fstat, the device/inode pair, and anonymous mappings for
// large buffers.
#include "cipher/platform.h"

#include <sys/mman.h>
#include <sys/stat.h>

#include <cstdlib>

namespace quill::cipher {
namespace {

// Below this a plain heap block is as fast, and stays visible to memory checkers.
constexpr std::size_t kMappedFrom = std::size_t{4} << 20;

}  // namespace

std::FILE* open_file(const char* path, const char* mode) { return std::fopen(path, mode); }

bool regular_file_size(std::FILE* file, std::uint64_t& size) {
    struct stat st;
    if (fstat(fileno(file), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0) return false;
    size = static_cast<std::uint64_t>(st.st_size);
    return true;
}

bool same_file(const char* first, const char* second) {
    struct stat a, b;
    if (stat(first, &a) != 0 || stat(second, &b) != 0) return false;
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

void* allocate_buffer(std::size_t bytes) {
    if (bytes < kMappedFrom) return std::malloc(bytes ? bytes : 1);
    void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return nullptr;
    // Both are hints: without them the buffer is still valid, only slower to fill.
#ifdef MADV_HUGEPAGE
    madvise(p, bytes, MADV_HUGEPAGE);
#endif
#ifdef MADV_POPULATE_WRITE
    madvise(p, bytes, MADV_POPULATE_WRITE);
#endif
    return p;
}

void release_buffer(void* buffer, std::size_t bytes) {
    if (bytes < kMappedFrom)
        std::free(buffer);
    else
        munmap(buffer, bytes);
}

}  // namespace quill::cipher
