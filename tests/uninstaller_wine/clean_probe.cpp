// clean_probe.exe: what the general test driver does not offer for the
// uninstaller's progress dialog. Console program, run under Wine.
//
// Usage: clean_probe.exe CAPTION COMMAND [ARG]
//   count ID        prints the number of lines of list box ID
//   last ID         prints the last line of list box ID
//   selected ID     prints the index of the selected line of list box ID
//   key ID VK       posts a key press (virtual-key code, decimal) to control
//                   ID, as typed while it has the focus, and waits 500 ms
//   init            sends the dialog a second WM_INITDIALOG and waits 500 ms
//   present         prints 1 when a visible window CAPTION exists, else 0
// Exit code 1 (and "FAIL: ..." on stderr) when the window or control is
// missing.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int fail(const char* what) {
  std::fprintf(stderr, "FAIL: %s\n", what);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return fail("usage: clean_probe.exe CAPTION COMMAND [ARG]");
  const std::string command = argv[2];
  HWND window = FindWindowA(nullptr, argv[1]);
  if (command == "present") {
    std::printf("%d\n", window != nullptr && IsWindowVisible(window) ? 1 : 0);
    return 0;
  }
  if (window == nullptr) return fail("no such window");
  if (command == "init") {
    SendMessageA(window, WM_INITDIALOG, 0, 0);
    Sleep(500);
    return 0;
  }
  if (argc < 4) return fail("missing control id");
  HWND control = GetDlgItem(window, std::atoi(argv[3]));
  if (control == nullptr) return fail("no such control");
  if (command == "count") {
    std::printf("%ld\n", static_cast<long>(SendMessageA(control, LB_GETCOUNT, 0, 0)));
  } else if (command == "selected") {
    std::printf("%ld\n", static_cast<long>(SendMessageA(control, LB_GETCURSEL, 0, 0)));
  } else if (command == "last") {
    LRESULT count = SendMessageA(control, LB_GETCOUNT, 0, 0);
    if (count <= 0) return fail("empty list");
    // Wide text: Wine hands list box text to another process reliably only
    // in its Unicode form.
    LRESULT length = SendMessageW(control, LB_GETTEXTLEN, count - 1, 0);
    std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(control, LB_GETTEXT, count - 1, reinterpret_cast<LPARAM>(&wide[0]));
    char buffer[1024] = {};
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, buffer, sizeof buffer - 1, nullptr, nullptr);
    std::string text = buffer;
    std::printf("%s\n", text.c_str());
  } else if (command == "key" && argc >= 5) {
    WPARAM key = static_cast<WPARAM>(std::atoi(argv[4]));
    PostMessageA(control, WM_KEYDOWN, key, 1);
    PostMessageA(control, WM_KEYUP, key, 0xC0000001);
    Sleep(500);
  } else {
    return fail("unknown command");
  }
  return 0;
}
