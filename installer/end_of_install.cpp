// End-of-install events.
#include "installer/end_of_install.h"

namespace quill::installer {

MessageKind message_kind(const package::EndOfInstall& events) {
  if (events.message.empty()) return MessageKind::none;
  return events.ok_box ? MessageKind::ok : MessageKind::yes_no;
}

bool runs_command(const package::EndOfInstall& events, bool answered_yes) {
  if (events.eoi_command.empty()) return false;
  return message_kind(events) != MessageKind::yes_no || answered_yes;
}

void run_end_of_install(os::Os& os, const package::EndOfInstall& events, MessageUi& ui) {
  bool yes = false;
  MessageKind kind = message_kind(events);
  if (kind != MessageKind::none) yes = ui.show_message(kind, events.message);
  if (runs_command(events, yes)) os.open_as_desktop_user(events.eoi_command);
}

}  // namespace quill::installer
