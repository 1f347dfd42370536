// SHA-256 through Windows' CNG (bcrypt.dll, a known system DLL).
#include <windows.h>
#include <bcrypt.h>

#include "cli/file_hash.h"
#include "cli/hex_digest.h"

namespace quill::cli {

namespace {

// An open SHA-256 provider and hash object, closed on every way out.
class Sha256 {
 public:
  Sha256() {
    if (BCryptOpenAlgorithmProvider(&algorithm_, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0) algorithm_ = nullptr;
    if (algorithm_ && BCryptCreateHash(algorithm_, &hash_, nullptr, 0, nullptr, 0, 0) != 0) hash_ = nullptr;
  }
  ~Sha256() {
    if (hash_) BCryptDestroyHash(hash_);
    if (algorithm_) BCryptCloseAlgorithmProvider(algorithm_, 0);
  }
  bool ok() const { return hash_ != nullptr; }
  bool add(char* data, std::size_t size) {
    return BCryptHashData(hash_, reinterpret_cast<PUCHAR>(data), static_cast<ULONG>(size), 0) == 0;
  }
  bool finish(unsigned char (&digest)[32]) { return BCryptFinishHash(hash_, digest, sizeof digest, 0) == 0; }

 private:
  BCRYPT_ALG_HANDLE algorithm_ = nullptr;
  BCRYPT_HASH_HANDLE hash_ = nullptr;
};

}  // namespace

FileHash hash_file(os::Os& os, const std::string& path) {
  FileHash result;
  auto file = os.open_file(path, os::OpenMode::read);
  Sha256 sha;
  if (!file || !sha.ok()) return result;
  char chunk[65536];
  for (std::size_t n; (n = file->read(chunk, sizeof chunk)) > 0;) {
    if (!sha.add(chunk, n)) return result;
    result.size += n;
  }
  unsigned char digest[32];
  if (!sha.finish(digest) || result.size != os.file_status(path).size) return result;
  result.sha256 = hex_digest(digest, sizeof digest);
  return result;
}

}  // namespace quill::cli
