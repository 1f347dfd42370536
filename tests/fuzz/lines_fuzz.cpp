// Line reading: every line is valid UTF-8 of at most 259 characters and
// holds no LF; when no line was cut, the lines joined by LF are the input
// with CR LF read as LF, decoded (a byte-order mark dropped and malformed
// sequences after it replaced, an unmarked line that is not ASCII read as
// ANSI; UTF-16 as a whole). The whole-file text reader keeps the bytes.
#include "common/lines.h"
#include "common/text_file.h"
#include "tests/fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quill;
  const std::string input(reinterpret_cast<const char*>(data), size);
  os::MemoryOs os;
  fuzz::put_file(os, "C:\\t.txt", input);
  const bool utf16 = input.compare(0, 2, "\xFF\xFE") == 0 || input.compare(0, 2, "\xFE\xFF") == 0;
  const bool marked = input.compare(0, 3, text::kUtf8Bom) == 0;
  for (text::Legacy legacy : {text::Legacy::ansi, text::Legacy::utf8_first}) {
    LineReader reader(os, "C:\\t.txt", legacy);
    std::string line, joined;
    bool any_cut = false;
    std::size_t count = 0;
    while (reader.next(&line)) {
      std::size_t characters = 0;
      for (std::size_t pos = 0; pos < line.size(); ++characters) text::next_code_point(line, &pos);
      if (characters > kMaxPathLength || line.find('\n') != std::string::npos) {
        fuzz::fail("line too long or split");
      }
      if (!text::is_valid_utf8(line)) fuzz::fail("a line not decoded");
      any_cut = any_cut || reader.last_line_cut();
      joined += (count++ > 0 ? "\n" : "") + line;
    }
    if (utf16) continue;
    const std::string body = marked ? input.substr(3) : input;
    std::string expected, raw_line;
    auto end_line = [&] {
      const bool as_utf8 = text::is_ascii(raw_line) ||
                           (legacy == text::Legacy::utf8_first && text::is_valid_utf8(raw_line));
      expected += marked ? text::repaired_utf8(raw_line) : as_utf8 ? raw_line : text::ansi_to_utf8(raw_line);
      raw_line.clear();
    };
    for (std::size_t i = 0; i < body.size(); ++i) {
      if (body[i] == '\r' && i + 1 < body.size() && body[i + 1] == '\n') continue;
      if (body[i] == '\n') {
        end_line();
        expected += '\n';
      } else {
        raw_line += body[i];
      }
    }
    end_line();
    if (!expected.empty() && expected.back() == '\n') expected.pop_back();
    if (!any_cut && joined != expected) fuzz::fail("lines lost or changed text");
  }

  // The whole-file reader: the text up to the first zero byte, CR LF as LF.
  std::string text, up_to_zero = input.substr(0, input.find('\0')), converted;
  if (!read_text_file(os, "C:\\t.txt", 1 << 20, &text)) fuzz::fail("text file unreadable");
  for (std::size_t i = 0; i < up_to_zero.size(); ++i) {
    if (!(up_to_zero[i] == '\r' && i + 1 < up_to_zero.size() && up_to_zero[i + 1] == '\n')) converted += up_to_zero[i];
  }
  if (text != converted) fuzz::fail("text file read changed the text");
  return 0;
}
