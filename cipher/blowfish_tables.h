// The published initial values of the Blowfish P-array and S-boxes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quill::cipher {

// 18 P-array words followed by four S-boxes of 256 words each.
constexpr std::size_t kInitialTableWords = 18 + 4 * 256;

extern const std::uint32_t kInitialTables[kInitialTableWords];

}  // namespace quill::cipher
