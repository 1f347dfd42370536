// The ANSI code page off Windows: Windows-1252, the code page of the
// Western machines whose files the builder reads.
#include "text/unicode.h"

namespace quill::text {

namespace {

// Windows-1252's bytes 0x80 to 0x9F; the five it leaves undefined map to
// the C1 control of the same number, as Windows converts them.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

std::string ansi_to_utf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  for (char byte : bytes) {
    const auto c = static_cast<unsigned char>(byte);
    append_utf8(&out, c >= 0x80 && c < 0xA0 ? kHigh[c - 0x80] : c);
  }
  return out;
}

}  // namespace quill::text
