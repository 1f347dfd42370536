// The languages dialog (template 1400): which languages the package
// carries, and the author's texts in each of them. A working copy of the
// project's settings; Editor::store_languages() takes the result.
//
// Rules: English is always carried (its check stays on and disabled); the
// carried list is English first, then the others in the order of
// common/languages.h; codes the table does not know are dropped. The texts
// of a language are those of project::LanguageTexts; an empty one means the
// installer shows the project's main text there. Texts of a language that
// is unchecked are kept while the dialog is open (checking it again brings
// them back) and dropped from the result, as are languages whose texts are
// all empty.
//
// Win32 side: on WM_INITDIALOG set each check's caption (caption()), state
// (carried()) and enabled state (can_toggle()), fill combo 1414 from
// shown_choices() and render the fields. Before every command copy the five
// fields in with set_text(); a check's click goes to set_carried() with its
// new state, a choice in 1414 to show(), the two Browse buttons to browse();
// then render the checks, the combo (shown()) and the fields (text(),
// fields_enabled()). "Save and close" copies the fields in and hands the
// dialog to Editor::store_languages(); the close box drops it.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "builder/editor/prompter.h"
#include "builder/project/project.h"
#include "resources/quillset_resource.h"

namespace quill::editor {

namespace language_control {
constexpr int kButton = IDC_LANGUAGES;  // "Languages..." on the "Text documents" page
constexpr int kFirstCheck = IDC_LANG_EN;  // one per language, in table order
constexpr int kShown = IDC_LANG_SHOWN;
constexpr int kTitle = IDC_LANG_TITLE;
constexpr int kWelcome = IDC_LANG_WELCOME;
constexpr int kWelcomeBrowse = IDC_LANG_WELCOME_BROWSE;
constexpr int kLicence = IDC_LANG_LICENCE;
constexpr int kLicenceBrowse = IDC_LANG_LICENCE_BROWSE;
constexpr int kEoiMessage = IDC_LANG_EOI_MESSAGE;
constexpr int kBackgroundText = IDC_LANG_BACKGROUND_TEXT;
constexpr int kSave = IDC_LANG_SAVE;
// The five text fields, in the dialog's order.
constexpr int kFields[] = {kTitle, kWelcome, kLicence, kEoiMessage, kBackgroundText};
}  // namespace language_control

// At most the system's 259 characters (UTF-16 units) of `text`, never
// cutting a character in two.
std::string cut_to_box_length(const std::string& text);

class LanguagesDialog {
 public:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  LanguagesDialog(const project::Settings& settings, Prompter& prompter);

  std::string title() const;  // "Quillset - Languages"
  // Languages by their position in common/languages.h.
  std::size_t count() const;
  static int check_control(std::size_t language);
  // "German (Deutsch)"; English alone for English.
  std::string caption(std::size_t language) const;
  bool carried(std::size_t language) const { return carried_.at(language); }
  bool can_toggle(std::size_t language) const;
  // A click on a language's check that now shows `on`. A newly carried
  // language becomes the one whose texts are shown; when the shown one is
  // dropped, the first carried one after English is shown instead.
  void set_carried(std::size_t language, bool on);

  // The languages whose texts the fields can hold (carried, not English),
  // in table order; the combo's entries are their captions.
  std::vector<std::size_t> shown_choices() const;
  std::size_t shown() const { return shown_; }  // kNone: no field applies
  void show(std::size_t language);
  bool fields_enabled() const { return shown_ != kNone; }
  // A field's text for the shown language ("" when none is shown).
  std::string text(int field) const;
  // The author typed into a field; ignored when no language is shown. A
  // text is cut to the system's 259 characters.
  void set_text(int field, const std::string& text);
  // Browse... for the welcome or licence file of the shown language.
  void browse(int button);

  // The result.
  std::vector<std::string> languages() const;
  std::map<std::string, project::LanguageTexts> language_texts() const;
  // Both into `settings`; true when either changed.
  bool apply(project::Settings& settings) const;

 private:
  std::string* field(std::size_t language, int field);

  Prompter& prompter_;
  std::vector<bool> carried_;
  std::vector<project::LanguageTexts> texts_;
  std::size_t shown_ = kNone;
};

}  // namespace quill::editor
