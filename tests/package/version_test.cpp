// Version comparison: numeric fields by number, anything else as text.
#include <gtest/gtest.h>

#include "package/version.h"

namespace quill::package {
namespace {

TEST(VersionTest, ComparesFieldByFieldOrAsText) {
  struct Case {
    const char* a;
    const char* b;
    int order;
  };
  const Case cases[] = {
      {"1.0.0.10", "1.0.0.9", 1}, {"2", "10", -1},       {"1.2", "1.2.0.0", 0},
      {"1.2.0.1", "1.2", 1},      {"01.002", "1.2", 0},  {"1", "1", 0},
      {"99999999999999999999.1", "99999999999999999999.0", 1},
      {"1.0b", "1.0a", 1},        {"1.0", "1.0b", -1},   {"abc", "abc", 0},
      {"1.", "1", 1},  // not numeric: as text
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.a) + " vs " + c.b);
    const int order = compare_versions(c.a, c.b);
    EXPECT_EQ(order < 0 ? -1 : order > 0 ? 1 : 0, c.order);
    const int back = compare_versions(c.b, c.a);
    EXPECT_EQ(back < 0 ? -1 : back > 0 ? 1 : 0, -c.order);
  }
  for (const char* numeric : {"1", "1.0.0.10", "007"}) EXPECT_TRUE(is_numeric_version(numeric));
  for (const char* text : {"", "1.", ".1", "1..2", "1.0b", "v1", "1 .2"}) {
    EXPECT_FALSE(is_numeric_version(text)) << text;
  }
}

}  // namespace
}  // namespace quill::package
