// Whole-file text reads and writes. Files are 8-bit text stored with CR LF
// line ends on every platform; in memory a line end is a single LF.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "os/os.h"

namespace quill {

// Reads at most `max_bytes` bytes of the file as text (CR LF becomes LF) and
// stops at the first zero byte. False when the file cannot be opened.
bool read_text_file(os::Os& os, const std::string& path, std::size_t max_bytes,
                    std::string* text);

// The text of a file's bytes as read_text_file reads it: at most
// `max_bytes` characters (a UTF-8 character kept whole), CR LF as LF, up to
// the first zero byte.
std::string text_from_bytes(std::string_view bytes, std::size_t max_bytes);

// `text` with every LF stored as CR LF, whatever comes before it, as a
// text-mode stream writes: what a line held (a CR at its end too) reads back
// unchanged.
std::string to_crlf(const std::string& text);

// Adds `line` and a CR LF to `out`, the line left as it is: the one place
// that spells the line end of the files the programs write.
void add_crlf_line(std::string* out, std::string_view line);

// `text` with every line end, LF or CR LF, as one CR LF (never CR CR LF).
std::string crlf_line_ends(const std::string& text);

// Writes `text` to the file (created or truncated), each line end as
// crlf_line_ends() stores it.
bool write_text_file(os::Os& os, const std::string& path, const std::string& text);

// Appends `line` and a CR LF to the file, creating it when missing.
bool append_line(os::Os& os, const std::string& path, const std::string& line);
// The same on a file kept open (in append mode) for many lines.
bool append_line(os::File& file, const std::string& line);

// Reads a whole file as raw bytes, at most `max_bytes`; false when it cannot
// be opened or is larger than `max_bytes`.
bool read_binary_file(os::Os& os, const std::string& path, std::size_t max_bytes,
                      std::string* data);

}  // namespace quill
