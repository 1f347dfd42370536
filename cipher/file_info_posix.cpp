// File facts on POSIX systems: fstat and the device/inode pair.
#include "cipher/file_info.h"

#include <sys/stat.h>

namespace quill::cipher {

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

}  // namespace quill::cipher
