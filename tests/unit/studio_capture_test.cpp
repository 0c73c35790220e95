// Picking and recording in the studio, as far as neither needs Windows: the
// lines a recording inserts into a script that has lines and into a blank one,
// the recorder's options as the studio takes them, and the keys that pick the
// spy's lines.

#include "studio_capture.h"

#include "pack_checks.h"
#include "script/line_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

RecordedEvent event(EventKind kind, std::uint32_t time, std::uint8_t key, std::int32_t x = 0,
                    std::int32_t y = 0) {
    RecordedEvent made;
    made.kind = kind;
    made.time = 1000000 + time;
    made.key = key;
    made.x = x;
    made.y = y;
    made.window = 1;
    return made;
}

// A click, ESC (the player's break key when a script names none) and two
// letters in a window with a caption.
Recording aRecording() {
    Recording recording;
    recording.startTime = 1000000;
    recording.endTime = 1000000 + 4000;
    recording.screenWidth = 1920;
    recording.screenHeight = 1080;
    recording.captions.push_back("记事本");
    recording.events = {
        event(EventKind::Move, 100, 0, 300, 200),
        event(EventKind::ButtonDown, 800, LeftButton, 300, 200),
        event(EventKind::ButtonUp, 850, LeftButton, 300, 200),
        event(EventKind::KeyDown, 1500, 0x1B),
        event(EventKind::KeyUp, 1550, 0x1B),
        event(EventKind::KeyDown, 2000, 'A'),
        event(EventKind::KeyUp, 2020, 'A'),
        event(EventKind::KeyDown, 2040, 'B'),
        event(EventKind::KeyUp, 2060, 'B'),
    };
    return recording;
}

bool hasErrors(const std::string& script) {
    for (const Finding& finding : checkScript(script)) {
        if (finding.kind == FindingKind::Error) {
            return true;
        }
    }
    return false;
}

TEST(StudioCapture, ARecordingInsertedIntoAScriptIsItsBodyAndTheScriptStaysValid) {
    TranslateOptions options;
    options.comment = "Recorded here";
    const Translation translation = translateRecording(aRecording(), options);
    ASSERT_GT(translation.bodySteps, 0u);

    for (NameForm form : {NameForm::English, NameForm::Chinese, NameForm::ShortCode}) {
        SCOPED_TRACE(static_cast<int>(form));
        const RenderedScript body = recordedInsertion(translation, false, form);
        ASSERT_TRUE(body.ok) << body.problem;
        const RenderedScript whole = recordedInsertion(translation, true, form);
        ASSERT_TRUE(whole.ok) << whole.problem;
        EXPECT_EQ(whole.text, renderScript(translation.steps, form).text);

        // Between a script's own first and last lines, the body plays as in
        // the whole script: the same lines after the first two (Start, the
        // comment), Break Key first, End last.
        const std::string start = writeLine(Opcode::StartNoBox, form).line + "\n";
        const std::string end = writeLine(Opcode::End, form).line + "\n";
        EXPECT_FALSE(hasErrors(start + body.text + end)) << body.text;
        const std::size_t afterComment = whole.text.find('\n', whole.text.find('\n') + 1) + 1;
        EXPECT_EQ(start + body.text + end, start + whole.text.substr(afterComment)) << body.text;
        EXPECT_EQ(body.text.rfind(
                      writeLine(Opcode::BreakKey, form, std::string_view("PAUSE")).line + "\n", 0),
                  0u)
            << "the recording sends ESC; the stop key must break the script instead\n"
            << body.text;
    }

    // Without ESC no Break Key comes before the body, and the body has no
    // comment, no Start and no End of its own.
    Recording plain = aRecording();
    plain.events.erase(plain.events.begin() + 3, plain.events.begin() + 5);
    const RenderedScript body =
        recordedInsertion(translateRecording(plain, options), false, NameForm::English);
    ASSERT_TRUE(body.ok);
    EXPECT_EQ(body.text.rfind("Wait Caption 记事本\n", 0), 0u) << body.text;
    EXPECT_NE(body.text.find("\nLClick\n"), std::string::npos) << body.text;
    EXPECT_NE(body.text.find("\nPutChar ab\n"), std::string::npos) << body.text;
    for (const char* framing : {"Start", "*Comment", "Recorded here", "End\n", "Break Key"}) {
        EXPECT_EQ(body.text.find(framing), std::string::npos) << framing << " in\n" << body.text;
    }
}

TEST(StudioCapture, TheRecordersOptionsApplyButNothingThatWritesFiles) {
    const StudioRecordOptions defaults = parseStudioRecordOptions("");
    ASSERT_TRUE(defaults.ok);
    EXPECT_EQ(defaults.options.stopKey, "PAUSE");
    EXPECT_EQ(defaults.options.translate.stopKey, 0x13);
    EXPECT_FALSE(defaults.formGiven);

    const StudioRecordOptions given =
        parseStudioRecordOptions("  --stop-key ctrl+f12 --moves\t--min-delay 50 --form code ");
    ASSERT_TRUE(given.ok) << given.error;
    EXPECT_EQ(given.options.stopKey, "CTRL+F12");
    EXPECT_TRUE(given.options.translate.moves);
    EXPECT_EQ(given.options.translate.threshold, 50u);
    EXPECT_TRUE(given.formGiven);
    EXPECT_EQ(given.options.form, NameForm::ShortCode);

    EXPECT_EQ(splitArguments("--start key \"F9\" \"a b\" \"\""),
              (std::vector<std::string>{"--start", "key", "F9", "a b", ""}));
    for (const char* refused :
         {"out.txt", "--pack x.exe", "--encoding gbk", "--help", "--stop-key LBUTTON", "--speed"}) {
        const StudioRecordOptions parsed = parseStudioRecordOptions(refused);
        EXPECT_FALSE(parsed.ok) << refused;
        EXPECT_FALSE(parsed.error.empty()) << refused;
    }
}

TEST(StudioCapture, EachKeyPicksOneOfTheSpysLinesAndOnlyWrittenLinesAreInserted) {
    for (std::size_t row = 0; row < PickedLineCount; ++row) {
        EXPECT_EQ(pickedRow(pickKey(row)), static_cast<int>(row));
    }
    EXPECT_EQ(pickedRow('a'), -1);

    SpyFacts facts;
    facts.x = 100;
    facts.y = 50;
    facts.screenWidth = 1920;
    facts.screenHeight = 1080;
    facts.colour = "A0B0C0";
    const std::vector<SpyLine> lines = spyLines(facts, NameForm::English);
    ASSERT_GE(lines.size(), PickedLineCount);
    std::string why;
    EXPECT_EQ(pickedText(lines[0], why).rfind("MoveTo ", 0), 0u);
    EXPECT_EQ(pickedText(lines[1], why), "WaitColor 100 50 A0B0C0");
    EXPECT_EQ(pickedText(lines[7], why), "") << "no control: nothing to click";
    EXPECT_EQ(why, "no control under the pointer");
    EXPECT_EQ(spyRowText(lines[7]),
              "[Click ButtonText: not available] no control under the pointer");
}

} // namespace
