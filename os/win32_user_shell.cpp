// Starting a file through the desktop user's shell; see win32_user_shell.h.
// The shell's scripting object of the desktop window carries a ShellExecute
// that runs inside the desktop's explorer: the desktop window, found among
// the shell's windows, gives its browser, the browser its active view, the
// view's background its scripting object, and that object the shell's
// application object.
#include "os/win32_user_shell.h"
#include "os/win32_text.h"

#include <windows.h>
#include <exdisp.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include "os/win32_os.h"

namespace quill::os {
namespace {

// One COM reference, given back at the end of its scope.
template <class T>
class Ref {
 public:
  Ref() = default;
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  ~Ref() {
    if (pointer_) pointer_->Release();
  }
  T* operator->() const { return pointer_; }
  T** out() { return &pointer_; }
  void** out_void() { return reinterpret_cast<void**>(&pointer_); }

 private:
  T* pointer_ = nullptr;
};

// A string variant; the caller clears it.
VARIANT text_variant(const quill::os::WideString& text) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocString(text.c_str());
  return v;
}

// The shell application object of the desktop's explorer; false when there
// is no desktop shell to reach.
bool desktop_shell(IShellDispatch2** shell) {
  Ref<IShellWindows> windows;
  if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                              windows.out_void()))) {
    return false;
  }
  VARIANT location;  // empty: the desktop itself
  VariantInit(&location);
  VARIANT root;
  VariantInit(&root);
  LONG window = 0;
  Ref<IDispatch> desktop;
  // S_FALSE: no desktop window is registered.
  if (windows->FindWindowSW(&location, &root, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH,
                            desktop.out()) != S_OK) {
    return false;
  }
  Ref<IServiceProvider> services;
  Ref<IShellBrowser> browser;
  Ref<IShellView> view;
  Ref<IDispatch> background;
  Ref<IShellFolderViewDual> folder_view;
  Ref<IDispatch> application;
  return SUCCEEDED(desktop->QueryInterface(IID_IServiceProvider, services.out_void())) &&
         SUCCEEDED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser,
                                          browser.out_void())) &&
         SUCCEEDED(browser->QueryActiveShellView(view.out())) &&
         SUCCEEDED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.out_void())) &&
         SUCCEEDED(background->QueryInterface(IID_IShellFolderViewDual,
                                              folder_view.out_void())) &&
         SUCCEEDED(folder_view->get_Application(application.out())) &&
         SUCCEEDED(application->QueryInterface(IID_IShellDispatch2,
                                               reinterpret_cast<void**>(shell)));
}

}  // namespace

Error open_through_desktop_shell(const std::string& file) {
  const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  Error result = Error::not_found;
  {
    Ref<IShellDispatch2> shell;
    if (desktop_shell(shell.out())) {
      wchar_t folder[MAX_PATH] = {};
      const DWORD length = GetCurrentDirectoryW(MAX_PATH, folder);
      BSTR name = SysAllocString(wide(file).c_str());
      // An empty operation is the file's default one.
      VARIANT arguments = text_variant(L"");
      VARIANT directory = text_variant(length > 0 && length < MAX_PATH ? folder : L"");
      VARIANT operation = text_variant(L"");
      VARIANT show;
      VariantInit(&show);
      show.vt = VT_I4;
      show.lVal = SW_SHOW;
      if (name && SUCCEEDED(shell->ShellExecute(name, arguments, directory, operation, show))) {
        result = Error::none;
      }
      VariantClear(&arguments);
      VariantClear(&directory);
      VariantClear(&operation);
      SysFreeString(name);
    }
  }
  if (SUCCEEDED(init)) CoUninitialize();
  return result;
}

Error Win32Os::open_as_desktop_user(const std::string& file) {
  if (open_through_desktop_shell(file) == Error::none) return Error::none;
  return shell_open_default(file);
}

}  // namespace quill::os
