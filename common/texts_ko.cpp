// The Korean texts.
#include <iterator>

#include "common/texts.h"

namespace quill::texts {
namespace {

const Entry kEntries[] = {
    {TextId::installer_caption, "설치 프로그램"},

    {TextId::step_welcome, "시작"},
    {TextId::step_licence, "사용권 계약"},
    {TextId::step_folder, "설치 폴더"},
    {TextId::step_shortcuts, "바로 가기"},
    {TextId::step_summary, "요약"},
    {TextId::step_installing, "설치하는 중..."},
    {TextId::step_finished, "설치 완료"},

    {TextId::button_next, "다음"},
    {TextId::button_agree, "동의함"},
    {TextId::button_install, "설치"},
    {TextId::button_done, "마침"},
    {TextId::button_exit, "끝내기"},
    {TextId::button_disagree, "동의 안 함"},
    {TextId::button_previous, "뒤로"},
    {TextId::button_cancel, "취소"},
    {TextId::button_browse, "찾아보기..."},
    {TextId::button_ok, "확인"},

    {TextId::folder_prompt, "설치할 폴더를 선택하십시오:"},
    {TextId::licence_prompt,
     "설치를 계속하려면 이 사용권 계약에 동의해야 합니다. 주의 깊게 읽어 보십시오."},
    {TextId::shortcut_desktop, "바탕 화면에 바로 가기 만들기"},
    {TextId::shortcut_start_menu, "시작 메뉴에 바로 가기 만들기"},
    {TextId::shortcut_quick_launch, "빠른 실행에 바로 가기 만들기"},
    {TextId::status_installing, "설치하는 중..."},
    {TextId::credit, "제작: www.orvelle-software.example"},

    {TextId::finished_text, "설치가 완료되었습니다.\n\n끝내려면 [마침]을 클릭하십시오."},
    {TextId::disk_space, "필요한 디스크 공간: %1MB\n사용 가능한 디스크 공간: %2MB"},
    {TextId::summary_folder, "파일을 설치할 위치:\n%1"},
    {TextId::summary_shortcuts, "만들 바로 가기:"},
    {TextId::summary_start_menu, "- 시작 메뉴"},
    {TextId::summary_desktop, "- 바탕 화면"},
    {TextId::summary_quick_launch, "- 빠른 실행"},
    {TextId::summary_none, "없음"},
    {TextId::browse_title, "설치 폴더를 선택하십시오."},

    {TextId::cancel_question, "설치를 취소하시겠습니까?"},
    {TextId::invalid_path, "계속하려면 올바른 설치 경로를 입력해야 합니다."},
    {TextId::unusable_folder,
     "%1 폴더는 설치에 사용할 수 없습니다.\nC:\\Program Files\\Tool과 같은 전체 경로를 입력한 후 "
     "다시 시도하십시오."},
    {TextId::not_enough_space,
     "%1 드라이브의 사용 가능한 디스크 공간이 부족합니다.\n디스크 공간을 확보한 후 다시 "
     "시도하십시오."},
    {TextId::not_writable,
     "%1 폴더에 쓸 수 없습니다.\n이 프로그램은 관리자 권한 없이 현재 사용자만을 위해 설치됩니다. "
     "사용자 폴더 안의 폴더처럼 직접 소유한 폴더를 선택한 후 다시 시도하십시오."},

    {TextId::extracting, "압축을 푸는 중..."},
    {TextId::small_window_caption, "설치 프로그램을 불러오는 중..."},
    {TextId::small_window_status, "파일을 설치하는 중..."},

    {TextId::installing_file, "설치하는 중\n%1..."},
    {TextId::undoing, "변경 내용을 취소하는 중..."},
    {TextId::creating_shortcuts, "바로 가기를 만드는 중..."},
    {TextId::replace_question,
     "선택한 위치에 %1 파일이 이미 있습니다.\n바꾸시겠습니까?"},
    {TextId::write_question,
     "%1 파일을 쓸 수 없습니다.\n설치를 중단하거나, 다시 시도하거나, 이 파일을 무시하시겠습니까?"},
    {TextId::restart_needed,
     "일부 파일이 사용 중이었습니다. 이 파일은 컴퓨터를 다시 시작할 때 바뀌거나 제거됩니다.\n"
     "완료하려면 컴퓨터를 다시 시작하십시오."},
    {TextId::another_setup, "%1의 다른 설치가 진행 중입니다."},
    {TextId::installed_unreadable,
     "설치된 버전의 제거 정보를 읽을 수 없습니다. 아무것도 변경되지 않았습니다."},
    {TextId::downgrade_question,
     "%2의 최신 버전(%1)이 설치되어 있습니다. 그래도 %3 버전을 설치하시겠습니까?"},

    {TextId::in_use_by,
     "%1 파일을 다음 프로그램에서 사용하고 있습니다:%2\n\n[다시 시도]를 선택하면 이 프로그램을 "
     "닫고 다시 시도합니다."},
    {TextId::in_use_unknown,
     "%1 파일이 사용 중입니다.\n\n이 파일을 사용하는 프로그램을 닫고 [다시 시도]를 선택하십시오."},
    {TextId::in_use_ignore_later, "[무시]를 선택하면 컴퓨터를 다시 시작할 때 작업을 마칩니다."},
    {TextId::in_use_ignore_skip, "[무시]를 선택하면 이 파일 없이 계속합니다."},
    {TextId::in_use_abort_install, "[중단]을 선택하면 설치를 끝냅니다."},
    {TextId::in_use_abort_removal, "[중단]을 선택하면 제거를 끝냅니다."},

    {TextId::start_write_failed,
     "설치 프로그램에서 임시 파일을 쓸 수 없습니다.\n"
     "임시 폴더의 사용 가능한 공간을 확인하십시오."},
    {TextId::start_damaged,
     "설치 패키지가 손상되어 설치할 수 없습니다.\n"
     "설치 프로그램을 새로 받으십시오."},
    {TextId::missing_value, "값이 없습니다: %1"},
    {TextId::log_unwritable, "로그 파일에 쓸 수 없습니다: %1"},
    {TextId::usage,
     "사용법: setup.exe [/S] [/PASSIVE] [/DOWNGRADE] [/NORESTART] [/LOG=파일] [/LANG=xx] [/D=폴더]\n"
     "\n"
     "/S\t자동 설치: 창과 질문을 표시하지 않습니다. 기존 파일은\n"
     "\t바뀌며, 패키지가 설치 마지막에 표시하는 메시지와 시작하는\n"
     "\t프로그램은 건너뜁니다.\n"
     "/PASSIVE\t/S와 같지만 설치 진행률을 표시합니다.\n"
     "/DOWNGRADE\t/S와 함께 사용하면 최신 버전 위에 설치합니다.\n"
     "/NORESTART\t사용 중인 파일이 있으면 컴퓨터를 다시 시작할 때 바꾸는\n"
     "\t대신 설치를 끝냅니다(설치는 취소됨).\n"
     "/LOG=파일\t설치 기록을 파일에 덧붙입니다.\n"
     "\t파일에 쓸 수 없으면 아무것도 설치하지 않습니다(종료 코드 1).\n"
     "/LANG=xx\t이 언어를 사용합니다: %1.\n"
     "\t알 수 없는 코드나 패키지에 없는 코드는 영어를 뜻합니다.\n"
     "/D=폴더\t이 폴더에 설치합니다. 마지막에 와야 하며 공백을\n"
     "\t포함할 수 있습니다.\n"
     "/?\t이 도움말을 표시합니다.\n"
     "\n"
     "종료 코드: 0 설치됨, 1 잘못된 명령줄, 2 취소됨,\n"
     "3 손상된 패키지, 4 사용할 수 없는 폴더 또는 디스크 공간 부족,\n"
     "5 파일을 쓸 수 없음(설치가 취소됨),\n"
     "6 최신 버전이 설치되어 있음(자동 설치, /DOWNGRADE 없음),\n"
     "1618 프로그램의 다른 설치가 진행 중,\n"
     "3010 설치됨, 다시 시작하면 사용 중인 파일의 교체가 완료됨."},

    {TextId::uninstaller_caption, "Quillset 제거 프로그램"},
    {TextId::uninstaller_window_caption, "Quillset 제거 프로그램"},
    {TextId::uninstall_question, "%1을(를) 제거하시겠습니까?"},
    {TextId::log_cannot_open, "제거 로그 %1을(를) 열 수 없습니다. 아무것도 제거되지 않았습니다."},
    {TextId::log_incomplete, "제거 로그 %1이(가) 불완전합니다. 아무것도 제거되지 않았습니다."},
    {TextId::log_too_many,
     "제거 로그 %1에 제거 프로그램이 처리할 수 있는 것보다 많은 항목이 있습니다. 아무것도 제거되지 "
     "않았습니다."},
    {TextId::removing, "%1 제거 중..."},
    {TextId::removal_done, "완료!"},
};

}  // namespace

extern const Table kTable_ko;
const Table kTable_ko = {kEntries, std::size(kEntries)};

}  // namespace quill::texts
