// Layout scaling (see dpi.h).
#include "common/dpi.h"

namespace quill::dpi {

int scale(int pixels, int dpi) {
  if (dpi < 1 || dpi == kBase) return pixels;
  const long long product = static_cast<long long>(pixels) * dpi;
  const long long half = kBase / 2;
  return static_cast<int>(product >= 0 ? (product + half) / kBase : -((-product + half) / kBase));
}

}  // namespace quill::dpi
