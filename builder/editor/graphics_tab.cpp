// The "Installer graphics" page and the editor's picture commands.
#include "builder/editor/graphics_tab.h"

#include "builder/editor/controls.h"
#include "builder/editor/editor.h"

namespace quill::editor {

using project::ImageRecord;
using project::kImageSlots;

namespace text {
const char kImageFilter[] = "Supported image files (*.jpg *.jpeg *.bmp)";
const char kImagePattern[] = "*.jpg;*.jpeg;*.bmp";
const char kBackgroundQuestion[] =
    "You need to activate the 'Use fullscreen window' option in the 'More options' tab\n"
    "before you can add a fullscreen background image.\n\n"
    "Activate fullscreen installer window now?";
const char kImageTableFull[] =
    "This project already holds 1024 images, as many as an installer can carry.\n"
    "Remove an image before adding another.";
}  // namespace text

namespace {

std::string file_name_part(const std::string& path) {
  std::size_t cut = path.find_last_of('\\');
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace

GraphicsPage graphics_page_for(const project::Project& project, const GraphicsPage& previous) {
  GraphicsPage page;
  for (int slot = 0; slot < kImageSlots; ++slot) {
    const ImageRecord& image = project.image(slot);
    if (!image.path.empty()) page.items.push_back({file_name_part(image.path), slot});
  }
  page.list_version = previous.list_version + 1;
  page.shown_version = previous.shown_version + 1;
  return page;
}

int image_mode_of_radio(int control) {
  switch (control) {
    case kStretchImage: return 0;
    case kCenterImage: return 1;
    case kImageAtPosition: return 2;
    default: return -1;
  }
}

int image_radio_of_mode(int mode) {
  switch (mode) {
    case 1: return kCenterImage;
    case 2: return kImageAtPosition;
    default: return kStretchImage;
  }
}

unsigned leading_number(const std::string& text) {
  unsigned value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  return value;
}

bool graphics_enabled(const project::Project& project, const GraphicsPage& page, int control) {
  const bool selected = page.selected >= 0 && page.slot < kImageSlots;
  const ImageRecord none;
  const ImageRecord& image = selected ? project.image(page.slot) : none;
  switch (control) {
    case kStepList:
    case kFullscreenCheck:
    case kFullscreenLabel:
    case kRemoveImage:
    case kImageFile: return selected;
    case kStretchImage:
    case kCenterImage:
    case kImageAtPosition: return selected && image.background;
    case kImageXLabel:
    case kImageX:
    case kImageY: return selected && image.background && image.mode == 2;
    default: return true;
  }
}

// --- Editor's picture commands

const project::ImageRecord& Editor::selected_image() const {
  static const ImageRecord none;
  return graphics_.slot < kImageSlots ? project_.image(graphics_.slot) : none;
}

void Editor::add_image() {
  std::string path;
  if (!prompter_.choose_file_to_open({text::kImageFilter, text::kImagePattern, "", false, false}, &path)) return;
  Lock lock(mutex_);
  // A full table refuses the picture; nothing is written past its end.
  int slot = project_.add_image(path, 1, false, 0, 0, 0);
  if (slot >= kImageSlots) {
    prompter_.tell(text::kImageTableFull, Icon::warning);
    return;
  }
  graphics_.image_file = path;
  graphics_.items.push_back({file_name_part(path), slot});
  ++graphics_.list_version;
}

void Editor::remove_image() {
  Lock lock(mutex_);
  if (graphics_.selected < 0 || graphics_.selected >= static_cast<int>(graphics_.items.size())) return;
  project_.remove_image(graphics_.items[graphics_.selected].slot);
  graphics_.items.erase(graphics_.items.begin() + graphics_.selected);
  graphics_.selected = -1;
  graphics_.slot = kImageSlots;
  graphics_.image_file.clear();
  graphics_.sync = false;
  ++graphics_.list_version;
}

void Editor::select_image(int position) {
  Lock lock(mutex_);
  graphics_.sync = false;
  if (position < 0 || position >= static_cast<int>(graphics_.items.size())) {
    graphics_.selected = -1;
    graphics_.slot = kImageSlots;
    return;
  }
  graphics_.selected = position;
  graphics_.slot = graphics_.items[position].slot;
  graphics_.image_file = project_.image(graphics_.slot).path;
  ++graphics_.shown_version;
  graphics_.sync = true;
}

void Editor::image_step_changed(int step) {
  if (graphics_.slot >= kImageSlots || step < 1 || step > 7) return;
  Lock lock(mutex_);
  ImageRecord image = project_.image(graphics_.slot);
  image.step = step;
  project_.set_image(graphics_.slot, image);
}

void Editor::image_background_clicked(bool now_set) {
  if (graphics_.slot >= kImageSlots) return;
  if (now_set && !project_.settings().use_background_window) {
    if (prompter_.ask(text::kBackgroundQuestion, Buttons::yes_no, Icon::warning) != Answer::yes) return;
    {
      Lock lock(mutex_);
      project_.settings().use_background_window = true;
    }
    view_.setting_changed(project::SettingId::background);
  }
  Lock lock(mutex_);
  ImageRecord image = project_.image(graphics_.slot);
  image.background = now_set;
  project_.set_image(graphics_.slot, image);
}

void Editor::image_mode_clicked(int control) {
  int mode = image_mode_of_radio(control);
  if (mode < 0 || graphics_.slot >= kImageSlots) return;
  Lock lock(mutex_);
  ImageRecord image = project_.image(graphics_.slot);
  image.mode = mode;
  project_.set_image(graphics_.slot, image);
}

void Editor::image_sync_tick(const std::string& x, const std::string& y) {
  if (!graphics_.sync || graphics_.slot >= kImageSlots) return;
  Lock lock(mutex_);
  ImageRecord image = project_.image(graphics_.slot);
  image.x = static_cast<int>(leading_number(x));
  image.y = static_cast<int>(leading_number(y));
  project_.set_image(graphics_.slot, image);
}

void Editor::store_fullscreen(const project::FullscreenOptions& options) {
  Lock lock(mutex_);
  project_.fullscreen() = options;
}

void Editor::store_window_settings(const project::WindowSettings& settings) {
  Lock lock(mutex_);
  project_.window_settings() = settings;
}

}  // namespace quill::editor
