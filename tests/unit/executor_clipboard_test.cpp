// PutTextCb: the clipboard hand-over, the paste strokes and every failure path.

#include "executor_test_support.h"

using Strings = std::vector<std::string>;

TEST_F(ExecutorTest, PutTextCbPlacesTheTextAndPastesIt) {
    run("PutTextCb 中文 ok");
    const std::string gbk = "\xD6\xD0\xCE\xC4 ok";
    EXPECT_EQ(timedCalls(),
              (Strings{"0: clipboard open", "0: clipboard empty", "0: memory alloc 8",
                       "0: memory lock", "0: memory unlock", "0: clipboard set OK",
                       "0: clipboard close", "0: sleep 100", "100: key 11 down", "100: key 56 down",
                       "100: key 56 up", "100: key 11 up", "100: sleep 100"}));
    EXPECT_EQ(fake::now(), 200u);
    EXPECT_EQ(fake::clipboardText(), gbk);
    EXPECT_EQ(fake::liveMemoryBlocks(), 0u); // the clipboard owns the block
}

TEST_F(ExecutorTest, PutTextCbOfAnEmptyTextStillPastes) {
    run("PTC ");
    EXPECT_EQ(fake::countCalls("memory alloc 1"), 1u);
    EXPECT_EQ(fake::countCalls("key 56"), 2u);
    EXPECT_EQ(fake::clipboardText(), "");
}

struct PasteFailure {
    const char* name;
    bool fake::Failures::*failure;
    Strings calls;
};

void PrintTo(const PasteFailure& c, std::ostream* out) {
    *out << c.name;
}

class PutTextCbFailureTest : public ExecutorTest,
                             public ::testing::WithParamInterface<PasteFailure> {};

TEST_P(PutTextCbFailureTest, TypesNothingLeaksNothingAndClosesTheClipboard) {
    run("PutTextCb earlier");
    fake::clearCalls();
    fake::failures().*GetParam().failure = true;

    run("PutTextCb later");

    EXPECT_EQ(fake::callTexts(), GetParam().calls);
    EXPECT_EQ(fake::liveMemoryBlocks(), 0u);
    EXPECT_EQ(fake::now(), 200u); // only the earlier paste slept
    if (GetParam().failure == &fake::Failures::openClipboard) {
        EXPECT_EQ(fake::clipboardText(), "earlier"); // another program holds it
    } else {
        EXPECT_EQ(fake::clipboardText(), ""); // emptied, and nothing put in
    }
}

INSTANTIATE_TEST_SUITE_P(
    Failures, PutTextCbFailureTest,
    ::testing::Values(
        PasteFailure{"OpenFails", &fake::Failures::openClipboard, {"clipboard open"}},
        PasteFailure{"AllocationFails",
                     &fake::Failures::allocateMemory,
                     {"clipboard open", "clipboard empty", "memory alloc 6", "clipboard close"}},
        PasteFailure{"LockFails",
                     &fake::Failures::lockMemory,
                     {"clipboard open", "clipboard empty", "memory alloc 6", "memory lock",
                      "memory free", "clipboard close"}},
        PasteFailure{"ClipboardRefusesTheBlock",
                     &fake::Failures::setClipboard,
                     {"clipboard open", "clipboard empty", "memory alloc 6", "memory lock",
                      "memory unlock", "clipboard set FAILED", "memory free", "clipboard close"}}),
    [](const auto& info) { return std::string(info.param.name); });
