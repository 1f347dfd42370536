// What the file functions need from the platform: two facts about files and
// memory for whole-file buffers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace quill::cipher {

// Opens a file as std::fopen does. A path is UTF-8; on Windows, a path that
// is not valid UTF-8 is read in the ANSI code page, as callers that predate
// UTF-8 paths give it.
std::FILE* open_file(const char* path, const char* mode);

// Size of the regular file open as `file`. False for anything that is not a
// regular file or whose information cannot be obtained.
bool regular_file_size(std::FILE* file, std::uint64_t& size);

// True when both paths name one existing file (including through links or
// different spellings); false when they differ or either does not exist.
bool same_file(const char* first, const char* second);

// A buffer for a whole file, or null when there is no memory for it. Where
// the platform allows, large buffers are backed by huge pages and mapped in
// one step, which spares the per-page faults of filling fresh memory.
void* allocate_buffer(std::size_t bytes);
void release_buffer(void* buffer, std::size_t bytes);

}  // namespace quill::cipher
