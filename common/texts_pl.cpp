// The Polish texts.
#include <iterator>

#include "common/texts.h"

namespace quill::texts {
namespace {

const Entry kEntries[] = {
    {TextId::installer_caption, "Instalator"},

    {TextId::step_welcome, "Witamy"},
    {TextId::step_licence, "Umowa licencyjna"},
    {TextId::step_folder, "Folder instalacji"},
    {TextId::step_shortcuts, "Skróty"},
    {TextId::step_summary, "Podsumowanie"},
    {TextId::step_installing, "Trwa instalacja..."},
    {TextId::step_finished, "Instalacja zakończona"},

    {TextId::button_next, "Dalej"},
    {TextId::button_agree, "Akceptuję"},
    {TextId::button_install, "Zainstaluj"},
    {TextId::button_done, "Zakończ"},
    {TextId::button_exit, "Zamknij"},
    {TextId::button_disagree, "Odrzucam"},
    {TextId::button_previous, "Wstecz"},
    {TextId::button_cancel, "Anuluj"},
    {TextId::button_browse, "Przeglądaj..."},
    {TextId::button_ok, "OK"},

    {TextId::folder_prompt, "Wybierz folder instalacji:"},
    {TextId::licence_prompt,
     "Aby kontynuować instalację, musisz zaakceptować tę umowę licencyjną. Przeczytaj ją "
     "uważnie."},
    {TextId::shortcut_desktop, "Utwórz skróty na pulpicie"},
    {TextId::shortcut_start_menu, "Utwórz skróty w menu Start"},
    {TextId::shortcut_quick_launch, "Utwórz skróty na pasku Szybkie uruchamianie"},
    {TextId::status_installing, "Trwa instalacja..."},
    {TextId::credit, "instalator: www.orvelle-software.example"},

    {TextId::finished_text,
     "Instalacja została zakończona.\n\nKliknij Zakończ, aby zamknąć instalator."},
    {TextId::disk_space, "Wymagane miejsce na dysku: %1 MB\nDostępne miejsce na dysku: %2 MB"},
    {TextId::summary_folder, "Pliki zostaną zainstalowane w folderze:\n%1"},
    {TextId::summary_shortcuts, "Skróty do utworzenia:"},
    {TextId::summary_start_menu, "- W menu Start."},
    {TextId::summary_desktop, "- Na pulpicie."},
    {TextId::summary_quick_launch, "- Na pasku Szybkie uruchamianie."},
    {TextId::summary_none, "Brak."},
    {TextId::browse_title, "Wybierz folder instalacji."},

    {TextId::cancel_question, "Czy na pewno chcesz anulować instalację?"},
    {TextId::invalid_path, "Aby kontynuować, musisz podać prawidłową ścieżkę instalacji."},
    {TextId::unusable_folder,
     "Nie można użyć folderu %1 do instalacji.\nPodaj pełną ścieżkę, na przykład "
     "C:\\Program Files\\Tool, i spróbuj ponownie."},
    {TextId::not_enough_space,
     "Na dysku %1 brakuje wolnego miejsca.\nZwolnij trochę miejsca na dysku i spróbuj ponownie."},
    {TextId::not_writable,
     "Nie można zapisywać w folderze %1.\nTen program instaluje się tylko dla Ciebie, bez praw "
     "administratora. Wybierz własny folder, na przykład w folderze użytkownika, i spróbuj "
     "ponownie."},

    {TextId::extracting, "Trwa wypakowywanie..."},
    {TextId::small_window_caption, "Ładowanie instalatora..."},
    {TextId::small_window_status, "Instalowanie plików..."},

    {TextId::installing_file, "Instalowanie\n%1..."},
    {TextId::undoing, "Wycofywanie zmian..."},
    {TextId::creating_shortcuts, "Tworzenie skrótów..."},
    {TextId::replace_question,
     "Plik o nazwie %1 już istnieje w wybranej lokalizacji.\nCzy chcesz go zastąpić?"},
    {TextId::write_question,
     "Nie można zapisać pliku %1.\nPrzerwać instalację, ponowić próbę czy zignorować ten plik?"},
    {TextId::restart_needed,
     "Niektóre pliki były w użyciu. Zostaną zastąpione lub usunięte po ponownym uruchomieniu "
     "komputera.\nUruchom ponownie komputer, aby zakończyć."},
    {TextId::another_setup, "Trwa już inna instalacja programu %1."},
    {TextId::installed_unreadable,
     "Nie można odczytać informacji o dezinstalacji zainstalowanej wersji. Niczego nie zmieniono."},
    {TextId::downgrade_question,
     "Zainstalowana jest nowsza wersja (%1) programu %2. Czy mimo to zainstalować wersję %3?"},

    {TextId::in_use_by,
     "Plik %1 jest używany przez:%2\n\nPonów próbę zamyka te programy i próbuje ponownie."},
    {TextId::in_use_unknown,
     "Plik %1 jest w użyciu.\n\nZamknij programy, które go używają, i wybierz Ponów próbę."},
    {TextId::in_use_ignore_later,
     "Ignoruj kończy operację na tym pliku po ponownym uruchomieniu komputera."},
    {TextId::in_use_ignore_skip, "Ignoruj kontynuuje bez tego pliku."},
    {TextId::in_use_abort_install, "Przerwij kończy instalację."},
    {TextId::in_use_abort_removal, "Przerwij kończy dezinstalację."},

    {TextId::start_write_failed,
     "Instalator nie mógł zapisać swoich plików tymczasowych.\n"
     "Sprawdź ilość wolnego miejsca w folderze plików tymczasowych."},
    {TextId::start_damaged,
     "Pakiet instalacyjny jest uszkodzony i nie można go zainstalować.\n"
     "Pobierz nową kopię instalatora."},
    {TextId::missing_value, "Brak wartości: %1"},
    {TextId::log_unwritable, "Nie można zapisać pliku dziennika: %1"},
    {TextId::usage,
     "Użycie: setup.exe [/S] [/PASSIVE] [/DOWNGRADE] [/NORESTART] [/LOG=plik] [/LANG=xx] [/D=folder]\n"
     "\n"
     "/S\tInstalacja cicha: bez okien i pytań. Istniejący plik zostaje\n"
     "\tzastąpiony; komunikat i program, które pakiet wyświetla lub\n"
     "\turuchamia na końcu instalacji, są pomijane.\n"
     "/PASSIVE\tJak /S, ale z widocznym postępem instalacji.\n"
     "/DOWNGRADE\tZ /S: instaluj na nowszej zainstalowanej wersji.\n"
     "/NORESTART\tPlik w użyciu kończy instalację (wycofaną), zamiast\n"
     "\tzostać zastąpiony po ponownym uruchomieniu komputera.\n"
     "/LOG=plik\tDopisz do pliku zapis przebiegu instalacji.\n"
     "\tJeśli pliku nie można zapisać, nic nie zostanie zainstalowane (kod 1).\n"
     "/LANG=xx\tUżyj tego języka: %1.\n"
     "\tNieznany kod lub kod, którego brak w pakiecie, oznacza angielski.\n"
     "/D=folder\tInstaluj w tym folderze. Musi być ostatni; może\n"
     "\tzawierać spacje.\n"
     "/?\tWyświetl tę pomoc.\n"
     "\n"
     "Kody wyjścia: 0 zainstalowano, 1 błędny wiersz polecenia, 2 anulowano,\n"
     "3 uszkodzony pakiet, 4 nieprzydatny folder lub pełny dysk,\n"
     "5 nie można zapisać pliku (instalację wycofano),\n"
     "6 zainstalowana jest nowsza wersja (cicho, bez /DOWNGRADE),\n"
     "1618 trwa inna instalacja programu,\n"
     "3010 zainstalowano; ponowne uruchomienie dokończy zastępowanie plików w użyciu."},

    {TextId::uninstaller_caption, "Dezinstalator Quillset"},
    {TextId::uninstaller_window_caption, "Dezinstalator Quillset"},
    {TextId::uninstall_question, "Czy na pewno chcesz odinstalować program %1?"},
    {TextId::log_cannot_open,
     "Nie można otworzyć dziennika dezinstalacji %1. Niczego nie usunięto."},
    {TextId::log_incomplete, "Dziennik dezinstalacji %1 jest niekompletny. Niczego nie usunięto."},
    {TextId::log_too_many,
     "Dziennik dezinstalacji %1 zawiera więcej wpisów, niż dezinstalator może obsłużyć. Niczego "
     "nie usunięto."},
    {TextId::removing, "Usuwanie %1..."},
    {TextId::removal_done, "Gotowe!"},
};

}  // namespace

extern const Table kTable_pl;
const Table kTable_pl = {kEntries, std::size(kEntries)};

}  // namespace quill::texts
