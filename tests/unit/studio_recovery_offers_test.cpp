// Which left-behind work the studio offers when it starts: the opened file's
// first, then the rest, newest first; never a running studio's; damaged copies
// set aside so that they never stop a start.

#include "studio_recovery_offers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

RecoveryCopy copyOf(const char* name, bool ownerGone, const char* path, std::uint64_t time) {
    RecoveryCopy copy;
    copy.name = name;
    copy.ownerGone = ownerGone;
    copy.record.path = path;
    copy.record.text = std::string("work of ") + name;
    copy.writeTime = time;
    return copy;
}

RecoveryCopy damagedCopy(const char* name, bool ownerGone) {
    RecoveryCopy copy = copyOf(name, ownerGone, "", 1);
    copy.damaged = true;
    copy.record = RecoveryRecord{};
    return copy;
}

std::vector<std::string> offeredNames(const std::vector<RecoveryCopy>& copies,
                                      const RecoveryPlan& plan) {
    std::vector<std::string> names;
    for (std::size_t index : plan.offers) {
        names.push_back(copies[index].name);
    }
    return names;
}

TEST(StudioRecoveryOffers, TheOpenedFilesWorkComesFirstAndOnlyGoneStudiosWorkIsOffered) {
    const std::vector<RecoveryCopy> copies = {
        copyOf("a", true, "C:\\Scripts\\Demo.txt", 5),
        copyOf("b", true, "", 9),                        // never saved
        copyOf("c", false, "C:\\Scripts\\Demo.txt", 10), // its studio still runs
        damagedCopy("d", true),
        damagedCopy("e", false), // a running studio's, perhaps being written
        copyOf("f", true, "c:/scripts//demo.TXT", 7),
        copyOf("g", true, "C:\\Scripts\\Demo.txt.bak", 3),
    };
    const RecoveryPlan opening = planRecoveryOffers(copies, "C:\\scripts\\demo.txt");
    EXPECT_EQ(offeredNames(copies, opening), (std::vector<std::string>{"f", "a", "b", "g"}));
    EXPECT_EQ(opening.forOpenedFile, 2u);
    ASSERT_EQ(opening.setAside.size(), 1u);
    EXPECT_EQ(opening.setAside[0].from, "d");
    EXPECT_EQ(opening.setAside[0].to, setAsideName("d"));

    const RecoveryPlan bare = planRecoveryOffers(copies, "");
    EXPECT_EQ(offeredNames(copies, bare), (std::vector<std::string>{"b", "f", "a", "g"}));
    EXPECT_EQ(bare.forOpenedFile, 0u);
    EXPECT_EQ(bare.setAside.size(), 1u);

    // An untitled copy is never the opened file's, and nothing at all is fine.
    EXPECT_EQ(planRecoveryOffers({copyOf("u", true, "", 1)}, "C:\\x.txt").forOpenedFile, 0u);
    EXPECT_TRUE(planRecoveryOffers({}, "C:\\x.txt").offers.empty());
}

TEST(StudioRecoveryOffers, ADeclinedOfferGoesAndTheFirstAcceptedOneEndsTheRound) {
    const std::vector<RecoveryCopy> copies = {
        copyOf("a", true, "C:\\Scripts\\Demo.txt", 5),
        copyOf("b", true, "", 9),
        copyOf("c", false, "C:\\Scripts\\Demo.txt", 10), // its studio still runs
        damagedCopy("d", true),
        copyOf("f", true, "C:\\Scripts\\Demo.txt", 7),
        copyOf("g", true, "C:\\Other.txt", 3),
    };
    const RecoveryPlan plan = planRecoveryOffers(copies, "C:\\Scripts\\Demo.txt");
    OfferRound round = startOfferRound(copies, plan);
    std::vector<std::pair<std::string, bool>> asked; // name, named as the opened file's
    std::size_t copy = 0;
    // The user declines the opened file's two copies and takes the untitled work.
    while (nextOffer(round, plan, copy)) {
        asked.emplace_back(copies[copy].name, offerIsOfOpenedFile(round, plan));
        answerOffer(round, plan, copies[copy].name == "b");
    }
    EXPECT_EQ(asked,
              (std::vector<std::pair<std::string, bool>>{{"f", true}, {"a", true}, {"b", false}}));
    EXPECT_EQ(round.fates,
              (std::vector<CopyFate>{CopyFate::Removed, CopyFate::Adopted, CopyFate::Left,
                                     CopyFate::SetAside, CopyFate::Removed, CopyFate::Left}));
    // Once over, the round takes no more answers.
    answerOffer(round, plan, false);
    EXPECT_EQ(round.fates[5], CopyFate::Left);

    // Accepting the first offer leaves every other copy for a later start.
    OfferRound first = startOfferRound(copies, plan);
    answerOffer(first, plan, true);
    EXPECT_FALSE(nextOffer(first, plan, copy));
    EXPECT_EQ(first.fates,
              (std::vector<CopyFate>{CopyFate::Left, CopyFate::Left, CopyFate::Left,
                                     CopyFate::SetAside, CopyFate::Adopted, CopyFate::Left}));
}

TEST(StudioRecoveryOffers, PathsCompareAsWindowsComparesThem) {
    EXPECT_TRUE(sameWindowsPath("C:\\Scripts\\a.txt", "c:/SCRIPTS/A.TXT"));
    EXPECT_TRUE(sameWindowsPath("C:\\Scripts\\\\a.txt", "C:\\Scripts\\a.txt"));
    EXPECT_TRUE(sameWindowsPath("\\\\server\\share\\a.txt", "//SERVER/share/a.txt"));
    EXPECT_FALSE(sameWindowsPath("\\\\server\\share\\a.txt", "\\server\\share\\a.txt"));
    EXPECT_FALSE(sameWindowsPath("C:\\Scripts\\a.txt", "C:\\Scripts\\a.txt2"));
    EXPECT_FALSE(sameWindowsPath("C:\\a.txt", "D:\\a.txt"));
    // UTF-8 bytes are not folded: a Chinese name is compared as it is.
    EXPECT_TRUE(
        sameWindowsPath("C:\\\xE8\x84\x9A\xE6\x9C\xAC.txt", "c:/\xE8\x84\x9A\xE6\x9C\xAC.TXT"));
    EXPECT_FALSE(sameWindowsPath("C:\\\xE8\x84\x9A.txt", "C:\\\xE8\x84\x9B.txt"));
    // What is set aside is never read as a copy again.
    const std::string aside = setAsideName("recovery-1f.studio");
    EXPECT_NE(aside.substr(aside.size() - 7), ".studio");
}

} // namespace
