// The Portuguese (Brazil) texts.
#include <iterator>

#include "common/texts.h"

namespace quill::texts {
namespace {

const Entry kEntries[] = {
    {TextId::installer_caption, "Instalador"},

    {TextId::step_welcome, "Bem-vindo"},
    {TextId::step_licence, "Contrato de Licença"},
    {TextId::step_folder, "Pasta de Instalação"},
    {TextId::step_shortcuts, "Atalhos"},
    {TextId::step_summary, "Resumo"},
    {TextId::step_installing, "Instalando..."},
    {TextId::step_finished, "Instalação concluída"},

    {TextId::button_next, "Avançar"},
    {TextId::button_agree, "Aceito"},
    {TextId::button_install, "Instalar"},
    {TextId::button_done, "Concluir"},
    {TextId::button_exit, "Sair"},
    {TextId::button_disagree, "Não Aceito"},
    {TextId::button_previous, "Voltar"},
    {TextId::button_cancel, "Cancelar"},
    {TextId::button_browse, "Procurar..."},
    {TextId::button_ok, "OK"},

    {TextId::folder_prompt, "Selecione a pasta na qual deseja instalar:"},
    {TextId::licence_prompt,
     "Para prosseguir com a instalação, você precisa aceitar este contrato de licença. Leia-o "
     "com atenção."},
    {TextId::shortcut_desktop, "Criar atalhos na área de trabalho"},
    {TextId::shortcut_start_menu, "Criar atalhos no menu Iniciar"},
    {TextId::shortcut_quick_launch, "Criar atalhos na barra de Inicialização Rápida"},
    {TextId::status_installing, "Instalando..."},
    {TextId::credit, "instalador: www.orvelle-software.example"},

    {TextId::finished_text,
     "A instalação foi concluída.\n\nClique em Concluir para sair."},
    {TextId::disk_space, "Espaço em disco necessário: %1 MB\nEspaço em disco disponível: %2 MB"},
    {TextId::summary_folder, "Os arquivos serão instalados em:\n%1"},
    {TextId::summary_shortcuts, "Atalhos a serem criados:"},
    {TextId::summary_start_menu, "- No menu Iniciar."},
    {TextId::summary_desktop, "- Na área de trabalho."},
    {TextId::summary_quick_launch, "- Na barra de Inicialização Rápida."},
    {TextId::summary_none, "Nenhum."},
    {TextId::browse_title, "Selecione uma pasta de instalação."},

    {TextId::cancel_question, "Tem certeza de que deseja cancelar a instalação?"},
    {TextId::invalid_path, "Você precisa informar um caminho de instalação válido para continuar."},
    {TextId::unusable_folder,
     "A pasta %1 não pode ser usada para a instalação.\nDigite um caminho completo, como "
     "C:\\Program Files\\Tool, e tente novamente."},
    {TextId::not_enough_space,
     "Não há espaço livre suficiente na unidade %1.\nLibere espaço em disco e tente novamente."},
    {TextId::not_writable,
     "Não é possível gravar na pasta %1.\nEste programa é instalado somente para você, sem "
     "direitos de administrador. Escolha uma pasta sua, como uma dentro da sua pasta de usuário, "
     "e tente novamente."},

    {TextId::extracting, "Extraindo..."},
    {TextId::small_window_caption, "Carregando o instalador..."},
    {TextId::small_window_status, "Instalando arquivos..."},

    {TextId::installing_file, "Instalando\n%1..."},
    {TextId::undoing, "Desfazendo as alterações..."},
    {TextId::creating_shortcuts, "Criando atalhos..."},
    {TextId::replace_question,
     "Já existe um arquivo chamado %1 no local selecionado.\nDeseja substituí-lo?"},
    {TextId::write_question,
     "Não foi possível gravar o arquivo %1.\nDeseja anular a instalação, repetir ou ignorar este "
     "arquivo?"},
    {TextId::restart_needed,
     "Alguns arquivos estavam em uso. Eles serão substituídos ou removidos quando o computador "
     "for reiniciado.\nReinicie o computador para concluir."},
    {TextId::another_setup, "Outra instalação de %1 já está em andamento."},
    {TextId::installed_unreadable,
     "Não foi possível ler as informações de desinstalação da versão instalada. Nada foi "
     "alterado."},
    {TextId::downgrade_question,
     "Uma versão mais recente (%1) de %2 está instalada. Deseja instalar a versão %3 mesmo "
     "assim?"},

    {TextId::in_use_by,
     "O arquivo %1 está sendo usado por:%2\n\nRepetir fecha esses programas e tenta novamente."},
    {TextId::in_use_unknown,
     "O arquivo %1 está em uso.\n\nFeche os programas que o utilizam e escolha Repetir."},
    {TextId::in_use_ignore_later, "Ignorar conclui a operação quando o computador for reiniciado."},
    {TextId::in_use_ignore_skip, "Ignorar continua sem este arquivo."},
    {TextId::in_use_abort_install, "Anular encerra a instalação."},
    {TextId::in_use_abort_removal, "Anular encerra a desinstalação."},

    {TextId::start_write_failed,
     "O instalador não pôde gravar seus arquivos temporários.\n"
     "Verifique o espaço livre da sua pasta temporária."},
    {TextId::start_damaged,
     "O pacote de instalação está danificado e não pode ser instalado.\n"
     "Obtenha uma nova cópia do instalador."},
    {TextId::missing_value, "Valor ausente: %1"},
    {TextId::log_unwritable, "Não é possível gravar o arquivo de log: %1"},
    {TextId::usage,
     "Uso: setup.exe [/S] [/PASSIVE] [/DOWNGRADE] [/NORESTART] [/LOG=arquivo] [/LANG=xx] [/D=pasta]\n"
     "\n"
     "/S\tInstalação silenciosa: sem janelas nem perguntas. Um arquivo\n"
     "\texistente é substituído; a mensagem e o programa que o pacote\n"
     "\texibe ou inicia ao final da instalação são ignorados.\n"
     "/PASSIVE\tComo /S, mas mostra o progresso da instalação.\n"
     "/DOWNGRADE\tCom /S, instala sobre uma versão mais recente.\n"
     "/NORESTART\tUm arquivo em uso encerra a instalação (desfeita) em vez\n"
     "\tde ser substituído quando o computador for reiniciado.\n"
     "/LOG=arquivo\tAcrescenta ao arquivo um registro da instalação.\n"
     "\tSe o arquivo não puder ser gravado, nada é instalado (código 1).\n"
     "/LANG=xx\tUsa este idioma: %1.\n"
     "\tUm código desconhecido, ou ausente do pacote, significa inglês.\n"
     "/D=pasta\tInstala nesta pasta. Deve vir por último; pode conter\n"
     "\tespaços.\n"
     "/?\tMostra esta ajuda.\n"
     "\n"
     "Códigos de saída: 0 instalado, 1 linha de comando inválida, 2 cancelado,\n"
     "3 pacote danificado, 4 pasta inutilizável ou disco cheio,\n"
     "5 não foi possível gravar um arquivo (a instalação foi desfeita),\n"
     "6 há uma versão mais recente instalada (silenciosa, sem /DOWNGRADE),\n"
     "1618 outra instalação do programa está em andamento,\n"
     "3010 instalado; uma reinicialização conclui a troca dos arquivos em uso."},

    {TextId::uninstaller_caption, "Desinstalador do Quillset"},
    {TextId::uninstaller_window_caption, "Desinstalador do Quillset"},
    {TextId::uninstall_question, "Tem certeza de que deseja desinstalar %1?"},
    {TextId::log_cannot_open,
     "Não foi possível abrir o log de desinstalação %1. Nada foi removido."},
    {TextId::log_incomplete, "O log de desinstalação %1 está incompleto. Nada foi removido."},
    {TextId::log_too_many,
     "O log de desinstalação %1 contém mais entradas do que o desinstalador pode processar. Nada "
     "foi removido."},
    {TextId::removing, "Removendo %1..."},
    {TextId::removal_done, "Concluído!"},
};

}  // namespace

extern const Table kTable_pt_BR;
const Table kTable_pt_BR = {kEntries, std::size(kEntries)};

}  // namespace quill::texts
