// Writing the solid index: only the builder does, so the installer, which
// only reads it, does not carry this.
#include "package/solid_index.h"

namespace quill::package {

namespace {

void put_hex(std::uint32_t value, std::string* out) {
  static const char kDigits[] = "0123456789abcdef";
  for (int shift = 28; shift >= 0; shift -= 4) *out += kDigits[(value >> shift) & 0xF];
}

}  // namespace

std::string render_solid_index(const std::vector<SolidMember>& members) {
  std::string out;
  for (const SolidMember& m : members) {
    out += std::to_string(m.block) + '\t' + std::to_string(m.size) + '\t';
    put_hex(m.crc, &out);
    out += '\t';
    put_hex(m.dos_date_time, &out);
    out += '\t';
    out += m.name;
    out += '\n';
  }
  return out;
}

}  // namespace quill::package
