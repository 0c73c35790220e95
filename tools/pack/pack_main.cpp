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

std::string plural(int count, const char* word) {
    return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

// The script text as the player will carry it: GBK, line ends as asked. False
// when the file cannot be used; the reason has been told.
bool loadScript(const PackOptions& options, std::string& text, int& exitCode) {
    FileRead source = readWholeFile(options.script);
    if (!source.ok) {
        say("pack: cannot read the script " + options.script + ": " + source.error);
        exitCode = ExitFile;
        return false;
    }
    if (hasUtf16Bom(source.bytes)) {
        say("pack: " + options.script + " is UTF-16 text; save it as UTF-8 or GBK");
        exitCode = ExitRejected;
        return false;
    }
    const SourceEncoding encoding = resolveEncoding(source.bytes, options.encoding);
    if (encoding == SourceEncoding::Utf8) {
        std::string_view utf8 = source.bytes;
        if (hasUtf8Bom(utf8)) {
            utf8.remove_prefix(Utf8Bom.size());
        }
        GbkConversion converted = convertUtf8ToGbk(utf8, utf8CharacterToGbk);
        if (!converted.ok) {
            say(options.script + ": line " + std::to_string(converted.position.line) + ", column " +
                std::to_string(converted.position.column) + ": error: " + converted.problem +
                "; nothing written");
            exitCode = ExitRejected;
            return false;
        }
        text = std::move(converted.text);
        if (hasNonAscii(text)) {
            say("pack: " + options.script + " read as UTF-8 and converted to GBK");
        }
    } else {
        text = std::move(source.bytes);
    }
    if (!options.keepCr) {
        LineEnds ends = normaliseLineEnds(text);
        if (ends.changedLines > 0) {
            say("pack: " + plural(ends.changedLines, "line") +
                " ended in CR LF and now end in LF (--keep-cr keeps them)");
        }
        text = std::move(ends.text);
    }
    return true;
}

// Packs into a temporary file, runs it, waits for its end and removes it: the
// player's exit code.
int runScript(const PackOptions& options, const std::string& player, std::string_view script) {
    std::string placeholder;
    std::string error;
    if (!makeTemporaryName(placeholder, error)) {
        say("pack: " + error);
        return ExitFile;
    }
    const std::string temporary = placeholder + ".exe";
    const bool written = writePackedPlayer(player, temporary, script, error);
    removeFile(placeholder);
    if (!written) {
        say("pack: " + error);
        return ExitFile;
    }
    say("pack: running " + options.script + " (" + temporary + ")");
    const ProgramRun run = runProgram(temporary);
    if (!removeFile(temporary)) {
        say("pack: cannot remove " + temporary);
    }
    if (!run.ran) {
        say("pack: " + run.error);
        return ExitFile;
    }
    say("pack: the player ended with exit code " + std::to_string(run.exitCode));
    return static_cast<int>(run.exitCode);
}

int packScript(const PackOptions& options) {
    const std::string player =
        options.player.empty() ? packerDirectory() + "player.exe" : options.player;
    if (options.mode == PackMode::Pack) {
        // Never write over what the packer reads.
        if (sameFile(options.output, options.script)) {
            say("pack: the output " + options.output + " is the script itself");
            return ExitUsage;
        }
        if (sameFile(options.output, player)) {
            say("pack: the output " + options.output + " is the player itself");
            return ExitUsage;
        }
        if (sameFile(options.output, packerPath())) {
            say("pack: the output " + options.output + " is the packer itself");
            return ExitUsage;
        }
        // Without -o the name is made up, not chosen: a file of another kind
        // that happens to have it is never replaced.
        if (options.outputBesideScript && fileExists(options.output) &&
            !isPackedPlayer(options.output)) {
            say("pack: " + options.output +
                " already exists and is not a packed player; it stays unchanged (rename it, "
                "or give -o OUT.exe)");
            return ExitFile;
        }
    }

    std::string text;
    int exitCode = 0;
    if (!loadScript(options, text, exitCode)) {
        return exitCode;
    }
    const std::vector<Finding> findings = checkScript(text);
    for (const Finding& finding : findings) {
        say(options.script + ": " + formatFinding(finding));
    }
    if (options.list) {
        print(listScript(text));
    }
    const int errors = countKind(findings, FindingKind::Error);
    const int warnings = countKind(findings, FindingKind::Warning);
    transcript.warned = warnings > 0;
    if (errors > 0) {
        say("pack: " + plural(errors, "error") + "; nothing written");
        return ExitRejected;
    }
    if (options.strict && warnings > 0) {
        say("pack: " + plural(warnings, "warning") + " with --strict; nothing written");
        return ExitRejected;
    }
    if (options.mode == PackMode::ListOnly) {
        return 0;
    }

    FileRead image = readWholeFile(player);
    if (!image.ok) {
        say("pack: cannot read the player " + player + ": " + image.error);
        return ExitFile;
    }
    std::string problem = executableProblem(image.bytes);
    if (!problem.empty()) {
        say("pack: the player " + player + " is not a valid executable: " + problem);
        return ExitFile;
    }
    if (options.mode == PackMode::Run) {
        return runScript(options, player, text);
    }
    std::string error;
    if (!writePackedPlayer(player, options.output, text, error)) {
        say("pack: " + error + "; " + options.output + " is unchanged");
        return ExitFile;
    }
    say("pack: wrote " + options.output + " (" +
        plural(static_cast<int>(scriptLines(text).size()), "line") + ", " +
        plural(static_cast<int>(text.size()), "byte") + " of script, " +
        plural(warnings, "warning") + ")");
    return 0;
}

int extractScript(const PackOptions& options) {
    FileRead image = readWholeFile(options.extract);
    if (!image.ok) {
        say("pack: cannot read " + options.extract + ": " + image.error);
        return ExitFile;
    }
    std::string problem = executableProblem(image.bytes);
    if (!problem.empty()) {
        say("pack: " + options.extract + " is not a valid executable: " + problem);
        return ExitFile;
    }
    std::string script;
    std::string error;
    if (!readEmbeddedScript(options.extract, script, error)) {
        say("pack: " + error);
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
    ParsedOptions parsed = parsePackArguments(arguments);
    if (!parsed.ok) {
        say("pack: " + parsed.error + " (pack --help shows the usage)");
        if (arguments.empty() && transcript.keep) {
            // Double-clicked: tell how it is meant to be used.
            transcript.text += "\nDrop a script file on pack.exe to pack it into an .exe.";
        }
        return finish(ExitUsage);
    }
    switch (parsed.options.mode) {
    case PackMode::Help:
        print(PackUsage);
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
