// Picture loading through the system's OLE picture loader.
#include "installer/win32/picture.h"

#include <ole2.h>
#include <olectl.h>

#include "common/dpi_win32.h"
#include "os/win32_text.h"

namespace quill::installer::win32 {

bool PictureSlot::load(const std::string& path) {
  release();
  HANDLE file = CreateFileW(os::wide(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
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
  // A plain bitmap (JPEG, BMP, opaque GIF) is drawn from its own pixels with
  // a smoothing filter, so a picture stretched to a larger frame (a screen
  // above 100 %) stays smooth; icons, metafiles and transparent pictures
  // draw themselves.
  SHORT type = PICTYPE_NONE;
  DWORD attributes = 0;
  OLE_HANDLE handle = 0;
  picture_->get_Type(&type);
  picture_->get_Attributes(&attributes);
  if (type == PICTYPE_BITMAP && !(attributes & PICTURE_TRANSPARENT) &&
      SUCCEEDED(picture_->get_Handle(&handle)) && handle) {
    HBITMAP bitmap = reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
    BITMAP info = {};
    HDC memory = CreateCompatibleDC(dc);
    if (memory && GetObjectW(bitmap, sizeof info, &info) && info.bmWidth > 0 && info.bmHeight > 0) {
      HGDIOBJ previous = SelectObject(memory, bitmap);
      dpi::smooth_stretch(dc, target, memory, 0, 0, info.bmWidth, info.bmHeight);
      SelectObject(memory, previous);
      DeleteDC(memory);
      return;
    }
    if (memory) DeleteDC(memory);
  }
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  picture_->get_Width(&width);
  picture_->get_Height(&height);
  // Picture objects address their source from the bottom edge upwards.
  picture_->Render(dc, target.left, target.top, target.right - target.left,
                   target.bottom - target.top, 0, height, width, -height, nullptr);
}

}  // namespace quill::installer::win32
