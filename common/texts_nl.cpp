// The Dutch texts.
#include <iterator>

#include "common/texts.h"

namespace quill::texts {
namespace {

const Entry kEntries[] = {
    {TextId::installer_caption, "Installatieprogramma"},

    {TextId::step_welcome, "Welkom"},
    {TextId::step_licence, "Licentieovereenkomst"},
    {TextId::step_folder, "Installatiemap"},
    {TextId::step_shortcuts, "Snelkoppelingen"},
    {TextId::step_summary, "Overzicht"},
    {TextId::step_installing, "Bezig met installeren..."},
    {TextId::step_finished, "Installatie voltooid"},

    {TextId::button_next, "Volgende"},
    {TextId::button_agree, "Akkoord"},
    {TextId::button_install, "Installeren"},
    {TextId::button_done, "Voltooien"},
    {TextId::button_exit, "Afsluiten"},
    {TextId::button_disagree, "Weigeren"},
    {TextId::button_previous, "Vorige"},
    {TextId::button_cancel, "Annuleren"},
    {TextId::button_browse, "Bladeren..."},
    {TextId::button_ok, "OK"},

    {TextId::folder_prompt, "Selecteer de map waarin u wilt installeren:"},
    {TextId::licence_prompt,
     "Lees de licentieovereenkomst zorgvuldig. U moet deze accepteren om door te "
     "gaan."},
    {TextId::shortcut_desktop, "Snelkoppelingen op het bureaublad maken"},
    {TextId::shortcut_start_menu, "Snelkoppelingen in het menu Start maken"},
    {TextId::shortcut_quick_launch, "Snelkoppelingen in Snel starten maken"},
    {TextId::status_installing, "Bezig met installeren..."},
    {TextId::credit, "setup door www.orvelle-software.example"},

    {TextId::finished_text,
     "De installatie is voltooid.\n\nKlik op Voltooien om af te sluiten."},
    {TextId::disk_space, "Benodigde schijfruimte: %1 MB\nBeschikbare schijfruimte: %2 MB"},
    {TextId::summary_folder, "De bestanden worden geïnstalleerd in:\n%1"},
    {TextId::summary_shortcuts, "Te maken snelkoppelingen:"},
    {TextId::summary_start_menu, "- In het menu Start."},
    {TextId::summary_desktop, "- Op het bureaublad."},
    {TextId::summary_quick_launch, "- In Snel starten."},
    {TextId::summary_none, "Geen."},
    {TextId::browse_title, "Selecteer een installatiemap."},

    {TextId::cancel_question, "Weet u zeker dat u de installatie wilt annuleren?"},
    {TextId::invalid_path, "U moet een geldig installatiepad opgeven om door te gaan."},
    {TextId::unusable_folder,
     "De map %1 kan niet voor de installatie worden gebruikt.\nGeef een volledig pad op, zoals "
     "C:\\Program Files\\Tool, en probeer het opnieuw."},
    {TextId::not_enough_space,
     "Er is onvoldoende vrije schijfruimte op station %1.\nMaak schijfruimte vrij en probeer het "
     "opnieuw."},
    {TextId::not_writable,
     "Er kan niet worden geschreven naar de map %1.\nDit programma wordt alleen voor u "
     "geïnstalleerd, zonder beheerdersrechten. Kies een eigen map, bijvoorbeeld in uw "
     "gebruikersmap, en probeer het opnieuw."},

    {TextId::extracting, "Bezig met uitpakken..."},
    {TextId::small_window_caption, "Installatieprogramma laden..."},
    {TextId::small_window_status, "Bestanden installeren..."},

    {TextId::installing_file, "Bezig met installeren van\n%1..."},
    {TextId::undoing, "Wijzigingen ongedaan maken..."},
    {TextId::creating_shortcuts, "Snelkoppelingen maken..."},
    {TextId::replace_question,
     "Er bestaat al een bestand met de naam %1 op de geselecteerde locatie.\nWilt u het "
     "vervangen?"},
    {TextId::write_question,
     "Het bestand %1 kan niet worden geschreven.\nDe installatie afbreken, het opnieuw proberen "
     "of dit bestand negeren?"},
    {TextId::restart_needed,
     "Sommige bestanden waren in gebruik. Ze worden vervangen of verwijderd wanneer de computer "
     "opnieuw wordt opgestart.\nStart de computer opnieuw op om te voltooien."},
    {TextId::another_setup, "Er wordt al een andere installatie van %1 uitgevoerd."},
    {TextId::installed_unreadable,
     "De verwijderingsgegevens van de geïnstalleerde versie kunnen niet worden gelezen. Er is "
     "niets gewijzigd."},
    {TextId::downgrade_question,
     "Er is een nieuwere versie (%1) van %2 geïnstalleerd. Toch versie %3 installeren?"},

    {TextId::in_use_by,
     "Het bestand %1 is in gebruik door:%2\n\nOpnieuw sluit deze programma's en probeert het "
     "opnieuw."},
    {TextId::in_use_unknown,
     "Het bestand %1 is in gebruik.\n\nSluit de programma's die het gebruiken en kies Opnieuw."},
    {TextId::in_use_ignore_later,
     "Negeren voltooit de bewerking wanneer de computer opnieuw wordt opgestart."},
    {TextId::in_use_ignore_skip, "Negeren gaat verder zonder dit bestand."},
    {TextId::in_use_abort_install, "Afbreken beëindigt de installatie."},
    {TextId::in_use_abort_removal, "Afbreken beëindigt het verwijderen."},

    {TextId::start_write_failed,
     "Het installatieprogramma kan zijn tijdelijke bestanden niet schrijven.\n"
     "Controleer de vrije ruimte in uw map voor tijdelijke bestanden."},
    {TextId::start_damaged,
     "Het installatiepakket is beschadigd en kan niet worden geïnstalleerd.\n"
     "Haal een nieuwe kopie van het installatieprogramma op."},
    {TextId::missing_value, "Ontbrekende waarde: %1"},
    {TextId::log_unwritable, "Het logbestand kan niet worden geschreven: %1"},
    {TextId::usage,
     "Gebruik: setup.exe [/S] [/PASSIVE] [/DOWNGRADE] [/NORESTART] [/LOG=bestand] [/LANG=xx] [/D=map]\n"
     "\n"
     "/S\tStil installeren: geen venster, geen vragen. Een bestaand\n"
     "\tbestand wordt vervangen; het bericht en het programma dat het\n"
     "\tpakket aan het einde toont of start, worden overgeslagen.\n"
     "/PASSIVE\tZoals /S, maar toont de voortgang van de installatie.\n"
     "/DOWNGRADE\tMet /S installeren over een nieuwere geïnstalleerde versie.\n"
     "/NORESTART\tEen bestand in gebruik beëindigt de installatie (ongedaan\n"
     "\tgemaakt) in plaats van bij het opnieuw opstarten te worden vervangen.\n"
     "/LOG=bestand\tEen verslag van de installatie aan het bestand toevoegen.\n"
     "\tKan het bestand niet worden geschreven, dan wordt niets geïnstalleerd (code 1).\n"
     "/LANG=xx\tDeze taal gebruiken: %1.\n"
     "\tEen onbekende code, of een die het pakket niet bevat, betekent Engels.\n"
     "/D=map\tIn deze map installeren. Moet als laatste staan; mag\n"
     "\tspaties bevatten.\n"
     "/?\tDeze Help weergeven.\n"
     "\n"
     "Afsluitcodes: 0 geïnstalleerd, 1 ongeldige opdrachtregel, 2 geannuleerd,\n"
     "3 beschadigd pakket, 4 map onbruikbaar of schijf vol,\n"
     "5 een bestand kan niet worden geschreven (installatie ongedaan gemaakt),\n"
     "6 een nieuwere versie is geïnstalleerd (stil, zonder /DOWNGRADE),\n"
     "1618 er wordt al een andere installatie van het programma uitgevoerd,\n"
     "3010 geïnstalleerd; opnieuw opstarten vervangt de bestanden in gebruik."},

    {TextId::uninstaller_caption, "Quillset verwijderen"},
    {TextId::uninstaller_window_caption, "Quillset verwijderen"},
    {TextId::uninstall_question, "Weet u zeker dat u %1 wilt verwijderen?"},
    {TextId::log_cannot_open,
     "Het verwijderingslogboek %1 kan niet worden geopend. Er is niets verwijderd."},
    {TextId::log_incomplete,
     "Het verwijderingslogboek %1 is onvolledig. Er is niets verwijderd."},
    {TextId::log_too_many,
     "Het verwijderingslogboek %1 bevat meer items dan het verwijderprogramma kan verwerken. Er "
     "is niets verwijderd."},
    {TextId::removing, "Bezig met verwijderen van %1..."},
    {TextId::removal_done, "Gereed!"},
};

}  // namespace

extern const Table kTable_nl;
const Table kTable_nl = {kEntries, std::size(kEntries)};

}  // namespace quill::texts
