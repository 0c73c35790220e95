#include "script/command_table.h"

#include <string>

// The names are written in UTF-8 here and stored as GBK bytes by the build. Their
// parentheses, asterisk, colon and spaces are ASCII. A trailing space is part of
// the name: it must follow the name on the line.
constexpr CommandSpec CommandTable[CommandTableRowCount] = {
    {"结束热键 ", "Break Key ", "LBK ", ParamKind::KeyCombination, Opcode::BreakKey},
    {"循环次数 ", "Loop Times ", "LPT ", ParamKind::Integer, Opcode::LoopTimes},
    {"开始热键 ", "Start Key ", "STK ", ParamKind::KeyCombination, Opcode::StartKey},
    {"暂停热键 ", "PauseKey ", "PSK ", ParamKind::KeyCombination, Opcode::PauseKey},
    {"记住当前鼠标位置", "Remeber Mouse Position", "RMP", ParamKind::None,
     Opcode::RememberMousePosition},
    {"恢复最近鼠标位置", "Set Last Mouse Position", "SMP", ParamKind::None,
     Opcode::SetLastMousePosition},
    {"左键单击", "LClick", "MLC", ParamKind::None, Opcode::LClick},
    {"右键单击", "RClick", "MRC", ParamKind::None, Opcode::RClick},
    {"左键双击", "LDBClick", "MLD", ParamKind::None, Opcode::LDBClick},
    {"中键单击", "MClick", "MMC", ParamKind::None, Opcode::MClick},
    {"指针移至 ", "MoveTo ", "MMT ", ParamKind::TwoIntegers, Opcode::MoveTo},
    {"指针移至并单击 ", "MoveToClick ", "MTC ", ParamKind::None, Opcode::MoveToClick},
    {"延时 ", "Delay ", "DLY ", ParamKind::Integer, Opcode::Delay},
    {"输出文字 ", "PutText ", "KPT ", ParamKind::Text, Opcode::PutText},
    {"输出文字(剪贴板) ", "PutTextCb ", "PTC ", ParamKind::Text, Opcode::PutTextCb},
    {"输出字符 ", "PutChar ", "KPC ", ParamKind::Text, Opcode::PutChar},
    {"输出字母 ", "PutChar ", "KPC ", ParamKind::Text, Opcode::PutChar},
    {"输出热键 ", "HotKey ", "KHK ", ParamKind::KeyCombination, Opcode::HotKey},
    {"运行 ", "Excute ", "EXC ", ParamKind::Text, Opcode::Excute},
    {"执行命令 ", "Excute ", "EXC ", ParamKind::Text, Opcode::Excute},
    {"判断标题则继续 ", "Wait Caption ", "WCP ", ParamKind::Text, Opcode::WaitCaption},
    {"判断颜色则开始 ", "Start Color ", "STC ", ParamKind::TwoIntegers, Opcode::StartColor},
    {"判断按键则继续 ", "Wait Key ", "WKY ", ParamKind::KeyCombination, Opcode::WaitKey},
    {"取点颜色相等则继续 ", "WaitColor ", "WCR ", ParamKind::TwoIntegersAndText, Opcode::WaitColor},
    {"取点颜色不等则继续 ", "WaitNotColor ", "WNC ", ParamKind::TwoIntegersAndText,
     Opcode::WaitNotColor},
    {"判断颜色相同则继续 ", "Wait Color ", "WCR ", ParamKind::TwoIntegersAndText,
     Opcode::WaitColor},
    {"判断颜色不同则继续 ", "Wait NotColor ", "WNC ", ParamKind::TwoIntegersAndText,
     Opcode::WaitNotColor},
    {"按住 ", "Push Down ", "KPD ", ParamKind::KeyCombination, Opcode::PushDown},
    {"抬起 ", "Push Up ", "KPU ", ParamKind::KeyCombination, Opcode::PushUp},
    {"判断进程则继续 ", "Wait Process ", "WPR ", ParamKind::Text, Opcode::WaitProcess},
    {"激活窗口类 ", "Top Class ", "TCL ", ParamKind::Text, Opcode::TopClass},
    {"激活窗口标题 ", "Top Caption ", "TCA ", ParamKind::Text, Opcode::TopCaption},
    {"热键执行脚本 ", "If Key ", "IKE ", ParamKind::Text, Opcode::IfKey},
    {"等待按钮文字并点击 ", "Click ButtonText ", "BTX ", ParamKind::Text, Opcode::ClickButtonText},
    {"等待按钮文字则继续 ", "Wait ButtonText ", "WBT ", ParamKind::Text, Opcode::WaitButtonText},
    {"按钮激活则继续 ", "Wait ButtonEnable ", "WBE ", ParamKind::Text, Opcode::WaitButtonEnable},
    {"指针移至相对当前窗口 ", "MoveToRelWin ", "MMTR ", ParamKind::TwoIntegers,
     Opcode::MoveToRelWin},
    {"定位窗口到左上角 ", "WindowLeftTop ", "WMLT ", ParamKind::None, Opcode::WindowLeftTop},
    {"运行时显示托盘图标 ", "ShowTaryIcon", "STI", ParamKind::None, Opcode::ShowTrayIcon},
    {"注释 ", "REM ", "REM ", ParamKind::Text, Opcode::Rem},
    {"*说明: ", "*Comment: ", "*C: ", ParamKind::Text, Opcode::Comment},
    {"跳转到 ", "Goto ", "Gto ", ParamKind::Text, Opcode::Goto},
    {"无提示框开始", "Start No Box", "SNB", ParamKind::None, Opcode::StartNoBox},
    {"开始", "Start", "STR", ParamKind::None, Opcode::Start},
    {"结束", "End", "END", ParamKind::None, Opcode::End},
    {"循环", "Loop", "LOP", ParamKind::None, Opcode::Loop},
};

namespace {

// The parser folds only CommandNameCapacity leading bytes of a line and
// looks names up by their first CommandNameShortest bytes.
constexpr bool namesFitCapacity() {
    for (const CommandSpec& entry : CommandTable) {
        for (const char* name : {entry.chineseName, entry.englishName, entry.shortCode}) {
            std::size_t length = std::char_traits<char>::length(name);
            if (length < CommandNameShortest || length > CommandNameCapacity) {
                return false;
            }
        }
    }
    return true;
}

static_assert(namesFitCapacity(),
              "every command name has the shortest length at least and fits the capacity");

} // namespace

const char* commandName(NameForm form, int row) {
    if (row < 0 || row >= CommandTableRowCount) {
        return "";
    }
    const CommandSpec& entry = CommandTable[row];
    switch (form) {
    case NameForm::Chinese:
        return entry.chineseName;
    case NameForm::ShortCode:
        return entry.shortCode;
    default:
        return entry.englishName;
    }
}
