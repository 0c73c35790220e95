#include "recovery_start.h"

#include "front_end.h"
#include "recovery_lock.h"
#include "studio_recovery_offers.h"

#include <shlobj.h>

namespace {

// The lock of the copy this studio writes, held while it runs.
RecoveryLock ownLock;

std::wstring recoveryFolder() {
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0,
                                folder))) {
        return {};
    }
    std::wstring path = std::wstring(folder) + L"\\Script player";
    CreateDirectoryW(path.c_str(), nullptr);
    path += L"\\Studio";
    CreateDirectoryW(path.c_str(), nullptr);
    return path;
}

std::wstring nameOf(const std::wstring& path) {
    return path.substr(path.find_last_of(L'\\') + 1);
}

// At most what a copy of the largest script holds; anything larger is damaged.
bool readCopy(const std::wstring& path, std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    LARGE_INTEGER size{};
    const bool fits = GetFileSizeEx(file, &size) && size.QuadPart <= (64 << 20);
    bytes.resize(fits ? static_cast<std::size_t>(size.QuadPart) : 0);
    DWORD got = 0;
    const bool read =
        fits &&
        (bytes.empty() ||
         ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr)) &&
        got == bytes.size();
    CloseHandle(file);
    return read;
}

std::string whenText(std::uint64_t writeTime) {
    FILETIME time{static_cast<DWORD>(writeTime), static_cast<DWORD>(writeTime >> 32)};
    SYSTEMTIME utc{};
    SYSTEMTIME local{};
    FileTimeToSystemTime(&time, &utc);
    SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local);
    wchar_t when[64] = {};
    wsprintfW(when, L"%04d-%02d-%02d %02d:%02d", local.wYear, local.wMonth, local.wDay, local.wHour,
              local.wMinute);
    return toGbk(when);
}

bool askAbout(const RecoveryCopy& copy, std::uint64_t writeTime, bool ofOpenedFile) {
    const std::string name =
        copy.record.path.empty() ? text(TextId::StudioUntitled) : toGbk(fromUtf8(copy.record.path));
    const TextId question =
        ofOpenedFile ? TextId::StudioRecoveryOfferOpened : TextId::StudioRecoveryOffer;
    return showBox(fromGbk(formatUiText(text(question), {name, whenText(writeTime)})),
                   MB_YESNO | MB_ICONQUESTION) == IDYES;
}

// The work of an accepted copy in the editor, marked modified, with its file's
// path; the copy is this studio's own from now on, under the lock now held.
void adopt(const RecoveryCopy& copy, LeftCopy& left) {
    setEditorText(copy.record.text);
    applyUpdate(workRecovered(studio.workspace, utf8ToUtf16(copy.record.path), copy.record.format));
    releaseRecoveryLock(ownLock);
    ownLock = left.lock;
    left.lock = RecoveryLock{};
    studio.recoveryPath = ownLock.copyPath;
    writeRecovery();
}

} // namespace

void startRecovery(const std::wstring& openingPath) {
    const std::wstring folder = recoveryFolder();
    if (folder.empty()) {
        return;
    }
    if (takeRecoveryLock(folder, ownLock)) {
        studio.recoveryPath = ownLock.copyPath;
    }
    std::vector<LeftCopy> left = findLeftCopies(folder);
    std::vector<RecoveryCopy> copies(left.size());
    for (std::size_t i = 0; i < left.size(); ++i) {
        copies[i].name = toGbk(nameOf(left[i].lock.copyPath));
        copies[i].ownerGone = true;
        copies[i].writeTime = left[i].writeTime;
        std::string bytes;
        copies[i].damaged =
            !readCopy(left[i].lock.copyPath, bytes) || !decodeRecovery(bytes, copies[i].record);
    }
    const RecoveryPlan plan = planRecoveryOffers(copies, toUtf8(openingPath));
    OfferRound round = startOfferRound(copies, plan);
    std::size_t copy = 0;
    while (nextOffer(round, plan, copy)) {
        answerOffer(round, plan,
                    askAbout(copies[copy], left[copy].writeTime, offerIsOfOpenedFile(round, plan)));
    }
    for (std::size_t i = 0; i < left.size(); ++i) {
        const std::wstring& path = left[i].lock.copyPath;
        switch (round.fates[i]) {
        case CopyFate::Adopted:
            adopt(copies[i], left[i]);
            break;
        case CopyFate::Removed:
            DeleteFileW(path.c_str());
            break;
        case CopyFate::SetAside:
            // Never read as a copy again; when it cannot be renamed it goes.
            if (!MoveFileExW(path.c_str(), (path + L".damaged").c_str(),
                             MOVEFILE_REPLACE_EXISTING)) {
                DeleteFileW(path.c_str());
            }
            break;
        case CopyFate::Left:
            break;
        }
        releaseRecoveryLock(left[i].lock);
    }
}
