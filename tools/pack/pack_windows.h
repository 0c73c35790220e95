#pragma once
// The packer's Windows side: files, the GBK code page and resources.

#include "exe_settings.h"
#include "text_codes.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct FileRead {
    bool ok = false;
    std::string bytes;
    std::string error; // one line, when not ok
};

// The whole file.
FileRead readWholeFile(const std::string& path);

// True when both paths name one existing file (by volume and file index), or
// when their full paths are equal apart from letter case.
bool sameFile(const std::string& first, const std::string& second);

// The folder the packer itself was started from, with a trailing backslash.
std::string packerDirectory();
std::string packerPath();

// The system's text for a Win32 error code, on one line.
std::string errorText(unsigned long error);

// utf8CharacterToGbk, the GbkConverter of pack_text.h, is in text_codes.h.

// What a packed exe carries of its own beside the script.
struct ExeResources {
    std::string version;          // the VS_VERSIONINFO resource, in place of the player's
    std::vector<IconImage> icons; // in place of the player's icon; none: the player's stays
};

struct ExePreparation {
    bool ok = false;
    ExeResources resources;
    std::string error; // a message in the language asked for, when not ok
    // The settings given, for the report: a label and its value (GBK), in order.
    std::vector<std::pair<std::string, std::string>> applied;
    std::string iconPath; // the icon file read, when there is one
};

// The resources for `settings` (GBK texts, checked by exeSettingProblem): the
// icon file read and checked, a relative path taken from `folder`; the version
// texts with those not given named after `name` (the script's name without
// its extension): description and product `name`, original file name
// `name`.exe, file version 1.0.0.0, product version the file version.
ExePreparation prepareExe(const ExeSettings& settings, const std::string& folder,
                          const std::string& name, UiLanguage language);

// The folder of a file's path, with a trailing backslash ("" for a bare name),
// and its name without folder and extension.
std::string folderOfPath(const std::string& path);
std::string nameOfPath(const std::string& path);

// Writes `output`: a copy of `player` that carries `script` as resource type 10
// (RCDATA), id 1, language neutral, in place of any script the copy carried.
// The work is done on a temporary file in the output's folder, which is renamed
// to `output` at the end; on any failure `output` is left as it was and false is
// returned with `error` set.
// It carries what the script's setting lines ask for (a relative icon path
// taken from the output's folder), the rest named after the output, as
// prepareExe gives them; writeTracedPlayer gives the defaults only, and
// writeExePlayer takes the resources to carry.
bool writePackedPlayer(const std::string& player, const std::string& output,
                       std::string_view script, std::string& error);
bool writeExePlayer(const std::string& player, const std::string& output, std::string_view script,
                    const ExeResources& resources, std::string& error);

// writePackedPlayer, and with `trace` (when not empty) as resource type 10, id
// 2: a player that tells the studio what it plays. Only the studio's runs carry
// one; writePackedPlayer drops it from a copy of such a player.
bool writeTracedPlayer(const std::string& player, const std::string& output,
                       std::string_view script, std::string_view trace, std::string& error);
// Whether the file carries the trace resource.
bool carriesTrace(const std::string& path);

// The script a packed player carries. False with `error` set when the file
// cannot be loaded or carries no script.
bool readEmbeddedScript(const std::string& packed, std::string& script, std::string& error);

// True when the file is a player that carries a script: an executable with the
// script resource and the version resource of a player (product and description
// "Script player") or of an exe the packer wrote (its "Player" text). A drop
// replaces only such a file.
bool isPackedPlayer(const std::string& path);

bool fileExists(const std::string& path);
// Deletes the file, waiting up to two seconds for a program that just ended to
// let it go; true when it is gone.
bool removeFile(const std::string& path);
// Creates an empty, uniquely named file in the folder for temporary files and
// returns its path in `placeholder`.
bool makeTemporaryName(std::string& placeholder, std::string& error);

// Whether the packer runs on a console that holds no other program: started
// from Explorer (a script dropped on it), not from a command prompt.
bool consoleOfItsOwn();

// The user's UI language (a LANGID), for chooseUiLanguage.
unsigned short userUiLanguage();

enum class ReportKind { Done, Warned, Failed };
// A message box captioned "pack" with the text (GBK, shown as such whatever the
// system's ANSI code page) and the icon of the outcome.
void showReport(const std::string& text, ReportKind kind);

struct ProgramRun {
    bool ran = false;
    unsigned long exitCode = 0;
    std::string error; // when it did not run
};
// Starts the program without arguments and waits for its end.
ProgramRun runProgram(const std::string& path);
