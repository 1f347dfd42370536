// The system's length limit shared by every program of the suite.
#pragma once

#include <cstddef>

namespace quill {

// The longest path, line of a text file, box text or registry text the
// programs keep: 259 characters, as the system's 260-byte buffers hold them
// with their closing zero.
constexpr std::size_t kMaxPathLength = 259;

}  // namespace quill
