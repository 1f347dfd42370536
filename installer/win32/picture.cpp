// Picture loading through the system's OLE picture loader.
#include "installer/win32/picture.h"

#include <ole2.h>
#include <olectl.h>

namespace quill::installer::win32 {

bool PictureSlot::load(const std::string& path) {
  release();
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD size = GetFileSize(file, nullptr);
  HGLOBAL memory = nullptr;
  bool read_ok = false;
  if (size != INVALID_FILE_SIZE && size > 0) {
    memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (memory) {
      void* data = GlobalLock(memory);
      DWORD got = 0;
      read_ok = data && ReadFile(file, data, size, &got, nullptr) && got == size;
      GlobalUnlock(memory);
    }
  }
  CloseHandle(file);
  if (!read_ok) {
    if (memory) GlobalFree(memory);
    return false;
  }
  // The stream owns the block and frees it when released.
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
    GlobalFree(memory);
    return false;
  }
  IPicture* picture = nullptr;
  HRESULT loaded = OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                                  reinterpret_cast<void**>(&picture));
  stream->Release();
  if (FAILED(loaded) || !picture) return false;
  picture_ = picture;
  path_ = path;
  return true;
}

void PictureSlot::release() {
  if (picture_) picture_->Release();
  picture_ = nullptr;
  path_.clear();
}

SIZE PictureSlot::size_himetric() const {
  SIZE size = {0, 0};
  if (!picture_) return size;
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  picture_->get_Width(&width);
  picture_->get_Height(&height);
  size.cx = width;
  size.cy = height;
  return size;
}

void PictureSlot::draw(HDC dc, const RECT& target) const {
  if (!picture_) return;
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  picture_->get_Width(&width);
  picture_->get_Height(&height);
  // Picture objects address their source from the bottom edge upwards.
  picture_->Render(dc, target.left, target.top, target.right - target.left,
                   target.bottom - target.top, 0, height, width, -height, nullptr);
}

}  // namespace quill::installer::win32
