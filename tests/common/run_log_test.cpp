// The run record: every ".jsonl" line is one JSON object a real parser
// reads back value for value; other files get the plain lines.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "common/run_log.h"
#include "common/text_file.h"
#include "tests/support/memory_os.h"

namespace quill {
namespace {

constexpr const char* kTwoValues = "registry written value data|Registry: %1 = %2";
constexpr const char* kOneValue = "file written path|Written: %1";

std::vector<std::string> lines_of(os::Os& os, const std::string& path) {
  std::string bytes;
  EXPECT_TRUE(read_binary_file(os, path, 1 << 20, &bytes));
  std::vector<std::string> lines;
  for (std::size_t at = 0, end; (end = bytes.find('\n', at)) != std::string::npos; at = end + 1) {
    lines.push_back(bytes.substr(at, end - at));
  }
  return lines;
}

TEST(RunLogTest, JsonLinesHoldEveryValueExactly) {
  // Quotes, backslashes, control characters and UTF-8, as a path, a
  // registry value's data or a message may hold them.
  const std::string values[] = {
      "C:\\Program Files\\Tool\\a.txt", "say \"hi\"\\", std::string("tab\tline\nbell\x07nul\0.", 17),
      "Gr\xC3\xBC\xC3\x9F" "e \xE6\x97\xA5\xE6\x9C\xAC", ""};
  os::MemoryOs os;
  {
    RunLog log(os, "C:\\run.JsonL");
    for (const std::string& value : values) log.note(kTwoValues, value, value + "!");
    log.note(kOneValue, values[0], std::string(), "shortcut");
    log.note("rollback done|Rolled back");
    log.note_number(kLogExit, 3010);
  }
  const std::vector<std::string> lines = lines_of(os, "C:\\run.JsonL");
  ASSERT_EQ(lines.size(), std::size(values) + 3);
  for (std::size_t i = 0; i < std::size(values); ++i) {
    const nlohmann::json line = nlohmann::json::parse(lines[i]);
    EXPECT_EQ(line, (nlohmann::json{{"event", "registry"}, {"action", "written"},
                                    {"value", values[i]}, {"data", values[i] + "!"}}))
        << lines[i];
  }
  EXPECT_EQ(nlohmann::json::parse(lines[5]),
            (nlohmann::json{{"event", "shortcut"}, {"action", "written"}, {"path", values[0]}}));
  EXPECT_EQ(nlohmann::json::parse(lines[6]), (nlohmann::json{{"event", "rollback"}, {"action", "done"}}));
  // The exit code is a number, and the event has no action.
  EXPECT_EQ(nlohmann::json::parse(lines[7]), (nlohmann::json{{"event", "exit"}, {"code", 3010}}));
}

TEST(RunLogTest, OtherNamesGetPlainLines) {
  for (const char* name : {"C:\\run.log", "C:\\run.json", "C:\\jsonl"}) {
    os::MemoryOs os;
    {
      RunLog log(os, name);
      log.note(kTwoValues, "HKLM\\Key\\Name", "1");
      log.note(kOneValue, "C:\\a.txt");
      log.note_number("rollback started changes|Rolling back %1 changes", 12);
      log.note_number(kLogExit, 0);
    }
    std::string text;
    ASSERT_TRUE(read_binary_file(os, name, 1 << 20, &text)) << name;
    EXPECT_EQ(text,
              "Registry: HKLM\\Key\\Name = 1\r\nWritten: C:\\a.txt\r\nRolling back 12 changes\r\n"
              "Exit code 0\r\n")
        << name;
  }
}

}  // namespace
}  // namespace quill
