// Starts a program under the driver's debugger and holds the first thread
// that asks ReadFile for a given number of bytes, just before that read, so a
// test can act in the middle of a long operation at a fixed point instead of
// racing it. A breakpoint on ReadFile's first byte finds the call; the
// thread's other ReadFile calls step over it. Released, the thread goes on
// and the debugger detaches, leaving the program to run alone.
#include "held_process.h"
#include "os/win32_text.h"

#include <map>
#include <string>
#include <vector>

namespace held {
namespace {

constexpr BYTE kBreakpoint = 0xCC;
constexpr DWORD kTrapFlag = 0x100;

struct Run {
  std::string command_line;
  DWORD read_size = 0;
  HANDLE held = nullptr;     // set once a thread is held, or the program ended
  HANDLE release = nullptr;  // set by release()
  HANDLE loop = nullptr;     // the debugger's thread
  bool ended = false;        // the program ended before a thread was held
};

Run g_run;

bool write_code(HANDLE process, BYTE* at, BYTE value) {
  SIZE_T written = 0;
  return WriteProcessMemory(process, at, &value, 1, &written) && written == 1 &&
         FlushInstructionCache(process, at, 1);
}

// The byte count of the ReadFile call a thread stopped at (its third argument).
DWORD bytes_asked(HANDLE process, const CONTEXT& context) {
#ifdef _WIN64
  (void)process;
  return static_cast<DWORD>(context.R8);
#else
  DWORD size = 0;
  SIZE_T got = 0;
  ReadProcessMemory(process, reinterpret_cast<void*>(context.Esp + 12), &size, sizeof size, &got);
  return size;
#endif
}

// Puts the thread back at the breakpoint's address: whether a system
// reports the instruction pointer on or just past the breakpoint byte, the
// thread then runs the restored instruction.
void resume_at(CONTEXT* context, const BYTE* at) {
#ifdef _WIN64
  context->Rip = reinterpret_cast<DWORD64>(at);
#else
  context->Eip = reinterpret_cast<DWORD>(at);
#endif
}

DWORD WINAPI debug_loop(void*) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  quill::os::WideString line = quill::os::wide(g_run.command_line);  // the call may write into it
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS, nullptr,
                      nullptr, &startup, &info)) {
    SetEvent(g_run.held);
    return 1;
  }
  DebugSetProcessKillOnExit(FALSE);
  BYTE* target = reinterpret_cast<BYTE*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "ReadFile"));
  BYTE original = 0;
  bool armed = false;
  std::map<DWORD, HANDLE> threads = {{info.dwThreadId, info.hThread}};
  DWORD stepping = 0;  // a thread stepping over ReadFile's first byte
  HANDLE held_thread = nullptr;
  for (;;) {
    DEBUG_EVENT event = {};
    if (!WaitForDebugEvent(&event, 50)) {
      // The held thread waits; the program's other threads keep running.
      if (WaitForSingleObject(g_run.release, 0) == WAIT_OBJECT_0) {
        if (!held_thread) write_code(info.hProcess, target, original);
        if (held_thread) ResumeThread(held_thread);
        DebugActiveProcessStop(info.dwProcessId);
        return 0;
      }
      continue;
    }
    DWORD status = DBG_CONTINUE;
    bool ended = false;
    switch (event.dwDebugEventCode) {
      case CREATE_PROCESS_DEBUG_EVENT:
        if (event.u.CreateProcessInfo.hFile) CloseHandle(event.u.CreateProcessInfo.hFile);
        break;
      case LOAD_DLL_DEBUG_EVENT:
        if (event.u.LoadDll.hFile) CloseHandle(event.u.LoadDll.hFile);
        break;
      case CREATE_THREAD_DEBUG_EVENT:
        threads[event.dwThreadId] = event.u.CreateThread.hThread;
        break;
      case EXIT_THREAD_DEBUG_EVENT:
        threads.erase(event.dwThreadId);
        break;
      case EXIT_PROCESS_DEBUG_EVENT:
        ended = true;
        break;
      case EXCEPTION_DEBUG_EVENT: {
        const EXCEPTION_RECORD& record = event.u.Exception.ExceptionRecord;
        HANDLE thread = threads[event.dwThreadId];
        if (record.ExceptionCode == EXCEPTION_BREAKPOINT && record.ExceptionAddress == target && armed) {
          CONTEXT context = {};
          context.ContextFlags = CONTEXT_CONTROL | CONTEXT_INTEGER;
          GetThreadContext(thread, &context);
          resume_at(&context, target);
          write_code(info.hProcess, target, original);
          if (!held_thread && bytes_asked(info.hProcess, context) == g_run.read_size) {
            armed = false;
            held_thread = thread;
            SetThreadContext(thread, &context);
            SuspendThread(thread);
            SetEvent(g_run.held);
          } else {
            context.EFlags |= kTrapFlag;
            SetThreadContext(thread, &context);
            stepping = event.dwThreadId;
          }
        } else if (record.ExceptionCode == EXCEPTION_SINGLE_STEP && event.dwThreadId == stepping) {
          stepping = 0;
          if (!held_thread) write_code(info.hProcess, target, kBreakpoint);
        } else if (record.ExceptionCode == EXCEPTION_BREAKPOINT && !armed && !held_thread) {
          // The system's breakpoint once the program's libraries are loaded.
          SIZE_T got = 0;
          armed = ReadProcessMemory(info.hProcess, target, &original, 1, &got) &&
                  write_code(info.hProcess, target, kBreakpoint);
        } else if (event.u.Exception.dwFirstChance) {
          status = DBG_EXCEPTION_NOT_HANDLED;
        }
        break;
      }
      default:
        break;
    }
    ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
    if (ended) {
      g_run.ended = !held_thread;
      SetEvent(g_run.held);
      return 0;
    }
  }
}

}  // namespace

bool start_and_hold(const std::string& command_line, DWORD read_size, double seconds) {
  g_run.command_line = command_line;
  g_run.read_size = read_size;
  g_run.held = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  g_run.release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  g_run.loop = CreateThread(nullptr, 0, debug_loop, nullptr, 0, nullptr);
  if (!g_run.loop) return false;
  return WaitForSingleObject(g_run.held, static_cast<DWORD>(seconds * 1000)) == WAIT_OBJECT_0 && !g_run.ended;
}

bool release(double seconds) {
  if (!g_run.loop) return false;
  SetEvent(g_run.release);
  const bool detached = WaitForSingleObject(g_run.loop, static_cast<DWORD>(seconds * 1000)) == WAIT_OBJECT_0;
  CloseHandle(g_run.loop);
  g_run.loop = nullptr;
  return detached;
}

}  // namespace held
