// The Spanish texts.
#include <iterator>

#include "common/texts.h"

namespace quill::texts {
namespace {

const Entry kEntries[] = {
    {TextId::installer_caption, "Instalador"},

    {TextId::step_welcome, "Bienvenido"},
    {TextId::step_licence, "Contrato de licencia"},
    {TextId::step_folder, "Carpeta de instalación"},
    {TextId::step_shortcuts, "Accesos directos"},
    {TextId::step_summary, "Resumen"},
    {TextId::step_installing, "Instalando..."},
    {TextId::step_finished, "Instalación finalizada"},

    {TextId::button_next, "Siguiente"},
    {TextId::button_agree, "Acepto"},
    {TextId::button_install, "Instalar"},
    {TextId::button_done, "Finalizar"},
    {TextId::button_exit, "Salir"},
    {TextId::button_disagree, "No acepto"},
    {TextId::button_previous, "Atrás"},
    {TextId::button_cancel, "Cancelar"},
    {TextId::button_browse, "Examinar..."},
    {TextId::button_ok, "Aceptar"},

    {TextId::folder_prompt, "Seleccione la carpeta de instalación:"},
    {TextId::licence_prompt,
     "Para continuar con la instalación, debe aceptar este contrato de licencia. Léalo "
     "atentamente."},
    {TextId::shortcut_desktop, "Crear accesos directos en el escritorio"},
    {TextId::shortcut_start_menu, "Crear accesos directos en el menú Inicio"},
    {TextId::shortcut_quick_launch, "Crear accesos directos en Inicio rápido"},
    {TextId::status_installing, "Instalando..."},
    {TextId::credit, "instalador: www.orvelle-software.example"},

    {TextId::finished_text,
     "La instalación ha finalizado.\n\nHaga clic en Finalizar para salir."},
    {TextId::disk_space, "Espacio en disco necesario: %1 MB\nEspacio en disco disponible: %2 MB"},
    {TextId::summary_folder, "Los archivos se instalarán en:\n%1"},
    {TextId::summary_shortcuts, "Accesos directos que se crearán:"},
    {TextId::summary_start_menu, "- En el menú Inicio."},
    {TextId::summary_desktop, "- En el escritorio."},
    {TextId::summary_quick_launch, "- En Inicio rápido."},
    {TextId::summary_none, "Ninguno."},
    {TextId::browse_title, "Seleccione una carpeta de instalación."},

    {TextId::cancel_question, "¿Está seguro de que desea cancelar la instalación?"},
    {TextId::invalid_path, "Debe indicar una ruta de instalación válida para continuar."},
    {TextId::unusable_folder,
     "No se puede usar la carpeta %1 para la instalación.\nEscriba una ruta completa, como "
     "C:\\Program Files\\Tool, e inténtelo de nuevo."},
    {TextId::not_enough_space,
     "No hay suficiente espacio libre en la unidad %1.\nLibere espacio en disco e inténtelo de "
     "nuevo."},
    {TextId::not_writable,
     "No se puede escribir en la carpeta %1.\nEste programa se instala solo para usted, sin "
     "derechos de administrador. Elija una carpeta propia, por ejemplo dentro de su carpeta de "
     "usuario, e inténtelo de nuevo."},

    {TextId::extracting, "Extrayendo..."},
    {TextId::small_window_caption, "Cargando el instalador..."},
    {TextId::small_window_status, "Instalando archivos..."},

    {TextId::installing_file, "Instalando\n%1..."},
    {TextId::undoing, "Deshaciendo los cambios..."},
    {TextId::creating_shortcuts, "Creando accesos directos..."},
    {TextId::replace_question,
     "Ya existe un archivo llamado %1 en la ubicación seleccionada.\n¿Desea reemplazarlo?"},
    {TextId::write_question,
     "No se pudo escribir el archivo %1.\n¿Desea anular la instalación, reintentar u omitir este "
     "archivo?"},
    {TextId::restart_needed,
     "Algunos archivos estaban en uso. Se reemplazarán o quitarán al reiniciar el equipo.\n"
     "Reinicie el equipo para finalizar."},
    {TextId::another_setup, "Ya hay otra instalación de %1 en curso."},
    {TextId::installed_unreadable,
     "No se pudo leer la información de desinstalación de la versión instalada. No se ha "
     "cambiado nada."},
    {TextId::downgrade_question,
     "Hay instalada una versión más reciente (%1) de %2. ¿Desea instalar la versión %3 de todos "
     "modos?"},

    {TextId::in_use_by,
     "El archivo %1 está en uso por:%2\n\nReintentar cierra estos programas y vuelve a intentarlo."},
    {TextId::in_use_unknown,
     "El archivo %1 está en uso.\n\nCierre los programas que lo usan y elija Reintentar."},
    {TextId::in_use_ignore_later, "Omitir termina con este archivo al reiniciar el equipo."},
    {TextId::in_use_ignore_skip, "Omitir continúa sin este archivo."},
    {TextId::in_use_abort_install, "Anular termina la instalación."},
    {TextId::in_use_abort_removal, "Anular termina la desinstalación."},

    {TextId::start_write_failed,
     "El instalador no pudo escribir sus archivos temporales.\n"
     "Compruebe el espacio libre de su carpeta temporal."},
    {TextId::start_damaged,
     "El paquete de instalación está dañado y no se puede instalar.\n"
     "Obtenga una copia nueva del instalador."},
    {TextId::missing_value, "Falta un valor: %1"},
    {TextId::log_unwritable, "No se puede escribir el archivo de registro: %1"},
    {TextId::usage,
     "Uso: setup.exe [/S] [/PASSIVE] [/DOWNGRADE] [/NORESTART] [/LOG=archivo] [/LANG=xx] [/D=carpeta]\n"
     "\n"
     "/S\tInstalación silenciosa: sin ventanas ni preguntas. Un archivo\n"
     "\texistente se reemplaza; se omiten el mensaje y el programa que el\n"
     "\tpaquete muestra o inicia al final de la instalación.\n"
     "/PASSIVE\tComo /S, pero muestra el progreso de la instalación.\n"
     "/DOWNGRADE\tCon /S, instalar sobre una versión instalada más reciente.\n"
     "/NORESTART\tUn archivo en uso termina la instalación (que se deshace)\n"
     "\ten lugar de reemplazarse al reiniciar el equipo.\n"
     "/LOG=archivo\tAgregar al archivo un registro de la instalación.\n"
     "\tSi no se puede escribir el archivo, no se instala nada (código 1).\n"
     "/LANG=xx\tUsar este idioma: %1.\n"
     "\tUn código desconocido, o que falta en el paquete, significa inglés.\n"
     "/D=carpeta\tInstalar en esta carpeta. Debe ir al final; puede\n"
     "\tcontener espacios.\n"
     "/?\tMostrar esta ayuda.\n"
     "\n"
     "Códigos de salida: 0 instalado, 1 línea de comandos incorrecta, 2 cancelado,\n"
     "3 paquete dañado, 4 carpeta no válida o disco lleno,\n"
     "5 no se pudo escribir un archivo (se deshizo la instalación),\n"
     "6 hay instalada una versión más reciente (silenciosa, sin /DOWNGRADE),\n"
     "1618 hay otra instalación del programa en curso,\n"
     "3010 instalado; un reinicio termina de reemplazar los archivos en uso."},

    {TextId::uninstaller_caption, "Desinstalador de Quillset"},
    {TextId::uninstaller_window_caption, "Desinstalador de Quillset"},
    {TextId::uninstall_question, "¿Está seguro de que desea desinstalar %1?"},
    {TextId::log_cannot_open,
     "No se pudo abrir el registro de desinstalación %1. No se ha quitado nada."},
    {TextId::log_incomplete,
     "El registro de desinstalación %1 está incompleto. No se ha quitado nada."},
    {TextId::log_too_many,
     "El registro de desinstalación %1 contiene más entradas de las que el desinstalador puede "
     "procesar. No se ha quitado nada."},
    {TextId::removing, "Quitando %1..."},
    {TextId::removal_done, "¡Listo!"},
};

}  // namespace

extern const Table kTable_es;
const Table kTable_es = {kEntries, std::size(kEntries)};

}  // namespace quill::texts
