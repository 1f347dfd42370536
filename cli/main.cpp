// quillset-build: builds an installer package from a project file.
//
// Text is UTF-8 inside. On Linux the arguments and the output are UTF-8
// bytes already. On Windows the arguments come from the UTF-16 command line,
// and the output goes to a console as UTF-16 (whatever its code page) and to
// a file or pipe as the UTF-8 bytes.
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <streambuf>

#include "os/win32_text.h"
#endif

#include "cli/command.h"
#include "cli/platform.h"

namespace {

void on_interrupt(int) { quill::cli::request_abort(); }

#ifdef _WIN32

// The arguments after the program's name, from the UTF-16 command line.
std::vector<std::string> arguments() {
  std::vector<std::string> args;
  int count = 0;
  LPWSTR* list = CommandLineToArgvW(GetCommandLineW(), &count);
  if (list == nullptr) return args;
  for (int i = 1; i < count; ++i) args.push_back(quill::os::narrow(list[i]));
  LocalFree(list);
  return args;
}

// One of the standard outputs: written through WriteConsoleW when it is a
// console, else as the bytes themselves through the C stream (which keeps
// the line ends the program wrote before). A character split between two
// writes waits for its remaining bytes.
class OutputBuffer : public std::streambuf {
 public:
  OutputBuffer(DWORD which, std::FILE* stream) : handle_(GetStdHandle(which)), stream_(stream) {
    DWORD mode = 0;
    console_ = handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE && GetConsoleMode(handle_, &mode);
  }

  // Writes what is pending, an incomplete last character included.
  void finish() {
    write(pending_.size());
    pending_.clear();
  }

 protected:
  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      pending_.push_back(traits_type::to_char_type(c));
      if (pending_.size() >= kFlushAt) sync();
    }
    return traits_type::not_eof(c);
  }

  std::streamsize xsputn(const char* text, std::streamsize count) override {
    pending_.append(text, static_cast<std::size_t>(count));
    if (pending_.size() >= kFlushAt) sync();
    return count;
  }

  int sync() override {
    // Up to the last whole character.
    std::size_t end = pending_.size();
    std::size_t back = 0;
    while (back < 3 && back < end && (static_cast<unsigned char>(pending_[end - 1 - back]) & 0xC0) == 0x80) {
      ++back;
    }
    if (back < end) {
      const unsigned char lead = static_cast<unsigned char>(pending_[end - 1 - back]);
      const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
      if (length > back + 1) end -= back + 1;
    }
    const bool ok = write(end);
    pending_.erase(0, end);
    return ok ? 0 : -1;
  }

 private:
  static constexpr std::size_t kFlushAt = 4096;

  bool write(std::size_t length) {
    if (length == 0) return true;
    if (!console_) {
      const bool ok = std::fwrite(pending_.data(), 1, length, stream_) == length;
      return std::fflush(stream_) == 0 && ok;
    }
    const quill::os::WideString text = quill::os::wide(pending_.substr(0, length));
    DWORD written = 0;
    return WriteConsoleW(handle_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) != 0;
  }

  HANDLE handle_;
  std::FILE* stream_;
  bool console_ = false;
  std::string pending_;
};

// Puts the buffers in place of std::cout's and std::cerr's for its lifetime.
class Utf8Output {
 public:
  Utf8Output()
      : out_(STD_OUTPUT_HANDLE, stdout),
        err_(STD_ERROR_HANDLE, stderr),
        old_out_(std::cout.rdbuf(&out_)),
        old_err_(std::cerr.rdbuf(&err_)) {}
  ~Utf8Output() {
    std::cout.flush();
    std::cerr.flush();
    out_.finish();
    err_.finish();
    std::cout.rdbuf(old_out_);
    std::cerr.rdbuf(old_err_);
  }

 private:
  OutputBuffer out_;
  OutputBuffer err_;
  std::streambuf* old_out_;
  std::streambuf* old_err_;
};

#else

std::vector<std::string> arguments(int argc, char** argv) { return {argv + 1, argv + argc}; }

#endif

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  (void)argc;
  (void)argv;
  Utf8Output output;
  std::vector<std::string> args = arguments();
#else
  std::vector<std::string> args = arguments(argc, argv);
#endif
  std::string error;
  auto platform = quill::cli::make_platform(&error);
  if (!platform) {
    std::cerr << "quillset-build: error: " << error << "\n";
    return 1;
  }
  std::signal(SIGINT, on_interrupt);
  std::signal(SIGTERM, on_interrupt);
  return quill::cli::run_command(args, *platform, std::cout, std::cerr);
}
