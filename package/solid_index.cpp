// The solid index: rendering and parsing its lines.
#include "package/solid_index.h"

#include <cstdlib>
#include <cstring>

namespace quill::package {

const char kSolidIndexName[] = "%Quillpack%/solid.txt";
const char kSolidBlockPrefix[] = "%Quillpack%/solid/";

namespace {

constexpr std::size_t kPrefixLength = sizeof kSolidBlockPrefix - 1;

// Reads a number in `base` from text[*pos] up to the tab after it, which
// is consumed. False when there is no digit or no tab. (A member's size
// fits 32 bits: the writer groups only small files, and gives x86
// programs blocks of their own only below 4 GiB.)
bool field(const std::string& text, std::size_t* pos, int base, std::uint32_t* value) {
  const char* start = text.c_str() + *pos;
  char* end = nullptr;
  *value = static_cast<std::uint32_t>(std::strtoul(start, &end, base));
  if (end == start || *end != '\t') return false;
  *pos += static_cast<std::size_t>(end - start) + 1;
  return true;
}

constexpr char kX86Suffix[] = "-x86";

}  // namespace

std::string solid_block_name(std::uint32_t block, bool x86) {
  return kSolidBlockPrefix + std::to_string(block) + (x86 ? kX86Suffix : "");
}

std::uint32_t solid_block_number(const std::string& name, bool* x86) {
  if (name.compare(0, kPrefixLength, kSolidBlockPrefix) != 0) return 0;
  // Digits only, without a leading zero, then perhaps the suffix.
  const char* digits = name.c_str() + kPrefixLength;
  if (*digits < '1' || *digits > '9') return 0;
  char* end = nullptr;
  const unsigned long n = std::strtoul(digits, &end, 10);
  const bool converted = std::strcmp(end, kX86Suffix) == 0;
  if ((*end != '\0' && !converted) || end - digits > 9) return 0;
  if (x86 != nullptr) *x86 = converted;
  return static_cast<std::uint32_t>(n);
}

bool next_solid_member(const std::string& text, std::size_t* pos, SolidMember* member) {
  if (*pos >= text.size() || !field(text, pos, 10, &member->block) || !field(text, pos, 10, &member->size) ||
      !field(text, pos, 16, &member->crc) || !field(text, pos, 16, &member->dos_date_time) || member->block == 0) {
    return false;
  }
  std::size_t end = text.find('\n', *pos);
  if (end == std::string::npos) end = text.size();
  if (end == *pos) return false;
  member->name.assign(text, *pos, end - *pos);
  *pos = end + 1;
  return true;
}

}  // namespace quill::package
