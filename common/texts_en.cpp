// The English texts: the default language and the fallback of every other.
#include <iterator>

#include "common/texts.h"

namespace quill::texts {
namespace {

const Entry kEntries[] = {
    {TextId::installer_caption, "Installer"},

    {TextId::step_welcome, "Welcome"},
    {TextId::step_licence, "License Agreement"},
    {TextId::step_folder, "Installation Directory"},
    {TextId::step_shortcuts, "Shortcuts"},
    {TextId::step_summary, "Summary"},
    {TextId::step_installing, "Installing..."},
    {TextId::step_finished, "Installation finished"},

    {TextId::button_next, "Next"},
    {TextId::button_agree, "I Agree"},
    {TextId::button_install, "Install"},
    {TextId::button_done, "Done"},
    {TextId::button_exit, "Exit"},
    {TextId::button_disagree, "I Disagree"},
    {TextId::button_previous, "Previous"},
    {TextId::button_cancel, "Cancel"},
    {TextId::button_browse, "Browse..."},
    {TextId::button_ok, "OK"},

    {TextId::folder_prompt, "Please select the folder you wish to install to:"},
    {TextId::licence_prompt,
     "To proceed with the installation, you must accept this license agreement. Please read it "
     "carefully."},
    {TextId::shortcut_desktop, "Create shortcuts on the desktop"},
    {TextId::shortcut_start_menu, "Create shortcuts in the start-menu"},
    {TextId::shortcut_quick_launch, "Create shortcuts on the quick start-menu"},
    {TextId::status_installing, "Installing..."},
    {TextId::credit, "installer by www.orvelle-software.example"},

    {TextId::finished_text, "Installation finished!\n\nClick done to exit."},
    {TextId::disk_space, "Disk space needed: %1 MB\nAvailable disk space: %2 MB"},
    {TextId::summary_folder, "The files will be installed to:\n%1"},
    {TextId::summary_shortcuts, "Shortcuts to create:"},
    {TextId::summary_start_menu, "- In the start menu."},
    {TextId::summary_desktop, "- On the desktop."},
    {TextId::summary_quick_launch, "- On the quick start-menu."},
    {TextId::summary_none, "None."},
    {TextId::browse_title, "Please select an install folder."},

    {TextId::cancel_question, "Are you sure you wish to cancel the installation?"},
    {TextId::invalid_path, "You have to enter a valid install path before continuing."},
    {TextId::unusable_folder,
     "The folder %1 cannot be used for the installation.\nPlease enter a full path such as "
     "C:\\Program Files\\Tool and try again."},
    {TextId::not_enough_space,
     "There isn't enough free disk space on drive %1.\nPlease free some disk space and try again."},
    {TextId::not_writable,
     "You cannot write to the folder %1.\nThis program installs for you alone, without "
     "administrator rights. Please choose a folder of your own, such as one in your user folder, "
     "and try again."},

    {TextId::extracting, "Extracting..."},
    {TextId::small_window_caption, "Loading installer..."},
    {TextId::small_window_status, "Installing files..."},

    {TextId::installing_file, "Installing\n%1..."},
    {TextId::undoing, "Undoing changes..."},
    {TextId::creating_shortcuts, "Creating shortcuts..."},
    {TextId::replace_question,
     "The file named %1 already exists at the selected location.\nDo you wish to replace it?"},
    {TextId::write_question,
     "The file %1 could not be written.\nAbort the installation, retry, or ignore this file?"},
    {TextId::restart_needed,
     "Some files were in use. They will be replaced or removed when the computer restarts.\n"
     "Please restart the computer to finish."},
    {TextId::another_setup, "Another installation of %1 is in progress."},
    {TextId::installed_unreadable,
     "The uninstall information of the installed version could not be read. Nothing was changed."},
    {TextId::downgrade_question,
     "A newer version (%1) of %2 is installed. Install version %3 anyway?"},

    {TextId::in_use_by, "The file %1 is in use by:%2\n\nRetry closes these programs and tries again."},
    {TextId::in_use_unknown,
     "The file %1 is in use.\n\nClose the programs that use it and choose Retry."},
    {TextId::in_use_ignore_later, "Ignore finishes with it when the computer restarts."},
    {TextId::in_use_ignore_skip, "Ignore goes on without it."},
    {TextId::in_use_abort_install, "Abort ends the installation."},
    {TextId::in_use_abort_removal, "Abort ends the removal."},

    {TextId::start_write_failed,
     "The installer could not write its temporary files.\n"
     "Please check the free space of your temporary folder."},
    {TextId::start_damaged,
     "The installer package is damaged and cannot be installed.\n"
     "Please obtain a new copy of the installer."},
    {TextId::missing_value, "Missing value: %1"},
    {TextId::log_unwritable, "The log file cannot be written: %1"},
    {TextId::usage,
     "Usage: setup.exe [/S] [/PASSIVE] [/DOWNGRADE] [/NORESTART] [/LOG=file] [/LANG=xx] [/D=folder]\n"
     "\n"
     "/S\tInstall silently: no window, no question. A file that exists\n"
     "\tis replaced; the message and program that the package shows or\n"
     "\tstarts at the end of an install are skipped.\n"
     "/PASSIVE\tLike /S, but the install's progress is shown.\n"
     "/DOWNGRADE\tWith /S, install over a newer installed version.\n"
     "/NORESTART\tA file in use ends the install (undone) instead of\n"
     "\tbeing replaced when the computer restarts.\n"
     "/LOG=file\tAppend a record of the install to the file.\n"
     "\tIf the file cannot be written, nothing is installed (exit code 1).\n"
     "/LANG=xx\tSpeak this language: %1.\n"
     "\tAn unknown code, or one the package lacks, means English.\n"
     "/D=folder\tInstall to this folder. Must come last; may hold spaces.\n"
     "/?\tShow this help.\n"
     "\n"
     "Exit codes: 0 installed, 1 bad command line, 2 cancelled,\n"
     "3 damaged package, 4 folder unusable or disk full,\n"
     "5 a file could not be written (the install was undone),\n"
     "6 a newer version is installed (silent, without /DOWNGRADE),\n"
     "1618 another installation of the program is in progress,\n"
     "3010 installed; a restart finishes replacing files in use."},

    {TextId::uninstaller_caption, "Quillset uninstaller"},
    {TextId::uninstaller_window_caption, "Quillset Uninstaller"},
    {TextId::uninstall_question, "Are you sure you wish to uninstall %1?"},
    {TextId::log_cannot_open, "The uninstall log %1 could not be opened. Nothing was removed."},
    {TextId::log_incomplete, "The uninstall log %1 is incomplete. Nothing was removed."},
    {TextId::log_too_many,
     "The uninstall log %1 lists more entries than the uninstaller can hold. Nothing was removed."},
    {TextId::removing, "Removing %1..."},
    {TextId::removal_done, "Done!"},
};

}  // namespace

extern const Table kTable_en;
const Table kTable_en = {kEntries, std::size(kEntries)};

}  // namespace quill::texts
