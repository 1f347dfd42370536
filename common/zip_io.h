// Lets the ZIP reader and writer do their file access through an os::Os, so
// that archives are read and written in the sandbox and on Windows alike.
#pragma once

#include <minizip/ioapi.h>

#include "os/os.h"

namespace quill {

// Fills `def` with callbacks over `os` for zipOpen2_64 and unzOpen2_64. The
// archive path passed to those functions is an Os path. `os` must outlive
// every archive opened with `def`. Opening an existing archive for update
// (adding to it) is not supported: a new archive, or reading one, is.
void fill_zip_io(os::Os& os, zlib_filefunc64_def* def);

}  // namespace quill
