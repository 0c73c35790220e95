// spy.exe: the window spy, or with --at the lines for one point on the
// standard output.

#include "spy_options.h"
#include "spy_win32.h"

#include "program_version.h"
#include "ui_text.h"

#include <shellapi.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> commandArguments() {
    std::vector<std::string> arguments;
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) {
        return arguments;
    }
    for (int i = 1; i < count; ++i) {
        arguments.push_back(toUtf8(wide[i]));
    }
    LocalFree(wide);
    return arguments;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    const std::vector<std::string> arguments = commandArguments();
    // What it prints, which programs read, is English unless --lang says
    // otherwise; the window speaks the user's language.
    const std::string_view chosen = languageArgument(arguments);
    const UiLanguage printed = chosen.empty() ? UiLanguage::English : chooseUiLanguage(chosen, 0);
    const SpyOptions options = parseSpyOptions(arguments);
    if (!options.ok) {
        printText(formatUiText(uiText(TextId::SpyUsageError, printed), {options.error}) +
                      uiText(TextId::SpyUsage, printed),
                  false, true);
        return 2;
    }
    if (options.help) {
        printText(uiText(TextId::SpyUsage, printed), false, false);
        return 0;
    }
    if (options.version) {
        printText(std::string("spy ") + PROGRAM_VERSION + " (" PROGRAM_PRODUCT_NAME ")\n", false,
                  false);
        return 0;
    }
    if (options.at) {
        const SpyFacts facts =
            gatherFacts(POINT{options.x, options.y}, GetForegroundWindow(), 0, printed);
        printText(spyText(spyLines(facts, options.form, printed), options.form, printed),
                  options.utf8, false);
        return 0;
    }
    return runSpyWindow(instance, options.form,
                        chooseUiLanguage(options.language, GetUserDefaultUILanguage()));
}
