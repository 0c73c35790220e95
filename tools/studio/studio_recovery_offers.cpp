#include "studio_recovery_offers.h"

#include <algorithm>

namespace {

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

char folded(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c == '/' ? '\\' : c;
}

// `path` with its letters and separators in one form; a leading pair of
// separators (a network path) is kept as it is.
std::string canonicalPath(std::string_view path) {
    std::string out;
    out.reserve(path.size());
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (i >= 2 && isSeparator(path[i]) && isSeparator(path[i - 1])) {
            continue;
        }
        out += folded(path[i]);
    }
    return out;
}

} // namespace

bool sameWindowsPath(std::string_view a, std::string_view b) {
    return canonicalPath(a) == canonicalPath(b);
}

std::string setAsideName(std::string_view copyName) {
    return std::string(copyName) + ".damaged";
}

RecoveryPlan planRecoveryOffers(const std::vector<RecoveryCopy>& copies,
                                std::string_view openingPath) {
    RecoveryPlan plan;
    std::vector<std::size_t> opened;
    std::vector<std::size_t> others;
    for (std::size_t i = 0; i < copies.size(); ++i) {
        const RecoveryCopy& copy = copies[i];
        if (!copy.ownerGone) {
            continue; // a running studio's own, even when it reads as damaged mid-write
        }
        if (copy.damaged) {
            plan.setAside.push_back({copy.name, setAsideName(copy.name)});
            continue;
        }
        const bool ofOpened = !openingPath.empty() && !copy.record.path.empty() &&
                              sameWindowsPath(copy.record.path, openingPath);
        (ofOpened ? opened : others).push_back(i);
    }
    const auto newestFirst = [&copies](std::size_t a, std::size_t b) {
        return copies[a].writeTime != copies[b].writeTime
                   ? copies[a].writeTime > copies[b].writeTime
                   : copies[a].name < copies[b].name;
    };
    std::sort(opened.begin(), opened.end(), newestFirst);
    std::sort(others.begin(), others.end(), newestFirst);
    plan.forOpenedFile = opened.size();
    plan.offers = std::move(opened);
    plan.offers.insert(plan.offers.end(), others.begin(), others.end());
    return plan;
}

OfferRound startOfferRound(const std::vector<RecoveryCopy>& copies, const RecoveryPlan& plan) {
    OfferRound round;
    round.fates.assign(copies.size(), CopyFate::Left);
    for (const SetAside& aside : plan.setAside) {
        for (std::size_t i = 0; i < copies.size(); ++i) {
            if (copies[i].name == aside.from) {
                round.fates[i] = CopyFate::SetAside;
            }
        }
    }
    return round;
}

bool nextOffer(const OfferRound& round, const RecoveryPlan& plan, std::size_t& copy) {
    if (round.accepted || round.asked >= plan.offers.size()) {
        return false;
    }
    copy = plan.offers[round.asked];
    return true;
}

bool offerIsOfOpenedFile(const OfferRound& round, const RecoveryPlan& plan) {
    return round.asked < plan.forOpenedFile;
}

void answerOffer(OfferRound& round, const RecoveryPlan& plan, bool accepted) {
    std::size_t copy = 0;
    if (!nextOffer(round, plan, copy) || copy >= round.fates.size()) {
        return;
    }
    round.fates[copy] = accepted ? CopyFate::Adopted : CopyFate::Removed;
    round.accepted = accepted;
    ++round.asked;
}
