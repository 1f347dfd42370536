// SHA-256 through OpenSSL's message digests.
#include <openssl/evp.h>

#include <memory>

#include "cli/file_hash.h"

namespace quill::cli {

FileHash hash_file(os::Os& os, const std::string& path) {
  FileHash result;
  auto file = os.open_file(path, os::OpenMode::read);
  std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX*)> context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
  if (!file || !context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1) return result;
  char chunk[65536];
  for (std::size_t n; (n = file->read(chunk, sizeof chunk)) > 0;) {
    if (EVP_DigestUpdate(context.get(), chunk, n) != 1) return result;
    result.size += n;
  }
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(context.get(), digest, &length) != 1) return result;
  // A read that stopped early leaves a file shorter than its status says.
  if (result.size != os.file_status(path).size) return result;
  result.sha256 = os::hex_name(digest, length);
  return result;
}

}  // namespace quill::cli
