// Pacing of the wizard's progress updates.
#include "installer/progress_pace.h"

#include <gtest/gtest.h>

#include "installer/install_engine.h"
#include "installer/registration.h"

namespace quill::installer {
namespace {

TEST(ProgressPaceTest, UpdatesOncePerIntervalUnlessUrgent) {
  ProgressPace pace(50);
  struct Step {
    std::uint32_t now;
    bool urgent, due;
  };
  // The first update is always due; the tick count may wrap around.
  for (const Step& s : {Step{0xFFFFFFF0u, false, true}, Step{20, false, false},
                        Step{0xFFFFFFF0u + 49, false, false}, Step{34, false, true}, Step{40, true, true},
                        Step{89, false, false}, Step{90, false, true}}) {
    EXPECT_EQ(pace.due(s.now, s.urgent), s.due) << s.now;
  }
  EXPECT_TRUE(is_slow_phase_status(undoing_status()));
  EXPECT_TRUE(is_slow_phase_status(creating_shortcuts_status()));
  EXPECT_FALSE(is_slow_phase_status(installing_status("C:\\Tool\\a.txt")));
}

}  // namespace
}  // namespace quill::installer
