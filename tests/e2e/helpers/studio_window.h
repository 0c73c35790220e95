#pragma once
// The studio's window read from another process, as any tool that reads
// windows reads it: its controls by id, their texts, the problems list.

#include "support/windows_api.h"

#include <string>
#include <vector>

namespace e2e {

// The studio's visible main window of the process, once it shows within
// `timeoutMs`; null when it does not.
HWND waitForStudioWindow(DWORD processId, DWORD timeoutMs = 15000);

// The text of the studio's control `id`, as UTF-16.
std::wstring studioControlText(HWND studio, int id);
// The editor's text with its line breaks as line feeds.
std::wstring studioEditorText(HWND studio);
// The rows of the problems list.
std::vector<std::wstring> studioProblems(HWND studio);
int studioProblemCount(HWND studio);

} // namespace e2e
