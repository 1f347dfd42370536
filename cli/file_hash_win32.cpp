// SHA-256 through the system's CryptoAPI (advapi32.dll, a known DLL, so
// that nothing is loaded from the program's own folder).
#include <windows.h>
#include <wincrypt.h>

#include "cli/file_hash.h"

namespace quill::cli {

namespace {

// A SHA-256 hash object of the AES provider, closed on every way out.
class Sha256 {
 public:
  Sha256() {
    if (!CryptAcquireContextW(&provider_, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT)) provider_ = 0;
    if (provider_ && !CryptCreateHash(provider_, CALG_SHA_256, 0, 0, &hash_)) hash_ = 0;
  }
  ~Sha256() {
    if (hash_) CryptDestroyHash(hash_);
    if (provider_) CryptReleaseContext(provider_, 0);
  }
  bool ok() const { return hash_ != 0; }
  bool add(const char* data, std::size_t size) {
    return CryptHashData(hash_, reinterpret_cast<const BYTE*>(data), static_cast<DWORD>(size), 0) != FALSE;
  }
  bool finish(unsigned char (&digest)[32]) {
    DWORD size = sizeof digest;
    return CryptGetHashParam(hash_, HP_HASHVAL, digest, &size, 0) && size == sizeof digest;
  }

 private:
  HCRYPTPROV provider_ = 0;
  HCRYPTHASH hash_ = 0;
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
  result.sha256 = os::hex_name(digest, sizeof digest);
  return result;
}

}  // namespace quill::cli
