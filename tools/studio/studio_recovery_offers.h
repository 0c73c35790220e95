#pragma once
// Which recovery copies the studio offers back when it starts, in what order,
// and what becomes of the damaged ones. The front end finds the copies and
// whether their studio is gone (recovery_lock.h); nothing here needs Windows.

#include "studio_recovery.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One copy found in the studio's folder.
struct RecoveryCopy {
    std::string name;       // its file name in the folder
    bool ownerGone = false; // the studio that wrote it has ended (its lock could be taken)
    bool damaged = false;   // it did not decode; `record` is then empty
    RecoveryRecord record;
    std::uint64_t writeTime = 0; // larger is newer
};

// A damaged copy of a studio that is gone, renamed so that it is never read
// again as a copy and the studio starts as usual; the text in it stays on disk
// for whoever wants to look.
struct SetAside {
    std::string from;
    std::string to;
};

struct RecoveryPlan {
    // Indexes into the copies, in the order they are offered: first those of
    // the file being opened, then the others, each group newest first. A copy
    // whose studio still runs is never offered.
    std::vector<std::size_t> offers;
    std::size_t forOpenedFile = 0; // how many of the first offers are of the file being opened
    std::vector<SetAside> setAside;
};

// `openingPath` is the file the studio starts with (UTF-8), empty when none.
RecoveryPlan planRecoveryOffers(const std::vector<RecoveryCopy>& copies,
                                std::string_view openingPath);

// What becomes of a copy once the offers of a start are over.
enum class CopyFate : std::uint8_t {
    Left,     // not offered (yet): its lock is let go, a later start offers it
    Removed,  // declined: the copy goes
    Adopted,  // accepted: the work is the studio's now, and the copy its own
    SetAside, // damaged: renamed as the plan says
};

// The offers of one start as the user answers them, one at a time. The studio
// holds one script, so the first accepted offer ends the round; a declined one
// removes its copy and the next is asked.
struct OfferRound {
    std::vector<CopyFate> fates; // per copy
    std::size_t asked = 0;       // offers of the plan answered so far
    bool accepted = false;
};

OfferRound startOfferRound(const std::vector<RecoveryCopy>& copies, const RecoveryPlan& plan);
// The copy to offer now, or false when the round is over.
bool nextOffer(const OfferRound& round, const RecoveryPlan& plan, std::size_t& copy);
// Whether the offer now is of the file being opened (its box names that file).
bool offerIsOfOpenedFile(const OfferRound& round, const RecoveryPlan& plan);
void answerOffer(OfferRound& round, const RecoveryPlan& plan, bool accepted);

// Whether two paths (UTF-8) name the same file as Windows compares them:
// Latin letters in either case, '/' and '\' alike, a run of separators after
// the start as one. Other letters compare as they are.
bool sameWindowsPath(std::string_view a, std::string_view b);

// The name a damaged copy is set aside under.
std::string setAsideName(std::string_view copyName);
