// Text is UTF-8 everywhere inside the programs. These are the conversions at
// the edges (UTF-16 for Windows, the ANSI code page of files written by
// earlier versions), the recognition of a file's encoding from its bytes,
// and the letter-case rule that Windows applies to names.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quill::text {

// The byte-order mark that marks a file as UTF-8.
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool is_ascii(std::string_view text);
// True when `text` is well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool is_valid_utf8(std::string_view text);

// UTF-8 to UTF-16. A malformed sequence becomes U+FFFD.
std::u16string utf8_to_utf16(std::string_view text);
// UTF-16 to UTF-8. An unpaired surrogate becomes U+FFFD.
std::string utf16_to_utf8(std::u16string_view text);

// Text in the ANSI code page to UTF-8: the system's code page on Windows,
// Windows-1252 elsewhere (the code page of the machines that wrote files
// before they were Unicode).
std::string ansi_to_utf8(std::string_view bytes);

// How a text file's bytes are read.
enum class Legacy {
  ansi,        // bytes without a byte-order mark are in the ANSI code page...
  utf8_first,  // ...unless they are valid UTF-8, which is then taken as UTF-8
};

// Text that should be UTF-8 made valid: each malformed sequence becomes U+FFFD.
std::string repaired_utf8(std::string_view text);

// The UTF-8 text of a file's bytes: a UTF-8 byte-order mark is dropped (a
// malformed sequence after it becomes U+FFFD), a UTF-16 one (LE or BE) decodes the rest as UTF-16;
// otherwise `legacy` decides. An all-ASCII text comes back unchanged.
std::string decode_text(std::string_view bytes, Legacy legacy = Legacy::ansi);

// The bytes a text file is written with: an all-ASCII text as it is (what
// earlier versions wrote), any other text as UTF-8 after a byte-order mark.
std::string encode_text(std::string_view utf8);

// The next code point of `text` from byte `*pos`, advancing `*pos`; U+FFFD
// (one byte consumed) for a malformed sequence.
char32_t next_code_point(std::string_view text, std::size_t* pos);
void append_utf8(std::string* out, char32_t code_point);

// The upper-case form Windows compares names by: ASCII, Latin-1, Latin
// Extended-A, Greek and Cyrillic letters; every other character as it is.
char32_t upper_case(char32_t code_point);
std::string upper_case(std::string_view utf8);
bool equal_ignoring_case(std::string_view a, std::string_view b);
// Orders as Windows lists names: by upper-case code points.
int compare_ignoring_case(std::string_view a, std::string_view b);

}  // namespace quill::text
