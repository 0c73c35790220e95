#include "script/command_table.h"

#include <string>

// The names are written in UTF-8 here and stored as GBK bytes by the build. Their
// parentheses, asterisk, colon and spaces are ASCII. A trailing space is part of
// the name: it must follow the name on the line.
constexpr CommandSpec CommandTable[CommandTableRowCount] = {
    {"结束热键 ", "Break Key ", "LBK ", ParamKind::KeyCombination, 9},
    {"循环次数 ", "Loop Times ", "LPT ", ParamKind::Integer, 38},
    {"开始热键 ", "Start Key ", "STK ", ParamKind::KeyCombination, 8},
    {"暂停热键 ", "PauseKey ", "PSK ", ParamKind::KeyCombination, 46},
    {"记住当前鼠标位置", "Remeber Mouse Position", "RMP", ParamKind::None, 36},
    {"恢复最近鼠标位置", "Set Last Mouse Position", "SMP", ParamKind::None, 37},
    {"左键单击", "LClick", "MLC", ParamKind::None, 23},
    {"右键单击", "RClick", "MRC", ParamKind::None, 26},
    {"左键双击", "LDBClick", "MLD", ParamKind::None, 27},
    {"中键单击", "MClick", "MMC", ParamKind::None, 29},
    {"指针移至 ", "MoveTo ", "MMT ", ParamKind::TwoIntegers, 30},
    {"指针移至并单击 ", "MoveToClick ", "MTC ", ParamKind::None, 31},
    {"延时 ", "Delay ", "DLY ", ParamKind::Integer, 6},
    {"输出文字 ", "PutText ", "KPT ", ParamKind::Text, 41},
    {"输出文字(剪贴板) ", "PutTextCb ", "PTC ", ParamKind::Text, 40},
    {"输出字符 ", "PutChar ", "KPC ", ParamKind::Text, 5},
    {"输出字母 ", "PutChar ", "KPC ", ParamKind::Text, 5},
    {"输出热键 ", "HotKey ", "KHK ", ParamKind::KeyCombination, 4},
    {"运行 ", "Excute ", "EXC ", ParamKind::Text, 7},
    {"执行命令 ", "Excute ", "EXC ", ParamKind::Text, 7},
    {"判断标题则继续 ", "Wait Caption ", "WCP ", ParamKind::Text, 1},
    {"判断颜色则开始 ", "Start Color ", "STC ", ParamKind::TwoIntegers, 2},
    {"判断按键则继续 ", "Wait Key ", "WKY ", ParamKind::KeyCombination, 3},
    {"取点颜色相等则继续 ", "WaitColor ", "WCR ", ParamKind::TwoIntegersAndText, 10},
    {"取点颜色不等则继续 ", "WaitNotColor ", "WNC ", ParamKind::TwoIntegersAndText, 42},
    {"判断颜色相同则继续 ", "Wait Color ", "WCR ", ParamKind::TwoIntegersAndText, 10},
    {"判断颜色不同则继续 ", "Wait NotColor ", "WNC ", ParamKind::TwoIntegersAndText, 42},
    {"按住 ", "Push Down ", "KPD ", ParamKind::KeyCombination, 11},
    {"抬起 ", "Push Up ", "KPU ", ParamKind::KeyCombination, 12},
    {"判断进程则继续 ", "Wait Process ", "WPR ", ParamKind::Text, 13},
    {"激活窗口类 ", "Top Class ", "TCL ", ParamKind::Text, 14},
    {"激活窗口标题 ", "Top Caption ", "TCA ", ParamKind::Text, 17},
    {"热键执行脚本 ", "If Key ", "IKE ", ParamKind::Text, 39},
    {"等待按钮文字并点击 ", "Click ButtonText ", "BTX ", ParamKind::Text, 18},
    {"等待按钮文字则继续 ", "Wait ButtonText ", "WBT ", ParamKind::Text, 19},
    {"按钮激活则继续 ", "Wait ButtonEnable ", "WBE ", ParamKind::Text, 20},
    {"指针移至相对当前窗口 ", "MoveToRelWin ", "MMTR ", ParamKind::TwoIntegers, 21},
    {"定位窗口到左上角 ", "WindowLeftTop ", "WMLT ", ParamKind::None, 22},
    {"运行时显示托盘图标 ", "ShowTaryIcon", "STI", ParamKind::None, 47},
    {"注释 ", "REM ", "REM ", ParamKind::Text, 43},
    {"*说明: ", "*Comment: ", "*C: ", ParamKind::Text, 45},
    {"跳转到 ", "Goto ", "Gto ", ParamKind::Text, 44},
    {"无提示框开始", "Start No Box", "SNB", ParamKind::None, 34},
    {"开始", "Start", "STR", ParamKind::None, 35},
    {"结束", "End", "END", ParamKind::None, 33},
    {"循环", "Loop", "LOP", ParamKind::None, 32},
};

namespace {

// The parser folds only CommandNameCapacity leading bytes of a line.
constexpr bool namesFitCapacity() {
    for (const CommandSpec& entry : CommandTable) {
        for (const char* name : {entry.chineseName, entry.englishName, entry.shortCode}) {
            std::size_t length = std::char_traits<char>::length(name);
            if (length == 0 || length > CommandNameCapacity) {
                return false;
            }
        }
    }
    return true;
}

static_assert(namesFitCapacity(), "every command name is non-empty and fits the capacity");

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
