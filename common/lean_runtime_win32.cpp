// Replaces the C++ runtime's exception throwers in the small Windows programs
// (the stub and the uninstaller), which are built without exceptions. The
// library's own throwers would pull in exception objects, the unwinder and the
// name demangler of the verbose terminate handler, a third of the stub's size.
// None of these conditions arises from input: a failed allocation or a
// library precondition ends the process at once.
#include <windows.h>

#include <bits/functexcept.h>
#include <cxxabi.h>

#include <unwind.h>

#include <cstdlib>
#include <ctime>
#include <new>

namespace {
[[noreturn]] void fail() { std::abort(); }
}  // namespace

namespace std {
void __throw_bad_exception() { fail(); }
void __throw_bad_alloc() { fail(); }
void __throw_bad_array_new_length() { fail(); }
void __throw_bad_cast() { fail(); }
void __throw_bad_typeid() { fail(); }
void __throw_logic_error(const char*) { fail(); }
void __throw_domain_error(const char*) { fail(); }
void __throw_invalid_argument(const char*) { fail(); }
void __throw_length_error(const char*) { fail(); }
void __throw_out_of_range(const char*) { fail(); }
void __throw_out_of_range_fmt(const char*, ...) { fail(); }
void __throw_runtime_error(const char*) { fail(); }
void __throw_range_error(const char*) { fail(); }
void __throw_overflow_error(const char*) { fail(); }
void __throw_underflow_error(const char*) { fail(); }
void __throw_ios_failure(const char*) { fail(); }
void __throw_ios_failure(const char*, int) { fail(); }
void __throw_system_error(int) { fail(); }
void __throw_future_error(int) { fail(); }
void __throw_bad_function_call() { fail(); }
}  // namespace std

// Allocation that ends the process when memory runs out instead of throwing;
// the library's own operator new carries the exception machinery with it.
void* operator new(std::size_t size) {
  if (void* p = std::malloc(size ? size : 1)) return p;
  fail();
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return std::malloc(size ? size : 1);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

#if defined(__i386__)
// The library's prebuilt string code carries unwind tables whose personality
// routine would pull in the unwinder and, through it, the POSIX thread
// library. Nothing in these programs throws, so the routine is never reached.
extern "C" _Unwind_Reason_Code __gxx_personality_v0(int, _Unwind_Action, _Unwind_Exception_Class,
                                                    _Unwind_Exception*, _Unwind_Context*) {
  fail();
}

// Catch-and-rethrow blocks in the same prebuilt code name these; no exception
// is ever in flight to reach them.
extern "C" void __cxa_rethrow() { fail(); }
extern "C" void* __cxa_begin_catch(void*) noexcept { fail(); }
extern "C" void __cxa_end_catch() { fail(); }
extern "C" void _Unwind_Resume(_Unwind_Exception*) { fail(); }
#elif defined(__x86_64__)
// The same for x86_64, whose prebuilt code names the structured exception
// handling form of the personality routine.
extern "C" EXCEPTION_DISPOSITION __gxx_personality_seh0(PEXCEPTION_RECORD, void*, PCONTEXT,
                                                        PDISPATCHER_CONTEXT) {
  fail();
}
extern "C" void __cxa_rethrow() { fail(); }
extern "C" void* __cxa_begin_catch(void*) noexcept { fail(); }
extern "C" void __cxa_end_catch() { fail(); }
extern "C" void _Unwind_Resume(_Unwind_Exception*) { fail(); }
#endif

// std::this_thread::sleep_for lands here; the thread library's version would
// bring that whole library along.
extern "C" int nanosleep(const struct timespec* request, struct timespec* remain) {
  const long long ms = static_cast<long long>(request->tv_sec) * 1000 + (request->tv_nsec + 999999) / 1000000;
  Sleep(ms > 0x7FFFFFFE ? 0x7FFFFFFE : static_cast<DWORD>(ms));
  if (remain) remain->tv_sec = 0, remain->tv_nsec = 0;
  return 0;
}

namespace __gnu_cxx {
void __verbose_terminate_handler() { fail(); }
}  // namespace __gnu_cxx

// The runtime's hook for math errors prints them to the standard error
// stream, which windowed programs lack, and brings formatted output along.
// This one leaves each error to the default handling, as that one does
// after printing.
extern "C" int _matherr(struct _exception*) { return 0; }

// Start-up patching of references to a library's data that the linker
// imported automatically. These programs are linked with automatic imports
// turned off (the linker refuses such a reference), so there is never
// anything to patch; the runtime's patcher and its error reports are left out.
extern "C" void _pei386_runtime_relocator() {}

// Guards of function-local statics. The runtime's own guards need the POSIX
// thread library; these use one process-wide recursive lock, enough for the
// handful of statics these programs construct.
namespace {
volatile LONG lock_owner = 0;  // thread id holding the lock, 0 when free
int lock_depth = 0;

void lock() {
  const LONG self = static_cast<LONG>(GetCurrentThreadId());
  if (lock_owner == self) {
    ++lock_depth;
    return;
  }
  while (InterlockedCompareExchange(&lock_owner, self, 0) != 0) Sleep(0);
  lock_depth = 1;
}

void unlock() {
  if (--lock_depth == 0) InterlockedExchange(&lock_owner, 0);
}

bool initialised(const __cxxabiv1::__guard* g) {
  return *reinterpret_cast<const volatile char*>(g) != 0;
}
}  // namespace

namespace __cxxabiv1 {
extern "C" int __cxa_guard_acquire(__guard* g) {
  if (initialised(g)) return 0;
  lock();
  if (initialised(g)) {
    unlock();
    return 0;
  }
  return 1;  // the caller constructs the object, then releases or aborts
}

extern "C" void __cxa_guard_release(__guard* g) noexcept {
  *reinterpret_cast<volatile char*>(g) = 1;
  unlock();
}

extern "C" void __cxa_guard_abort(__guard*) noexcept { unlock(); }
}  // namespace __cxxabiv1
