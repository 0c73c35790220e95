#include "studio_help.h"

#include "pack_checks.h"

#include <cstring>

namespace {

// By command table row. The English texts are those of the command table in
// docs/commands.md (a unit test compares them row by row); the names are the
// table's own. Written in UTF-8 here and stored as GBK by the build.
constexpr CommandHelp HelpTable[CommandTableRowCount] = {
    // 0: 结束热键, Break Key
    {{"key", "按键"},
     {"Setting. The key that ends the player at once, at any moment after the script has been "
      "read. Without this line it is ESC.",
      "设置。随时立即结束播放器的按键，脚本读入后的任何时刻都有效。没有这一行时是 ESC。"}},
    // 1: 循环次数, Loop Times
    {{"number", "数字"},
     {"Setting. Run the body this many times. A negative number makes the loop endless, unless a "
      "later End switches looping off.",
      "设置。脚本主体运行的次数。负数表示无限循环，除非后面的 End 关闭了循环。"}},
    // 2: 开始热键, Start Key
    {{"key", "按键"},
     {"On the first line: wait until the key has been pressed and released, then start. Elsewhere "
      "it does nothing.",
      "在第一行：等这个键按下并松开后再开始。在其他行不起作用。"}},
    // 3: 暂停热键, PauseKey
    {{"key", "按键"},
     {"Setting. The key that pauses the script and resumes it on the next press. A pause takes "
      "effect before the next command. No pause key unless this line is given. The same key as the "
      "break key only pauses and resumes, and ends only the colour and program waits.",
      "设置。暂停脚本的按键，再按一次继续。暂停在下一条命令之前生效。没有这一行就没有暂停键。与结束"
      "热键相同的键只暂停和继续，并且只结束颜色等待和程序等待。"}},
    // 4: 记住当前鼠标位置, Remeber Mouse Position
    {{"—", "—"}, {"Remember where the pointer is now.", "记住指针现在的位置。"}},
    // 5: 恢复最近鼠标位置, Set Last Mouse Position
    {{"—", "—"},
     {"Put the pointer back where it was remembered (the top-left corner if nothing was "
      "remembered).",
      "把指针放回记住的位置（如果没有记住过，就放到屏幕左上角）。"}},
    // 6: 左键单击, LClick
    {{"—", "—"},
     {"Click the left mouse button where the pointer is.", "在指针所在处单击鼠标左键。"}},
    // 7: 右键单击, RClick
    {{"—", "—"},
     {"Click the right mouse button where the pointer is.", "在指针所在处单击鼠标右键。"}},
    // 8: 左键双击, LDBClick
    {{"—", "—"},
     {"Double-click the left mouse button where the pointer is.", "在指针所在处双击鼠标左键。"}},
    // 9: 中键单击, MClick
    {{"—", "—"},
     {"Click the middle mouse button where the pointer is.", "在指针所在处单击鼠标中键。"}},
    // 10: 指针移至, MoveTo
    {{"x y", "x y"},
     {"Move the pointer to the screen position x, y.", "把指针移到屏幕坐标 x, y。"}},
    // 11: 指针移至并单击, MoveToClick
    {{"—", "—"},
     {"Accepted, but does nothing. Use MoveTo and then LClick.",
      "可以写，但不起作用。请先用 MoveTo，再用 LClick。"}},
    // 12: 延时, Delay
    {{"number", "数字"},
     {"Wait this many milliseconds. `Delay -1` waits for ever (only the break key ends it).",
      "等待这么多毫秒。`Delay -1` 永远等待（只有结束热键能结束它）。"}},
    // 13: 输出文字, PutText
    {{"text", "文字"},
     {"Accepted, but does nothing. Use PutChar or PutTextCb.",
      "可以写，但不起作用。请用 PutChar 或 PutTextCb。"}},
    // 14: 输出文字(剪贴板), PutTextCb
    {{"text", "文字"},
     {"Put the text on the clipboard and paste it with CTRL+V into the window in front. Any text, "
      "Chinese included. What was on the clipboard before is lost.",
      "把文字放到剪贴板，再用 CTRL+V "
      "粘贴到前台窗口。任何文字都可以，包括中文。剪贴板原来的内容会丢失。"}},
    // 15: 输出字符, PutChar
    {{"text", "文字"},
     {"Type the text key by key. Only letters, digits and the signs `;` `=` `,` `-` `.` `/` `` ` "
      "`` `[` `\\` `]` `'` can be typed; letters arrive as the keyboard gives them (normally lower "
      "case). Spaces, capitals by SHIFT, other signs and Chinese characters type nothing.",
      "逐键输入文字。只能输入字母、数字和符号 `;` `=` `,` `-` `.` `/` `` ` `` `[` `\\` `]` "
      "`'`；字母按键盘给出的样子输入（通常是小写）。空格、要按 SHIFT "
      "的大写字母、其他符号和中文都输入不了。"}},
    // 16: 输出字母, PutChar
    {{"text", "文字"}, {"Same as 输出字符.", "与 输出字符 相同。"}},
    // 17: 输出热键, HotKey
    {{"key", "按键"},
     {"Press and release the key or combination, e.g. `HotKey CTRL+S`.",
      "按下并松开这个键或组合键，例如 `HotKey CTRL+S`。"}},
    // 18: 运行, Excute
    {{"program and parameters", "程序和参数"},
     {"Start a program or open a document, e.g. `Excute notepad` or `Excute \"C:\\My "
      "Tools\\tool.exe\" -x`. A path with spaces goes in double quotes, followed by one space and "
      "the parameters. The player does not wait for the program.",
      "启动程序或打开文档，例如 `Excute notepad` 或 `Excute \"C:\\My Tools\\tool.exe\" "
      "-x`。含空格的路径放在双引号里，后面跟一个空格和参数。播放器不等程序结束。"}},
    // 19: 执行命令, Excute
    {{"program and parameters", "程序和参数"}, {"Same as 运行.", "与 运行 相同。"}},
    // 20: 判断标题则继续, Wait Caption
    {{"text", "文字"},
     {"Wait until the caption of the window in front contains the text (exact letter case).",
      "等到前台窗口的标题包含这段文字（区分大小写）。"}},
    // 21: 判断颜色则开始, Start Color
    {{"x y colour", "x y 颜色"},
     {"On the first line: start only if the screen pixel at x, y has the colour; otherwise end at "
      "once. The colour is read from the last six characters of the line.",
      "在第一行：屏幕上 x, y "
      "处的像素是这个颜色才开始，否则立即结束。颜色取自这一行的最后六个字符。"}},
    // 22: 判断按键则继续, Wait Key
    {{"key", "按键"},
     {"Wait until the key has been pressed and released.", "等到这个键按下并松开。"}},
    // 23: 取点颜色相等则继续, WaitColor
    {{"x y colour", "x y 颜色"},
     {"Wait until the pixel at x, y has the colour. Holding the break key ends the script here.",
      "等到 x, y 处的像素变成这个颜色。按住结束热键会在这里结束脚本。"}},
    // 24: 取点颜色不等则继续, WaitNotColor
    {{"x y colour", "x y 颜色"},
     {"Wait until the pixel at x, y no longer has the colour. Holding the break key ends the "
      "script here.",
      "等到 x, y 处的像素不再是这个颜色。按住结束热键会在这里结束脚本。"}},
    // 25: 判断颜色相同则继续, Wait Color
    {{"x y colour", "x y 颜色"}, {"Same as WaitColor.", "与 WaitColor 相同。"}},
    // 26: 判断颜色不同则继续, Wait NotColor
    {{"x y colour", "x y 颜色"}, {"Same as WaitNotColor.", "与 WaitNotColor 相同。"}},
    // 27: 按住, Push Down
    {{"key", "按键"},
     {"Press the key or combination and keep it down (also mouse buttons: `Push Down LBUTTON`).",
      "按下这个键或组合键并一直按住（鼠标按钮也可以：`Push Down LBUTTON`）。"}},
    // 28: 抬起, Push Up
    {{"key", "按键"}, {"Release what Push Down pressed.", "松开 Push Down 按下的键。"}},
    // 29: 判断进程则继续, Wait Process
    {{"program file name", "程序文件名"},
     {"Wait until a program with this file name (any case, with its extension, e.g. `notepad.exe`) "
      "comes to the front. Only a change of the front window counts: if the program was already "
      "found in front by an earlier Wait Process, it must leave the front and come back. Holding "
      "the break key ends the script here.",
      "等到文件名是这个的程序来到前台（不区分大小写，带扩展名，例如 "
      "`notepad.exe`）。只有前台窗口的变化才算数：如果前面的 Wait Process "
      "已经在前台找到过这个程序，它要先离开前台再回来。按住结束热键会在这里结束脚本。"}},
    // 30: 激活窗口类, Top Class
    {{"window class", "窗口类名"},
     {"Bring the top-level window of this class to the front. Nothing happens if there is none.",
      "把这个类的顶层窗口带到前台。没有这样的窗口时什么也不做。"}},
    // 31: 激活窗口标题, Top Caption
    {{"caption", "窗口标题"},
     {"Bring the top-level window with exactly this caption (any letter case) to the front. "
      "Nothing happens if there is none.",
      "把标题正好是这段文字（不区分大小写）的顶层窗口带到前台。没有这样的窗口时什么也不做。"}},
    // 32: 热键执行脚本, If Key
    {{"key, a space, parameters", "按键、空格、参数"},
     {"If the key is held down at this moment, start a second copy of this player (the same "
      "script) and wait until the key is released. Without a space in its text it does nothing.",
      "如果此刻这个键正被按住，就再启动这个播放器的一个副本（同一个脚本），并等到这个键松开。文字里"
      "没有空格时不起作用。"}},
    // 33: 等待按钮文字并点击, Click ButtonText
    {{"control id, a space, text", "控件编号、空格、文字"},
     {"Wait until the control with this number in the window in front shows exactly this text, "
      "then click it. With a number alone it clicks at once.",
      "等到前台窗口中这个编号的控件正好显示这段文字，然后点击它。只写编号时立即点击。"}},
    // 34: 等待按钮文字则继续, Wait ButtonText
    {{"control id, a space, text", "控件编号、空格、文字"},
     {"Wait until the control with this number in the window in front shows exactly this text.",
      "等到前台窗口中这个编号的控件正好显示这段文字。"}},
    // 35: 按钮激活则继续, Wait ButtonEnable
    {{"control id", "控件编号"},
     {"Wait until the control with this number in the window in front exists and is enabled.",
      "等到前台窗口中这个编号的控件存在并且可用。"}},
    // 36: 指针移至相对当前窗口, MoveToRelWin
    {{"x y", "x y"}, {"Accepted, but does nothing.", "可以写，但不起作用。"}},
    // 37: 定位窗口到左上角, WindowLeftTop
    {{"—", "—"},
     {"Move the window in front to the top-left corner of the screen, keeping its size. Mind the "
      "space after the name.",
      "把前台窗口移到屏幕左上角，大小不变。注意名称后面要有空格。"}},
    // 38: 运行时显示托盘图标, ShowTaryIcon
    {{"—", "—"},
     {"Setting. Show an icon in the notification area while the script runs; its picture changes "
      "while the script is paused.",
      "设置。脚本运行时在通知区域显示一个图标；脚本暂停时图标会变。"}},
    // 39: 注释, REM
    {{"text", "文字"}, {"Setting. A comment; it does nothing.", "设置。注释，不起作用。"}},
    // 40: *说明:, *Comment:
    {{"text", "文字"},
     {"Setting. A comment that the confirmation box of Start shows, one line per comment.",
      "设置。Start 的确认框里显示的说明，每条说明一行。"}},
    // 41: 跳转到, Goto
    {{"text", "文字"}, {"Accepted, but does nothing.", "可以写，但不起作用。"}},
    // 42: 无提示框开始, Start No Box
    {{"—", "—"},
     {"On the first line: start at once, without a box.", "在第一行：不显示提示框，立即开始。"}},
    // 43: 开始, Start
    {{"—", "—"},
     {"On the first line: show a confirmation box with the comments and the break and pause keys; "
      "OK starts, anything else ends.",
      "在第一行：显示确认框，列出说明以及结束键和暂停键；按“确定”开始，其他方式都会结束。"}},
    // 44: 结束, End
    {{"—", "—"},
     {"Setting: switch looping off. Usually the last line of a script.",
      "设置：关闭循环。通常是脚本的最后一行。"}},
    // 45: 循环, Loop
    {{"—", "—"},
     {"Setting: switch looping on. As the last line (instead of End) it makes the script run again "
      "and again.",
      "设置：打开循环。作为最后一行（代替 End）时，脚本会一遍又一遍地运行。"}},
};

// The parameters of a command that takes none.
constexpr const char* NoParameters = "—";

char foldAscii(char byte) {
    return byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte + 0x20) : byte;
}

// Whether `name` starts with `typed`, ASCII letters in either case.
bool startsWithFolded(std::string_view name, std::string_view typed) {
    if (typed.size() > name.size()) {
        return false;
    }
    for (std::size_t i = 0; i < typed.size(); ++i) {
        if (foldAscii(name[i]) != foldAscii(typed[i])) {
            return false;
        }
    }
    return true;
}

int languageIndex(UiLanguage language) {
    return language == UiLanguage::Chinese ? 1 : 0;
}

} // namespace

const CommandHelp& commandHelp(int row) {
    return HelpTable[row >= 0 && row < CommandTableRowCount ? row : 0];
}

std::string commandNameText(int row, NameForm form) {
    std::string name = commandName(form, row);
    while (!name.empty() && name.back() == ' ') {
        name.pop_back();
    }
    return name;
}

std::vector<int> completeCommand(std::string_view typed) {
    std::vector<int> rows;
    for (int row = 0; row < CommandTableRowCount; ++row) {
        const CommandSpec& command = CommandTable[row];
        if (std::string_view(command.chineseName).starts_with(typed) ||
            startsWithFolded(command.englishName, typed) ||
            startsWithFolded(command.shortCode, typed)) {
            rows.push_back(row);
        }
    }
    return rows;
}

int commandRowOfLine(std::string_view gbkLine, NameForm& form) {
    if (gbkLine.empty()) {
        return -1;
    }
    LineParse parse = parseScriptLine(gbkLine);
    if (!parse.matched || parse.row < 0) {
        // A name typed without the space that must follow it.
        parse = parseScriptLine(std::string(gbkLine) + " ");
    }
    if (!parse.matched || parse.row < 0) {
        return -1;
    }
    form = parse.form;
    return parse.row;
}

std::string parameterHint(int row, NameForm form, UiLanguage language) {
    if (row < 0 || row >= CommandTableRowCount) {
        return "";
    }
    std::string hint = commandNameText(row, form);
    const char* parameters = commandHelp(row).parameters[languageIndex(language)];
    if (std::strcmp(parameters, NoParameters) != 0) {
        hint += ' ';
        hint += parameters;
    }
    return hint;
}
