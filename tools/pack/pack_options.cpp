#include "pack_options.h"

#include "ui_text.h"

namespace {

ParsedOptions failure(std::string error) {
    ParsedOptions parsed;
    parsed.error = std::move(error);
    return parsed;
}

} // namespace

bool takeExeOption(const std::vector<std::string>& arguments, std::size_t& i, ExeSettings& exe,
                   std::string& error) {
    for (const ExeFieldRow& row : ExeFields) {
        if (arguments[i] != row.option) {
            continue;
        }
        if (!exe[row.field].empty()) {
            error = arguments[i] + " is given twice";
        } else if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
            error = arguments[i] + " needs a value";
        } else {
            const std::string problem = exeSettingProblem(row.field, arguments[i + 1]);
            if (problem.empty()) {
                exe[row.field] = arguments[++i];
            } else {
                error = problem;
            }
        }
        return true;
    }
    return false;
}

std::string outputBesideScript(const std::string& script) {
    const std::size_t nameStart = script.find_last_of("\\/:") + 1; // npos + 1 is 0
    const std::size_t dot = script.rfind('.');
    const bool hasExtension = dot != std::string::npos && dot > nameStart;
    return (hasExtension ? script.substr(0, dot) : script) + ".exe";
}

ParsedOptions parsePackArguments(const std::vector<std::string>& arguments) {
    ParsedOptions parsed;
    PackOptions& options = parsed.options;
    bool encodingGiven = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
                return false;
            }
            into = arguments[++i];
            return true;
        };
        std::string exeError;
        if (takeExeOption(arguments, i, options.exe, exeError)) {
            if (!exeError.empty()) {
                return failure(exeError);
            }
        } else if (argument == "-h" || argument == "--help" || argument == "/?") {
            options.mode = PackMode::Help;
            parsed.ok = true;
            return parsed;
        } else if (argument == "--version") {
            options.mode = PackMode::Version;
            parsed.ok = true;
            return parsed;
        } else if (argument == "-o" || argument == "--output") {
            if (!options.output.empty()) {
                return failure("-o is given twice");
            }
            if (!value(options.output)) {
                return failure(argument + " needs a file name");
            }
        } else if (argument == "--player") {
            if (!options.player.empty()) {
                return failure("--player is given twice");
            }
            if (!value(options.player)) {
                return failure("--player needs a file name");
            }
        } else if (argument == "--extract") {
            if (!options.extract.empty()) {
                return failure("--extract is given twice");
            }
            if (!value(options.extract)) {
                return failure("--extract needs the packed player's file name");
            }
        } else if (argument == "--encoding") {
            std::string name;
            if (!value(name)) {
                return failure("--encoding needs auto, gbk or utf-8");
            }
            if (name == "auto") {
                options.encoding = SourceEncoding::Auto;
            } else if (name == "gbk" || name == "GBK" || name == "cp936") {
                options.encoding = SourceEncoding::Gbk;
            } else if (name == "utf-8" || name == "UTF-8" || name == "utf8") {
                options.encoding = SourceEncoding::Utf8;
            } else {
                return failure("unknown encoding \"" + name + "\": use auto, gbk or utf-8");
            }
            encodingGiven = true;
        } else if (argument == "--lang") {
            if (!value(options.language) || !isUiLanguageOption(options.language)) {
                return failure("--lang needs zh or en");
            }
        } else if (argument == "--keep-cr") {
            options.keepCr = true;
        } else if (argument == "--strict") {
            options.strict = true;
        } else if (argument == "--list") {
            options.list = true;
        } else if (argument == "--run") {
            options.mode = PackMode::Run;
        } else if (argument.size() > 1 && argument[0] == '-') {
            return failure("unknown option " + argument);
        } else if (options.script.empty()) {
            options.script = argument;
        } else {
            return failure("more than one script file: " + options.script + " and " + argument);
        }
    }

    if (!options.extract.empty()) {
        if (!options.script.empty() || !options.output.empty() || !options.player.empty() ||
            encodingGiven || options.keepCr || options.strict || options.list ||
            options.exe.values != ExeSettings{}.values || options.mode == PackMode::Run) {
            return failure("--extract takes only the packed player's file name");
        }
        options.mode = PackMode::Extract;
        parsed.ok = true;
        return parsed;
    }
    if (options.script.empty()) {
        return failure("no script file given");
    }
    if (options.mode == PackMode::Run) {
        if (!options.output.empty()) {
            return failure("--run packs into a temporary file and takes no -o");
        }
    } else if (options.output.empty() && options.list) {
        if (!options.player.empty()) {
            return failure("--player needs -o OUT.exe (or no --list)");
        }
        options.mode = PackMode::ListOnly;
    } else if (options.output.empty()) {
        options.output = outputBesideScript(options.script);
        options.outputBesideScript = true;
    }
    parsed.ok = true;
    return parsed;
}
