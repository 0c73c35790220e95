#pragma once
// Whose a recovery copy is: each copy recovery-ID.studio in the studio's folder
// has a lock file recovery-ID.lock beside it, held open without sharing by the
// studio that writes the copy. The system closes (and deletes) it when that
// process ends, however it ends, so a lock that can be taken is a copy left
// behind. Windows only (win32/recovery_lock.cpp).

#include <cstdint>
#include <string>
#include <vector>

struct RecoveryLock {
    void* file = nullptr;  // the lock file's handle; null when none is held
    std::wstring copyPath; // the copy this lock makes its holder's
};

// Takes the lock of a new copy in `folder` under a name no other copy has;
// false when the folder cannot hold one.
bool takeRecoveryLock(const std::wstring& folder, RecoveryLock& lock);

// Lets go of the lock (the lock file goes with it). The copy stays.
void releaseRecoveryLock(RecoveryLock& lock);

// A copy whose studio is gone, claimed: its lock is held now, so no other
// studio offers it at the same time. Release it once the copy is dealt with
// (or keep it, when the copy becomes this studio's unsaved work).
struct LeftCopy {
    RecoveryLock lock;
    std::uint64_t writeTime = 0; // the copy's last write, in 100 ns since 1601
};

// The copies in `folder` whose lock could be taken, every other one left
// alone; this studio's own copies are never among them.
std::vector<LeftCopy> findLeftCopies(const std::wstring& folder);
