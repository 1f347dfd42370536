/* The Windows programs open archives only through callbacks over files they
   already hold open (common/zip_io.h, package/archive.h), never by name. The
   reader and writer are compiled to call this instead of the library's
   standard-I/O callbacks, which would otherwise be linked into the installer
   stub with the C library's file functions: its open refuses every name. */
#include <string.h>

#include <minizip/ioapi.h>

static voidpf ZCALLBACK open_no_name(voidpf opaque, const void* name, int mode) {
  (void)opaque;
  (void)name;
  (void)mode;
  return NULL;
}

void quill_fill_no_name_filefunc(zlib_filefunc64_def* def) {
  memset(def, 0, sizeof *def);
  def->zopen64_file = open_no_name;
}
