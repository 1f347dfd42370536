// The install record's file.
#include "installer/install_log.h"

#include "common/text_file.h"

namespace quill::installer {

InstallLog::InstallLog(os::Os& os, const std::string& path)
    : file_(os.open_file(path, os::OpenMode::append)) {}

void InstallLog::line(const std::string& text) {
  if (!file_) return;
  std::string record;
  add_crlf_line(&record, text);
  file_->write(record.data(), record.size());
}

}  // namespace quill::installer
