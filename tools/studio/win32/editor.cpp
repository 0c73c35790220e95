// The editor: a rich edit control whose text the studio mirrors. Every change
// is found by comparing the control's text with the mirror; the changed lines
// go to the document, which checks them, and get their colours again. Undo and
// redo are the studio's own (the control's are off), so colouring never
// becomes a step the user has to undo.

#include "front_end.h"

#include "pack_windows.h"
#include "problem_rows.h"
#include "studio_colour.h"
#include "studio_help.h"

#include <richedit.h>

#include <algorithm>

namespace {

// Colours as COLORREF (0x00BBGGRR).
constexpr COLORREF PlainColour = RGB(0, 0, 0);
constexpr COLORREF ErrorBackground = RGB(255, 220, 220);
constexpr COLORREF WarningBackground = RGB(255, 245, 200);
constexpr COLORREF NormalBackground = RGB(255, 255, 255);

COLORREF colourOf(ColourKind kind) {
    switch (kind) {
    case ColourKind::Command:
        return RGB(0, 0, 192);
    case ColourKind::Setting:
        return RGB(128, 0, 128);
    case ColourKind::Comment:
        return RGB(0, 128, 0);
    case ColourKind::Number:
        return RGB(176, 80, 0);
    case ColourKind::KeyText:
        return RGB(0, 128, 128);
    case ColourKind::Text:
        return RGB(128, 64, 0);
    case ColourKind::Invalid:
        return RGB(200, 0, 0);
    }
    return PlainColour;
}

// While set, the control's notifications come from the studio itself.
struct Quiet {
    bool before;
    Quiet() : before(studio.applyingChange) { studio.applyingChange = true; }
    ~Quiet() { studio.applyingChange = before; }
};

void rememberSelectionLines();

CHARRANGE selection() {
    CHARRANGE range{};
    SendMessageW(studio.editor, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return range;
}

void select(LONG from, LONG to) {
    CHARRANGE range{from, to};
    SendMessageW(studio.editor, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

void setFormat(LONG from, LONG to, COLORREF colour, COLORREF background, bool bold) {
    select(from, to);
    CHARFORMAT2W format{};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_COLOR | CFM_BACKCOLOR | CFM_BOLD;
    format.crTextColor = colour;
    format.crBackColor = background;
    format.dwEffects = bold ? CFE_BOLD : 0;
    SendMessageW(studio.editor, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
}

COLORREF backgroundOf(const DocumentLine& line) {
    COLORREF background = NormalBackground;
    for (const Finding& finding : line.findings) {
        if (finding.kind == FindingKind::Error) {
            return ErrorBackground;
        }
        background = WarningBackground;
    }
    return background;
}

void colourLineAt(int line) {
    const LRESULT start = SendMessageW(studio.editor, EM_LINEINDEX, line, 0);
    if (start < 0) {
        return;
    }
    const DocumentLine& documentLine =
        studio.workspace.document.lines[static_cast<std::size_t>(line)];
    const LONG length = static_cast<LONG>(SendMessageW(studio.editor, EM_LINELENGTH, start, 0));
    const LONG from = static_cast<LONG>(start);
    const COLORREF background = backgroundOf(documentLine);
    setFormat(from, from + length, PlainColour, background, false);
    for (const ColourSpan& span : colourLine(documentLine.text, utf8CharacterToGbk)) {
        const bool command = span.kind == ColourKind::Command || span.kind == ColourKind::Setting;
        setFormat(from + span.start, from + span.start + span.length, colourOf(span.kind),
                  background, command);
    }
    studio.coloured[static_cast<std::size_t>(line)] = true;
}

// Colours the lines of [first, last) that are not coloured yet, keeping the
// user's selection and the scroll position.
void colourLines(int first, int last) {
    first = std::max(first, 0);
    last = std::min(last, static_cast<int>(studio.coloured.size()));
    bool any = false;
    for (int line = first; line < last && !any; ++line) {
        any = !studio.coloured[static_cast<std::size_t>(line)];
    }
    if (!any) {
        return;
    }
    int uncoloured = 0;
    for (int line = first; line < last; ++line) {
        uncoloured += studio.coloured[static_cast<std::size_t>(line)] ? 0 : 1;
    }
    // A line or two (a keystroke) is coloured in place; more at once are
    // coloured with drawing off and shown in one go.
    const bool many = uncoloured > 2;
    Quiet quiet;
    const CHARRANGE kept = selection();
    POINT scroll{};
    SendMessageW(studio.editor, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
    if (many) {
        SendMessageW(studio.editor, WM_SETREDRAW, FALSE, 0);
    }
    SendMessageW(studio.editor, EM_HIDESELECTION, TRUE, 0);
    for (int line = first; line < last; ++line) {
        if (!studio.coloured[static_cast<std::size_t>(line)]) {
            colourLineAt(line);
        }
    }
    SendMessageW(studio.editor, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&kept));
    SendMessageW(studio.editor, EM_HIDESELECTION, FALSE, 0);
    POINT now{};
    SendMessageW(studio.editor, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&now));
    if (now.x != scroll.x || now.y != scroll.y) {
        SendMessageW(studio.editor, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
    }
    if (many) {
        SendMessageW(studio.editor, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(studio.editor, nullptr, FALSE);
    }
}

int visibleLineCount() {
    RECT client;
    GetClientRect(studio.editor, &client);
    POINTL bottom{2, client.bottom};
    const LRESULT character =
        SendMessageW(studio.editor, EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&bottom));
    const LRESULT last = SendMessageW(studio.editor, EM_EXLINEFROMCHAR, 0, character);
    const LRESULT first = SendMessageW(studio.editor, EM_GETFIRSTVISIBLELINE, 0, 0);
    return static_cast<int>(std::max<LRESULT>(last - first + 1, 1));
}

std::string lineUtf8(const std::u16string& line) {
    return utf16ToUtf8(line);
}

std::wstring problemText(const Problem& problem) {
    if (problem.line <= 0) {
        return fromGbk(formatUiText(text(TextId::StudioProblemScript), {problem.message}));
    }
    const TextId id = problem.kind == FindingKind::Error ? TextId::StudioProblemError
                                                         : TextId::StudioProblemWarning;
    return fromGbk(formatUiText(text(id), {std::to_string(problem.line), problem.message}));
}

// The text before the cursor on its line, and where that line starts.
std::u16string textBeforeCursor(LONG& lineStart, LONG& cursor) {
    const CHARRANGE range = selection();
    cursor = range.cpMax;
    const LRESULT line = SendMessageW(studio.editor, EM_EXLINEFROMCHAR, 0, cursor);
    lineStart = static_cast<LONG>(SendMessageW(studio.editor, EM_LINEINDEX, line, 0));
    if (lineStart < 0 || static_cast<std::size_t>(cursor) > studio.mirror.size() ||
        lineStart > cursor) {
        return {};
    }
    return studio.mirror.substr(static_cast<std::size_t>(lineStart),
                                static_cast<std::size_t>(cursor - lineStart));
}

bool startsWithFolded(std::string_view name, std::string_view typed, bool foldCase) {
    if (typed.size() > name.size()) {
        return false;
    }
    for (std::size_t i = 0; i < typed.size(); ++i) {
        char a = name[i];
        char b = typed[i];
        if (foldCase) {
            a = (a >= 'a' && a <= 'z') ? static_cast<char>(a - 32) : a;
            b = (b >= 'a' && b <= 'z') ? static_cast<char>(b - 32) : b;
        }
        if (a != b) {
            return false;
        }
    }
    return true;
}

// The form of the row's name that `typed` begins; the pane's form for nothing typed.
NameForm formTyped(int row, std::string_view typed) {
    if (typed.empty()) {
        return studio.insertForm;
    }
    if (startsWithFolded(commandName(NameForm::Chinese, row), typed, false)) {
        return NameForm::Chinese;
    }
    if (startsWithFolded(commandName(NameForm::English, row), typed, true)) {
        return NameForm::English;
    }
    return NameForm::ShortCode;
}

} // namespace

HWND createEditor(HWND parent) {
    const wchar_t* className = MSFTEDIT_CLASS;
    if (LoadLibraryW(L"msftedit.dll") == nullptr) {
        LoadLibraryW(L"riched20.dll");
        className = RICHEDIT_CLASSW;
    }
    HWND editor = CreateWindowExW(
        WS_EX_CLIENTEDGE, className, L"",
        WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | ES_MULTILINE |
            ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL | ES_WANTRETURN,
        0, 0, 10, 10, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(EditorId)),
        studio.instance, nullptr);
    studio.editor = editor;
    SendMessageW(editor, EM_SETTARGETDEVICE, 0, 1); // no wrapping: an editor line is a script line
    SendMessageW(editor, EM_EXLIMITTEXT, 0, 64 << 20);
    SendMessageW(editor, EM_SETUNDOLIMIT, 0, 0);
    CHARFORMAT2W format{};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_FACE | CFM_SIZE | CFM_COLOR | CFM_CHARSET;
    format.yHeight = EditorPoints * 20;
    format.bCharSet = GB2312_CHARSET;
    format.crTextColor = PlainColour;
    lstrcpyW(format.szFaceName, L"Consolas");
    SendMessageW(editor, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    SendMessageW(editor, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
    scaleEditorFont();
    SendMessageW(editor, EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SELCHANGE | ENM_SCROLL | ENM_UPDATE);
    return editor;
}

std::u16string editorText() {
    GETTEXTLENGTHEX length{GTL_NUMCHARS | GTL_PRECISE, 1200};
    const LRESULT count =
        SendMessageW(studio.editor, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
    std::wstring text(static_cast<std::size_t>(std::max<LRESULT>(count, 0)) + 1, L'\0');
    GETTEXTEX request{};
    request.cb = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    request.flags = GT_DEFAULT;
    request.codepage = 1200;
    const LRESULT got =
        SendMessageW(studio.editor, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&request),
                     reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(std::max<LRESULT>(got, 0)));
    // Line breaks as the control keeps them: one carriage return.
    std::u16string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') {
            continue;
        }
        result.push_back(text[i] == L'\n' ? u'\r' : static_cast<char16_t>(text[i]));
    }
    return result;
}

void setEditorText(const std::string& utf8Text) {
    {
        Quiet quiet;
        std::wstring wide = fromUtf8(utf8Text);
        std::replace(wide.begin(), wide.end(), L'\n', L'\r');
        SETTEXTEX setting{ST_DEFAULT, 1200};
        SendMessageW(studio.editor, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&setting),
                     reinterpret_cast<LPARAM>(wide.c_str()));
        studio.mirror = editorText();
    }
    std::string joined = lineUtf8(studio.mirror);
    std::replace(joined.begin(), joined.end(), '\r', '\n');
    const WorkspaceUpdate update = loadText(studio.workspace, joined, utf8CharacterToGbk);
    select(0, 0);
    rememberSelectionLines();
    applyUpdate(update);
    onSelectionChange();
}

namespace {

// Brings the document, the colours, the undo history and the mirror up to
// date with a change of the editor's text that replaced the mirror's text from
// `at` on (`change`), which the editor now holds as `now`.
void takeChange(const TextChange& change, std::u16string now) {
    if (isEmptyChange(change)) {
        return;
    }
    const WorkspaceUpdate update = applyEdit(studio.workspace, change, now, studio.recordingUndo);
    studio.mirror = std::move(now);
    applyUpdate(update);
}

LONG textLength() {
    GETTEXTLENGTHEX length{GTL_NUMCHARS | GTL_PRECISE, 1200};
    return static_cast<LONG>(
        SendMessageW(studio.editor, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
}

std::u16string textRange(LONG from, LONG to) {
    std::wstring text(static_cast<std::size_t>(to - from) + 1, L'\0');
    TEXTRANGEW range{{from, to}, text.data()};
    const LRESULT got =
        SendMessageW(studio.editor, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
    text.resize(static_cast<std::size_t>(std::max<LRESULT>(got, 0)));
    return toU16(text);
}

// The change the user just made, read from the lines it can have touched:
// those the selection covered before it, the one after them (a forward
// delete joins it), and the cursor's line now. False when the editor's length
// says the change reached further: the whole text is read then.
bool readNearbyChange(TextChange& change, std::u16string& now) {
    const int oldCount = static_cast<int>(studio.workspace.document.lines.size());
    const int newCount = static_cast<int>(SendMessageW(studio.editor, EM_GETLINECOUNT, 0, 0));
    const int delta = newCount - oldCount;
    const CHARRANGE cursor = selection();
    const int cursorFirst =
        static_cast<int>(SendMessageW(studio.editor, EM_EXLINEFROMCHAR, 0, cursor.cpMin));
    const int cursorLast =
        static_cast<int>(SendMessageW(studio.editor, EM_EXLINEFROMCHAR, 0, cursor.cpMax));
    const int first = std::max(0, std::min(studio.selectionFirstLine, cursorFirst));
    int lastOld = std::min(oldCount - 1, studio.selectionLastLine + 1);
    if (cursorLast > lastOld + delta) {
        lastOld = cursorLast - delta;
    }
    const int lastNew = lastOld + delta;
    if (first > lastOld || lastOld >= oldCount || first > lastNew || lastNew >= newCount) {
        return false;
    }
    // Where the region starts is the same in the old text and the new.
    const LONG start = static_cast<LONG>(SendMessageW(studio.editor, EM_LINEINDEX, first, 0));
    const LONG newEnd =
        lastNew + 1 < newCount
            ? static_cast<LONG>(SendMessageW(studio.editor, EM_LINEINDEX, lastNew + 1, 0)) - 1
            : textLength();
    std::size_t oldEnd = static_cast<std::size_t>(start);
    for (int line = first; line <= lastOld && oldEnd != std::u16string::npos; ++line) {
        oldEnd = studio.mirror.find(u'\r', oldEnd + (line == first ? 0 : 1));
    }
    if (oldEnd == std::u16string::npos) {
        oldEnd = studio.mirror.size();
    }
    if (start < 0 || newEnd < start || static_cast<std::size_t>(start) > studio.mirror.size()) {
        return false;
    }
    const std::u16string region = textRange(start, newEnd);
    const std::size_t newLength =
        studio.mirror.size() - (oldEnd - static_cast<std::size_t>(start)) + region.size();
    if (static_cast<LONG>(newLength) != textLength()) {
        return false;
    }
    const std::u16string oldRegion = studio.mirror.substr(static_cast<std::size_t>(start),
                                                          oldEnd - static_cast<std::size_t>(start));
    change = findChange(oldRegion, region);
    change.at += static_cast<std::size_t>(start);
    now = studio.mirror;
    now.replace(static_cast<std::size_t>(start), oldRegion.size(), region);
    return true;
}

void rememberSelectionLines() {
    const CHARRANGE range = selection();
    studio.selectionFirstLine =
        static_cast<int>(SendMessageW(studio.editor, EM_EXLINEFROMCHAR, 0, range.cpMin));
    studio.selectionLastLine =
        static_cast<int>(SendMessageW(studio.editor, EM_EXLINEFROMCHAR, 0, range.cpMax));
}

} // namespace

void onEditorChange() {
    if (studio.applyingChange) {
        return;
    }
    TextChange change;
    std::u16string now;
    if (!readNearbyChange(change, now)) {
        syncWithEditor();
        return;
    }
    takeChange(change, std::move(now));
    rememberSelectionLines();
}

void syncWithEditor() {
    std::u16string now = editorText();
    const TextChange change = findChange(studio.mirror, now);
    takeChange(change, std::move(now));
    rememberSelectionLines();
}

void colourVisibleLines() {
    if (studio.editor == nullptr) {
        return;
    }
    const int first = static_cast<int>(SendMessageW(studio.editor, EM_GETFIRSTVISIBLELINE, 0, 0));
    colourLines(first, first + visibleLineCount() + 1);
}

void onSelectionChange() {
    if (studio.applyingChange) {
        return;
    }
    rememberSelectionLines();
    const CHARRANGE range = selection();
    if (studio.workspace.history.groupOpen && !studio.workspace.history.undo.empty()) {
        const TextChange& last = studio.workspace.history.undo.back();
        const std::size_t cursor = static_cast<std::size_t>(range.cpMax);
        if (cursor != last.at + last.inserted.size() && cursor != last.at) {
            closeStep(studio.workspace.history);
        }
    }
    const int line =
        static_cast<int>(SendMessageW(studio.editor, EM_EXLINEFROMCHAR, 0, range.cpMax));
    const LONG start = static_cast<LONG>(SendMessageW(studio.editor, EM_LINEINDEX, line, 0));
    std::string place =
        formatUiText(text(TextId::StudioPlace),
                     {std::to_string(line + 1), std::to_string(range.cpMax - start + 1)});
    if (line >= 0 && line < static_cast<int>(studio.workspace.document.lines.size())) {
        const std::string gbk =
            toGbk(fromUtf8(studio.workspace.document.lines[static_cast<std::size_t>(line)].text));
        NameForm form = NameForm::English;
        const int row = commandRowOfLine(gbk, form);
        if (row >= 0) {
            place += "   " + parameterHint(row, form, studio.workspace.language);
        }
    }
    SetWindowTextW(studio.statusPlace, fromGbk(place).c_str());
    colourVisibleLines();
}

void applyChange(const TextChange& change) {
    {
        Quiet quiet;
        select(static_cast<LONG>(change.at), static_cast<LONG>(change.at + change.removed.size()));
    }
    rememberSelectionLines();
    const std::wstring inserted = fromU16(change.inserted);
    SendMessageW(studio.editor, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(inserted.c_str()));
    // Rich edit tells EN_CHANGE for a replacement only when the text changed;
    // the mirror is brought up to date here in any case.
    syncWithEditor();
    const LONG end = static_cast<LONG>(change.at + change.inserted.size());
    select(end, end);
    SendMessageW(studio.editor, EM_SCROLLCARET, 0, 0);
}

void insertAtCursor(const std::wstring& inserted) {
    closeStep(studio.workspace.history);
    rememberSelectionLines();
    SendMessageW(studio.editor, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(inserted.c_str()));
    syncWithEditor();
    closeStep(studio.workspace.history);
}

void undoEdit() {
    TextChange inverse;
    if (!takeUndo(studio.workspace.history, inverse)) {
        return;
    }
    studio.recordingUndo = false;
    applyChange(inverse);
    studio.recordingUndo = true;
}

void redoEdit() {
    TextChange change;
    if (!takeRedo(studio.workspace.history, change)) {
        return;
    }
    studio.recordingUndo = false;
    applyChange(change);
    studio.recordingUndo = true;
}

void markColoursStale(const WorkspaceUpdate& update) {
    if (update.allLines) {
        studio.coloured.assign(studio.workspace.document.lines.size(), false);
    }
    if (update.linesReplaced) {
        const LineChange& lines = update.lines;
        auto at = studio.coloured.begin() + lines.firstLine;
        at = studio.coloured.erase(at, at + lines.removedLines);
        studio.coloured.insert(at, static_cast<std::size_t>(lines.insertedLines), false);
    }
    for (int line : update.recolour) {
        if (line >= 0 && line < static_cast<int>(studio.coloured.size())) {
            studio.coloured[static_cast<std::size_t>(line)] = false;
        }
    }
}

// The problems list follows the document: only the rows that differ from what
// it shows are replaced, so a keystroke costs rows, not the whole list.
void refreshProblems() {
    std::vector<Problem> now = documentProblems(studio.workspace.document);
    const ProblemRowsChange rows = problemRowsChange(studio.shownProblems, now);
    if (rows.removed == 0 && rows.inserted == 0) {
        return;
    }
    SendMessageW(studio.problems, WM_SETREDRAW, FALSE, 0);
    for (std::size_t i = 0; i < rows.removed; ++i) {
        SendMessageW(studio.problems, LB_DELETESTRING, rows.first, 0);
    }
    for (std::size_t i = rows.first; i < rows.first + rows.inserted; ++i) {
        SendMessageW(studio.problems, LB_INSERTSTRING, i,
                     reinterpret_cast<LPARAM>(problemText(now[i]).c_str()));
    }
    SendMessageW(studio.problems, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(studio.problems, nullptr, TRUE);
    studio.shownProblems = std::move(now);
}

void goToLine(int line) {
    const int last = static_cast<int>(studio.workspace.document.lines.size());
    line = std::clamp(line, 1, std::max(last, 1));
    const LONG start = static_cast<LONG>(SendMessageW(studio.editor, EM_LINEINDEX, line - 1, 0));
    select(start, start);
    SendMessageW(studio.editor, EM_SCROLLCARET, 0, 0);
    SetFocus(studio.editor);
}

int cursorLine() {
    const CHARRANGE range = selection();
    return static_cast<int>(SendMessageW(studio.editor, EM_EXLINEFROMCHAR, 0, range.cpMin));
}

void showCompletion() {
    LONG lineStart = 0;
    LONG cursor = 0;
    const std::string typed = toGbk(fromU16(textBeforeCursor(lineStart, cursor)));
    studio.completionRows = completeCommand(typed);
    studio.completionForms.clear();
    for (int row : studio.completionRows) {
        studio.completionForms.push_back(formTyped(row, typed));
    }
    studio.completionStart = lineStart;
    if (studio.completionRows.empty()) {
        MessageBeep(MB_ICONWARNING);
        return;
    }
    if (studio.completionRows.size() == 1) {
        acceptCompletion();
        return;
    }
    if (studio.completion == nullptr) {
        studio.completion = CreateWindowExW(
            WS_EX_CLIENTEDGE, L"listbox", L"",
            WS_CHILD | WS_VSCROLL | WS_BORDER | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 0, 0, 260, 180,
            studio.window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(CompletionId)),
            studio.instance, nullptr);
        SendMessageW(studio.completion, WM_SETFONT, reinterpret_cast<WPARAM>(studio.uiFont), FALSE);
    }
    SendMessageW(studio.completion, LB_RESETCONTENT, 0, 0);
    for (std::size_t i = 0; i < studio.completionRows.size(); ++i) {
        const int row = studio.completionRows[i];
        const std::string item =
            std::string(commandName(studio.completionForms[i], row)) + "   " +
            commandHelp(row).parameters[studio.workspace.language == UiLanguage::Chinese];
        SendMessageW(studio.completion, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(fromGbk(item).c_str()));
    }
    SendMessageW(studio.completion, LB_SETCURSEL, 0, 0);
    POINTL at{};
    SendMessageW(studio.editor, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), cursor);
    // Just below the cursor's line.
    POINT place{at.x, at.y + visibleLines().height};
    MapWindowPoints(studio.editor, studio.window, &place, 1);
    SetWindowPos(studio.completion, HWND_TOP, place.x, place.y, scaled(studio.scale, 300),
                 scaled(studio.scale, 180), SWP_SHOWWINDOW);
    SetFocus(studio.completion);
}

void acceptCompletion() {
    std::size_t index = 0;
    if (studio.completion != nullptr && IsWindowVisible(studio.completion)) {
        const LRESULT selected = SendMessageW(studio.completion, LB_GETCURSEL, 0, 0);
        index = selected == LB_ERR ? 0 : static_cast<std::size_t>(selected);
    }
    hideCompletion();
    if (index >= studio.completionRows.size()) {
        return;
    }
    LONG lineStart = 0;
    LONG cursor = 0;
    textBeforeCursor(lineStart, cursor);
    const std::wstring name =
        fromGbk(commandName(studio.completionForms[index], studio.completionRows[index]));
    select(lineStart, cursor);
    insertAtCursor(name);
}

void hideCompletion() {
    if (studio.completion != nullptr && IsWindowVisible(studio.completion)) {
        ShowWindow(studio.completion, SW_HIDE);
        SetFocus(studio.editor);
    }
}
