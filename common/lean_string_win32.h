// Included before everything else in the code of the installer stub and the
// uninstaller. The C++ library declares its std::string members as
// instantiated in the library itself, so a program links the library's copy
// of the string class, all of its members in one piece (some 20 KiB). With
// this the members are compiled where they are used, and the linker keeps
// only those. It changes where the code comes from, not what it does.
#pragma once

#include <bits/c++config.h>

#undef _GLIBCXX_EXTERN_TEMPLATE
#define _GLIBCXX_EXTERN_TEMPLATE -1
