// Whole-file text reads and writes with CR LF line ends on disk.
#include "common/text_file.h"

#include <algorithm>
#include <cstdint>
#include <memory>

namespace quill {
namespace {

// `text` with every CR LF as a single LF.
std::string with_lf_line_ends(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

bool write_all(os::Os& os, const std::string& path, os::OpenMode mode, const std::string& data) {
  std::unique_ptr<os::File> file = os.open_file(path, mode);
  if (!file) return false;
  return data.empty() || file->write(data.data(), data.size());
}

}  // namespace

std::string to_crlf(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

void add_crlf_line(std::string* out, std::string_view line) {
  out->append(line.data(), line.size());
  out->append("\r\n", 2);
}

std::string crlf_line_ends(const std::string& text) { return to_crlf(with_lf_line_ends(text)); }

bool read_text_file(os::Os& os, const std::string& path, std::size_t max_bytes, std::string* text) {
  text->clear();
  std::unique_ptr<os::File> file = os.open_file(path, os::OpenMode::read);
  if (!file) return false;
  // Each character of the text takes at most two bytes on disk (CR LF), and
  // one more byte tells whether a CR at the limit starts a CR LF.
  std::string raw;
  std::size_t want = max_bytes < SIZE_MAX / 2 ? max_bytes * 2 + 1 : SIZE_MAX;
  char chunk[8192];
  while (raw.size() < want) {
    std::size_t n = file->read(chunk, std::min(sizeof chunk, want - raw.size()));
    if (n == 0) break;
    raw.append(chunk, n);
  }
  *text = text_from_bytes(raw, max_bytes);
  return true;
}

std::string text_from_bytes(std::string_view bytes, std::size_t max_bytes) {
  std::string text;
  // Characters, not bytes: UTF-8's continuation bytes belong to the
  // character before them and are kept with it.
  std::size_t characters = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    char c = bytes[i];
    if (c == '\0') break;
    if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    const bool continuation = (static_cast<unsigned char>(c) & 0xC0) == 0x80;
    if (!continuation && characters++ == max_bytes) break;
    text.push_back(c);
  }
  return text;
}

bool write_text_file(os::Os& os, const std::string& path, const std::string& text) {
  return write_all(os, path, os::OpenMode::write, crlf_line_ends(text));
}

bool append_line(os::Os& os, const std::string& path, const std::string& line) {
  return write_all(os, path, os::OpenMode::append, crlf_line_ends(line + "\n"));
}

bool append_line(os::File& file, const std::string& line) {
  const std::string data = crlf_line_ends(line + "\n");
  return file.write(data.data(), data.size());
}

bool read_binary_file(os::Os& os, const std::string& path, std::size_t max_bytes, std::string* data) {
  data->clear();
  std::unique_ptr<os::File> file = os.open_file(path, os::OpenMode::read);
  if (!file) return false;
  std::uint64_t size = file->size();
  if (size > max_bytes) return false;
  data->resize(static_cast<std::size_t>(size));
  std::size_t got = size == 0 ? 0 : file->read(&(*data)[0], data->size());
  if (got != data->size()) {
    data->clear();
    return false;
  }
  return true;
}

}  // namespace quill
