// quill_driver.exe: drives the suite's Windows programs from test scripts by
// control identifier. Runs under Wine as a console program.
//
// Usage: quill_driver.exe COMMAND ARGS... [COMMAND ARGS...]...
// The commands run in order; the first failure prints "FAIL: ..." on stderr
// and ends the run with exit code 1. Timeouts are in seconds (decimals
// allowed); every wait polls every 50 ms until the timeout.
//
// Finding a window (sets the current window used by the commands below):
//   wait-window CLASS CAPTION T  a visible top-level window of class CLASS
//                                whose caption begins with CAPTION ("-" for
//                                either matches anything; "=TEXT" matches the
//                                caption TEXT exactly)
//   wait-control ID T            a visible top-level window holding a visible
//                                control ID
//   wait-gone T                  the current window is closed or hidden
// Acting on the current window:
//   click ID                     presses button ID (posts its BN_CLICKED)
//   set-text ID TEXT             sets the text of control ID ("\n" in TEXT is
//                                a line end)
//   check ID / uncheck ID        sets check box ID and notifies the window
//   close                        sends the window its close command
// Reading the current window (prints one line, line ends shown as "\n"):
//   text ID                      the text of control ID
//   caption                      the window's caption
//   rect                         the window's screen rectangle "x y width height"
//   client                       its client area on the screen, the same way
//   visible ID                   1 when control ID is visible, else 0
//   checked ID                   1 when check box ID is ticked, else 0
//   progress ID                  a progress bar's position and range "pos/low-high"
// Checking (fail the run when not met):
//   expect-text ID TEXT          control ID reads exactly TEXT
//   expect-visible ID 0|1        control ID is hidden / visible
//   wait-text ID TEXT T          waits until control ID reads TEXT
//   wait-range ID HIGH T         waits until progress bar ID's range ends at HIGH
//   wait-position ID POS T       waits until progress bar ID's position is at
//                                least POS
// Message boxes:
//   answer BUTTON T              waits for a message box offering BUTTON
//                                (yes, no, ok, cancel, abort, retry,
//                                ignore), prints
//                                "box: CAPTION | TEXT" and presses BUTTON
//   answer-text TEXT BUTTON T    the same for a box whose text contains TEXT
//   wait-box TEXT T              waits for a box whose text contains TEXT,
//                                leaving it open
//   no-box T                     fails when a message box appears within T
// Processes:
//   wait-process NAME T          waits until no process named NAME (for
//                                example ext.exe) runs
//
// Example (one line): quill_driver.exe wait-control 1000 20 text 1004
//   click 1000 wait-text 1000 "I Agree" 5 answer yes 10
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr DWORD kPollMs = 50;
constexpr UINT kSendTimeoutMs = 2000;

HWND g_window = nullptr;

[[noreturn]] void fail(const std::string& why) {
  std::fprintf(stderr, "FAIL: %s\n", why.c_str());
  std::fflush(stderr);
  std::fflush(stdout);
  std::exit(1);
}

std::string printable(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\r') continue;
    if (c == '\n') out += "\\n";
    else out += c;
  }
  return out;
}

// "\n" in a command-line text stands for a line end.
std::string unescape(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
      out += "\r\n";
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

// Waits until `ready` answers true or `seconds` pass; true when it did.
template <typename Ready>
bool poll(double seconds, Ready ready) {
  DWORD start = GetTickCount();
  DWORD limit = static_cast<DWORD>(seconds * 1000.0);
  for (;;) {
    if (ready()) return true;
    if (GetTickCount() - start >= limit) return false;
    Sleep(kPollMs);
  }
}

// The text of a window, asked through WM_GETTEXT so that it works across
// processes and for edit controls.
std::string window_text(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &length)) {
    return std::string();
  }
  std::vector<char> buffer(length + 2, '\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutA(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                      SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied);
  return std::string(buffer.data());
}

std::string class_of(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

struct Search {
  std::string class_name;  // empty: any
  std::string caption;     // empty: any (prefix match)
  int control = 0;         // 0: none required
  HWND found = nullptr;
};

BOOL CALLBACK match_window(HWND window, LPARAM param) {
  Search* search = reinterpret_cast<Search*>(param);
  if (!IsWindowVisible(window)) return TRUE;
  if (!search->class_name.empty() && class_of(window) != search->class_name) return TRUE;
  if (!search->caption.empty()) {
    const std::string caption = window_text(window);
    if (search->caption[0] == '=' ? caption != search->caption.substr(1)
                                  : caption.compare(0, search->caption.size(), search->caption) != 0) {
      return TRUE;
    }
  }
  if (search->control != 0) {
    HWND child = GetDlgItem(window, search->control);
    if (!child || !IsWindowVisible(child)) return TRUE;
  }
  search->found = window;
  return FALSE;
}

HWND find_top_level(Search search) {
  EnumWindows(match_window, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND control(int id) {
  if (!g_window || !IsWindow(g_window)) fail("no current window");
  HWND child = GetDlgItem(g_window, id);
  if (!child) fail("no control " + std::to_string(id));
  return child;
}

void post_click(HWND dialog, int id) {
  HWND child = GetDlgItem(dialog, id);
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(child));
}

int button_id(const std::string& name) {
  if (name == "yes") return IDYES;
  if (name == "no") return IDNO;
  if (name == "ok") return IDOK;
  if (name == "cancel") return IDCANCEL;
  if (name == "abort") return IDABORT;
  if (name == "retry") return IDRETRY;
  if (name == "ignore") return IDIGNORE;
  fail("unknown button " + name);
}

// A message box: a dialog whose text is the static control 0xFFFF and which
// offers at least one of the standard answer buttons.
struct BoxSearch {
  int button = 0;    // 0: any standard button
  std::string text;  // empty: any text
  HWND found = nullptr;
};

BOOL CALLBACK match_box(HWND window, LPARAM param) {
  BoxSearch* search = reinterpret_cast<BoxSearch*>(param);
  if (!IsWindowVisible(window) || class_of(window) != "#32770") return TRUE;
  HWND text = GetDlgItem(window, 0xFFFF);
  if (!text) return TRUE;
  if (!search->text.empty() && window_text(text).find(search->text) == std::string::npos) return TRUE;
  const int buttons[] = {IDOK, IDCANCEL, IDYES, IDNO, IDABORT, IDRETRY, IDIGNORE};
  for (int id : buttons) {
    if ((search->button == 0 || search->button == id) && GetDlgItem(window, id)) {
      search->found = window;
      return FALSE;
    }
  }
  return TRUE;
}

HWND find_box(int button, const std::string& text = std::string()) {
  BoxSearch search;
  search.button = button;
  search.text = text;
  EnumWindows(match_box, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool process_running(const std::string& name) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof entry;
  bool running = false;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (lstrcmpiA(entry.szExeFile, name.c_str()) == 0) {
      running = true;
      break;
    }
  }
  CloseHandle(snapshot);
  return running;
}

class Arguments {
 public:
  Arguments(int argc, char** argv) : argv_(argv + 1, argv + argc) {}
  bool done() const { return next_ >= argv_.size(); }
  std::string text(const char* what) {
    if (done()) fail(std::string("missing ") + what);
    return argv_[next_++];
  }
  int number(const char* what) { return std::atoi(text(what).c_str()); }
  double seconds() { return std::atof(text("timeout").c_str()); }

 private:
  std::vector<std::string> argv_;
  std::size_t next_ = 0;
};

void run(const std::string& command, Arguments& args) {
  if (command == "wait-window") {
    Search search;
    search.class_name = args.text("class");
    search.caption = args.text("caption");
    if (search.class_name == "-") search.class_name.clear();
    if (search.caption == "-") search.caption.clear();
    double timeout = args.seconds();
    if (!poll(timeout, [&] { return (g_window = find_top_level(search)) != nullptr; })) {
      fail("no window " + search.class_name + " \"" + search.caption + "\"");
    }
  } else if (command == "wait-control") {
    Search search;
    search.control = args.number("control");
    double timeout = args.seconds();
    if (!poll(timeout, [&] { return (g_window = find_top_level(search)) != nullptr; })) {
      fail("no window with control " + std::to_string(search.control));
    }
  } else if (command == "wait-gone") {
    double timeout = args.seconds();
    HWND window = g_window;
    if (!poll(timeout, [&] { return !IsWindow(window) || !IsWindowVisible(window); })) {
      fail("window still open");
    }
  } else if (command == "click") {
    int id = args.number("control");
    control(id);
    post_click(g_window, id);
  } else if (command == "set-text") {
    HWND child = control(args.number("control"));
    std::string text = unescape(args.text("text"));
    DWORD_PTR result = 0;
    SendMessageTimeoutA(child, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                        SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
  } else if (command == "check" || command == "uncheck") {
    int id = args.number("control");
    HWND child = control(id);
    WPARAM state = command == "check" ? BST_CHECKED : BST_UNCHECKED;
    DWORD_PTR result = 0;
    SendMessageTimeoutA(child, BM_SETCHECK, state, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
    post_click(g_window, id);
  } else if (command == "close") {
    if (!g_window) fail("no current window");
    PostMessageA(g_window, WM_SYSCOMMAND, SC_CLOSE, 0);
  } else if (command == "text") {
    std::printf("%s\n", printable(window_text(control(args.number("control")))).c_str());
  } else if (command == "caption") {
    if (!g_window) fail("no current window");
    std::printf("%s\n", printable(window_text(g_window)).c_str());
  } else if (command == "rect") {
    if (!g_window) fail("no current window");
    RECT r;
    GetWindowRect(g_window, &r);
    std::printf("%ld %ld %ld %ld\n", static_cast<long>(r.left), static_cast<long>(r.top),
                static_cast<long>(r.right - r.left), static_cast<long>(r.bottom - r.top));
  } else if (command == "client") {
    if (!g_window) fail("no current window");
    RECT r;
    GetClientRect(g_window, &r);
    POINT origin = {0, 0};
    ClientToScreen(g_window, &origin);
    std::printf("%ld %ld %ld %ld\n", static_cast<long>(origin.x), static_cast<long>(origin.y),
                static_cast<long>(r.right), static_cast<long>(r.bottom));
  } else if (command == "visible") {
    std::printf("%d\n", IsWindowVisible(control(args.number("control"))) ? 1 : 0);
  } else if (command == "checked") {
    DWORD_PTR state = 0;
    SendMessageTimeoutA(control(args.number("control")), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG,
                        kSendTimeoutMs, &state);
    std::printf("%d\n", state == BST_CHECKED ? 1 : 0);
  } else if (command == "progress") {
    HWND bar = control(args.number("control"));
    DWORD_PTR position = 0, low = 0, high = 0;
    SendMessageTimeoutA(bar, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &position);
    SendMessageTimeoutA(bar, PBM_GETRANGE, TRUE, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &low);
    SendMessageTimeoutA(bar, PBM_GETRANGE, FALSE, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &high);
    std::printf("%d/%d-%d\n", static_cast<int>(position), static_cast<int>(low),
                static_cast<int>(high));
  } else if (command == "expect-text") {
    int id = args.number("control");
    std::string want = args.text("text");
    std::string have = printable(window_text(control(id)));
    if (have != want) fail("control " + std::to_string(id) + " reads \"" + have + "\", not \"" + want + "\"");
  } else if (command == "expect-visible") {
    int id = args.number("control");
    bool want = args.number("state") != 0;
    if ((IsWindowVisible(control(id)) != 0) != want) {
      fail("control " + std::to_string(id) + (want ? " is hidden" : " is visible"));
    }
  } else if (command == "wait-text") {
    int id = args.number("control");
    std::string want = args.text("text");
    double timeout = args.seconds();
    std::string have;
    if (!poll(timeout, [&] { return (have = printable(window_text(control(id)))) == want; })) {
      fail("control " + std::to_string(id) + " reads \"" + have + "\", not \"" + want + "\"");
    }
  } else if (command == "wait-range") {
    HWND bar = control(args.number("control"));
    DWORD_PTR want = static_cast<DWORD_PTR>(args.number("high"));
    DWORD_PTR high = 0;
    if (!poll(args.seconds(), [&] {
          SendMessageTimeoutA(bar, PBM_GETRANGE, FALSE, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &high);
          return high == want;
        })) {
      fail("progress range ends at " + std::to_string(high) + ", not " + std::to_string(want));
    }
  } else if (command == "wait-position") {
    HWND bar = control(args.number("control"));
    DWORD_PTR want = static_cast<DWORD_PTR>(args.number("position"));
    DWORD_PTR position = 0;
    if (!poll(args.seconds(), [&] {
          SendMessageTimeoutA(bar, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &position);
          return position >= want;
        })) {
      fail("progress position stays at " + std::to_string(position));
    }
  } else if (command == "answer" || command == "answer-text") {
    std::string text = command == "answer-text" ? unescape(args.text("text")) : std::string();
    int id = button_id(args.text("button"));
    double timeout = args.seconds();
    HWND box = nullptr;
    if (!poll(timeout, [&] { return (box = find_box(id, text)) != nullptr; })) {
      fail("no message box" + (text.empty() ? std::string() : " saying \"" + text + "\""));
    }
    std::printf("box: %s | %s\n", printable(window_text(box)).c_str(),
                printable(window_text(GetDlgItem(box, 0xFFFF))).c_str());
    post_click(box, id);
    poll(5.0, [&] { return !IsWindow(box); });
  } else if (command == "wait-box") {
    std::string text = unescape(args.text("text"));
    double timeout = args.seconds();
    if (!poll(timeout, [&] { return find_box(0, text) != nullptr; })) {
      fail("no message box saying \"" + text + "\"");
    }
  } else if (command == "no-box") {
    double timeout = args.seconds();
    HWND box = nullptr;
    if (poll(timeout, [&] { return (box = find_box(0)) != nullptr; })) {
      fail("unexpected message box: " + printable(window_text(GetDlgItem(box, 0xFFFF))));
    }
  } else if (command == "wait-process") {
    std::string name = args.text("name");
    double timeout = args.seconds();
    if (!poll(timeout, [&] { return !process_running(name); })) fail(name + " still runs");
  } else {
    fail("unknown command " + command);
  }
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  Arguments args(argc, argv);
  if (args.done()) {
    std::fprintf(stderr, "usage: quill_driver.exe COMMAND ARGS... (see the source's header)\n");
    return 2;
  }
  while (!args.done()) run(args.text("command"), args);
  return 0;
}
