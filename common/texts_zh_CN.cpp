// The Simplified Chinese texts.
#include <iterator>

#include "common/texts.h"

namespace quill::texts {
namespace {

const Entry kEntries[] = {
    {TextId::installer_caption, "安装程序"},

    {TextId::step_welcome, "欢迎"},
    {TextId::step_licence, "许可协议"},
    {TextId::step_folder, "安装文件夹"},
    {TextId::step_shortcuts, "快捷方式"},
    {TextId::step_summary, "摘要"},
    {TextId::step_installing, "正在安装..."},
    {TextId::step_finished, "安装完成"},

    {TextId::button_next, "下一步"},
    {TextId::button_agree, "我同意"},
    {TextId::button_install, "安装"},
    {TextId::button_done, "完成"},
    {TextId::button_exit, "退出"},
    {TextId::button_disagree, "我不同意"},
    {TextId::button_previous, "上一步"},
    {TextId::button_cancel, "取消"},
    {TextId::button_browse, "浏览..."},
    {TextId::button_ok, "确定"},

    {TextId::folder_prompt, "请选择要安装到的文件夹："},
    {TextId::licence_prompt, "要继续安装，必须接受此许可协议。请仔细阅读。"},
    {TextId::shortcut_desktop, "在桌面上创建快捷方式"},
    {TextId::shortcut_start_menu, "在「开始」菜单中创建快捷方式"},
    {TextId::shortcut_quick_launch, "在快速启动栏中创建快捷方式"},
    {TextId::status_installing, "正在安装..."},
    {TextId::credit, "安装程序由 www.orvelle-software.example 提供"},

    {TextId::finished_text, "安装已完成。\n\n单击“完成”退出。"},
    {TextId::disk_space, "所需磁盘空间：%1 MB\n可用磁盘空间：%2 MB"},
    {TextId::summary_folder, "文件将安装到：\n%1"},
    {TextId::summary_shortcuts, "要创建的快捷方式："},
    {TextId::summary_start_menu, "- 在「开始」菜单中。"},
    {TextId::summary_desktop, "- 在桌面上。"},
    {TextId::summary_quick_launch, "- 在快速启动栏中。"},
    {TextId::summary_none, "无。"},
    {TextId::browse_title, "请选择安装文件夹。"},

    {TextId::cancel_question, "确实要取消安装吗？"},
    {TextId::invalid_path, "必须输入有效的安装路径才能继续。"},
    {TextId::unusable_folder,
     "文件夹 %1 无法用于安装。\n请输入完整路径（例如 C:\\Program Files\\Tool），然后重试。"},
    {TextId::not_enough_space, "驱动器 %1 上的可用磁盘空间不足。\n请释放一些磁盘空间，然后重试。"},
    {TextId::not_writable,
     "无法写入文件夹 %1。\n此程序仅为你安装，不需要管理员权限。请选择你自己的文件夹（例如用户文件夹中"
     "的文件夹），然后重试。"},

    {TextId::extracting, "正在解压缩..."},
    {TextId::small_window_caption, "正在加载安装程序..."},
    {TextId::small_window_status, "正在安装文件..."},

    {TextId::installing_file, "正在安装\n%1..."},
    {TextId::undoing, "正在撤消更改..."},
    {TextId::creating_shortcuts, "正在创建快捷方式..."},
    {TextId::replace_question, "所选位置已存在名为 %1 的文件。\n是否要替换它？"},
    {TextId::write_question, "无法写入文件 %1。\n要中止安装、重试还是忽略此文件？"},
    {TextId::restart_needed,
     "某些文件正在使用中。重新启动计算机时将替换或删除这些文件。\n请重新启动计算机以完成操作。"},
    {TextId::another_setup, "%1 的另一个安装正在进行中。"},
    {TextId::installed_unreadable, "无法读取已安装版本的卸载信息。未做任何更改。"},
    {TextId::downgrade_question, "已安装 %2 的较新版本（%1）。仍要安装版本 %3 吗？"},

    {TextId::in_use_by, "文件 %1 正在被以下程序使用：%2\n\n“重试”将关闭这些程序并重试。"},
    {TextId::in_use_unknown, "文件 %1 正在使用中。\n\n请关闭使用它的程序，然后选择“重试”。"},
    {TextId::in_use_ignore_later, "“忽略”将在计算机重新启动时完成对该文件的处理。"},
    {TextId::in_use_ignore_skip, "“忽略”将跳过此文件继续。"},
    {TextId::in_use_abort_install, "“中止”将结束安装。"},
    {TextId::in_use_abort_removal, "“中止”将结束卸载。"},

    {TextId::start_write_failed,
     "安装程序无法写入其临时文件。\n"
     "请检查临时文件夹的可用空间。"},
    {TextId::start_damaged,
     "安装包已损坏，无法安装。\n"
     "请重新获取安装程序。"},
    {TextId::missing_value, "缺少值：%1"},
    {TextId::log_unwritable, "无法写入日志文件：%1"},
    {TextId::usage,
     "用法：setup.exe [/S] [/PASSIVE] [/DOWNGRADE] [/NORESTART] [/LOG=文件] [/LANG=xx] [/D=文件夹]\n"
     "\n"
     "/S\t静默安装：不显示窗口，不提问。已存在的文件将被替换；\n"
     "\t跳过程序包在安装结束时显示的消息和启动的程序。\n"
     "/PASSIVE\t与 /S 相同，但显示安装进度。\n"
     "/DOWNGRADE\t与 /S 一起使用时，覆盖安装较新的已安装版本。\n"
     "/NORESTART\t文件正在使用时结束安装（并撤消），而不是在计算机\n"
     "\t重新启动时替换该文件。\n"
     "/LOG=文件\t将安装记录追加到该文件。\n"
     "\t无法写入该文件时不安装任何内容（退出代码 1）。\n"
     "/LANG=xx\t使用此语言：%1。\n"
     "\t未知代码或程序包中没有的代码表示英语。\n"
     "/D=文件夹\t安装到此文件夹。必须放在最后；可以包含空格。\n"
     "/?\t显示此帮助。\n"
     "\n"
     "退出代码：0 已安装，1 命令行错误，2 已取消，\n"
     "3 程序包已损坏，4 文件夹不可用或磁盘已满，\n"
     "5 无法写入文件（安装已撤消），\n"
     "6 已安装较新版本（静默安装，未指定 /DOWNGRADE），\n"
     "1618 该程序的另一个安装正在进行中，\n"
     "3010 已安装；重新启动后将完成正在使用的文件的替换。"},

    {TextId::uninstaller_caption, "Quillset 卸载程序"},
    {TextId::uninstaller_window_caption, "Quillset 卸载程序"},
    {TextId::uninstall_question, "确实要卸载 %1 吗？"},
    {TextId::log_cannot_open, "无法打开卸载日志 %1。未删除任何内容。"},
    {TextId::log_incomplete, "卸载日志 %1 不完整。未删除任何内容。"},
    {TextId::log_too_many, "卸载日志 %1 中的条目数超出了卸载程序可处理的数量。未删除任何内容。"},
    {TextId::removing, "正在删除 %1..."},
    {TextId::removal_done, "完成！"},
};

}  // namespace

extern const Table kTable_zh_CN;
const Table kTable_zh_CN = {kEntries, std::size(kEntries)};

}  // namespace quill::texts
