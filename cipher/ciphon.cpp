// The library's two exports over the file cipher.
#include "cipher/ciphon.h"

#include "cipher/file_cipher.h"

using quill::cipher::cipher_file;
using quill::cipher::default_allocator;
using quill::cipher::Direction;

extern "C" CIPHON_API int CIPHON_CALL Enblow(const char* input_path, const char* output_path,
                                             const unsigned char* key) {
    return static_cast<int>(
        cipher_file(Direction::encipher, input_path, output_path, key, default_allocator()));
}

extern "C" CIPHON_API int CIPHON_CALL Deblow(const char* input_path, const char* output_path,
                                             const unsigned char* key) {
    return static_cast<int>(
        cipher_file(Direction::decipher, input_path, output_path, key, default_allocator()));
}
