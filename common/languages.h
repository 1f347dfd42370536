// The languages the installer and the uninstaller speak, in the order they
// are listed. The code names a language on the command line (/LANG=de), in
// the project file and in a package's entry names.
#pragma once

#include <cstddef>
#include <string_view>

namespace quill::language {

struct Language {
  std::string_view code;
  std::string_view english_name;
  std::string_view native_name;  // UTF-8
  unsigned short langid;         // the Windows language identifier
};

inline constexpr Language kLanguages[] = {
    {"en", "English", "English", 0x0409},
    {"de", "German", "Deutsch", 0x0407},
    {"fr", "French", "Fran\xC3\xA7" "ais", 0x040C},
    {"es", "Spanish", "Espa\xC3\xB1ol", 0x0C0A},
    {"it", "Italian", "Italiano", 0x0410},
    {"pt-BR", "Portuguese (Brazil)", "Portugu\xC3\xAAs (Brasil)", 0x0416},
    {"nl", "Dutch", "Nederlands", 0x0413},
    {"pl", "Polish", "Polski", 0x0415},
    {"ru", "Russian", "\xD0\xA0\xD1\x83\xD1\x81\xD1\x81\xD0\xBA\xD0\xB8\xD0\xB9", 0x0419},
    {"ja", "Japanese", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", 0x0411},
    {"zh-CN", "Chinese (Simplified)", "\xE7\xAE\x80\xE4\xBD\x93\xE4\xB8\xAD\xE6\x96\x87", 0x0804},
    {"ko", "Korean", "\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4", 0x0412},
};
inline constexpr std::size_t kLanguageCount = sizeof(kLanguages) / sizeof(kLanguages[0]);
// English, the default and the fallback, is the first.
inline constexpr std::size_t kEnglish = 0;

}  // namespace quill::language
