// Line reading: every line is at most 259 characters and holds no LF; when
// no line was cut, the lines joined by LF are the input with CR LF read as
// LF. The whole-file text reader agrees.
#include "common/lines.h"
#include "common/text_file.h"
#include "tests/fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quill;
  const std::string input(reinterpret_cast<const char*>(data), size);
  os::MemoryOs os;
  fuzz::put_file(os, "C:\\t.txt", input);
  LineReader reader(os, "C:\\t.txt");
  std::string line, joined;
  bool any_cut = false;
  std::size_t count = 0;
  while (reader.next(&line)) {
    if (line.size() > kMaxPathLength || line.find('\n') != std::string::npos) fuzz::fail("line too long or split");
    any_cut = any_cut || reader.last_line_cut();
    joined += (count++ > 0 ? "\n" : "") + line;
  }
  std::string expected;
  for (std::size_t i = 0; i < input.size(); ++i) {
    if (input[i] == '\r' && i + 1 < input.size() && input[i + 1] == '\n') continue;
    expected += input[i];
  }
  if (!expected.empty() && expected.back() == '\n') expected.pop_back();
  if (!any_cut && joined != expected) fuzz::fail("lines lost or changed text");

  // The whole-file reader: the text up to the first zero byte, CR LF as LF.
  std::string text, up_to_zero = input.substr(0, input.find('\0')), converted;
  if (!read_text_file(os, "C:\\t.txt", 1 << 20, &text)) fuzz::fail("text file unreadable");
  for (std::size_t i = 0; i < up_to_zero.size(); ++i) {
    if (!(up_to_zero[i] == '\r' && i + 1 < up_to_zero.size() && up_to_zero[i + 1] == '\n')) converted += up_to_zero[i];
  }
  if (text != converted) fuzz::fail("text file read changed the text");
  return 0;
}
