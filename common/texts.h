// The installer's and the uninstaller's own words in every language they
// speak: one table per language, each text named by a TextId.
//
// A language's table lives in its own file, common/texts_<code>.cpp (the
// code of common/languages.h with '-' written '_': texts_pt_BR.cpp), and
// defines `extern const Table kTable_<code>` as a list of (TextId, text)
// pairs in any order. A text a table leaves out, an empty one and a language
// without a file fall back to English. Texts are UTF-8; "%1", "%2"... mark
// the variable parts, which a translation may move.
//
// New texts are only ever added at the end of the enumeration, so that every
// table written against an older list stays right.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

#include "common/languages.h"

namespace quill::texts {

enum class TextId : int {
  // The installer's default caption, when the package has no title.
  installer_caption,  // "Installer"

  // Wizard step titles (the caption reads "<title> - <step>").
  step_welcome,
  step_licence,
  step_folder,
  step_shortcuts,
  step_summary,
  step_installing,
  step_finished,

  // Wizard buttons.
  button_next,
  button_agree,
  button_install,
  button_done,
  button_exit,
  button_disagree,
  button_previous,
  button_cancel,  // the wizard's, the extraction window's, the uninstaller's
  button_browse,
  button_ok,  // the uninstaller's button once the removal has ended

  // Wizard labels and check boxes.
  folder_prompt,
  licence_prompt,
  shortcut_desktop,
  shortcut_start_menu,
  shortcut_quick_launch,
  status_installing,  // the installing step's label before the first file
  credit,

  // Wizard texts.
  finished_text,
  disk_space,          // %1 MB needed, %2 MB available
  summary_folder,      // %1 the install folder
  summary_shortcuts,   // heading of the shortcut list
  summary_start_menu,  // one line of the list
  summary_desktop,
  summary_quick_launch,
  summary_none,
  browse_title,

  // Wizard questions and warnings.
  cancel_question,
  invalid_path,
  unusable_folder,   // %1 the folder
  not_enough_space,  // %1 the drive letter
  not_writable,      // %1 the folder

  // Extraction and the small progress window.
  extracting,
  small_window_caption,
  small_window_status,

  // The install.
  installing_file,     // %1 the destination path
  undoing,
  creating_shortcuts,
  replace_question,    // %1 the file name
  write_question,      // %1 the path
  restart_needed,
  another_setup,       // %1 the program's registered name
  installed_unreadable,
  downgrade_question,  // %1 installed version, %2 program, %3 this package's version

  // A file in use (the question is its parts joined by line ends).
  in_use_by,            // %1 the path, %2 the programs, one per line
  in_use_unknown,       // %1 the path
  in_use_ignore_later,  // Ignore: at the next restart
  in_use_ignore_skip,   // Ignore: go on without it
  in_use_abort_install,
  in_use_abort_removal,

  // Start-up and the command line.
  start_write_failed,
  start_damaged,
  missing_value,   // %1 the argument
  log_unwritable,  // %1 the file that /LOG= names
  usage,           // %1 the language codes

  // The uninstaller.
  uninstaller_caption,         // caption of its question and messages
  uninstaller_window_caption,  // caption of its progress window
  uninstall_question,          // %1 the program's registered name
  log_cannot_open,             // %1 the log's path
  log_incomplete,              // %1 the log's path
  log_too_many,                // %1 the log's path
  removing,                    // %1 the entry
  removal_done,

  count  // not a text: the number of texts
};

inline constexpr std::size_t kTextCount = static_cast<std::size_t>(TextId::count);

struct Entry {
  TextId id;
  const char* text;  // UTF-8; null or empty: the English text
};

struct Table {
  const Entry* entries;
  std::size_t count;
};

// The table of language `language` (an index into language::kLanguages),
// or null when no file defines it.
const Table* table(std::size_t language);

// Installs `loaded` as the table of `language` in place of the one it had
// (English keeps its own; null: none, so English). The table must outlive its
// use; install tables before other threads read texts.
void set_loaded_table(std::size_t language, const Table* loaded);

// The tables built into the program, defined by the library quill_texts_all
// (the installer stub links English alone and reads the others from its
// package, see texts_file.h): one language's own table, or null; and all of
// them installed with set_loaded_table.
const Table* built_in_table(std::size_t language);
void use_built_in_tables();

// The text `id` in `language`; English where the language lacks it.
std::string_view text(std::size_t language, TextId id);

// The language the running program speaks (English until set).
std::size_t current_language();
void set_current_language(std::size_t language);
// The text `id` in the current language.
std::string_view text(TextId id);

// `pattern` with "%1".."%9" replaced by the arguments in order ("%%" is a
// single '%'); a placeholder without its argument is dropped.
std::string format(std::string_view pattern, std::initializer_list<std::string_view> arguments);
// The same for the current language's text `id`.
std::string format(TextId id, std::initializer_list<std::string_view> arguments);

// The index of the language with code `code` (ASCII letters in any case,
// '-' or '_'), or language::kLanguageCount when there is none.
std::size_t language_index(std::string_view code);

}  // namespace quill::texts
