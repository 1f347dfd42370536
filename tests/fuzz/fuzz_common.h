// Helpers shared by the fuzz targets: files on the in-memory machine, a
// snapshot of the whole drive for "what changed" properties, paths resolved
// as the machine resolves them, and splitting one input into several files.
#pragma once

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "os/memory_os.h"

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

// A drive path as the machine resolves it, upper-case, with '\' only and no
// trailing separator ("C:\PROGRAM FILES\TOOL"); a relative path counts from
// C:\. Empty for paths outside any drive.
QUILL_HARNESS inline std::string machine_path(const std::string& path) {
  auto sep = [](char c) { return c == '\\' || c == '/'; };
  std::string result;
  std::size_t i = 0;
  if (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':') {
    result = std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])))) + ":";
    i = 2;
  } else if ((path.size() >= 2 && sep(path[0]) && sep(path[1])) || (!path.empty() && path[0] == '/')) {
    return std::string();
  } else {
    result = "C:";
  }
  // Built in place: `starts` holds where each part's "\" stands, so ".."
  // drops the last part by cutting the text.
  std::vector<std::size_t> starts;
  result.reserve(path.size() + 2);
  while (i < path.size()) {
    while (i < path.size() && sep(path[i])) ++i;
    std::size_t end = i;
    while (end < path.size() && !sep(path[end])) ++end;
    const std::size_t length = end - i;
    const char* part = path.data() + i;
    i = end;
    if (length == 0 || (length == 1 && part[0] == '.')) continue;
    if (length == 2 && part[0] == '.' && part[1] == '.') {
      if (!starts.empty()) {
        result.resize(starts.back());
        starts.pop_back();
      }
      continue;
    }
    starts.push_back(result.size());
    result += '\\';
    for (std::size_t k = 0; k < length; ++k) {
      result += static_cast<char>(std::toupper(static_cast<unsigned char>(part[k])));
    }
  }
  return result;
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

// Every folder and file of drive C:, by machine path: "<folder>" for a
// folder, else the file's read-only mark and bytes.
QUILL_HARNESS inline std::map<std::string, std::string> snapshot(os::Os& os) {
  std::map<std::string, std::string> all;
  std::vector<std::string> folders = {"C:"};
  while (!folders.empty()) {
    std::string folder = folders.back();
    folders.pop_back();
    all[folder] = "<folder>";
    std::vector<os::FolderEntry> entries;
    os.list_folder(folder + "\\", &entries);
    for (const os::FolderEntry& entry : entries) {
      std::string path = machine_path(folder + "\\" + entry.name);
      if (entry.is_folder) {
        folders.push_back(path);
      } else {
        all[path] = (entry.read_only ? "r:" : "w:") + get_file(os, path);
      }
    }
  }
  return all;
}

// The same from the in-memory machine's own tree, without a walk through
// the OS interface.
QUILL_HARNESS inline std::map<std::string, std::string> snapshot(os::MemoryOs& os) {
  return os.drive_contents();
}

// The paths that differ between two snapshots (added, removed or changed).
QUILL_HARNESS inline std::vector<std::string> changed_paths(const std::map<std::string, std::string>& before,
                                              const std::map<std::string, std::string>& after) {
  std::vector<std::string> changed;
  for (const auto& [path, what] : before) {
    auto it = after.find(path);
    if (it == after.end() || it->second != what) changed.push_back(path);
  }
  for (const auto& [path, what] : after) {
    if (before.count(path) == 0) changed.push_back(path);
  }
  return changed;
}

}  // namespace quill::fuzz
