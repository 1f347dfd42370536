// The French texts.
#include <iterator>

#include "common/texts.h"

namespace quill::texts {
namespace {

const Entry kEntries[] = {
    {TextId::installer_caption, "Programme d'installation"},

    {TextId::step_welcome, "Bienvenue"},
    {TextId::step_licence, "Contrat de licence"},
    {TextId::step_folder, "Dossier d'installation"},
    {TextId::step_shortcuts, "Raccourcis"},
    {TextId::step_summary, "Récapitulatif"},
    {TextId::step_installing, "Installation en cours..."},
    {TextId::step_finished, "Installation terminée"},

    {TextId::button_next, "Suivant"},
    {TextId::button_agree, "J'accepte"},
    {TextId::button_install, "Installer"},
    {TextId::button_done, "Terminer"},
    {TextId::button_exit, "Quitter"},
    {TextId::button_disagree, "Je refuse"},
    {TextId::button_previous, "Précédent"},
    {TextId::button_cancel, "Annuler"},
    {TextId::button_browse, "Parcourir..."},
    {TextId::button_ok, "OK"},

    {TextId::folder_prompt, "Sélectionnez le dossier d'installation :"},
    {TextId::licence_prompt,
     "Pour poursuivre l'installation, vous devez accepter ce contrat de licence. Veuillez le lire "
     "attentivement."},
    {TextId::shortcut_desktop, "Créer des raccourcis sur le Bureau"},
    {TextId::shortcut_start_menu, "Créer des raccourcis dans le menu Démarrer"},
    {TextId::shortcut_quick_launch, "Créer des raccourcis dans Lancement rapide"},
    {TextId::status_installing, "Installation en cours..."},
    {TextId::credit, "installeur : www.orvelle-software.example"},

    {TextId::finished_text,
     "L'installation est terminée.\n\nCliquez sur Terminer pour quitter."},
    {TextId::disk_space, "Espace disque requis : %1 Mo\nEspace disque disponible : %2 Mo"},
    {TextId::summary_folder, "Les fichiers seront installés dans :\n%1"},
    {TextId::summary_shortcuts, "Raccourcis à créer :"},
    {TextId::summary_start_menu, "- Dans le menu Démarrer."},
    {TextId::summary_desktop, "- Sur le Bureau."},
    {TextId::summary_quick_launch, "- Dans Lancement rapide."},
    {TextId::summary_none, "Aucun."},
    {TextId::browse_title, "Sélectionnez un dossier d'installation."},

    {TextId::cancel_question, "Voulez-vous vraiment annuler l'installation ?"},
    {TextId::invalid_path, "Vous devez indiquer un chemin d'installation valide pour continuer."},
    {TextId::unusable_folder,
     "Le dossier %1 ne peut pas être utilisé pour l'installation.\nIndiquez un chemin complet, "
     "par exemple C:\\Program Files\\Tool, puis réessayez."},
    {TextId::not_enough_space,
     "L'espace disque disponible sur le lecteur %1 est insuffisant.\nLibérez de l'espace disque, "
     "puis réessayez."},
    {TextId::not_writable,
     "Impossible d'écrire dans le dossier %1.\nCe programme s'installe pour vous seul, sans droits "
     "d'administrateur. Choisissez un dossier qui vous appartient, par exemple dans votre dossier "
     "utilisateur, puis réessayez."},

    {TextId::extracting, "Extraction en cours..."},
    {TextId::small_window_caption, "Chargement du programme d'installation..."},
    {TextId::small_window_status, "Installation des fichiers..."},

    {TextId::installing_file, "Installation de\n%1..."},
    {TextId::undoing, "Annulation des modifications..."},
    {TextId::creating_shortcuts, "Création des raccourcis..."},
    {TextId::replace_question,
     "Un fichier nommé %1 existe déjà à l'emplacement sélectionné.\nVoulez-vous le remplacer ?"},
    {TextId::write_question,
     "Impossible d'écrire le fichier %1.\nVoulez-vous abandonner l'installation, réessayer ou "
     "ignorer ce fichier ?"},
    {TextId::restart_needed,
     "Certains fichiers étaient en cours d'utilisation. Ils seront remplacés ou supprimés au "
     "redémarrage de l'ordinateur.\nRedémarrez l'ordinateur pour terminer."},
    {TextId::another_setup, "Une autre installation de %1 est déjà en cours."},
    {TextId::installed_unreadable,
     "Impossible de lire les informations de désinstallation de la version installée. Aucune "
     "modification n'a été effectuée."},
    {TextId::downgrade_question,
     "Une version plus récente (%1) de %2 est installée. Installer quand même la version %3 ?"},

    {TextId::in_use_by,
     "Le fichier %1 est utilisé par :%2\n\nRecommencer ferme ces programmes et réessaie."},
    {TextId::in_use_unknown,
     "Le fichier %1 est en cours d'utilisation.\n\nFermez les programmes qui l'utilisent, puis "
     "choisissez Recommencer."},
    {TextId::in_use_ignore_later,
     "Ignorer termine l'opération sur ce fichier au redémarrage de l'ordinateur."},
    {TextId::in_use_ignore_skip, "Ignorer poursuit sans ce fichier."},
    {TextId::in_use_abort_install, "Abandonner met fin à l'installation."},
    {TextId::in_use_abort_removal, "Abandonner met fin à la désinstallation."},

    {TextId::start_write_failed,
     "Le programme d'installation n'a pas pu écrire ses fichiers temporaires.\n"
     "Vérifiez l'espace libre de votre dossier temporaire."},
    {TextId::start_damaged,
     "Le package d'installation est endommagé et ne peut pas être installé.\n"
     "Procurez-vous une nouvelle copie du programme d'installation."},
    {TextId::missing_value, "Valeur manquante : %1"},
    {TextId::log_unwritable, "Impossible d'écrire le fichier journal : %1"},
    {TextId::usage,
     "Syntaxe : setup.exe [/S] [/PASSIVE] [/DOWNGRADE] [/NORESTART] [/LOG=fichier] [/LANG=xx] [/D=dossier]\n"
     "\n"
     "/S\tInstallation silencieuse : ni fenêtre, ni question. Un fichier\n"
     "\texistant est remplacé ; le message et le programme que le package\n"
     "\taffiche ou lance en fin d'installation sont omis.\n"
     "/PASSIVE\tComme /S, mais affiche la progression de l'installation.\n"
     "/DOWNGRADE\tAvec /S, installer par-dessus une version plus récente.\n"
     "/NORESTART\tUn fichier en cours d'utilisation met fin à l'installation\n"
     "\t(annulée) au lieu d'être remplacé au redémarrage.\n"
     "/LOG=fichier\tAjouter un compte rendu de l'installation au fichier.\n"
     "\tSi le fichier ne peut pas être écrit, rien n'est installé (code 1).\n"
     "/LANG=xx\tUtiliser cette langue : %1.\n"
     "\tUn code inconnu, ou absent du package, signifie l'anglais.\n"
     "/D=dossier\tInstaller dans ce dossier. Doit figurer en dernier ;\n"
     "\tpeut contenir des espaces.\n"
     "/?\tAfficher cette aide.\n"
     "\n"
     "Codes de sortie : 0 installé, 1 ligne de commande incorrecte, 2 annulé,\n"
     "3 package endommagé, 4 dossier inutilisable ou disque plein,\n"
     "5 un fichier n'a pas pu être écrit (l'installation a été annulée),\n"
     "6 une version plus récente est installée (silencieux, sans /DOWNGRADE),\n"
     "1618 une autre installation du programme est en cours,\n"
     "3010 installé ; un redémarrage remplacera les fichiers en cours d'utilisation."},

    {TextId::uninstaller_caption, "Désinstallation de Quillset"},
    {TextId::uninstaller_window_caption, "Désinstallation de Quillset"},
    {TextId::uninstall_question, "Voulez-vous vraiment désinstaller %1 ?"},
    {TextId::log_cannot_open,
     "Impossible d'ouvrir le journal de désinstallation %1. Rien n'a été supprimé."},
    {TextId::log_incomplete,
     "Le journal de désinstallation %1 est incomplet. Rien n'a été supprimé."},
    {TextId::log_too_many,
     "Le journal de désinstallation %1 contient plus d'entrées que le programme de "
     "désinstallation ne peut en traiter. Rien n'a été supprimé."},
    {TextId::removing, "Suppression de %1..."},
    {TextId::removal_done, "Terminé !"},
};

}  // namespace

extern const Table kTable_fr;
const Table kTable_fr = {kEntries, std::size(kEntries)};

}  // namespace quill::texts
