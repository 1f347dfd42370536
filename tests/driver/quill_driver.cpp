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
//   click ID                     presses button ID (sends its BN_CLICKED and
//                                returns once handled or once the handler
//                                opened a window)
//   set-text ID TEXT             sets the text of control ID ("\n" in TEXT is
//                                a line end)
//   check ID / uncheck ID        sets check box ID and notifies the window
//   close                        sends the window its close command
// Reading the current window (prints one line, line ends shown as "\n"):
//   text ID                      the text of control ID
//   caption                      the window's caption
//   rect                         the window's screen rectangle "x y width height"
//   client                       its client area on the screen, the same way
//   place ID                     control ID's rectangle in the window's client
//                                area "x y width height"
//   dpi                          the window's resolution (dots per inch)
//   visible ID                   1 when control ID is visible, else 0
//   checked ID                   1 when check box ID is ticked, else 0
//   progress ID                  a progress bar's position and range "pos/low-high"
// Checking (fail the run when not met within 15 seconds):
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
//   start-held LINE BYTES T      starts the command line LINE and holds the
//                                first of its threads that asks to read BYTES
//                                bytes at once, just before the read
//   release T                    lets the held thread go on (the program runs
//                                on alone)
//   wait-file PATH T             waits until PATH exists (the script's sign
//                                that it is ready, say after a screenshot)
//   run LINE T                   runs the command line LINE, waits for it to
//                                end and prints "exit CODE"
//   hold-file PATH               opens the existing file PATH sharing nothing
//                                (as a running program may), until
//                                release-file PATH or the end of this run
//   release-file PATH            closes it again
// Menus, tabs, lists and states of the current window:
//   menu ID                      sends menu command ID (its WM_COMMAND, as click)
//   tab ID INDEX                 clicks tab INDEX of tab control ID and waits
//                                until it is the selected tab
//   pick ID TEXT                 selects the item reading TEXT in list box or
//                                combo box ID and notifies the window
//   enabled ID                   1 when control ID is enabled, else 0
//   expect-enabled ID 0|1        control ID is disabled / enabled
//   focus ID                     gives control ID the keyboard focus
//   key ID delete                presses Delete in control ID (sends the key
//                                down and up messages)
//   mark / elapsed               remembers the time / prints the seconds
//                                since the mark (for benchmarks)
//   children                     lists the current window's controls: "ID
//                                CLASS visible enabled TEXT" (for debugging)
// Tree views (in another process; PATH names an item by its labels from the
// top, separated by "/", for example "%install path%/Data/a.txt"):
//   tree ID                      prints every item, two blanks of indent per
//                                level
//   tree-select ID PATH          selects the item (the window is notified)
//   tree-selected ID             prints the selected item's path
//   tree-rename ID PATH NAME     edits the item's label to NAME and ends the
//                                edit as Enter would
//   expect-tree ID PATH 0|1      the item is absent / present
//   tree-drag ID FROM TO         drags item FROM onto item TO with real mouse
//                                input (button down, moves, button up)
//   tree-drag-hold ID FROM TO    as tree-drag, but leaves the button down
//   mouse-up                     releases the left mouse button
//   tree-drop-target ID          prints the drop-highlighted item's path
//   post MESSAGE WPARAM LPARAM   posts a message (numbers) to the window
//   send MESSAGE WPARAM LPARAM   sends it and waits as click does
//   tree-rclick ID PATH          right-clicks the item with real mouse input
//   popup-choose N T             waits for a pop-up menu and chooses its N-th
//                                entry (separators not counted) with the
//                                keyboard (its entries cannot be read from
//                                another process under Wine)
// Common dialogs (of any process):
//   answer-file PATH T           waits for an open or save file dialog, types
//                                PATH as the file name and presses OK
//   answer-folder PATH T         waits for a folder browser, selects PATH and
//                                presses OK
//   cancel-dialog T              waits for a file dialog or folder browser and
//                                presses Cancel
//
// Example (one line): quill_driver.exe wait-control 1000 20 text 1004
//   click 1000 wait-text 1000 "I Agree" 5 answer yes 10
//
// Texts are UTF-8 both ways: the arguments are read from the UTF-16 command
// line, and every text printed (control texts, captions, list and tree
// labels, box texts) is written as UTF-8 bytes, whatever the code page.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include "held_process.h"
#include "os/win32_text.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr DWORD kPollMs = 50;
// Generous: a busy machine may take seconds to answer; these only end a hang.
constexpr UINT kSendTimeoutMs = 30000;
constexpr double kSettleSeconds = 60.0;
constexpr double kExpectSeconds = 15.0;

HWND g_window = nullptr;
// Files held open by hold-file, by path.
std::vector<std::pair<std::string, HANDLE>> g_held_files;
DWORD g_mark = 0;

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
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &length)) {
    return std::string();
  }
  std::vector<wchar_t> buffer(length + 2, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                      SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied);
  return quill::os::narrow(buffer.data());
}

std::string class_of(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return quill::os::narrow(name);
}

// Windows' comparison of names ignoring letter case.
bool same_name(const std::string& a, const std::string& b) {
  return lstrcmpiW(quill::os::wide(a).c_str(), quill::os::wide(b).c_str()) == 0;
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
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(child));
}

BOOL CALLBACK collect_window(HWND window, LPARAM param) {
  if (IsWindowVisible(window)) reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
  return TRUE;
}

// The visible top-level windows of a thread (its dialogs and message boxes).
std::vector<HWND> thread_windows(DWORD thread) {
  std::vector<HWND> windows;
  EnumThreadWindows(thread, collect_window, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

struct PendingSend {
  HWND window;
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
};

DWORD WINAPI send_pending(void* param) {
  PendingSend* pending = static_cast<PendingSend*>(param);
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(pending->window, pending->message, pending->wparam, pending->lparam, SMTO_NORMAL,
                      static_cast<UINT>(kSettleSeconds * 1000), &ignored);
  return 0;
}

// Delivers a message and returns once the window's handler has run, or has
// opened a window of its own (a modal dialog or message box, which the next
// command talks to), or the window went away. A posted message would be
// overtaken by a message the next command sends; a fixed pause would race a
// busy machine.
void deliver(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  const std::vector<HWND> before = thread_windows(thread);
  // Left to the process's end when the handler stays in a modal loop.
  PendingSend* pending = new PendingSend{window, message, wparam, lparam};
  HANDLE worker = CreateThread(nullptr, 0, send_pending, pending, 0, nullptr);
  if (!worker) fail("no thread to deliver a message");
  poll(kSettleSeconds, [&] {
    if (WaitForSingleObject(worker, 0) == WAIT_OBJECT_0 || !IsWindow(window) || !IsWindowEnabled(window)) {
      return true;
    }
    for (HWND shown : thread_windows(thread)) {
      bool known = false;
      for (HWND old : before) known = known || old == shown;
      if (!known) return true;
    }
    return false;
  });
  CloseHandle(worker);
}

void click(HWND dialog, int id) {
  deliver(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Fails with why() unless `holds` comes true within kExpectSeconds: a state
// that a handler or a timer of the program sets may arrive late.
template <typename Holds, typename Why>
void expect(Holds holds, Why why) {
  if (!poll(kExpectSeconds, holds)) fail(why());
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
  PROCESSENTRY32W entry;
  entry.dwSize = sizeof entry;
  bool running = false;
  const quill::os::WideString wanted = quill::os::wide(name);
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (lstrcmpiW(entry.szExeFile, wanted.c_str()) == 0) {
      running = true;
      break;
    }
  }
  CloseHandle(snapshot);
  return running;
}

// A block of memory inside the process that owns a window, for messages
// whose parameters point at structures (tree view and tab control messages
// carry no marshalling). The driver is built for the same processor as the
// programs it drives, so the structures have the same layout there.
class RemoteBuffer {
 public:
  RemoteBuffer(HWND window, std::size_t size) : size_(size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process_) fail("cannot open the window's process");
    base_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!base_) fail("cannot allocate memory in the window's process");
  }
  ~RemoteBuffer() {
    VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
    CloseHandle(process_);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;

  char* at(std::size_t offset) const { return static_cast<char*>(base_) + offset; }
  void write(std::size_t offset, const void* data, std::size_t size) {
    SIZE_T done = 0;
    if (offset + size > size_ || !WriteProcessMemory(process_, at(offset), data, size, &done)) {
      fail("cannot write into the window's process");
    }
  }
  void read(std::size_t offset, void* data, std::size_t size) {
    SIZE_T done = 0;
    if (offset + size > size_ || !ReadProcessMemory(process_, at(offset), data, size, &done)) {
      fail("cannot read from the window's process");
    }
  }

 private:
  HANDLE process_ = nullptr;
  void* base_ = nullptr;
  std::size_t size_;
};

LRESULT send(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, message, wparam, lparam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
  return static_cast<LRESULT>(result);
}

// --- Tree views.

std::string tree_label(HWND tree, HTREEITEM item) {
  constexpr std::size_t kText = 1024;
  RemoteBuffer remote(tree, sizeof(TVITEMW) + kText * sizeof(wchar_t));
  TVITEMW tv = {};
  tv.mask = TVIF_TEXT | TVIF_HANDLE;
  tv.hItem = item;
  tv.pszText = reinterpret_cast<wchar_t*>(remote.at(sizeof(TVITEMW)));
  tv.cchTextMax = kText;
  remote.write(0, &tv, sizeof tv);
  wchar_t zero = 0;
  remote.write(sizeof(TVITEMW), &zero, sizeof zero);
  if (!send(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.at(0)))) return std::string();
  std::vector<wchar_t> text(kText + 1, L'\0');
  remote.read(sizeof(TVITEMW), text.data(), kText * sizeof(wchar_t));
  return quill::os::narrow(text.data());
}

HTREEITEM tree_next(HWND tree, HTREEITEM item, UINT how) {
  return reinterpret_cast<HTREEITEM>(send(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
}

std::vector<std::string> split_path(const std::string& path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    std::size_t slash = path.find('/', start);
    parts.push_back(path.substr(start, slash - start));
    if (slash == std::string::npos) break;
    start = slash + 1;
  }
  return parts;
}

// The item named by PATH, or null.
HTREEITEM tree_find(HWND tree, const std::string& path) {
  HTREEITEM item = tree_next(tree, nullptr, TVGN_ROOT);
  const std::vector<std::string> parts = split_path(path);
  for (std::size_t level = 0; level < parts.size(); ++level) {
    while (item && tree_label(tree, item) != parts[level]) item = tree_next(tree, item, TVGN_NEXT);
    if (!item) return nullptr;
    if (level + 1 < parts.size()) item = tree_next(tree, item, TVGN_CHILD);
  }
  return item;
}

HTREEITEM tree_item_or_fail(HWND tree, const std::string& path) {
  HTREEITEM item = nullptr;
  // A command may still be filling the tree.
  if (!poll(kSettleSeconds, [&] { return (item = tree_find(tree, path)) != nullptr; })) {
    fail("no tree item " + path);
  }
  return item;
}

std::string tree_path(HWND tree, HTREEITEM item) {
  std::string path;
  for (; item; item = tree_next(tree, item, TVGN_PARENT)) {
    path = path.empty() ? tree_label(tree, item) : tree_label(tree, item) + "/" + path;
  }
  return path;
}

void tree_print(HWND tree, HTREEITEM item, int depth) {
  for (; item; item = tree_next(tree, item, TVGN_NEXT)) {
    std::printf("%s%s\n", std::string(static_cast<std::size_t>(depth) * 2, ' ').c_str(),
                tree_label(tree, item).c_str());
    tree_print(tree, tree_next(tree, item, TVGN_CHILD), depth + 1);
  }
}

// The centre of an item's label on the screen.
POINT tree_item_centre(HWND tree, HTREEITEM item) {
  RemoteBuffer remote(tree, sizeof(RECT));
  remote.write(0, &item, sizeof item);  // TVM_GETITEMRECT takes the item in the rectangle
  if (!send(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(remote.at(0)))) fail("item not visible");
  RECT r;
  remote.read(0, &r, sizeof r);
  POINT p = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  ClientToScreen(tree, &p);
  return p;
}

// Mouse input as the author's hand gives it, in small steps.
void mouse_to(POINT from, POINT to, int steps) {
  for (int i = 1; i <= steps; ++i) {
    SetCursorPos(from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof input);
    Sleep(30);
  }
}

void mouse_button(bool down) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  SendInput(1, &input, sizeof input);
  Sleep(100);
}

void tree_rclick(HWND tree, HTREEITEM item) {
  SetForegroundWindow(GetAncestor(tree, GA_ROOT));
  send(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
  Sleep(200);
  POINT at = tree_item_centre(tree, item);
  POINT cursor;
  GetCursorPos(&cursor);
  mouse_to(cursor, at, 4);
  for (DWORD flag : {MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP}) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flag;
    SendInput(1, &input, sizeof input);
    Sleep(100);
  }
}

bool popup_shown() {
  HWND popup = FindWindowW(L"#32768", nullptr);
  return popup && IsWindowVisible(popup);
}

void press_key(WORD key) {
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_KEYBOARD;
  input[0].ki.wVk = input[1].ki.wVk = key;
  input[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, input, sizeof input[0]);
  Sleep(80);
}

void tree_drag(HWND tree, HTREEITEM from, HTREEITEM to, bool release = true) {
  SetForegroundWindow(GetAncestor(tree, GA_ROOT));
  send(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(to));
  send(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(from));
  Sleep(200);
  POINT start = tree_item_centre(tree, from);
  POINT end = tree_item_centre(tree, to);
  POINT cursor;
  GetCursorPos(&cursor);
  mouse_to(cursor, start, 4);
  mouse_button(true);
  // Past the drag threshold first, then to the target.
  mouse_to(start, {start.x + 12, start.y + 12}, 4);
  mouse_to({start.x + 12, start.y + 12}, end, 10);
  Sleep(200);
  if (release) mouse_button(false);
}

// --- Tabs, lists.

void pick_tab(HWND tabs, int index) {
  RemoteBuffer remote(tabs, sizeof(RECT));
  if (!send(tabs, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(remote.at(0)))) {
    fail("no tab " + std::to_string(index));
  }
  RECT r;
  remote.read(0, &r, sizeof r);
  LPARAM point = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  // A click is what the tab control turns into its own change notices.
  PostMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, point);
  PostMessageW(tabs, WM_LBUTTONUP, 0, point);
  if (!poll(kSettleSeconds, [&] { return send(tabs, TCM_GETCURSEL, 0, 0) == index; })) {
    fail("tab " + std::to_string(index) + " was not selected");
  }
}

void pick_item(HWND dialog, int id, const std::string& text) {
  HWND child = GetDlgItem(dialog, id);
  const bool combo = same_name(class_of(child), "ComboBox");
  const UINT count_message = combo ? CB_GETCOUNT : LB_GETCOUNT;
  const UINT length_message = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
  const UINT text_message = combo ? CB_GETLBTEXT : LB_GETTEXT;
  const LRESULT count = send(child, count_message, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    // Room for the longest text a list item may hold; a length that cannot
    // be asked leaves the item out.
    const LRESULT length = send(child, length_message, i, 0);
    if (length < 0 || length > 4000) continue;
    std::vector<wchar_t> wide(4096, L'\0');
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(child, text_message, i, reinterpret_cast<LPARAM>(wide.data()), SMTO_ABORTIFHUNG,
                        kSendTimeoutMs, &ignored);
    if (text != quill::os::narrow(wide.data())) continue;
    send(child, combo ? CB_SETCURSEL : LB_SETCURSEL, i, 0);
    // Sent, not posted: a message sent by the next command would be handled
    // before a posted one, and the selection's handler would then overwrite
    // what that command set (a shortcut's name, say).
    send(dialog, WM_COMMAND, MAKEWPARAM(id, combo ? CBN_SELCHANGE : LBN_SELCHANGE),
         reinterpret_cast<LPARAM>(child));
    return;
  }
  fail("control " + std::to_string(id) + " holds no item \"" + text + "\"");
}

// --- Common dialogs: a file dialog holds the file name box (combo box 1148
// in the explorer style, edit 1152 in others), a folder browser its tree
// view 14145.

constexpr int kFileNameCombo = 0x47C;
constexpr int kFileNameEdit = 0x480;
constexpr int kFolderTree = 0x3741;

struct CommonDialogSearch {
  bool folder;
  HWND found;
};

BOOL CALLBACK match_common_dialog(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<CommonDialogSearch*>(param);
  if (!IsWindowVisible(window) || class_of(window) != "#32770") return TRUE;
  bool match = search->folder ? GetDlgItem(window, kFolderTree) != nullptr
                              : GetDlgItem(window, kFileNameCombo) || GetDlgItem(window, kFileNameEdit);
  if (!match) return TRUE;
  search->found = window;
  return FALSE;
}

HWND find_common_dialog(bool folder) {
  CommonDialogSearch search = {folder, nullptr};
  EnumWindows(match_common_dialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND wait_common_dialog(bool folder, double timeout) {
  HWND dialog = nullptr;
  if (!poll(timeout, [&] { return (dialog = find_common_dialog(folder)) != nullptr; })) {
    fail(folder ? "no folder browser" : "no file dialog");
  }
  return dialog;
}

class Arguments {
 public:
  explicit Arguments(std::vector<std::string> argv) : argv_(std::move(argv)) {}
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
    click(g_window, id);
  } else if (command == "set-text") {
    HWND child = control(args.number("control"));
    std::string text = unescape(args.text("text"));
    DWORD_PTR result = 0;
    const quill::os::WideString wide = quill::os::wide(text);
    SendMessageTimeoutW(child, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()),
                        SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
  } else if (command == "check" || command == "uncheck") {
    int id = args.number("control");
    HWND child = control(id);
    WPARAM state = command == "check" ? BST_CHECKED : BST_UNCHECKED;
    DWORD_PTR result = 0;
    SendMessageTimeoutW(child, BM_SETCHECK, state, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
    click(g_window, id);
  } else if (command == "close") {
    if (!g_window) fail("no current window");
    deliver(g_window, WM_SYSCOMMAND, SC_CLOSE, 0);
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
  } else if (command == "place") {
    HWND child = control(args.number("control"));
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, g_window, reinterpret_cast<POINT*>(&r), 2);
    std::printf("%ld %ld %ld %ld\n", static_cast<long>(r.left), static_cast<long>(r.top),
                static_cast<long>(r.right - r.left), static_cast<long>(r.bottom - r.top));
  } else if (command == "dpi") {
    if (!g_window) fail("no current window");
    using DpiForWindow = UINT(WINAPI*)(HWND);
    auto for_window = reinterpret_cast<DpiForWindow>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    std::printf("%u\n", for_window ? for_window(g_window) : 0u);
  } else if (command == "visible") {
    std::printf("%d\n", IsWindowVisible(control(args.number("control"))) ? 1 : 0);
  } else if (command == "checked") {
    DWORD_PTR state = 0;
    SendMessageTimeoutW(control(args.number("control")), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG,
                        kSendTimeoutMs, &state);
    std::printf("%d\n", state == BST_CHECKED ? 1 : 0);
  } else if (command == "progress") {
    HWND bar = control(args.number("control"));
    DWORD_PTR position = 0, low = 0, high = 0;
    SendMessageTimeoutW(bar, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &position);
    SendMessageTimeoutW(bar, PBM_GETRANGE, TRUE, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &low);
    SendMessageTimeoutW(bar, PBM_GETRANGE, FALSE, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &high);
    std::printf("%d/%d-%d\n", static_cast<int>(position), static_cast<int>(low),
                static_cast<int>(high));
  } else if (command == "expect-text") {
    int id = args.number("control");
    std::string want = args.text("text");
    std::string have;
    expect([&] { return (have = printable(window_text(control(id)))) == want; },
           [&] { return "control " + std::to_string(id) + " reads \"" + have + "\", not \"" + want + "\""; });
  } else if (command == "expect-visible") {
    int id = args.number("control");
    bool want = args.number("state") != 0;
    expect([&] { return (IsWindowVisible(control(id)) != 0) == want; },
           [&] { return "control " + std::to_string(id) + (want ? " is hidden" : " is visible"); });
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
          SendMessageTimeoutW(bar, PBM_GETRANGE, FALSE, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &high);
          return high == want;
        })) {
      fail("progress range ends at " + std::to_string(high) + ", not " + std::to_string(want));
    }
  } else if (command == "wait-position") {
    HWND bar = control(args.number("control"));
    DWORD_PTR want = static_cast<DWORD_PTR>(args.number("position"));
    DWORD_PTR position = 0;
    if (!poll(args.seconds(), [&] {
          SendMessageTimeoutW(bar, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &position);
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
    poll(kSettleSeconds, [&] { return !IsWindow(box); });
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
  } else if (command == "wait-file") {
    const quill::os::WideString path = quill::os::wide(args.text("path"));
    if (!poll(args.seconds(), [&] { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; })) {
      fail("no file " + quill::os::narrow(path.c_str()));
    }
  } else if (command == "start-held") {
    std::string line = args.text("command line");
    DWORD bytes = static_cast<DWORD>(std::strtoul(args.text("bytes").c_str(), nullptr, 10));
    if (!held::start_and_hold(line, bytes, args.seconds())) fail("no thread read " + std::to_string(bytes) + " bytes");
  } else if (command == "release") {
    if (!held::release(args.seconds())) fail("the held program was not released");
  } else if (command == "run") {
    std::string line = args.text("command line");
    double timeout = args.seconds();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    quill::os::WideString wide_line = quill::os::wide(line);
    if (!CreateProcessW(nullptr, &wide_line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
      fail("cannot start " + line);
    }
    CloseHandle(process.hThread);
    if (WaitForSingleObject(process.hProcess, static_cast<DWORD>(timeout * 1000)) != WAIT_OBJECT_0) {
      fail(line + " did not end");
    }
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    std::printf("exit %lu\n", static_cast<unsigned long>(code));
  } else if (command == "hold-file") {
    std::string path = args.text("path");
    HANDLE file = CreateFileW(quill::os::wide(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) fail("cannot hold " + path);
    g_held_files.emplace_back(path, file);
  } else if (command == "release-file") {
    std::string path = args.text("path");
    bool found = false;
    for (auto it = g_held_files.begin(); it != g_held_files.end(); ++it) {
      if (same_name(it->first, path)) {
        CloseHandle(it->second);
        g_held_files.erase(it);
        found = true;
        break;
      }
    }
    if (!found) fail(path + " is not held");
  } else if (command == "menu") {
    if (!g_window) fail("no current window");
    deliver(g_window, WM_COMMAND, MAKEWPARAM(args.number("command"), 0), 0);
  } else if (command == "tab") {
    HWND tabs = control(args.number("control"));
    pick_tab(tabs, args.number("index"));
  } else if (command == "pick") {
    int id = args.number("control");
    control(id);
    pick_item(g_window, id, args.text("text"));
  } else if (command == "enabled") {
    std::printf("%d\n", IsWindowEnabled(control(args.number("control"))) ? 1 : 0);
  } else if (command == "expect-enabled") {
    int id = args.number("control");
    bool want = args.number("state") != 0;
    expect([&] { return (IsWindowEnabled(control(id)) != 0) == want; },
           [&] { return "control " + std::to_string(id) + (want ? " is disabled" : " is enabled"); });
  } else if (command == "focus") {
    HWND child = control(args.number("control"));
    DWORD thread = GetWindowThreadProcessId(child, nullptr);
    // Focus belongs to the window's thread: share its input state briefly.
    AttachThreadInput(GetCurrentThreadId(), thread, TRUE);
    SetFocus(child);
    AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!poll(kSettleSeconds, [&] { return GetGUIThreadInfo(thread, &info) && info.hwndFocus == child; })) {
      fail("control did not take the focus");
    }
  } else if (command == "key") {
    HWND child = control(args.number("control"));
    std::string name = args.text("key");
    if (name != "delete") fail("unknown key " + name);
    // Sent, not posted: handled before the next command looks.
    send(child, WM_KEYDOWN, VK_DELETE, 0x01530001);
    send(child, WM_KEYUP, VK_DELETE, static_cast<LPARAM>(0xC1530001u));
  } else if (command == "mark") {
    g_mark = GetTickCount();
  } else if (command == "elapsed") {
    std::printf("%.3f\n", (GetTickCount() - g_mark) / 1000.0);
  } else if (command == "children") {
    if (!g_window) fail("no current window");
    for (HWND child = GetWindow(g_window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      std::printf("%d %s %d %d %s\n", GetDlgCtrlID(child), class_of(child).c_str(),
                  IsWindowVisible(child) ? 1 : 0, IsWindowEnabled(child) ? 1 : 0,
                  printable(window_text(child)).c_str());
    }
  } else if (command == "tree") {
    HWND tree = control(args.number("control"));
    tree_print(tree, tree_next(tree, nullptr, TVGN_ROOT), 0);
  } else if (command == "tree-select") {
    HWND tree = control(args.number("control"));
    HTREEITEM item = tree_item_or_fail(tree, args.text("path"));
    send(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    if (!poll(kSettleSeconds, [&] { return tree_next(tree, nullptr, TVGN_CARET) == item; })) {
      fail("tree item was not selected");
    }
  } else if (command == "tree-selected") {
    HWND tree = control(args.number("control"));
    std::printf("%s\n", tree_path(tree, tree_next(tree, nullptr, TVGN_CARET)).c_str());
  } else if (command == "tree-rename") {
    HWND tree = control(args.number("control"));
    HTREEITEM item = tree_item_or_fail(tree, args.text("path"));
    std::string name = args.text("name");
    HWND edit = reinterpret_cast<HWND>(send(tree, TVM_EDITLABELW, 0, reinterpret_cast<LPARAM>(item)));
    if (!edit) fail("label editing refused");
    const quill::os::WideString wide = quill::os::wide(name);
    send(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    send(tree, TVM_ENDEDITLABELNOW, FALSE, 0);
  } else if (command == "expect-tree") {
    HWND tree = control(args.number("control"));
    std::string path = args.text("path");
    bool want = args.number("state") != 0;
    expect([&] { return (tree_find(tree, path) != nullptr) == want; },
           [&] { return "tree item " + path + (want ? " is missing" : " is present"); });
  } else if (command == "tree-drag") {
    HWND tree = control(args.number("control"));
    HTREEITEM from = tree_item_or_fail(tree, args.text("from"));
    HTREEITEM to = tree_item_or_fail(tree, args.text("to"));
    tree_drag(tree, from, to);
  } else if (command == "tree-drag-hold") {
    HWND tree = control(args.number("control"));
    HTREEITEM from = tree_item_or_fail(tree, args.text("from"));
    tree_drag(tree, from, tree_item_or_fail(tree, args.text("to")), false);
  } else if (command == "mouse-up") {
    mouse_button(false);
  } else if (command == "tree-drop-target") {
    HWND tree = control(args.number("control"));
    HTREEITEM item = tree_next(tree, nullptr, TVGN_DROPHILITE);
    std::printf("%s\n", item ? tree_path(tree, item).c_str() : "");
  } else if (command == "post" || command == "send") {
    if (!g_window) fail("no current window");
    UINT message = static_cast<UINT>(args.number("message"));
    WPARAM wparam = static_cast<WPARAM>(args.number("wparam"));
    LPARAM lparam = static_cast<LPARAM>(args.number("lparam"));
    if (command == "post") PostMessageW(g_window, message, wparam, lparam);
    else deliver(g_window, message, wparam, lparam);
  } else if (command == "tree-rclick") {
    HWND tree = control(args.number("control"));
    tree_rclick(tree, tree_item_or_fail(tree, args.text("path")));
  } else if (command == "popup-choose") {
    int entry = args.number("entry");
    if (!poll(args.seconds(), popup_shown)) fail("no pop-up menu");
    for (int i = 0; i < entry; ++i) press_key(VK_DOWN);
    press_key(VK_RETURN);
  } else if (command == "answer-file" || command == "answer-folder") {
    const bool folder = command == "answer-folder";
    std::string path = args.text("path");
    HWND dialog = wait_common_dialog(folder, args.seconds());
    if (folder) {
      // The browser may still be filling its tree: select until its tree
      // shows the folder's own name as the selection.
      const quill::os::WideString wide = quill::os::wide(path);
      RemoteBuffer remote(dialog, (wide.size() + 1) * sizeof(wchar_t));
      remote.write(0, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
      const std::string name = path.substr(path.find_last_of('\\') + 1);
      HWND tree = GetDlgItem(dialog, kFolderTree);
      if (!poll(10.0, [&] {
            send(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(remote.at(0)));
            Sleep(100);
            return same_name(tree_label(tree, tree_next(tree, nullptr, TVGN_CARET)), name);
          })) {
        fail("the folder browser did not select " + path);
      }
    } else {
      HWND name = GetDlgItem(dialog, kFileNameCombo);
      if (!name) name = GetDlgItem(dialog, kFileNameEdit);
      const quill::os::WideString wide = quill::os::wide(path);
      send(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    }
    post_click(dialog, IDOK);
    // A question (replace the file?) may keep it open; the script answers it.
    poll(kSettleSeconds, [&] { return !IsWindow(dialog) || !IsWindowVisible(dialog) || find_box(0, "") != nullptr; });
  } else if (command == "cancel-dialog") {
    double timeout = args.seconds();
    HWND dialog = nullptr;
    if (!poll(timeout, [&] { return (dialog = find_common_dialog(false)) || (dialog = find_common_dialog(true)); })) {
      fail("no file dialog or folder browser");
    }
    post_click(dialog, IDCANCEL);
    poll(kSettleSeconds, [&] { return !IsWindow(dialog); });
  } else {
    fail("unknown command " + command);
  }
  std::fflush(stdout);
}

}  // namespace

// The driver reads windows in the screen's own pixels, whatever the
// resolution the programs it drives are aware of.
void become_dpi_aware() {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  using SetContext = BOOL(WINAPI*)(HANDLE);
  using SetAware = BOOL(WINAPI*)();
  auto set_context = reinterpret_cast<SetContext>(
      reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDpiAwarenessContext")));
  // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
  if (set_context && set_context(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4)))) return;
  auto set_aware =
      reinterpret_cast<SetAware>(reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDPIAware")));
  if (set_aware) set_aware();
}

// The arguments after the program's name, as UTF-8.
std::vector<std::string> utf8_arguments() {
  std::vector<std::string> args;
  int count = 0;
  LPWSTR* list = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!list) return args;
  for (int i = 1; i < count; ++i) args.push_back(quill::os::narrow(list[i]));
  LocalFree(list);
  return args;
}

int main() {
  become_dpi_aware();
  Arguments args(utf8_arguments());
  if (args.done()) {
    std::fprintf(stderr, "usage: quill_driver.exe COMMAND ARGS... (see the source's header)\n");
    return 2;
  }
  while (!args.done()) run(args.text("command"), args);
  return 0;
}
