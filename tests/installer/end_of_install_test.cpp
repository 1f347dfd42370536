// End-of-install events: message kind, and whether the command runs.
#include "installer/end_of_install.h"

#include "installer_fixture.h"

namespace quill::installer {
namespace {

class Answer : public MessageUi {
 public:
  explicit Answer(bool yes) : yes_(yes) {}
  bool show_message(MessageKind kind, const std::string& text) override {
    shown.push_back({kind, text});
    return yes_;
  }
  std::vector<std::pair<MessageKind, std::string>> shown;

 private:
  bool yes_;
};

class EndOfInstallTest : public test::InstallerTest {
 protected:
  package::EndOfInstall read() {
    package::EndOfInstall events;
    package::read_end_of_install(os(), {}, files_, "C:\\Apps\\Tool", &events);
    return events;
  }
};

TEST_F(EndOfInstallTest, KindAndAnswerDecideTheCommand) {
  data_file("eoi_file.txt", "%install path%\\tool.exe");
  data_file("eoi_message.txt", "Start it?");
  data_file("eoi_buttons.txt", "YESNO");
  Answer no(false);
  run_end_of_install(os(), read(), no);
  ASSERT_EQ(no.shown.size(), 1u);
  EXPECT_EQ(no.shown[0].first, MessageKind::yes_no);
  EXPECT_TRUE(os().shell_log().empty());

  Answer yes(true);
  run_end_of_install(os(), read(), yes);
  EXPECT_EQ(os().shell_log(), std::vector<std::string>{"default|C:\\Apps\\Tool\\tool.exe"});

  data_file("eoi_buttons.txt", "OK");
  Answer ok(false);  // the answer of an OK box does not matter
  run_end_of_install(os(), read(), ok);
  EXPECT_EQ(ok.shown[0].first, MessageKind::ok);
  EXPECT_EQ(os().shell_log().size(), 2u);
}

TEST_F(EndOfInstallTest, NoMessageRunsTheCommandWithoutABox) {
  data_file("eoi_file.txt", "notepad.exe /a readme.txt");
  data_file("eoi_buttons.txt", "ok");  // lower case: Yes/No, but there is no message
  Answer ui(false);
  run_end_of_install(os(), read(), ui);
  EXPECT_TRUE(ui.shown.empty());
  EXPECT_EQ(os().shell_log(), std::vector<std::string>{"default|notepad.exe /a readme.txt"});

  package::EndOfInstall nothing;
  EXPECT_EQ(message_kind(nothing), MessageKind::none);
  EXPECT_FALSE(runs_command(nothing, true));
}

}  // namespace
}  // namespace quill::installer
