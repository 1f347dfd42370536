// The registry and environment dialogs: adding, editing and removing each
// kind, and the edits the project's checks refuse.
#include "builder/editor/declarations_dialog.h"

#include "tests/editor/editor_fixture.h"

namespace quill::editor {
namespace {

TEST_F(EditorTest, DeclarationsDialogAddsEditsAndRemovesEachKind) {
  add_file(project().install_root(), "src/App.exe");
  auto dialog = editor->declarations_dialog();
  EXPECT_EQ(dialog->title(), "Quillset - Registry and environment");
  EXPECT_TRUE(dialog->rows().empty());
  EXPECT_FALSE(dialog->can_change());
  EXPECT_EQ(dialog->edit(), nullptr);

  // A registry value: the defaults a new one starts with, then typed in.
  auto value = dialog->add(0);
  EXPECT_EQ(value->template_id(), IDD_REGISTRY_VALUE);
  EXPECT_EQ(value->title(), "Quillset - New registry value");
  EXPECT_EQ(value->text(IDC_DECL_ROOT), "The install scope's hive");
  EXPECT_EQ(value->choices(IDC_DECL_TYPE).size(), 3u);
  EXPECT_TRUE(value->checked(IDC_DECL_REMOVE_VALUE));
  value->set_text(IDC_DECL_KEY, "Software\\Vendor\\App");
  value->set_text(IDC_DECL_NAME, "Home");
  value->set_text(IDC_DECL_TYPE, "Number");
  value->set_text(IDC_DECL_DATA, "twelve");
  // Refused with the reason, nothing changed; then accepted.
  EXPECT_FALSE(dialog->finish(*value));
  EXPECT_EQ(prompter.last_message(), "A number must be a decimal from 0 to 4294967295.");
  EXPECT_TRUE(project().declarations().empty());
  value->set_text(IDC_DECL_DATA, "12");
  value->set_checked(IDC_DECL_REMOVE_KEY, true);
  ASSERT_TRUE(dialog->finish(*value));

  // An association offers the project's files and must name one of them.
  auto association = dialog->add(1);
  EXPECT_EQ(association->choices(IDC_DECL_FILE), std::vector<std::string>{"%install path%\\App.exe"});
  EXPECT_EQ(association->text(IDC_DECL_COMMAND), "\"%1\"");
  association->set_text(IDC_DECL_EXTENSION, ".xyz");
  association->set_text(IDC_DECL_PROGRAM_ID, "Vendor.App.xyz");
  association->set_text(IDC_DECL_FILE, "%install path%\\Other.exe");
  EXPECT_FALSE(dialog->finish(*association));
  EXPECT_NE(prompter.last_message().find("not a file of the project"), std::string::npos);
  association->set_text(IDC_DECL_FILE, "%install path%\\App.exe");
  ASSERT_TRUE(dialog->finish(*association));

  // A PATH entry starts as the install folder; a variable of the same
  // name twice in one environment is refused.
  auto path = dialog->add(2);
  EXPECT_EQ(path->text(IDC_DECL_FOLDER), "%install path%");
  path->set_text(IDC_DECL_SCOPE, "Machine");
  ASSERT_TRUE(dialog->finish(*path));
  auto variable = dialog->add(3);
  variable->set_text(IDC_DECL_NAME, "APP_HOME");
  variable->set_text(IDC_DECL_DATA, "%install path%");
  ASSERT_TRUE(dialog->finish(*variable));
  auto twice = dialog->add(3);
  twice->set_text(IDC_DECL_NAME, "app_home");
  EXPECT_FALSE(dialog->finish(*twice));
  EXPECT_NE(prompter.last_message().find("declared twice"), std::string::npos);

  ASSERT_EQ(dialog->rows().size(), 4u);
  EXPECT_EQ(dialog->rows()[0].target, "(scope)\\Software\\Vendor\\App [Home]");
  EXPECT_EQ(dialog->rows()[0].value, "number: 12  (empty key removed)");
  EXPECT_EQ(dialog->rows()[2].kind, "Machine PATH");
  EXPECT_EQ(dialog->selection(), 3);  // the last one added
  EXPECT_EQ(dialog->problems(), "");

  // Edit opens the selected one with its values and replaces it in place.
  dialog->select(1);
  auto again = dialog->edit();
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->title(), "Quillset - File association");
  EXPECT_EQ(again->text(IDC_DECL_PROGRAM_ID), "Vendor.App.xyz");
  again->set_text(IDC_DECL_DESCRIPTION, "XYZ document");
  ASSERT_TRUE(dialog->finish(*again));
  EXPECT_EQ(project().declarations().associations.size(), 1u);
  EXPECT_EQ(project().declarations().associations[0].description, "XYZ document");
  EXPECT_EQ(dialog->selection(), 1);

  // A per-user scope makes the machine PATH entry a problem the list shows.
  editor->set_setting(SettingId::install_scope, "user");
  EXPECT_EQ(dialog->problems(),
            "PATH entry %install path%: a per-user package cannot change the machine's environment.");

  // Remove asks first; No keeps it.
  dialog->select(2);
  prompter.answers = {Answer::no, Answer::yes};
  dialog->remove();
  EXPECT_EQ(project().declarations().paths.size(), 1u);
  dialog->remove();
  EXPECT_EQ(prompter.log.back(), "ask:Remove the machine PATH %install path%?");
  EXPECT_TRUE(project().declarations().paths.empty());
  EXPECT_EQ(dialog->rows().size(), 3u);
  EXPECT_FALSE(dialog->can_change());
  EXPECT_EQ(dialog->problems(), "");
}

}  // namespace
}  // namespace quill::editor
