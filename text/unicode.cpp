#include "text/unicode.h"

namespace quill::text {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool is_continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

}  // namespace

bool is_ascii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

char32_t next_code_point(std::string_view text, std::size_t* pos) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const std::size_t i = *pos;
  const unsigned char lead = byte(i);
  ++*pos;
  if (lead < 0x80) return lead;
  int extra = 0;
  char32_t value = 0;
  char32_t minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1, value = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2, value = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3, value = lead & 0x07, minimum = 0x10000;
  } else {
    return kReplacement;
  }
  if (i + extra >= text.size()) return kReplacement;
  for (int k = 1; k <= extra; ++k) {
    if (!is_continuation(byte(i + k))) return kReplacement;
    value = (value << 6) | (byte(i + k) & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    return kReplacement;
  }
  *pos = i + 1 + extra;
  return value;
}

bool is_valid_utf8(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t start = pos;
    // A malformed sequence gives U+FFFD for one byte; U+FFFD itself takes three.
    if (next_code_point(text, &pos) == kReplacement && pos == start + 1) return false;
  }
  return true;
}

void append_utf8(std::string* out, char32_t c) {
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = kReplacement;
  if (c < 0x80) {
    out->push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (c >> 6)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (c >> 12)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (c >> 18)));
    out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::u16string utf8_to_utf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    const char32_t c = next_code_point(text, &pos);
    if (c >= 0x10000) {
      out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(c));
    }
  }
  return out;
}

std::string utf16_to_utf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    }
    append_utf8(&out, c);  // a lone surrogate becomes U+FFFD
  }
  return out;
}

std::string repaired_utf8(std::string_view text) {
  // The way through UTF-16 turns each malformed sequence into U+FFFD.
  return is_valid_utf8(text) ? std::string(text) : utf16_to_utf8(utf8_to_utf16(text));
}

std::string decode_text(std::string_view bytes, Legacy legacy) {
  if (bytes.substr(0, 3) == kUtf8Bom) {
    // A marked file says UTF-8; a malformed sequence in it becomes U+FFFD.
    return repaired_utf8(bytes.substr(3));
  }
  const bool le = bytes.substr(0, 2) == "\xFF\xFE";
  const bool be = bytes.substr(0, 2) == "\xFE\xFF";
  if (le || be) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
      const auto lo = static_cast<unsigned char>(bytes[le ? i : i + 1]);
      const auto hi = static_cast<unsigned char>(bytes[le ? i + 1 : i]);
      units.push_back(static_cast<char16_t>(lo | (hi << 8)));
    }
    return utf16_to_utf8(units);
  }
  if (is_ascii(bytes)) return std::string(bytes);
  if (legacy == Legacy::utf8_first && is_valid_utf8(bytes)) return std::string(bytes);
  return ansi_to_utf8(bytes);
}

std::string encode_text(std::string_view utf8) {
  if (is_ascii(utf8)) return std::string(utf8);
  std::string out(kUtf8Bom);
  out += utf8;
  return out;
}

char32_t upper_case(char32_t c) {
  if (c < 0x80) return (c >= 'a' && c <= 'z') ? c - 0x20 : c;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
  if (c == 0xFF) return 0x178;
  if (c >= 0x100 && c <= 0x17F) {
    // Pairs of capital and small letters: even/odd up to U+0137 and from
    // U+014A to U+0177, odd/even between them and after U+0178.
    if ((c <= 0x137 || (c >= 0x14A && c <= 0x177)) && (c & 1) && c != 0x131) return c - 1;
    if (((c >= 0x13A && c <= 0x148) || (c >= 0x17A && c <= 0x17E)) && !(c & 1)) return c - 1;
    return c;
  }
  if (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) return c - 0x20;
  if (c == 0x3C2) return 0x3A3;  // final sigma
  switch (c) {
    case 0x3AC: return 0x386;
    case 0x3AD: return 0x388;
    case 0x3AE: return 0x389;
    case 0x3AF: return 0x38A;
    case 0x3CC: return 0x38C;
    case 0x3CD: return 0x38E;
    case 0x3CE: return 0x38F;
    default: break;
  }
  if (c >= 0x430 && c <= 0x44F) return c - 0x20;
  if (c >= 0x450 && c <= 0x45F) return c - 0x50;
  if (((c >= 0x460 && c <= 0x481) || (c >= 0x48A && c <= 0x4BF) || (c >= 0x4D0 && c <= 0x52F)) &&
      (c & 1)) {
    return c - 1;
  }
  if (c >= 0x4C1 && c <= 0x4CE && !(c & 1)) return c - 1;
  if (c == 0x4CF) return 0x4C0;
  return c;
}

std::string upper_case(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const std::size_t start = pos;
    const char32_t c = next_code_point(utf8, &pos);
    if (c < 0x80) {
      out.push_back(static_cast<char>(upper_case(c)));
    } else if (c == kReplacement && pos == start + 1) {
      out.push_back(utf8[start]);  // a malformed byte stays as it is
    } else {
      append_utf8(&out, upper_case(c));
    }
  }
  return out;
}

int compare_ignoring_case(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const std::size_t si = i, sj = j;
    char32_t ca = next_code_point(a, &i);
    char32_t cb = next_code_point(b, &j);
    // A malformed byte compares by its own value, above every character.
    ca = (ca == kReplacement && i == si + 1) ? 0x110000 + static_cast<unsigned char>(a[si])
                                             : upper_case(ca);
    cb = (cb == kReplacement && j == sj + 1) ? 0x110000 + static_cast<unsigned char>(b[sj])
                                             : upper_case(cb);
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

bool equal_ignoring_case(std::string_view a, std::string_view b) {
  return compare_ignoring_case(a, b) == 0;
}

}  // namespace quill::text
