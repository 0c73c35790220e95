// pack: checks a script with the player's own parser and writes a copy of the
// player that carries it. See PackUsage for the command line.

#include "pack_checks.h"
#include "pack_listing.h"
#include "pack_options.h"
#include "pack_report.h"
#include "pack_text.h"
#include "pack_windows.h"
#include "pe_image.h"
#include "program_version.h"
#include "ui_text.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <string>
#include <vector>

namespace {

constexpr int ExitRejected = 1;
constexpr int ExitUsage = 2;
constexpr int ExitFile = 3;

// Everything the console got, kept for the message box when the packer runs on
// a console of its own (a script dropped on it in Explorer).
struct Transcript {
    bool keep = false;
    bool warned = false;
    std::string text;
};

Transcript transcript;

// English on a console, which scripts and other programs read; the user's
// language when the packer shows its box; --lang chooses either way.
UiLanguage language = UiLanguage::English;

std::string packText(TextId id, std::initializer_list<std::string_view> arguments = {}) {
    return formatUiText(uiText(id, language), arguments);
}

void say(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fputc('\n', stderr);
    if (transcript.keep) {
        transcript.text.append(line).push_back('\n');
    }
}

void print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
    if (transcript.keep) {
        transcript.text.append(text);
    }
}

// Ends a run of the packer: shows the box when one is wanted.
int finish(int exitCode) {
    if (transcript.keep) {
        const ReportKind kind = exitCode != 0       ? ReportKind::Failed
                                : transcript.warned ? ReportKind::Warned
                                                    : ReportKind::Done;
        showReport(reportForBox(transcript.text), kind);
    }
    return exitCode;
}

// "1 line", "2 lines": `one` is the row for a count of one, the row after it
// the one for any other count.
std::string plural(int count, TextId one) {
    const TextId id = count == 1 ? one : static_cast<TextId>(static_cast<int>(one) + 1);
    return packText(id, {std::to_string(count)});
}

// The script text as the player will carry it: GBK, line ends as asked. False
// when the file cannot be used; the reason has been told.
bool loadScript(const PackOptions& options, std::string& text, int& exitCode) {
    FileRead source = readWholeFile(options.script);
    if (!source.ok) {
        say(packText(TextId::PackCannotReadScript, {options.script, source.error}));
        exitCode = ExitFile;
        return false;
    }
    if (hasUtf16Bom(source.bytes)) {
        say(packText(TextId::PackUtf16, {options.script}));
        exitCode = ExitRejected;
        return false;
    }
    const SourceEncoding encoding = resolveEncoding(source.bytes, options.encoding);
    if (encoding == SourceEncoding::Utf8) {
        std::string_view utf8 = source.bytes;
        if (hasUtf8Bom(utf8)) {
            utf8.remove_prefix(Utf8Bom.size());
        }
        GbkConversion converted = convertUtf8ToGbk(utf8, utf8CharacterToGbk, language);
        if (!converted.ok) {
            say(packText(TextId::PackConversionFailed,
                         {options.script, std::to_string(converted.position.line),
                          std::to_string(converted.position.column), converted.problem}));
            exitCode = ExitRejected;
            return false;
        }
        text = std::move(converted.text);
        if (hasNonAscii(text)) {
            say(packText(TextId::PackConverted, {options.script}));
        }
    } else {
        text = std::move(source.bytes);
    }
    if (!options.keepCr) {
        LineEnds ends = normaliseLineEnds(text);
        if (ends.changedLines > 0) {
            say(packText(TextId::PackLineEndsChanged,
                         {plural(ends.changedLines, TextId::CountLine)}));
        }
        text = std::move(ends.text);
    }
    return true;
}

// Packs into a temporary file, runs it, waits for its end and removes it: the
// player's exit code.
int runScript(const PackOptions& options, const std::string& player, std::string_view script,
              const ExeResources& resources) {
    std::string placeholder;
    std::string error;
    if (!makeTemporaryName(placeholder, error)) {
        say(packText(TextId::PackProblem, {error}));
        return ExitFile;
    }
    const std::string temporary = placeholder + ".exe";
    const bool written = writeExePlayer(player, temporary, script, resources, error);
    removeFile(placeholder);
    if (!written) {
        say(packText(TextId::PackProblem, {error}));
        return ExitFile;
    }
    say(packText(TextId::PackRunning, {options.script, temporary}));
    const ProgramRun run = runProgram(temporary);
    if (!removeFile(temporary)) {
        say(packText(TextId::PackCannotRemove, {temporary}));
    }
    if (!run.ran) {
        say(packText(TextId::PackProblem, {run.error}));
        return ExitFile;
    }
    say(packText(TextId::PackPlayerEnded, {std::to_string(run.exitCode)}));
    return static_cast<int>(run.exitCode);
}

int packScript(const PackOptions& options) {
    const std::string player =
        options.player.empty() ? packerDirectory() + "player.exe" : options.player;
    if (options.mode == PackMode::Pack) {
        // Never write over what the packer reads.
        if (sameFile(options.output, options.script)) {
            say(packText(TextId::PackOutputIsScript, {options.output}));
            return ExitUsage;
        }
        if (sameFile(options.output, player)) {
            say(packText(TextId::PackOutputIsPlayer, {options.output}));
            return ExitUsage;
        }
        if (sameFile(options.output, packerPath())) {
            say(packText(TextId::PackOutputIsPacker, {options.output}));
            return ExitUsage;
        }
        // Without -o the name is made up, not chosen: a file of another kind
        // that happens to have it is never replaced.
        if (options.outputBesideScript && fileExists(options.output) &&
            !isPackedPlayer(options.output)) {
            say(packText(TextId::PackOutputNotPacked, {options.output}));
            return ExitFile;
        }
    }

    std::string script;
    int exitCode = 0;
    if (!loadScript(options, script, exitCode)) {
        return exitCode;
    }
    const std::vector<Finding> findings = checkScript(script, language);
    for (const Finding& finding : findings) {
        say(options.script + ": " + formatFinding(finding, language));
    }
    if (options.list) {
        print(listScript(script));
    }
    const int errors = countKind(findings, FindingKind::Error);
    const int warnings = countKind(findings, FindingKind::Warning);
    transcript.warned = warnings > 0;
    if (errors > 0) {
        say(packText(TextId::PackErrorsNothingWritten, {plural(errors, TextId::CountError)}));
        return ExitRejected;
    }
    if (options.strict && warnings > 0) {
        say(packText(TextId::PackStrictNothingWritten, {plural(warnings, TextId::CountWarning)}));
        return ExitRejected;
    }
    // The exe's icon and version texts: the script's setting lines, the
    // options over them.
    const ExeSettingsRead lines = readExeSettings(script, language);
    for (const ExeSettingProblem& problem : lines.problems) {
        say(packText(TextId::PackExeSettingLine,
                     {options.script, std::to_string(problem.fileLine), problem.message}));
    }
    if (!lines.problems.empty()) {
        say(packText(TextId::PackErrorsNothingWritten,
                     {plural(static_cast<int>(lines.problems.size()), TextId::CountError)}));
        return ExitRejected;
    }
    ExeSettings settings = lines.settings;
    std::string iconFolder = folderOfPath(options.script);
    for (int field = 0; field < ExeFieldCount; ++field) {
        if (!options.exe.values[field].empty()) {
            settings.values[field] = options.exe.values[field];
            if (field == static_cast<int>(ExeField::Icon)) {
                iconFolder = ""; // an option's path is taken as the shell gave it
            }
        }
    }
    if (options.mode == PackMode::ListOnly) {
        return 0;
    }
    const ExePreparation exe =
        prepareExe(settings, iconFolder, nameOfPath(options.script), language);
    if (!exe.ok) {
        say(exe.error.starts_with("pack")
                ? exe.error
                : packText(TextId::PackErrorsNothingWritten, {exe.error}));
        return ExitRejected;
    }

    FileRead image = readWholeFile(player);
    if (!image.ok) {
        say(packText(TextId::PackCannotReadPlayer, {player, image.error}));
        return ExitFile;
    }
    std::string problem = executableProblem(image.bytes);
    if (!problem.empty()) {
        say(packText(TextId::PackPlayerInvalid, {player, problem}));
        return ExitFile;
    }
    if (options.mode == PackMode::Run) {
        return runScript(options, player, script, exe.resources);
    }
    std::string error;
    if (!writeExePlayer(player, options.output, script, exe.resources, error)) {
        say(packText(TextId::PackFailedUnchanged, {error, options.output}));
        return ExitFile;
    }
    say(packText(TextId::PackWrote,
                 {options.output,
                  plural(static_cast<int>(scriptLines(script).size()), TextId::CountLine),
                  plural(static_cast<int>(script.size()), TextId::CountByte),
                  plural(warnings, TextId::CountWarning)}));
    if (!exe.iconPath.empty()) {
        say(packText(TextId::PackAppliedIcon,
                     {exe.iconPath, std::to_string(exe.resources.icons.size())}));
    }
    for (const auto& [label, value] : exe.applied) {
        say(packText(TextId::PackApplied, {label, value}));
    }
    return 0;
}

int extractScript(const PackOptions& options) {
    FileRead image = readWholeFile(options.extract);
    if (!image.ok) {
        say(packText(TextId::PackCannotRead, {options.extract, image.error}));
        return ExitFile;
    }
    std::string problem = executableProblem(image.bytes);
    if (!problem.empty()) {
        say(packText(TextId::PackNotExecutable, {options.extract, problem}));
        return ExitFile;
    }
    std::string script;
    std::string error;
    if (!readEmbeddedScript(options.extract, script, error)) {
        say(packText(TextId::PackProblem, {error}));
        return ExitRejected;
    }
    print(script);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    // Byte for byte: GBK text and line ends go out as they are.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);

    transcript.keep = consoleOfItsOwn();

    std::vector<std::string> arguments(argv + 1, argv + argc);
    const std::string_view chosen = languageArgument(arguments);
    if (!chosen.empty() || transcript.keep) {
        language = chooseUiLanguage(chosen, userUiLanguage());
    }
    ParsedOptions parsed = parsePackArguments(arguments);
    if (!parsed.ok) {
        say(packText(TextId::PackUsageError, {parsed.error}));
        const std::size_t given = arguments.size() - (chosen.empty() ? 0 : 2);
        if (given == 0 && transcript.keep) {
            // Double-clicked: tell how it is meant to be used.
            transcript.text += "\n" + packText(TextId::PackDropHint);
        }
        return finish(ExitUsage);
    }
    switch (parsed.options.mode) {
    case PackMode::Help:
        print(packText(TextId::PackUsage));
        print(packText(TextId::PackUsageExe));
        return finish(0);
    case PackMode::Version:
        print("pack " PROGRAM_VERSION " (" PROGRAM_PRODUCT_NAME ")\n");
        return finish(0);
    case PackMode::Extract:
        return finish(extractScript(parsed.options));
    default:
        return finish(packScript(parsed.options));
    }
}
