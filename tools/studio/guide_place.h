#pragma once
// Where the studio finds the user's guide: docs\ beside studio.exe, as the
// release's zip lays it out, then the source tree's docs\ for a studio run
// from a build tree (build\<preset>\studio.exe). The guide in the studio's
// language first, then the other one.

#include "ui_text.h"

#include <string>
#include <string_view>
#include <vector>

// "guide.md" or "guide.zh.md".
std::u16string guideFileName(UiLanguage language);

// The paths to try, in order; `programFolder` ends with a backslash.
std::vector<std::u16string> guideCandidates(std::u16string_view programFolder, UiLanguage language);
