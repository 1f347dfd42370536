// The two facts about files that the file functions need from the platform.
#pragma once

#include <cstdint>
#include <cstdio>

namespace quill::cipher {

// Size of the regular file open as `file`. False for anything that is not a
// regular file or whose information cannot be obtained.
bool regular_file_size(std::FILE* file, std::uint64_t& size);

// True when both paths name one existing file (including through links or
// different spellings); false when they differ or either does not exist.
bool same_file(const char* first, const char* second);

}  // namespace quill::cipher
