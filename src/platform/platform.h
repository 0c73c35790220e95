#pragma once
// The player's view of the operating system: one free function per operation,
// in the player's own words. Two implementations exist and one is chosen at
// link time: win32/ (the real system) and fake/ (a recording stand-in with a
// virtual clock for the host tests). Handles are opaque integers; 0 is "none".

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

using ModuleHandle = std::uintptr_t;
using WindowHandle = std::uintptr_t;
using IconHandle = std::uintptr_t;
using MemoryHandle = std::uintptr_t;
using ContextHandle = std::uintptr_t;
using SnapshotHandle = std::uintptr_t;

struct ScreenPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

struct WindowRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// ---- Resources -------------------------------------------------------------

// The module of the running executable.
ModuleHandle ownModule();

// The bytes of resource `name` of `type` (both integer identifiers) in `module`.
// False when the module has no such resource, or it cannot be loaded or locked.
// The bytes stay valid as long as the module is loaded.
bool findResource(ModuleHandle module, int name, int type, const unsigned char*& bytes,
                  std::uint32_t& size);

// ---- Input synthesis and key state ----------------------------------------

constexpr std::uint32_t KeyUpFlag = 0x0002;

// One keyboard event for a virtual key, scan code 0, extra information 0.
void sendKeyEvent(std::uint8_t virtualKey, std::uint32_t flags);
// One mouse event; data and extra information 0.
void sendMouseEvent(std::uint32_t flags, std::uint32_t dx, std::uint32_t dy);
// True while the key is down at the moment of the call.
bool isKeyDown(std::uint8_t virtualKey);

ScreenPoint cursorPosition();
void setCursorPosition(ScreenPoint point);
std::int32_t screenWidth();
std::int32_t screenHeight();

// ---- Time, threads and process end ----------------------------------------

void sleepFor(std::uint32_t milliseconds);
// Runs `procedure` on a new thread at once; the thread is never joined.
void startThread(void (*procedure)());
// Ends the whole process with exit code 0 at once: other threads stop first and
// no static object is destroyed under their feet.
[[noreturn]] void endProcess();

// ---- The studio's trace ----------------------------------------------------

// The number of a message registered by name, shared by every process; 0 on failure.
std::uint32_t registerWindowMessage(const char* name);
// Posts a message to a window of any process and returns at once; false when
// the window is gone.
bool postMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                 std::intptr_t lParam);
// Maps the shared memory of this name, for reading and writing; null when
// there is none. It stays mapped until the process ends.
void* openSharedMemory(const char* name);

// ---- Message boxes --------------------------------------------------------

constexpr std::uint32_t BoxOk = 0x0;
constexpr std::uint32_t BoxOkCancel = 0x1;
constexpr int AnswerOk = 1;

// A message box without an owner window; returns the button pressed.
int messageBox(const char* text, const char* caption, std::uint32_t buttons);

// ---- Clipboard and shared memory -------------------------------------------

bool openClipboard();
void emptyClipboard();
// A movable, zeroed, shareable block (GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE).
MemoryHandle allocateSharedMemory(std::size_t size);
char* lockMemory(MemoryHandle memory);
void unlockMemory(MemoryHandle memory);
void freeMemory(MemoryHandle memory);
// Hands the block to the clipboard as CF_TEXT; on success the clipboard owns it.
bool setClipboardText(MemoryHandle memory);
void closeClipboard();

// ---- Programs --------------------------------------------------------------

// Opens `file` with `parameters` (may be null), shown normally; not waited for.
void openProgram(const char* file, const char* parameters);
// Copies the running executable's path into `buffer`; returns the number of bytes
// written without the NUL. A result equal to `capacity` means the path was cut.
std::size_t ownExecutablePath(char* buffer, std::size_t capacity);

// ---- Windows and dialogs ---------------------------------------------------

WindowHandle foregroundWindow();
// Copies at most capacity - 1 bytes of the window's text and always terminates;
// returns the length copied. A missing window gives the empty text.
std::size_t windowText(WindowHandle window, char* buffer, std::size_t capacity);
// A top-level window by class name or title (either may be null).
WindowHandle findWindow(const char* className, const char* title);

constexpr int ShowHide = 0;
constexpr int ShowNormal = 1;
constexpr int ShowMinimize = 6;
constexpr int ShowShow = 5;
constexpr int ShowRestore = 9;
void showWindow(WindowHandle window, int command);
void updateWindow(WindowHandle window);
void setForegroundWindow(WindowHandle window);
bool windowRect(WindowHandle window, WindowRect& rect);
constexpr std::uint32_t PositionShowWindow = 0x0040;
// Moves and sizes `window`, placed on top of the Z order (insert-after 0).
void setWindowPosition(WindowHandle window, std::int32_t x, std::int32_t y, std::int32_t width,
                       std::int32_t height, std::uint32_t flags);
WindowHandle dialogItem(WindowHandle window, int id);
// Sends `message` with parameters 0 and 0 to a control; returns when it is handled.
void sendDialogItemMessage(WindowHandle window, int id, std::uint32_t message);
bool isWindowEnabled(WindowHandle window);
// The id of the process that owns the window; 0 when there is none.
std::uint32_t windowProcessId(WindowHandle window);

constexpr std::uint32_t OverlappedWindowStyle = 0x00CF0000;
constexpr std::int32_t DefaultPosition = static_cast<std::int32_t>(0x80000000);
// A top-level window of a system class, no parent, menu, instance or creation data.
WindowHandle createWindow(const char* className, const char* title, std::uint32_t style,
                          std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);

// ---- Screen pixels ---------------------------------------------------------

// The device context of the whole screen; give it back with releaseScreenContext.
ContextHandle screenContext();
// The pixel's colour, red in the low byte; all bits set when it cannot be read.
std::uint32_t pixelColor(ContextHandle context, std::int32_t x, std::int32_t y);
void releaseScreenContext(ContextHandle context);

// ---- Processes ---------------------------------------------------------------

struct ProcessEntry {
    std::uint32_t processId = 0;
    char exeFile[260] = {};
};

// A snapshot of all processes; 0 when it cannot be taken.
SnapshotHandle processSnapshot();
bool firstProcess(SnapshotHandle snapshot, ProcessEntry& entry);
bool nextProcess(SnapshotHandle snapshot, ProcessEntry& entry);
void closeSnapshot(SnapshotHandle snapshot);

// ---- Text ------------------------------------------------------------------

// Appends the GBK (code page 936) bytes of one UTF-16 character (one unit, or a
// surrogate pair) to `out`; false, appending nothing, when GBK has no exact form
// for it (no look-alike, no default character). For the tools that turn Unicode
// texts of other programs into script lines; the fake platform knows ASCII only.
bool utf16CharacterToGbk(std::u16string_view character, std::string& out);

// ---- Notification area -----------------------------------------------------

// The first version of the system's notification-icon record, laid out as the
// system lays it out for this build's pointer width.
struct NotifyIconRecord {
    std::uint32_t cbSize;
    WindowHandle hWnd;
    std::uint32_t uID;
    std::uint32_t uFlags;
    std::uint32_t uCallbackMessage;
    IconHandle hIcon;
    char szTip[64];
};

constexpr std::uint32_t NotifyAdd = 0;
constexpr std::uint32_t NotifyModify = 1;
constexpr std::uint32_t NotifyDelete = 2;

// One small icon from an icon file by index; 0 when there is none.
IconHandle extractSmallIcon(const char* file, int index);
void destroyIcon(IconHandle icon);
bool notifyIcon(std::uint32_t message, const NotifyIconRecord& record);

} // namespace platform
