// Project load with the save-load-save property: once a project file has
// been loaded and saved, loading and saving it again gives the same bytes.
#include <memory>

#include "builder/project/project_file.h"
#include "tests/fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quill;
  // Two projects for the whole run: a load resets all it holds.
  static auto first = std::make_unique<project::Project>();
  static auto second = std::make_unique<project::Project>();
  const std::string input(reinterpret_cast<const char*>(data), size);
  os::MemoryOs os;
  fuzz::put_file(os, "C:\\p.qsp", input);
  if (project::load_project(*first, os, "C:\\p.qsp", "") != project::LoadStatus::loaded) return 0;
  const std::string saved = project::project_text(*first);
  // Saved as the builder saves: ASCII as it is, other text after a mark.
  if (!project::write_project_text(os, "C:\\p.qsp", saved)) fuzz::fail("the project cannot be written");
  if (project::load_project(*second, os, "C:\\p.qsp", "") != project::LoadStatus::loaded) {
    fuzz::fail("a saved project does not load");
  }
  if (project::project_text(*second) != saved) fuzz::fail("save-load-save changed the file");
  return 0;
}
