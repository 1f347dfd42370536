// The texts file reader: any bytes give a table of known, distinct, non-empty
// texts of valid UTF-8 within the length limit, and rendering that table and
// reading it again gives the same table.
#include <set>
#include <string>

#include "common/texts_file.h"
#include "text/unicode.h"
#include "tests/fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quill;
  const std::string input(reinterpret_cast<const char*>(data), size);
  texts::LoadedTable loaded;
  const std::size_t count = loaded.parse(input);
  const texts::Table& table = loaded.table();
  if (table.count != count) fuzz::fail("count differs from the table");
  std::set<int> ids;
  for (std::size_t i = 0; i < table.count; ++i) {
    const std::string text = table.entries[i].text;
    if (static_cast<std::size_t>(table.entries[i].id) >= texts::kTextCount) fuzz::fail("unknown id");
    if (!ids.insert(static_cast<int>(table.entries[i].id)).second) fuzz::fail("id twice");
    if (text.empty() || text.size() > texts::kMaxLoadedTextBytes) fuzz::fail("bad length");
    if (!text::is_valid_utf8(text)) fuzz::fail("invalid UTF-8 taken");
  }
  texts::LoadedTable again;
  if (again.parse(texts::render_texts_file(table)) != count) fuzz::fail("round trip lost texts");
  for (std::size_t i = 0; i < count; ++i) {
    if (again.table().entries[i].id != table.entries[i].id ||
        std::string(again.table().entries[i].text) != table.entries[i].text) {
      fuzz::fail("round trip changed a text");
    }
  }
  return 0;
}
