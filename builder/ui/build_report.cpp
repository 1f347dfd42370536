// Posted build reports.
#include "builder/ui/build_report.h"

#include <memory>

namespace quill::ui {

std::string take_posted_text(LPARAM lparam) {
  std::unique_ptr<std::string> text(reinterpret_cast<std::string*>(lparam));
  return text ? *text : std::string();
}

void PostedBuildReport::post_text(UINT message, const std::string& text) {
  auto* copy = new std::string(text);
  if (!PostMessageW(window_, message, 0, reinterpret_cast<LPARAM>(copy))) delete copy;
}

void PostedBuildReport::set_status(const std::string& text) { post_text(kBuildStatusMessage, text); }

void PostedBuildReport::set_progress_range(std::uint64_t maximum) {
  int shift = 0;
  while ((maximum >> shift) > 0x7FFFFFFFull) ++shift;
  shift_.store(shift);
  PostMessageW(window_, kBuildRangeMessage, static_cast<WPARAM>(maximum >> shift), 0);
}

void PostedBuildReport::set_progress(std::uint64_t position) {
  std::uint64_t scaled = position >> shift_.load();
  if (scaled > 0x7FFFFFFFull) scaled = 0x7FFFFFFFull;
  PostMessageW(window_, kBuildPositionMessage, static_cast<WPARAM>(scaled), 0);
}

void PostedBuildReport::finished(project::BuildOutcome outcome) {
  PostMessageW(window_, kBuildEndMessage, static_cast<WPARAM>(outcome), 0);
}

}  // namespace quill::ui
