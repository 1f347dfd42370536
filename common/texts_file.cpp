// The texts file: a language's table as lines of "<number>=<text>".
#include "common/texts_file.h"

#include "text/unicode.h"

namespace quill::texts {
namespace {

std::string escaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\\') {
      out += "\\\\";
    } else {
      out += c;
    }
  }
  return out;
}

// Appends the text of `text` to `out`; false for an unknown escape or a
// backslash at the end.
bool unescaped(std::string_view text, std::string* out) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      *out += text[i];
      continue;
    }
    if (++i >= text.size()) return false;
    switch (text[i]) {
      case 'n': *out += '\n'; break;
      case 'r': *out += '\r'; break;
      case '\\': *out += '\\'; break;
      default: return false;
    }
  }
  return true;
}

// The id of a line's number: decimal digits only, below TextId::count.
bool parse_id(std::string_view digits, std::size_t* id) {
  if (digits.empty() || digits.size() > 4) return false;
  std::size_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<std::size_t>(c - '0');
  }
  if (value >= kTextCount) return false;
  *id = value;
  return true;
}

}  // namespace

std::string texts_file_name(std::size_t language) {
  if (language == language::kEnglish || language >= language::kLanguageCount) return "";
  std::string code(language::kLanguages[language].code);
  for (char& c : code) {
    if (c == '-') c = '_';
  }
  return "texts_" + code + ".txt";
}

std::string render_texts_file(const Table& table) {
  std::array<const char*, kTextCount> by_id{};
  for (std::size_t i = 0; i < table.count; ++i) {
    const std::size_t id = static_cast<std::size_t>(table.entries[i].id);
    if (id < kTextCount && table.entries[i].text && *table.entries[i].text) {
      by_id[id] = table.entries[i].text;
    }
  }
  std::string lines;
  for (std::size_t id = 0; id < kTextCount; ++id) {
    if (!by_id[id]) continue;
    lines += std::to_string(id) + "=" + escaped(by_id[id]) + "\n";
  }
  return text::encode_text(lines);
}

std::size_t LoadedTable::parse(std::string_view bytes) {
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  const std::string_view content = bytes;
  storage_.clear();
  std::size_t offsets[kTextCount];
  bool taken[kTextCount] = {};
  std::size_t count = 0;
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find('\n', start);
    if (end == std::string_view::npos) end = content.size();
    std::string_view line = content.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::size_t equals = line.find('=');
    std::size_t id = 0;
    if (equals == std::string_view::npos || !parse_id(line.substr(0, equals), &id) || taken[id]) {
      continue;
    }
    const std::size_t at = storage_.size();
    const std::string_view value = line.substr(equals + 1);
    if (value.size() > 2 * kMaxLoadedTextBytes || !unescaped(value, &storage_) ||
        storage_.size() == at || storage_.size() - at > kMaxLoadedTextBytes ||
        storage_.find('\0', at) != std::string::npos ||
        !text::is_valid_utf8(std::string_view(storage_).substr(at))) {
      storage_.resize(at);
      continue;
    }
    storage_ += '\0';
    offsets[id] = at;
    taken[id] = true;
    ++count;
  }
  std::size_t n = 0;
  for (std::size_t id = 0; id < kTextCount; ++id) {
    if (taken[id]) entries_[n++] = {static_cast<TextId>(id), storage_.c_str() + offsets[id]};
  }
  table_ = {entries_.data(), n};
  return count;
}

}  // namespace quill::texts
