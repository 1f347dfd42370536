// Console driver for Ciphon.dll: loads the library by name, looks up an
// export and calls it, as an outside caller would.
//   ciphon_check [--time] Enblow|Deblow INPUT OUTPUT KEYHEX
//   ciphon_check --bits
// KEYHEX is 40 hexadecimal digits (20 bytes). Prints the export's result,
// with --time followed by " in S s", the call's own duration (the
// benchmark's figure, free of the process's start-up); --bits prints
// whether this is a 32-bit or a 64-bit build.
// Exit code: 0 after the call, 1 for bad usage, 2 when the library or the
// export cannot be found. The paths reach the export as UTF-8, read from the
// UTF-16 command line.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "os/win32_text.h"

namespace {

typedef int(__cdecl* FileCipher)(const char*, const char*, const unsigned char*);

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool parse_key(const char* text, unsigned char key[20]) {
    if (std::strlen(text) != 40) return false;
    for (int i = 0; i < 20; ++i) {
        const int hi = hex_digit(text[2 * i]);
        const int lo = hex_digit(text[2 * i + 1]);
        if (hi < 0 || lo < 0) return false;
        key[i] = static_cast<unsigned char>(hi * 16 + lo);
    }
    return true;
}

}  // namespace

int main() {
    std::vector<std::string> texts;
    int count = 0;
    if (LPWSTR* list = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i) texts.push_back(quill::os::narrow(list[i]));
        LocalFree(list);
    }
    std::vector<char*> pointers;
    for (std::string& text : texts) pointers.push_back(&text[0]);
    pointers.push_back(nullptr);
    int argc = static_cast<int>(texts.size());
    char** argv = pointers.data();
    if (argc == 2 && std::strcmp(argv[1], "--bits") == 0) {
        std::printf("%u\n", static_cast<unsigned>(sizeof(void*) * 8));
        return 0;
    }
    const bool timed = argc > 1 && std::strcmp(argv[1], "--time") == 0;
    if (timed) {
        --argc;
        ++argv;
    }
    unsigned char key[20];
    if (argc != 5 || !parse_key(argv[4], key)) {
        std::fprintf(stderr, "usage: ciphon_check [--time] Enblow|Deblow INPUT OUTPUT KEYHEX40\n");
        return 1;
    }
    HMODULE library = LoadLibraryW(L"Ciphon.dll");
    if (!library) {
        std::printf("cannot load Ciphon.dll (error %lu)\n", GetLastError());
        return 2;
    }
    FileCipher function = reinterpret_cast<FileCipher>(
        reinterpret_cast<void*>(GetProcAddress(library, argv[1])));
    if (!function) {
        std::printf("Ciphon.dll has no export %s\n", argv[1]);
        FreeLibrary(library);
        return 2;
    }
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    const int result = function(argv[2], argv[3], key);
    QueryPerformanceCounter(&end);
    if (timed)
        std::printf("%s returned %d in %.6f s\n", argv[1], result,
                    static_cast<double>(end.QuadPart - start.QuadPart) /
                        static_cast<double>(frequency.QuadPart));
    else
        std::printf("%s returned %d\n", argv[1], result);
    FreeLibrary(library);
    return 0;
}
