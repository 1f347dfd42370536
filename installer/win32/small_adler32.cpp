// zlib's Adler-32 in a few bytes instead of its unrolled form, which the
// stub would otherwise carry: ZIP data is raw deflate, without an Adler-32,
// so inflate asks for it only of zlib-wrapped streams, which the stub never
// reads. Still the checksum, only slower.
#include <zlib.h>

extern "C" uLong ZEXPORT adler32(uLong adler, const Bytef* buf, uInt len) {
  constexpr uLong kBase = 65521;
  if (buf == Z_NULL) return 1;
  uLong a = adler & 0xFFFF;
  uLong b = (adler >> 16) & 0xFFFF;
  for (; len > 0; --len) {
    a = (a + *buf++) % kBase;
    b = (b + a) % kBase;
  }
  return b << 16 | a;
}
