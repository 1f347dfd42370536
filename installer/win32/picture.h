// A slot holding one loaded picture (JPEG, BMP, GIF, icon or metafile) and
// its drawing, stretched into a rectangle.
#pragma once

#include <windows.h>

#include <string>

struct IPicture;

namespace quill::installer::win32 {

class PictureSlot {
 public:
  PictureSlot() = default;
  ~PictureSlot() { release(); }
  PictureSlot(const PictureSlot&) = delete;
  PictureSlot& operator=(const PictureSlot&) = delete;

  // Loads the file into the slot, releasing what it held. A file that cannot
  // be read or decoded leaves the slot empty; false then.
  bool load(const std::string& path);
  void release();
  bool empty() const { return picture_ == nullptr; }
  // The path last loaded successfully ("" when empty).
  const std::string& path() const { return path_; }

  // The picture's own size in HIMETRIC units (0 x 0 when empty).
  SIZE size_himetric() const;

  // Draws the whole picture stretched into `target` (client coordinates).
  void draw(HDC dc, const RECT& target) const;

 private:
  IPicture* picture_ = nullptr;
  std::string path_;
};

}  // namespace quill::installer::win32
