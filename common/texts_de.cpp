// The German texts.
#include <iterator>

#include "common/texts.h"

namespace quill::texts {
namespace {

const Entry kEntries[] = {
    {TextId::installer_caption, "Setup"},

    {TextId::step_welcome, "Willkommen"},
    {TextId::step_licence, "Lizenzvertrag"},
    {TextId::step_folder, "Zielordner"},
    {TextId::step_shortcuts, "Verknüpfungen"},
    {TextId::step_summary, "Zusammenfassung"},
    {TextId::step_installing, "Installation läuft..."},
    {TextId::step_finished, "Installation abgeschlossen"},

    {TextId::button_next, "Weiter"},
    {TextId::button_agree, "Annehmen"},
    {TextId::button_install, "Installieren"},
    {TextId::button_done, "Fertig stellen"},
    {TextId::button_exit, "Beenden"},
    {TextId::button_disagree, "Ablehnen"},
    {TextId::button_previous, "Zurück"},
    {TextId::button_cancel, "Abbrechen"},
    {TextId::button_browse, "Durchsuchen..."},
    {TextId::button_ok, "OK"},

    {TextId::folder_prompt, "Wählen Sie den Ordner, in den installiert werden soll:"},
    {TextId::licence_prompt,
     "Bitte lesen Sie den Lizenzvertrag sorgfältig. Um fortzufahren, müssen Sie ihn "
     "annehmen."},
    {TextId::shortcut_desktop, "Verknüpfungen auf dem Desktop erstellen"},
    {TextId::shortcut_start_menu, "Verknüpfungen im Startmenü erstellen"},
    {TextId::shortcut_quick_launch, "Verknüpfungen in der Schnellstartleiste erstellen"},
    {TextId::status_installing, "Installation läuft..."},
    {TextId::credit, "Setup von www.orvelle-software.example"},

    {TextId::finished_text,
     "Die Installation ist abgeschlossen.\n\nKlicken Sie auf \"Fertig stellen\", um das Setup zu "
     "beenden."},
    {TextId::disk_space, "Benötigter Speicherplatz: %1 MB\nVerfügbarer Speicherplatz: %2 MB"},
    {TextId::summary_folder, "Die Dateien werden installiert in:\n%1"},
    {TextId::summary_shortcuts, "Zu erstellende Verknüpfungen:"},
    {TextId::summary_start_menu, "- Im Startmenü."},
    {TextId::summary_desktop, "- Auf dem Desktop."},
    {TextId::summary_quick_launch, "- In der Schnellstartleiste."},
    {TextId::summary_none, "Keine."},
    {TextId::browse_title, "Wählen Sie einen Installationsordner aus."},

    {TextId::cancel_question, "Möchten Sie die Installation wirklich abbrechen?"},
    {TextId::invalid_path, "Geben Sie einen gültigen Installationspfad ein, um fortzufahren."},
    {TextId::unusable_folder,
     "Der Ordner %1 kann nicht für die Installation verwendet werden.\nGeben Sie einen "
     "vollständigen Pfad wie C:\\Program Files\\Tool ein, und versuchen Sie es erneut."},
    {TextId::not_enough_space,
     "Auf Laufwerk %1 ist nicht genügend Speicherplatz frei.\nGeben Sie Speicherplatz frei, und "
     "versuchen Sie es erneut."},
    {TextId::not_writable,
     "In den Ordner %1 kann nicht geschrieben werden.\nDieses Programm wird nur für Sie und ohne "
     "Administratorrechte installiert. Wählen Sie einen eigenen Ordner, z. B. in Ihrem "
     "Benutzerordner, und versuchen Sie es erneut."},

    {TextId::extracting, "Dateien werden entpackt..."},
    {TextId::small_window_caption, "Setup wird geladen..."},
    {TextId::small_window_status, "Dateien werden installiert..."},

    {TextId::installing_file, "Installation von\n%1..."},
    {TextId::undoing, "Änderungen werden rückgängig gemacht..."},
    {TextId::creating_shortcuts, "Verknüpfungen werden erstellt..."},
    {TextId::replace_question,
     "Eine Datei namens %1 ist am ausgewählten Speicherort bereits vorhanden.\nMöchten Sie sie "
     "ersetzen?"},
    {TextId::write_question,
     "Die Datei %1 konnte nicht geschrieben werden.\nMöchten Sie die Installation abbrechen, es "
     "erneut versuchen oder diese Datei ignorieren?"},
    {TextId::restart_needed,
     "Einige Dateien wurden verwendet. Sie werden beim Neustart des Computers ersetzt oder "
     "entfernt.\nStarten Sie den Computer neu, um den Vorgang abzuschließen."},
    {TextId::another_setup, "Eine andere Installation von %1 wird bereits ausgeführt."},
    {TextId::installed_unreadable,
     "Die Deinstallationsinformationen der installierten Version konnten nicht gelesen werden. Es "
     "wurde nichts geändert."},
    {TextId::downgrade_question,
     "Eine neuere Version (%1) von %2 ist installiert. Möchten Sie trotzdem Version %3 "
     "installieren?"},

    {TextId::in_use_by,
     "Die Datei %1 wird verwendet von:%2\n\n\"Wiederholen\" schließt diese Programme und versucht "
     "es erneut."},
    {TextId::in_use_unknown,
     "Die Datei %1 wird gerade verwendet.\n\nSchließen Sie die Programme, die sie verwenden, und "
     "wählen Sie \"Wiederholen\"."},
    {TextId::in_use_ignore_later, "\"Ignorieren\" schließt den Vorgang beim Neustart des Computers ab."},
    {TextId::in_use_ignore_skip, "\"Ignorieren\" fährt ohne diese Datei fort."},
    {TextId::in_use_abort_install, "\"Abbrechen\" beendet die Installation."},
    {TextId::in_use_abort_removal, "\"Abbrechen\" beendet die Deinstallation."},

    {TextId::start_write_failed,
     "Das Setup konnte seine temporären Dateien nicht schreiben.\n"
     "Überprüfen Sie den freien Speicherplatz Ihres temporären Ordners."},
    {TextId::start_damaged,
     "Das Installationspaket ist beschädigt und kann nicht installiert werden.\n"
     "Besorgen Sie sich eine neue Kopie des Installationsprogramms."},
    {TextId::missing_value, "Fehlender Wert: %1"},
    {TextId::log_unwritable, "Die Protokolldatei kann nicht geschrieben werden: %1"},
    {TextId::usage,
     "Syntax: setup.exe [/S] [/PASSIVE] [/DOWNGRADE] [/NORESTART] [/LOG=Datei] [/LANG=xx] [/D=Ordner]\n"
     "\n"
     "/S\tUnbeaufsichtigt installieren: kein Fenster, keine Rückfrage.\n"
     "\tVorhandene Dateien werden ersetzt; die Meldung und das Programm,\n"
     "\tdie das Paket am Ende anzeigt bzw. startet, entfallen.\n"
     "/PASSIVE\tWie /S, zeigt aber den Fortschritt der Installation an.\n"
     "/DOWNGRADE\tMit /S über eine neuere installierte Version installieren.\n"
     "/NORESTART\tEine verwendete Datei beendet die Installation (rückgängig\n"
     "\tgemacht), statt beim Neustart des Computers ersetzt zu werden.\n"
     "/LOG=Datei\tEin Protokoll der Installation an die Datei anhängen.\n"
     "\tLässt sich die Datei nicht schreiben, wird nichts installiert (Exitcode 1).\n"
     "/LANG=xx\tIn dieser Sprache anzeigen: %1.\n"
     "\tEin unbekannter oder im Paket fehlender Code bedeutet Englisch.\n"
     "/D=Ordner\tIn diesen Ordner installieren. Muss zuletzt stehen; darf\n"
     "\tLeerzeichen enthalten.\n"
     "/?\tDiese Hilfe anzeigen.\n"
     "\n"
     "Exitcodes: 0 installiert, 1 ungültige Befehlszeile, 2 abgebrochen,\n"
     "3 beschädigtes Paket, 4 Ordner unbrauchbar oder Datenträger voll,\n"
     "5 eine Datei konnte nicht geschrieben werden (rückgängig gemacht),\n"
     "6 neuere Version installiert (unbeaufsichtigt, ohne /DOWNGRADE),\n"
     "1618 eine andere Installation des Programms wird ausgeführt,\n"
     "3010 installiert; ein Neustart ersetzt die verwendeten Dateien."},

    {TextId::uninstaller_caption, "Quillset-Deinstallation"},
    {TextId::uninstaller_window_caption, "Quillset-Deinstallation"},
    {TextId::uninstall_question, "Möchten Sie %1 wirklich deinstallieren?"},
    {TextId::log_cannot_open,
     "Das Deinstallationsprotokoll %1 konnte nicht geöffnet werden. Es wurde nichts entfernt."},
    {TextId::log_incomplete,
     "Das Deinstallationsprotokoll %1 ist unvollständig. Es wurde nichts entfernt."},
    {TextId::log_too_many,
     "Das Deinstallationsprotokoll %1 enthält mehr Einträge, als das Deinstallationsprogramm "
     "verarbeiten kann. Es wurde nichts entfernt."},
    {TextId::removing, "%1 wird entfernt..."},
    {TextId::removal_done, "Fertig!"},
};

}  // namespace

extern const Table kTable_de;
const Table kTable_de = {kEntries, std::size(kEntries)};

}  // namespace quill::texts
