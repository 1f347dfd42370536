// The Italian texts.
#include <iterator>

#include "common/texts.h"

namespace quill::texts {
namespace {

const Entry kEntries[] = {
    {TextId::installer_caption, "Installazione"},

    {TextId::step_welcome, "Benvenuti"},
    {TextId::step_licence, "Contratto di licenza"},
    {TextId::step_folder, "Cartella di installazione"},
    {TextId::step_shortcuts, "Collegamenti"},
    {TextId::step_summary, "Riepilogo"},
    {TextId::step_installing, "Installazione in corso..."},
    {TextId::step_finished, "Installazione completata"},

    {TextId::button_next, "Avanti"},
    {TextId::button_agree, "Accetto"},
    {TextId::button_install, "Installa"},
    {TextId::button_done, "Fine"},
    {TextId::button_exit, "Esci"},
    {TextId::button_disagree, "Rifiuto"},
    {TextId::button_previous, "Indietro"},
    {TextId::button_cancel, "Annulla"},
    {TextId::button_browse, "Sfoglia..."},
    {TextId::button_ok, "OK"},

    {TextId::folder_prompt, "Selezionare la cartella in cui eseguire l'installazione:"},
    {TextId::licence_prompt,
     "Per continuare è necessario accettare il contratto di licenza. Leggerlo "
     "attentamente."},
    {TextId::shortcut_desktop, "Crea collegamenti sul desktop"},
    {TextId::shortcut_start_menu, "Crea collegamenti nel menu Start"},
    {TextId::shortcut_quick_launch, "Crea collegamenti sulla barra di avvio veloce"},
    {TextId::status_installing, "Installazione in corso..."},
    {TextId::credit, "installer di www.orvelle-software.example"},

    {TextId::finished_text,
     "Installazione completata.\n\nFare clic su Fine per uscire."},
    {TextId::disk_space, "Spazio su disco richiesto: %1 MB\nSpazio su disco disponibile: %2 MB"},
    {TextId::summary_folder, "I file verranno installati in:\n%1"},
    {TextId::summary_shortcuts, "Collegamenti da creare:"},
    {TextId::summary_start_menu, "- Nel menu Start."},
    {TextId::summary_desktop, "- Sul desktop."},
    {TextId::summary_quick_launch, "- Sulla barra di avvio veloce."},
    {TextId::summary_none, "Nessuno."},
    {TextId::browse_title, "Selezionare una cartella di installazione."},

    {TextId::cancel_question, "Annullare l'installazione?"},
    {TextId::invalid_path, "Per continuare è necessario specificare un percorso di installazione valido."},
    {TextId::unusable_folder,
     "Impossibile usare la cartella %1 per l'installazione.\nImmettere un percorso completo, ad "
     "esempio C:\\Program Files\\Tool, e riprovare."},
    {TextId::not_enough_space,
     "Spazio libero insufficiente sull'unità %1.\nLiberare spazio su disco e riprovare."},
    {TextId::not_writable,
     "Impossibile scrivere nella cartella %1.\nQuesto programma viene installato solo per l'utente "
     "corrente, senza diritti di amministratore. Scegliere una cartella personale, ad esempio "
     "all'interno della cartella utente, e riprovare."},

    {TextId::extracting, "Estrazione in corso..."},
    {TextId::small_window_caption, "Caricamento dell'installazione..."},
    {TextId::small_window_status, "Installazione dei file..."},

    {TextId::installing_file, "Installazione di\n%1..."},
    {TextId::undoing, "Annullamento delle modifiche..."},
    {TextId::creating_shortcuts, "Creazione dei collegamenti..."},
    {TextId::replace_question,
     "Nel percorso selezionato esiste già un file denominato %1.\nSostituirlo?"},
    {TextId::write_question,
     "Impossibile scrivere il file %1.\nInterrompere l'installazione, riprovare o ignorare questo "
     "file?"},
    {TextId::restart_needed,
     "Alcuni file erano in uso. Verranno sostituiti o rimossi al riavvio del computer.\n"
     "Riavviare il computer per completare l'operazione."},
    {TextId::another_setup, "È già in corso un'altra installazione di %1."},
    {TextId::installed_unreadable,
     "Impossibile leggere le informazioni di disinstallazione della versione installata. Non è "
     "stato modificato nulla."},
    {TextId::downgrade_question,
     "È installata una versione più recente (%1) di %2. Installare comunque la versione %3?"},

    {TextId::in_use_by,
     "Il file %1 è in uso da parte di:%2\n\nRiprova chiude questi programmi e ritenta "
     "l'operazione."},
    {TextId::in_use_unknown,
     "Il file %1 è in uso.\n\nChiudere i programmi che lo usano e scegliere Riprova."},
    {TextId::in_use_ignore_later, "Ignora completa l'operazione al riavvio del computer."},
    {TextId::in_use_ignore_skip, "Ignora prosegue senza questo file."},
    {TextId::in_use_abort_install, "Interrompi termina l'installazione."},
    {TextId::in_use_abort_removal, "Interrompi termina la disinstallazione."},

    {TextId::start_write_failed,
     "Impossibile scrivere i file temporanei dell'installazione.\n"
     "Verificare lo spazio libero nella cartella dei file temporanei."},
    {TextId::start_damaged,
     "Il pacchetto di installazione è danneggiato e non può essere installato.\n"
     "Procurarsi una nuova copia del programma di installazione."},
    {TextId::missing_value, "Valore mancante: %1"},
    {TextId::log_unwritable, "Impossibile scrivere il file di log: %1"},
    {TextId::usage,
     "Sintassi: setup.exe [/S] [/PASSIVE] [/DOWNGRADE] [/NORESTART] [/LOG=file] [/LANG=xx] [/D=cartella]\n"
     "\n"
     "/S\tInstallazione invisibile: nessuna finestra, nessuna domanda. Un\n"
     "\tfile esistente viene sostituito; il messaggio e il programma che il\n"
     "\tpacchetto mostra o avvia al termine vengono omessi.\n"
     "/PASSIVE\tCome /S, ma mostra l'avanzamento dell'installazione.\n"
     "/DOWNGRADE\tCon /S, installa sopra una versione più recente.\n"
     "/NORESTART\tUn file in uso termina l'installazione (annullata) invece\n"
     "\tdi essere sostituito al riavvio del computer.\n"
     "/LOG=file\tAggiunge al file un resoconto dell'installazione.\n"
     "\tSe il file non si può scrivere, non viene installato nulla (codice 1).\n"
     "/LANG=xx\tUsa questa lingua: %1.\n"
     "\tUn codice sconosciuto, o assente dal pacchetto, indica l'inglese.\n"
     "/D=cartella\tInstalla in questa cartella. Deve essere l'ultima\n"
     "\topzione; può contenere spazi.\n"
     "/?\tMostra questa guida.\n"
     "\n"
     "Codici di uscita: 0 installato, 1 riga di comando non valida, 2 annullato,\n"
     "3 pacchetto danneggiato, 4 cartella non utilizzabile o disco pieno,\n"
     "5 impossibile scrivere un file (installazione annullata),\n"
     "6 è installata una versione più recente (invisibile, senza /DOWNGRADE),\n"
     "1618 è in corso un'altra installazione del programma,\n"
     "3010 installato; un riavvio completa la sostituzione dei file in uso."},

    {TextId::uninstaller_caption, "Disinstallazione di Quillset"},
    {TextId::uninstaller_window_caption, "Disinstallazione di Quillset"},
    {TextId::uninstall_question, "Disinstallare %1?"},
    {TextId::log_cannot_open,
     "Impossibile aprire il registro di disinstallazione %1. Non è stato rimosso nulla."},
    {TextId::log_incomplete,
     "Il registro di disinstallazione %1 è incompleto. Non è stato rimosso nulla."},
    {TextId::log_too_many,
     "Il registro di disinstallazione %1 contiene più voci di quante il programma di "
     "disinstallazione possa gestirne. Non è stato rimosso nulla."},
    {TextId::removing, "Rimozione di %1..."},
    {TextId::removal_done, "Operazione completata."},
};

}  // namespace

extern const Table kTable_it;
const Table kTable_it = {kEntries, std::size(kEntries)};

}  // namespace quill::texts
