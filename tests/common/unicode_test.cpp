// The encodings at the programs' edges and the letter-case rule of names.
#include <gtest/gtest.h>

#include "text/unicode.h"

namespace quill::text {
namespace {

TEST(Unicode, ConversionsRoundTripAndReplaceWhatIsMalformed) {
  // Every UTF-8 length, a surrogate pair and text around them survive both ways.
  for (const std::string text : {"", "plain", "Caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC",
                                 "\xF0\x9F\x98\x80 emoji", "\xEF\xBF\xBD"}) {
    EXPECT_TRUE(is_valid_utf8(text)) << text;
    EXPECT_EQ(utf16_to_utf8(utf8_to_utf16(text)), text);
  }
  EXPECT_EQ(utf8_to_utf16("\xF0\x9F\x98\x80"), (std::u16string{0xD83D, 0xDE00}));
  // Malformed input: a stray continuation, an overlong form, a surrogate, a
  // cut sequence, a byte above U+10FFFF; each becomes U+FFFD per bad byte.
  struct Case { std::string bytes; std::u16string wide; };
  const Case cases[] = {
      {"a\x80z", u"a\uFFFDz"},
      {"\xC0\xAF", u"\uFFFD\uFFFD"},
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
      {"ab\xE6\x97", u"ab\uFFFD\uFFFD"},
      {"\xF5\x80\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(is_valid_utf8(c.bytes)) << c.bytes;
    EXPECT_EQ(utf8_to_utf16(c.bytes), c.wide) << c.bytes;
  }
  EXPECT_EQ(utf16_to_utf8(u"x\xD800y"), "x\xEF\xBF\xBDy");  // lone surrogate
}

TEST(Unicode, FilesDecodeByTheirMarkOrTheirLegacyAndEncodeAsciiAsBefore) {
  struct Case { std::string bytes; Legacy legacy; std::string text; };
  const Case cases[] = {
      {"plain\r\n", Legacy::ansi, "plain\r\n"},
      {"\xEF\xBB\xBF" "Caf\xC3\xA9", Legacy::ansi, "Caf\xC3\xA9"},
      {"\xEF\xBB\xBF" "\xE6\x97\xA5\xE6%", Legacy::ansi, "\xE6\x97\xA5\xEF\xBF\xBD%"},  // marked, malformed
      {std::string("\xFF\xFE" "C\0\xE9\0", 6), Legacy::ansi, "C\xC3\xA9"},
      {std::string("\xFE\xFF\0C\0\xE9\xD8\x3D\xDE\x00", 10), Legacy::ansi,
       "C\xC3\xA9\xF0\x9F\x98\x80"},
      {"Caf\xE9 \x80", Legacy::ansi, "Caf\xC3\xA9 \xE2\x82\xAC"},  // Windows-1252
      {"Caf\xC3\xA9", Legacy::ansi, "Caf\xC3\x83\xC2\xA9"},        // the owner said ANSI
      {"Caf\xC3\xA9", Legacy::utf8_first, "Caf\xC3\xA9"},
      {"Caf\xE9", Legacy::utf8_first, "Caf\xC3\xA9"},  // not UTF-8: ANSI after all
  };
  for (const Case& c : cases) EXPECT_EQ(decode_text(c.bytes, c.legacy), c.text) << c.bytes;
  EXPECT_EQ(encode_text("plain\r\n"), "plain\r\n");
  EXPECT_EQ(encode_text("Caf\xC3\xA9"), "\xEF\xBB\xBF" "Caf\xC3\xA9");
  EXPECT_EQ(decode_text(encode_text("\xCE\x95\xCE\xBB")), "\xCE\x95\xCE\xBB");
}

TEST(Unicode, NamesCompareIgnoringCaseAsWindowsDoes) {
  struct Case { const char* a; const char* b; bool equal; };
  const Case cases[] = {
      {"readme.TXT", "README.txt", true},
      {"\xC3\xA9t\xC3\xA9", "\xC3\x89T\xC3\x89", true},                     // étÉ
      {"\xC5\x82ukasz", "\xC5\x81UKASZ", true},                             // Łukasz
      {"\xCE\xB5\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC",  // ελληνικά
       "\xCE\x95\xCE\x9B\xCE\x9B\xCE\x97\xCE\x9D\xCE\x99\xCE\x9A\xCE\x86", true},
      {"\xCF\x82", "\xCE\xA3", true},                                       // ς Σ
      {"\xD0\xB4\xD0\xB0\xD0\xBD\xD0\xBD\xD1\x8B\xD0\xB5",                  // данные
       "\xD0\x94\xD0\x90\xD0\x9D\xD0\x9D\xD0\xAB\xD0\x95", true},
      {"\xD1\x91", "\xD0\x81", true},                                       // ё Ё
      {"\xC3\xBF", "\xC5\xB8", true},                                       // ÿ Ÿ
      {"\xC3\xA9", "e", false},
      {"\xE6\x97\xA5", "\xE6\x97\xA5", true},
      {"ab", "abc", false},
      {"a\x80", "a\x81", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(equal_ignoring_case(c.a, c.b), c.equal) << c.a << " / " << c.b;
  }
  EXPECT_LT(compare_ignoring_case("apple", "Banana"), 0);
  EXPECT_GT(compare_ignoring_case("\xD0\xB1", "\xD0\x90"), 0);  // б after А
  EXPECT_EQ(upper_case("stra\xC3\x9F" "e"), "STRA\xC3\x9F" "E");  // ß has no single capital
}

}  // namespace
}  // namespace quill::text
