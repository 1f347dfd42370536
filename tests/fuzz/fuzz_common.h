// Helpers shared by the fuzz targets: files on the in-memory machine, paths
// resolved as the machine resolves them, and splitting one input into
// several files.
#pragma once

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/paths.h"
#include "tests/support/memory_os.h"
#include "text/unicode.h"

// Harness code: no coverage feedback from it (clang only).
#if defined(__clang__)
#define QUILL_HARNESS __attribute__((no_sanitize("coverage")))
#else
#define QUILL_HARNESS
#endif

namespace quill::fuzz {

[[noreturn]] QUILL_HARNESS inline void fail(const std::string& what) {
  std::fprintf(stderr, "property broken: %s\n", what.c_str());
  std::abort();
}

QUILL_HARNESS inline bool put_file(os::Os& os, const std::string& path, const std::string& bytes) {
  auto file = os.open_file(path, os::OpenMode::write);
  return file && file->write(bytes.data(), bytes.size());
}

QUILL_HARNESS inline std::string get_file(os::Os& os, const std::string& path) {
  auto file = os.open_file(path, os::OpenMode::read);
  if (!file) return std::string();
  std::string bytes(static_cast<std::size_t>(file->size()), '\0');
  bytes.resize(file->read(&bytes[0], bytes.size()));
  return bytes;
}

// The input cut at lines "====" into exactly `count` parts (missing ones
// empty, the last one takes the rest).
QUILL_HARNESS inline std::vector<std::string> split_parts(const std::string& input, std::size_t count) {
  std::vector<std::string> parts;
  std::size_t at = 0;
  while (parts.size() + 1 < count) {
    std::size_t end = input.find("\n====\n", at);
    if (end == std::string::npos) break;
    parts.push_back(input.substr(at, end - at));
    at = end + 6;
  }
  parts.push_back(at <= input.size() ? input.substr(at) : std::string());
  parts.resize(count);
  return parts;
}

namespace detail {

// Starts `result` with the drive of `path` ("C:" for a relative path) and
// gives where the path's parts begin; false for paths outside any drive.
QUILL_HARNESS inline bool drive_of(const std::string& path, std::string* result, std::size_t* parts_at) {
  if (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':') {
    result->assign(1, ascii_upper(path[0]));
    *result += ':';
    *parts_at = 2;
    return true;
  }
  if ((path.size() >= 2 && is_path_separator(path[0]) && is_path_separator(path[1])) || (!path.empty() && path[0] == '/')) {
    return false;
  }
  result->assign("C:");
  *parts_at = 0;
  return true;
}

// Applies the part path[begin, end) to `result`: "" and "." change
// nothing, ".." drops the last part, any other is added upper-case.
QUILL_HARNESS inline void add_part(const std::string& path, std::size_t begin, std::size_t end, std::string* result) {
  const std::size_t length = end - begin;
  const char* part = path.data() + begin;
  if (length == 0 || (length == 1 && part[0] == '.')) return;
  if (length == 2 && part[0] == '.' && part[1] == '.') {
    // Parts hold no '\', so the last one starts at the last '\'.
    if (result->size() > 2) result->resize(result->rfind('\\'));
    return;
  }
  *result += '\\';
  // The machine's own letter-case rule: names outside ASCII too.
  *result += text::upper_case(std::string_view(part, length));
}

}  // namespace detail

// A drive path as the machine resolves it, upper-case, with '\' only and no
// trailing separator ("C:\PROGRAM FILES\TOOL"); a relative path counts from
// C:\. Empty for paths outside any drive.
QUILL_HARNESS inline std::string machine_path(const std::string& path) {
  std::string result;
  std::size_t at = 0;
  if (!detail::drive_of(path, &result, &at)) return std::string();
  result.reserve(path.size() + 2);
  while (at <= path.size()) {
    std::size_t end = at;
    while (end < path.size() && !is_path_separator(path[end])) ++end;
    detail::add_part(path, at, end, &result);
    at = end + 1;
  }
  return result;
}

// The machine paths of `path` cut before each of its separators, then of
// the whole path: the folders a path passes through as written, ".." parts
// and all. In one pass where the cuts all lie past the drive.
QUILL_HARNESS inline std::vector<std::string> machine_paths_along(const std::string& path) {
  std::vector<std::string> paths;
  std::string result;
  std::size_t at = 0;
  if (!detail::drive_of(path, &result, &at)) {
    for (std::size_t cut = 0; cut < path.size(); ++cut) {
      if (is_path_separator(path[cut])) paths.push_back(machine_path(path.substr(0, cut)));
    }
    paths.push_back(std::string());
    return paths;
  }
  while (at <= path.size()) {
    std::size_t end = at;
    while (end < path.size() && !is_path_separator(path[end])) ++end;
    detail::add_part(path, at, end, &result);
    paths.push_back(result);
    at = end + 1;
  }
  return paths;
}

QUILL_HARNESS inline bool same_name(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

// True when machine path `inner` is `outer` or lies below it.
QUILL_HARNESS inline bool is_within(const std::string& inner, const std::string& outer) {
  if (outer.empty() || inner.size() < outer.size() || inner.compare(0, outer.size(), outer) != 0) return false;
  return inner.size() == outer.size() || inner[outer.size()] == '\\';
}

}  // namespace quill::fuzz
