// Version comparison.
#include "package/version.h"

#include <cstddef>

namespace quill::package {

const char kVersionMacro[] = "%version%";

bool is_numeric_version(const std::string& version) {
  bool digit_seen = false;
  for (char c : version) {
    if (c >= '0' && c <= '9') {
      digit_seen = true;
    } else if (c == '.' && digit_seen) {
      digit_seen = false;
    } else {
      return false;
    }
  }
  return digit_seen;
}

namespace {

// The field of `version` at `at` (past its dot afterwards) without its
// leading zeros; "" for a missing field, which counts as 0.
std::string next_field(const std::string& version, std::size_t* at) {
  std::size_t end = version.find('.', *at);
  if (end == std::string::npos) end = version.size();
  std::size_t start = *at;
  *at = end < version.size() ? end + 1 : version.size();
  while (start < end && version[start] == '0') ++start;
  return version.substr(start, end - start);
}

}  // namespace

int compare_versions(const std::string& a, const std::string& b) {
  if (!is_numeric_version(a) || !is_numeric_version(b)) return a.compare(b) < 0 ? -1 : a == b ? 0 : 1;
  std::size_t at_a = 0, at_b = 0;
  while (at_a < a.size() || at_b < b.size()) {
    // Fields of any length: the longer number is the larger one.
    const std::string x = next_field(a, &at_a), y = next_field(b, &at_b);
    if (x.size() != y.size()) return x.size() < y.size() ? -1 : 1;
    if (x != y) return x < y ? -1 : 1;
  }
  return 0;
}

}  // namespace quill::package
