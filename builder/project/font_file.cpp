// Looking up the font file of a face.
#include "builder/project/font_file.h"

#include <cctype>
#include <cstdlib>

namespace quill::project {

namespace {

const char* const kStandardFaces[] = {
    "Arial", "Arial Black", "Comic Sans MS", "Courier", "Courier New", "Fixedsys", "Georgia",
    "Impact", "Lucida Console", "Lucida Sans Unicode", "Marlett", "Microsoft Sans Serif", "Modern",
    "MS Sans Serif", "MS Serif", "MS Shell Dlg", "MS Shell Dlg 2", "Palatino Linotype", "Roman",
    "Script", "Small Fonts", "Symbol", "System", "Tahoma", "Terminal", "Times New Roman",
    "Trebuchet MS", "Verdana", "Webdings", "Wingdings"};

const char kFontsKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

// Lower case without blanks, dashes and underscores.
std::string squeezed(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == ' ' || c == '-' || c == '_') continue;
    out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return out;
}

bool is_font_file_name(const std::string& name, std::string* stem) {
  std::size_t dot = name.find_last_of('.');
  if (dot == std::string::npos) return false;
  std::string extension = squeezed(name.substr(dot + 1));
  if (extension != "ttf" && extension != "otf" && extension != "ttc" && extension != "fon") return false;
  *stem = squeezed(name.substr(0, dot));
  return true;
}

// The style words of the font: "Bold", "Italic", "Bold Italic" or "".
std::string style_of(const FontLines& font) {
  bool bold = std::atoi(font.weight.c_str()) >= 600;
  bool italic = std::atoi(font.italic.c_str()) != 0;
  if (bold && italic) return "Bold Italic";
  if (bold) return "Bold";
  if (italic) return "Italic";
  return "";
}

bool is_file(os::Os& os, const std::string& path) {
  os::FileStatus status = os.file_status(path);
  return status.exists && !status.is_folder;
}

std::string from_registry(os::Os& os, const std::string& face, const std::string& style) {
  std::vector<std::string> names;
  for (const char* kind : {" (TrueType)", " (OpenType)"}) {
    if (!style.empty()) names.push_back(face + " " + style + kind);
    names.push_back(face + kind);
  }
  const std::string fonts_folder = os.special_folder(os::SpecialFolder::windows) + "\\Fonts\\";
  for (os::RegistryRoot root : {os::RegistryRoot::local_machine, os::RegistryRoot::current_user}) {
    for (const std::string& name : names) {
      std::string value;
      if (os.registry_read_string(root, kFontsKey, name, &value) != os::Error::none || value.empty()) continue;
      const bool full = value.find('\\') != std::string::npos || value.find('/') != std::string::npos;
      std::string path = full ? value : fonts_folder + value;
      if (is_file(os, path)) return path;
    }
  }
  return "";
}

// The best match below `folder`: rank 0 is the style's own file, 1 the
// regular one, 2 the bare face name.
void search(os::Os& os, const std::string& folder, const std::vector<std::string>& wanted, int depth,
            std::string* best, int* best_rank) {
  std::vector<os::FolderEntry> entries;
  if (os.list_folder(folder, &entries) != os::Error::none) return;
  const char separator = folder.find('\\') != std::string::npos ? '\\' : '/';
  const std::string prefix = folder.empty() || folder.back() == separator ? folder : folder + separator;
  for (const os::FolderEntry& entry : entries) {
    if (entry.is_link) continue;
    if (entry.is_folder) {
      if (depth > 0) search(os, prefix + entry.name, wanted, depth - 1, best, best_rank);
      continue;
    }
    std::string stem;
    if (!is_font_file_name(entry.name, &stem)) continue;
    for (int rank = 0; rank < static_cast<int>(wanted.size()) && rank < *best_rank; ++rank) {
      if (stem == wanted[rank]) {
        *best = prefix + entry.name;
        *best_rank = rank;
        break;
      }
    }
  }
}

}  // namespace

bool is_standard_face(const std::string& face) {
  const std::string key = squeezed(face);
  for (const char* standard : kStandardFaces) {
    if (squeezed(standard) == key) return true;
  }
  return false;
}

std::string find_font_file(os::Os& os, const FontLines& font, const std::vector<std::string>& folders) {
  if (font.face.empty()) return "";
  const std::string style = style_of(font);
  std::string path = from_registry(os, font.face, style);
  if (!path.empty()) return path;
  const std::string face = squeezed(font.face);
  std::vector<std::string> wanted = {face + squeezed(style.empty() ? "Regular" : style), face + "regular", face};
  std::string best;
  int rank = static_cast<int>(wanted.size());
  for (const std::string& folder : folders) {
    search(os, folder, wanted, 3, &best, &rank);
    if (rank == 0) break;
  }
  return best;
}

}  // namespace quill::project
