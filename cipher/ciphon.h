/* Ciphon: enciphers and deciphers whole files with Blowfish and a 20-byte
   key. Both functions read `key[0..19]` as raw bytes and return 0 when the
   output file holds the result, or a nonzero reason otherwise:
     1 the input is missing or unreadable (the output is left empty)
     2 the input does not fit in memory (the output is left empty)
     3 the output could not be written
     4 a null argument (nothing is touched)
   The input is read whole before the output is written, so both may name
   the same file. Enblow pads the last block with zero bytes; Deblow writes
   exactly as many bytes as it reads. */
#ifndef CIPHON_H
#define CIPHON_H

#if defined(_WIN32)
#  if defined(CIPHON_BUILDING)
#    define CIPHON_API __declspec(dllexport)
#  else
#    define CIPHON_API __declspec(dllimport)
#  endif
#  define CIPHON_CALL __cdecl
#else
#  define CIPHON_API __attribute__((visibility("default")))
#  define CIPHON_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

CIPHON_API int CIPHON_CALL Enblow(const char* input_path, const char* output_path,
                                  const unsigned char* key);
CIPHON_API int CIPHON_CALL Deblow(const char* input_path, const char* output_path,
                                  const unsigned char* key);

#ifdef __cplusplus
}
#endif

#endif
