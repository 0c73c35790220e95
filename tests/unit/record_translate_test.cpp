// The recorder's translation: event lists in, script lines out, and every line
// written parses back through the player's parser to the command meant.

#include "record_options.h"
#include "record_translate.h"

#include "runner/pointer_scale.h"
#include "script/command.h"
#include "script/line_writer.h"
#include "script/parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr std::int32_t Width = 1920;
constexpr std::int32_t Height = 1080;

using Events = std::vector<RecordedEvent>;

RecordedEvent event(EventKind kind, std::uint32_t time, std::uint8_t key, std::int32_t x = 0,
                    std::int32_t y = 0, std::uint32_t window = 0) {
    RecordedEvent made;
    made.kind = kind;
    made.time = time;
    made.key = key;
    made.x = x;
    made.y = y;
    made.window = window;
    return made;
}

RecordedEvent move(std::uint32_t time, std::int32_t x, std::int32_t y) {
    return event(EventKind::Move, time, 0, x, y);
}
RecordedEvent down(std::uint32_t time, std::uint8_t button, std::int32_t x, std::int32_t y) {
    return event(EventKind::ButtonDown, time, button, x, y);
}
RecordedEvent up(std::uint32_t time, std::uint8_t button, std::int32_t x, std::int32_t y) {
    return event(EventKind::ButtonUp, time, button, x, y);
}
RecordedEvent press(std::uint32_t time, std::uint8_t key, std::uint32_t window = 0) {
    return event(EventKind::KeyDown, time, key, 0, 0, window);
}
RecordedEvent release(std::uint32_t time, std::uint8_t key, std::uint32_t window = 0) {
    return event(EventKind::KeyUp, time, key, 0, 0, window);
}

// Letters and digits typed one every `step` ms from `time` on.
Events typed(std::uint32_t time, const std::string& keys, std::uint32_t step = 20,
             std::uint32_t window = 0) {
    Events events;
    for (char key : keys) {
        events.push_back(press(time, static_cast<std::uint8_t>(key), window));
        events.push_back(release(time + 5, static_cast<std::uint8_t>(key), window));
        time += step;
    }
    return events;
}

Events join(std::initializer_list<Events> parts) {
    Events all;
    for (const Events& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

Recording recordingOf(Events events, std::uint32_t end = 0) {
    Recording recording;
    recording.startTime = 1000000;
    for (RecordedEvent& each : events) {
        each.time += recording.startTime;
    }
    recording.events = std::move(events);
    recording.endTime =
        recording.startTime + (end != 0 ? end
                               : recording.events.empty()
                                   ? 0
                                   : recording.events.back().time - recording.startTime);
    recording.screenWidth = Width;
    recording.screenHeight = Height;
    recording.captions = {"", "Untitled - Notepad", "Calculator"};
    return recording;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    EXPECT_EQ(start, text.size()) << "the last line has no line feed";
    return lines;
}

ParamKind kindOf(Opcode opcode) {
    return CommandTable[writerRow(opcode)].paramKind;
}

// Renders the translation, parses every line back and checks that it is the
// step it was written for. The lines come back with each MoveTo's coordinates
// replaced by the pixel they land on, so a case names the pixels clicked.
std::vector<std::string> writtenLines(const Translation& translation,
                                      NameForm form = NameForm::English) {
    const RenderedScript script = renderScript(translation.steps, form);
    EXPECT_TRUE(script.ok) << script.problem;
    std::vector<std::string> lines = linesOf(script.text);
    EXPECT_EQ(lines.size(), translation.steps.size());
    for (std::size_t at = 0; at < lines.size() && at < translation.steps.size(); ++at) {
        const ScriptStep& step = translation.steps[at];
        std::string copy = lines[at];
        Command command;
        if (!parseLine(copy.data(), command)) {
            ADD_FAILURE() << "does not parse: " << lines[at];
            continue;
        }
        EXPECT_EQ(command.opcode, step.opcode) << lines[at];
        switch (kindOf(step.opcode)) {
        case ParamKind::Integer:
            EXPECT_EQ(slotNumber(command.param1), step.first) << lines[at];
            break;
        case ParamKind::TwoIntegers:
            EXPECT_EQ(slotNumber(command.param1), step.first) << lines[at];
            EXPECT_EQ(slotNumber(command.param2), step.second) << lines[at];
            break;
        case ParamKind::Text:
        case ParamKind::KeyCombination:
            EXPECT_EQ(std::string(slotText(command.param1)), step.text) << lines[at];
            break;
        default:
            break;
        }
        if (step.opcode == Opcode::MoveTo) {
            lines[at] = "MoveTo " +
                        std::to_string(landedPixel(toAbsolute(step.first, Width), Width)) + " " +
                        std::to_string(landedPixel(toAbsolute(step.second, Height), Height));
        }
    }
    return lines;
}

// The last `body` lines before the last one, when there are that many; a fatal
// failure of the calling test, and nothing cut, when not.
void cutBody(const std::vector<std::string>& lines, std::size_t body,
             std::vector<std::string>& cut) {
    ASSERT_GE(lines.size(), body + 1) << "fewer lines than the body and End";
    cut.assign(lines.end() - 1 - static_cast<std::ptrdiff_t>(body), lines.end() - 1);
}

// The body: the lines between the framing (Start, comment, loop) and End.
std::vector<std::string> bodyOf(const Translation& translation) {
    std::vector<std::string> body;
    cutBody(writtenLines(translation), translation.bodySteps, body);
    return body;
}

struct TranslationCase {
    const char* name;
    Events events;
    std::vector<std::string> body;
    TranslateOptions options = {};
    std::uint32_t end = 0; // when recording ended; 0: at the last event
};

void expectCases(const std::vector<TranslationCase>& cases) {
    for (const TranslationCase& each : cases) {
        SCOPED_TRACE(each.name);
        const Translation translation =
            translateRecording(recordingOf(each.events, each.end), each.options);
        EXPECT_EQ(bodyOf(translation), each.body);
    }
}

TranslateOptions withMoves() {
    TranslateOptions options;
    options.moves = true;
    return options;
}

constexpr std::uint8_t L = LeftButton;
constexpr std::uint8_t R = RightButton;
constexpr std::uint8_t M = MiddleButton;

TEST(RecordTranslate, ClicksMoveOnlyWhenThePointerMovedAndWaitAsTheUserDid) {
    expectCases({
        {"a click where the pointer came to rest",
         {move(0, 200, 150), down(300, L, 200, 150), up(350, L, 200, 150)},
         {"MoveTo 200 150", "Delay 300", "LClick"}},
        {"a second click at the same point does not move again",
         {move(0, 200, 150), down(300, L, 200, 150), up(350, L, 200, 150), down(2000, L, 200, 150),
          up(2050, L, 200, 150)},
         {"MoveTo 200 150", "Delay 300", "LClick", "Delay 1650", "LClick"}},
        {"right and middle clicks elsewhere",
         {move(0, 200, 150), down(300, R, 200, 150), up(350, R, 200, 150), move(800, 1919, 1079),
          down(1100, M, 1919, 1079), up(1150, M, 1919, 1079)},
         {"MoveTo 200 150", "Delay 300", "RClick", "Delay 450", "MoveTo 1919 1079", "Delay 300",
          "MClick"}},
        {"a click comes at once after the move: no delay between them",
         {move(0, 10, 20), down(30, L, 10, 20), up(60, L, 10, 20)},
         {"MoveTo 10 20", "LClick"}},
        {"a button's position wins over the last move",
         {move(0, 10, 20), down(30, L, 12, 22), up(60, L, 12, 22)},
         {"MoveTo 12 22", "LClick"}},
        {"a release without its press (the Record button's) is nothing",
         {up(0, L, 5, 5), move(10, 300, 300)},
         {}},
    });
}

TEST(RecordTranslate, TwoQuickLeftClicksCloseTogetherAreOneDoubleClick) {
    expectCases({
        {"within the time and the rectangle",
         {move(0, 200, 150), down(300, L, 200, 150), up(320, L, 200, 150), move(360, 201, 151),
          down(400, L, 201, 151), up(420, L, 201, 151)},
         {"MoveTo 200 150", "Delay 300", "LDBClick"}},
        {"too slow: two clicks",
         {move(0, 200, 150), down(300, L, 200, 150), up(320, L, 200, 150), down(900, L, 200, 150),
          up(920, L, 200, 150)},
         {"MoveTo 200 150", "Delay 300", "LClick", "Delay 580", "LClick"}},
        {"too far apart: two clicks",
         {move(0, 200, 150), down(300, L, 200, 150), up(320, L, 200, 150), move(350, 203, 150),
          down(400, L, 203, 150), up(420, L, 203, 150)},
         {"MoveTo 200 150", "Delay 300", "LClick", "MoveTo 203 150", "LClick"}},
        {"a key between them: two clicks",
         join({{move(0, 200, 150), down(300, L, 200, 150), up(320, L, 200, 150)},
               typed(340, "A"),
               {down(400, L, 200, 150), up(420, L, 200, 150)}}),
         {"MoveTo 200 150", "Delay 300", "LClick", "PutChar a", "LClick"}},
        {"three clicks: a double click and a click",
         {move(0, 50, 50), down(200, L, 50, 50), up(220, L, 50, 50), down(300, L, 50, 50),
          up(320, L, 50, 50), down(500, L, 50, 50), up(520, L, 50, 50)},
         {"MoveTo 50 50", "Delay 200", "LDBClick", "Delay 180", "LClick"}},
        // The limits themselves still count: the second press exactly the double-click
        // time after the first, or exactly half the rectangle away, is a double click.
        {"the second press at the double-click time",
         {move(0, 200, 150), down(300, L, 200, 150), up(320, L, 200, 150), down(800, L, 200, 150),
          up(820, L, 200, 150)},
         {"MoveTo 200 150", "Delay 300", "LDBClick"}},
        {"one millisecond later: two clicks",
         {move(0, 200, 150), down(300, L, 200, 150), up(320, L, 200, 150), down(801, L, 200, 150),
          up(821, L, 200, 150)},
         {"MoveTo 200 150", "Delay 300", "LClick", "Delay 480", "LClick"}},
        {"at the edge of the rectangle",
         {move(0, 200, 150), down(300, L, 200, 150), up(320, L, 200, 150), move(350, 198, 152),
          down(400, L, 198, 152), up(420, L, 198, 152)},
         {"MoveTo 200 150", "Delay 300", "LDBClick"}},
        {"one pixel lower, beyond it: two clicks",
         {move(0, 200, 150), down(300, L, 200, 150), up(320, L, 200, 150), move(350, 198, 153),
          down(400, L, 198, 153), up(420, L, 198, 153)},
         {"MoveTo 200 150", "Delay 300", "LClick", "MoveTo 198 153", "LClick"}},
        {"right clicks are never a double click",
         {move(0, 50, 50), down(200, R, 50, 50), up(220, R, 50, 50), down(320, R, 50, 50),
          up(340, R, 50, 50)},
         {"MoveTo 50 50", "Delay 200", "RClick", "Delay 100", "RClick"}},
    });
}

// The limits are the system's as the recording took them, not fixed ones.
TEST(RecordTranslate, DoubleClicksFollowTheSystemsLimitsOfTheRecording) {
    auto twoClicks = [](std::uint32_t second, std::int32_t x) {
        Recording recording = recordingOf(
            {move(0, 100, 100), down(100, L, 100, 100), up(110, L, 100, 100), move(120, x, 100),
             down(100 + second, L, x, 100), up(110 + second, L, x, 100)});
        recording.metrics.doubleClickTime = 200;
        recording.metrics.doubleClickWidth = 11; // 5 either side
        recording.metrics.doubleClickHeight = 11;
        return bodyOf(translateRecording(recording, {}));
    };
    EXPECT_EQ(twoClicks(200, 105),
              (std::vector<std::string>{"MoveTo 100 100", "Delay 100", "LDBClick"}));
    EXPECT_EQ(twoClicks(201, 100), (std::vector<std::string>{"MoveTo 100 100", "Delay 100",
                                                             "LClick", "Delay 190", "LClick"}));
    EXPECT_EQ(twoClicks(150, 94),
              (std::vector<std::string>{"MoveTo 100 100", "Delay 100", "LClick", "MoveTo 94 100",
                                        "Delay 130", "LClick"}));
}

TEST(RecordTranslate, AButtonHeldWhileThePointerMovesBeyondTheDragThresholdIsADrag) {
    expectCases({
        {"a left drag",
         {move(0, 100, 100), down(200, L, 100, 100), move(300, 105, 100), move(400, 300, 200),
          up(600, L, 300, 200)},
         {"MoveTo 100 100", "Delay 200", "Push Down LBUTTON", "Delay 200", "MoveTo 300 200",
          "Delay 200", "Push Up LBUTTON"}},
        {"a right drag whose release comes at once",
         {move(0, 100, 100), down(10, R, 100, 100), move(20, 400, 100), up(30, R, 400, 100)},
         {"MoveTo 100 100", "Push Down RBUTTON", "MoveTo 400 100", "Push Up RBUTTON"}},
        {"a wobble inside the threshold stays a click",
         {move(0, 100, 100), down(200, L, 100, 100), move(250, 104, 96), up(300, L, 104, 96)},
         {"MoveTo 100 100", "Delay 200", "LClick"}},
        {"the release beyond the threshold without a move between",
         {move(0, 100, 100), down(200, M, 100, 100), up(300, M, 140, 100)},
         {"MoveTo 100 100", "Delay 200", "Push Down MBUTTON", "MoveTo 140 100", "Delay 100",
          "Push Up MBUTTON"}},
    });
}

TEST(RecordTranslate, RestPointsOnlyWithMoves) {
    const Events wandering = {move(0, 100, 100), move(100, 500, 500), move(300, 520, 510),
                              move(1000, 600, 600), move(1100, 610, 600)};
    expectCases({
        {"without --moves a move alone writes nothing", wandering, {}, {}, 2000},
        {"with --moves the points where the pointer stayed still",
         wandering,
         {"MoveTo 520 510", "Delay 800", "MoveTo 610 600"},
         withMoves(),
         2000},
        {"a click at the rest point moves once",
         {move(0, 100, 100), move(100, 300, 300), down(900, L, 300, 300), up(950, L, 300, 300)},
         {"MoveTo 300 300", "Delay 800", "LClick"},
         withMoves()},
        {"the pointer still moving at the end is no rest point",
         {move(0, 100, 100), move(100, 300, 300)},
         {},
         withMoves(),
         300},
    });
}

TEST(RecordTranslate, PlainLettersAndDigitsTypedTogetherArePutChar) {
    TranslateOptions lowThreshold;
    lowThreshold.threshold = 30;
    expectCases({
        {"a word and a number", typed(0, "HELLO42"), {"PutChar hello42"}},
        {"a pause splits the run",
         join({typed(0, "AB"), typed(340, "C")}),
         {"PutChar ab", "Delay 320", "PutChar c"}},
        {"typing slower than the threshold keeps its pace",
         typed(0, "AB", 40, 0),
         {"PutChar a", "Delay 40", "PutChar b"},
         lowThreshold},
        {"SHIFT makes a capital: no plain key",
         join({typed(0, "AB"),
               {press(40, 0xA0), press(50, 'C'), release(55, 'C'), release(60, 0xA0)},
               typed(70, "D")}),
         {"PutChar ab", "HotKey SHIFT+C", "PutChar d"}},
        {"punctuation, space and the keypad digits are keys of their own",
         join({typed(0, "A"),
               {press(20, 0xBA), release(25, 0xBA), press(40, 0x20), release(45, 0x20),
                press(60, 0x61), release(65, 0x61)}}),
         {"PutChar a", "HotKey ;", "HotKey SPACE", "HotKey NUM1"}},
        {"a long run goes on in the next line",
         typed(0, std::string(230, 'Z'), 1),
         {"PutChar " + std::string(200, 'z'), "PutChar " + std::string(30, 'z')}},
    });
}

TEST(RecordTranslate, KeysWithModifiersAreHotKeysInTheKeyTablesOrder) {
    expectCases({
        {"CTRL+C",
         {press(0, 0xA2), press(50, 'C'), release(80, 'C'), release(90, 0xA2)},
         {"HotKey CTRL+C"}},
        {"right CTRL and left ALT with DEL",
         {press(0, 0xA3), press(10, 0xA4), press(20, 0x2E), release(30, 0x2E), release(40, 0xA4),
          release(50, 0xA3)},
         {"HotKey CTRL+ALT+DEL"}},
        {"CTRL pressed before SHIFT is still written SHIFT+CTRL",
         {press(0, 0xA2), press(10, 0xA0), press(20, 'S'), release(30, 'S'), release(40, 0xA0),
          release(50, 0xA2)},
         {"HotKey SHIFT+CTRL+S"}},
        {"CTRL held over two keys",
         {press(0, 0xA2), press(10, 'A'), release(20, 'A'), press(30, 'C'), release(40, 'C'),
          release(50, 0xA2)},
         {"HotKey CTRL+A", "HotKey CTRL+C"}},
        {"WIN+E",
         {press(0, 0x5B), press(10, 'E'), release(20, 'E'), release(30, 0x5B)},
         {"HotKey WIN+E"}},
        {"ALT pressed alone", {press(0, 0xA4), release(30, 0xA4)}, {"HotKey ALT"}},
        {"a key without a name", {press(0, 0xE5), release(30, 0xE5)}, {"HotKey 229"}},
        {"the pause after a combination runs from the release of its modifier",
         {press(0, 0xA2), press(10, 'A'), release(20, 'A'), release(100, 0xA2), press(400, 0x70),
          release(405, 0x70)},
         {"HotKey CTRL+A", "Delay 300", "HotKey F1"}},
        {"SHIFT held for a click is held down around it",
         {move(0, 50, 60), press(100, 0xA0), down(300, L, 50, 60), up(350, L, 50, 60),
          release(500, 0xA0)},
         {"MoveTo 50 60", "Delay 300", "Push Down SHIFT", "LClick", "Delay 150", "Push Up SHIFT"}},
    });
}

// Keyboards send the left and right keys; some programs that inject input send
// the generic SHIFT, CTRL and ALT codes. Every one is the same modifier line.
TEST(RecordTranslate, RightHandAndGenericModifiersAreTheModifiersTheyName) {
    expectCases({
        {"right SHIFT",
         {press(0, 0xA1), press(10, 'A'), release(20, 'A'), release(30, 0xA1)},
         {"HotKey SHIFT+A"}},
        {"right CTRL",
         {press(0, 0xA3), press(10, 'C'), release(20, 'C'), release(30, 0xA3)},
         {"HotKey CTRL+C"}},
        {"right ALT",
         {press(0, 0xA5), press(10, 0x73), release(20, 0x73), release(30, 0xA5)},
         {"HotKey ALT+F4"}},
        {"right WIN",
         {press(0, 0x5C), press(10, 'E'), release(20, 'E'), release(30, 0x5C)},
         {"HotKey WIN+E"}},
        {"right WIN alone", {press(0, 0x5C), release(30, 0x5C)}, {"HotKey LWIN"}},
        {"generic SHIFT, CTRL and ALT",
         {press(0, 0x10), press(5, 0x11), press(8, 0x12), press(10, 'S'), release(20, 'S'),
          release(25, 0x12), release(28, 0x11), release(30, 0x10)},
         {"HotKey SHIFT+CTRL+ALT+S"}},
        {"generic CTRL alone", {press(0, 0x11), release(30, 0x11)}, {"HotKey CTRL"}},
        {"generic and left code of one key, as some injectors send them",
         {press(0, 0x10), press(1, 0xA0), press(10, 'A'), release(20, 'A'), release(29, 0xA0),
          release(30, 0x10)},
         {"HotKey SHIFT+A"}},
        {"both SHIFT keys down, the left let go first",
         {press(0, 0xA0), press(5, 0xA1), release(8, 0xA0), press(10, 'A'), release(20, 'A'),
          release(30, 0xA1)},
         {"HotKey SHIFT+A"}},
        {"both CTRL keys held for a click, the right let go first",
         {move(0, 50, 60), press(100, 0xA2), press(110, 0xA3), down(300, L, 50, 60),
          up(350, L, 50, 60), release(400, 0xA3), release(500, 0xA2)},
         {"MoveTo 50 60", "Delay 300", "Push Down CTRL", "LClick", "Delay 150", "Push Up CTRL"}},
        {"generic ALT held for a click",
         {move(0, 50, 60), press(100, 0x12), down(300, L, 50, 60), up(350, L, 50, 60),
          release(500, 0x12)},
         {"MoveTo 50 60", "Delay 300", "Push Down ALT", "LClick", "Delay 150", "Push Up ALT"}},
    });
    // The stop key's modifiers are held by their right-hand and generic keys too.
    TranslateOptions ctrlF12;
    ctrlF12.stopKey = CtrlBit | 0x7B;
    const std::pair<const char*, Events> ctrls[] = {
        {"right CTRL", {press(30, 0xA3)}},
        {"generic CTRL", {press(30, 0x11)}},
        {"right CTRL still down after the left",
         {press(20, 0xA2), press(25, 0xA3), release(30, 0xA2)}},
    };
    for (const auto& [name, ctrl] : ctrls) {
        SCOPED_TRACE(name);
        const Translation translation = translateRecording(
            recordingOf(join({typed(0, "A"), ctrl, {press(40, 0x7B)}, typed(50, "B")})), ctrlF12);
        EXPECT_EQ(bodyOf(translation), (std::vector<std::string>{"PutChar a"}));
    }
}

TEST(RecordTranslate, AKeyHeldLongEnoughToRepeatIsPushedDownAndUp) {
    Events heldRight = {press(0, 0x27)};
    for (std::uint32_t time = 500; time < 1000; time += 33) {
        heldRight.push_back(press(time, 0x27));
    }
    heldRight.push_back(release(1000, 0x27));
    expectCases({
        {"RIGHT held for a second", heldRight, {"Push Down RIGHT", "Delay 1000", "Push Up RIGHT"}},
        {"a letter held in a run of letters",
         join({typed(0, "AB"),
               {press(40, 'C'), press(540, 'C'), press(570, 'C'), release(600, 'C')},
               typed(620, "D")}),
         {"PutChar ab", "Push Down C", "Delay 560", "Push Up C", "PutChar d"}},
        {"CTRL+Z held",
         {press(0, 0xA2), press(10, 'Z'), press(510, 'Z'), release(700, 'Z'), release(710, 0xA2)},
         {"Push Down CTRL+Z", "Delay 690", "Push Up CTRL+Z"}},
        {"SHIFT repeating while held is no key of its own",
         {press(0, 0xA0), press(500, 0xA0), press(530, 0xA0), press(560, 'X'), release(570, 'X'),
          release(600, 0xA0)},
         {"HotKey SHIFT+X"}},
    });
}

TEST(RecordTranslate, TheStopKeyAndWhatFollowsItAreNeverWritten) {
    TranslateOptions ctrlF12;
    ctrlF12.stopKey = CtrlBit | 0x7B;
    expectCases({
        {"PAUSE by default",
         join({typed(0, "A"), {press(30, 0x13)}, typed(40, "B")}),
         {"PutChar a"}},
        {"CTRL+F12, its CTRL never pressed nor released",
         join({typed(0, "A"), {press(30, 0xA2), press(40, 0x7B), release(50, 0x7B)}}),
         {"PutChar a"},
         ctrlF12},
        {"F12 without CTRL is only a key",
         join({typed(0, "A"), {press(30, 0x7B), release(40, 0x7B)}}),
         {"PutChar a", "HotKey F12"},
         ctrlF12},
    });
}

// ESC is the player's break key unless a script names another: a script that
// plays ESC breaks on the stop key instead, and one that does not keeps ESC.
TEST(RecordTranslate, AScriptThatPlaysEscBreaksOnTheStopKey) {
    TranslateOptions ctrlF12;
    ctrlF12.stopKey = CtrlBit | 0x7B;
    TranslateOptions stopOnEsc;
    stopOnEsc.stopKey = 0x1B;
    TranslateOptions stopOnCtrlEsc;
    stopOnCtrlEsc.stopKey = CtrlBit | 0x1B;
    const Events tapEsc = {press(0, 0x1B), release(10, 0x1B)};
    const Events holdShiftEsc = {press(0, 0xA0), press(10, 0x1B), press(600, 0x1B),
                                 release(700, 0x1B), release(710, 0xA0)};
    const struct {
        const char* name;
        Events events;
        TranslateOptions options;
        std::vector<std::string> settings; // the lines between *Comment: and the body
    } cases[] = {
        {"HotKey ESC", tapEsc, {}, {"Break Key PAUSE"}},
        {"Push Down SHIFT+ESC", holdShiftEsc, ctrlF12, {"Break Key CTRL+F12"}},
        {"no ESC played", {press(0, 0x70), release(10, 0x70)}, {}, {}},
        {"ESC stops the recording", join({typed(0, "A"), tapEsc}), stopOnEsc, {}},
        {"ESC alone with CTRL+ESC as the stop key", tapEsc, stopOnCtrlEsc, {"Break Key CTRL+ESC"}},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.name);
        const Translation translation = translateRecording(recordingOf(each.events), each.options);
        const std::vector<std::string> lines = writtenLines(translation);
        ASSERT_GE(lines.size(), 3 + translation.bodySteps);
        EXPECT_EQ(std::vector<std::string>(lines.begin() + 2,
                                           lines.end() - 1 -
                                               static_cast<std::ptrdiff_t>(translation.bodySteps)),
                  each.settings);
    }
}

TEST(RecordTranslate, WaitForTheWindowInFrontWhenItChangesBeforeAnInput) {
    TranslateOptions noWaits;
    noWaits.windowWaits = false;
    const Events twoWindows = join({typed(0, "AB", 20, 1),
                                    typed(40, "C", 20, 0),
                                    typed(60, "D", 20, 1),
                                    typed(80, "E", 20, 2),
                                    {move(300, 10, 10), down(500, L, 10, 10)}});
    Events clickInto = twoWindows;
    clickInto.back().window = 2;
    clickInto.push_back(event(EventKind::ButtonUp, 520, L, 10, 10, 2));
    expectCases({
        {"a wait before the first input and each change, none for no window",
         clickInto,
         {"Wait Caption Untitled - Notepad", "PutChar abcd", "Wait Caption Calculator", "PutChar e",
          "Delay 220", "MoveTo 10 10", "Delay 200", "LClick"}},
        {"--no-window-waits",
         clickInto,
         {"PutChar abcde", "Delay 220", "MoveTo 10 10", "Delay 200", "LClick"},
         noWaits},
    });
}

TEST(RecordTranslate, PausesBecomeDelaysRoundedScaledAndCapped) {
    auto twoKeys = [](std::uint32_t gap) {
        // The pause runs from the release of one key to the press of the next.
        return Events{press(0, 0x70), release(5, 0x70), press(5 + gap, 0x71),
                      release(gap + 10, 0x71)};
    };
    TranslateOptions twice;
    twice.speed = 2.0;
    TranslateOptions capped;
    capped.maxDelay = 700;
    TranslateOptions half;
    half.speed = 0.5;
    half.maxDelay = 1500;
    TranslateOptions fine;
    fine.threshold = 50;
    expectCases({
        {"rounded down", twoKeys(1234), {"HotKey F1", "Delay 1230", "HotKey F2"}},
        {"rounded up", twoKeys(1235), {"HotKey F1", "Delay 1240", "HotKey F2"}},
        {"below the threshold", twoKeys(99), {"HotKey F1", "HotKey F2"}},
        {"at the threshold", twoKeys(100), {"HotKey F1", "Delay 100", "HotKey F2"}},
        {"twice as fast", twoKeys(1000), {"HotKey F1", "Delay 500", "HotKey F2"}, twice},
        {"capped", twoKeys(5000), {"HotKey F1", "Delay 700", "HotKey F2"}, capped},
        {"slower, then capped", twoKeys(1000), {"HotKey F1", "Delay 1500", "HotKey F2"}, half},
        {"a lower threshold", twoKeys(60), {"HotKey F1", "Delay 60", "HotKey F2"}, fine},
        {"a pause before the first input is not written",
         {press(5000, 0x70), release(5005, 0x70)},
         {"HotKey F1"}},
    });
}

TEST(RecordTranslate, WhatIsStillHeldAtTheStopIsReleased) {
    expectCases({
        {"a drag in progress",
         {move(0, 100, 100), down(100, L, 100, 100), move(200, 300, 300)},
         {"MoveTo 100 100", "Delay 100", "Push Down LBUTTON", "Delay 100", "MoveTo 300 300",
          "Delay 300", "Push Up LBUTTON"},
         {},
         500},
        {"a repeating key and the stop key",
         {press(0, 'W'), press(500, 'W'), press(530, 'W'), press(800, 0x13)},
         {"Push Down W", "Delay 800", "Push Up W"}},
        {"SHIFT held for a click",
         {move(0, 10, 10), press(10, 0xA0), down(20, L, 10, 10), up(30, L, 10, 10)},
         {"MoveTo 10 10", "Push Down SHIFT", "LClick", "Delay 170", "Push Up SHIFT"},
         {},
         200},
        {"a key pressed once and held without repeating was typed already",
         {press(0, 'Q')},
         {"PutChar q"},
         {},
         300},
    });
}

TEST(RecordTranslate, AnEmptyRecordingIsAValidScriptWithAnEmptyBody) {
    TranslateOptions keyStart;
    keyStart.start = StartMode::Key;
    keyStart.startKey = "F9";
    keyStart.loopCount = 3;
    keyStart.comment = recordingComment("2026-12-09 14:05", Width, Height);
    TranslateOptions ignoring;
    ignoring.ignoreInjected = true;
    ignoring.start = StartMode::Box;
    Events injected = join({typed(0, "AB"), {move(10, 5, 5), down(20, L, 5, 5)}});
    for (RecordedEvent& each : injected) {
        each.injected = true;
    }

    Translation translation = translateRecording(recordingOf({}), keyStart);
    EXPECT_EQ(translation.bodySteps, 0u);
    EXPECT_EQ(writtenLines(translation),
              (std::vector<std::string>{"Start Key F9",
                                        "*Comment: Recorded 2026-12-09 14:05 on a 1920 x 1080 "
                                        "screen",
                                        "Loop Times 3", "End"}));

    translation = translateRecording(recordingOf(injected), ignoring);
    EXPECT_EQ(translation.bodySteps, 0u);
    EXPECT_EQ(writtenLines(translation).front(), "Start");
    EXPECT_EQ(bodyOf(translateRecording(recordingOf(injected), {})),
              (std::vector<std::string>{"PutChar ab", "MoveTo 5 5", "LClick"}));
}

TEST(RecordTranslate, EveryNameFormParsesBack) {
    const Recording recording = recordingOf(
        join({typed(0, "AB", 20, 1),
              {move(300, 200, 150), down(600, L, 200, 150), up(620, L, 200, 150), press(1000, 0xA2),
               press(1010, 'V'), release(1020, 'V'), release(1030, 0xA2)}}));
    for (NameForm form : {NameForm::English, NameForm::Chinese, NameForm::ShortCode}) {
        SCOPED_TRACE(static_cast<int>(form));
        const Translation translation = translateRecording(recording, {});
        EXPECT_EQ(writtenLines(translation, form).size(), translation.steps.size());
    }
}

TEST(RecordTranslate, PointsOffTheMainScreenAreCountedAndLeftOutWithTheirClicks) {
    const Translation translation = translateRecording(
        recordingOf({move(0, 100, 100), down(100, L, 100, 100), up(120, L, 100, 100),
                     move(200, -300, 100), down(300, L, -300, 100), up(320, L, -300, 100),
                     move(400, 1920, 5), down(500, R, 1920, 5), up(520, R, 1920, 5),
                     move(600, 10, 10), down(700, L, 10, 10), up(720, L, 10, 10)}),
        {});
    EXPECT_EQ(translation.unreachable, 2);
    EXPECT_EQ(bodyOf(translation),
              (std::vector<std::string>{"MoveTo 100 100", "Delay 100", "LClick", "Delay 480",
                                        "MoveTo 10 10", "Delay 100", "LClick"}));
}

TEST(RecordTranslate, CaptionsAreCutToWhatTheWaitCompares) {
    EXPECT_EQ(waitCaptionText("Notepad"), "Notepad");
    EXPECT_EQ(waitCaptionText("two\nlines"), "two");
    EXPECT_EQ(waitCaptionText("tab\there"), "tab");
    const std::string chinese = "\xBC\xC7\xCA\xC2\xB1\xBE"; // three double-byte characters
    EXPECT_EQ(waitCaptionText(std::string(254, 'x') + chinese), std::string(254, 'x'));
    EXPECT_EQ(waitCaptionText(std::string(253, 'x') + chinese),
              std::string(253, 'x') + chinese.substr(0, 2));
    EXPECT_EQ(waitCaptionText(std::string(300, 'y')), std::string(255, 'y'));
    EXPECT_EQ(waitCaptionText("\xBC"), ""); // a lead byte without its trail
}

TEST(RecordOptions, CommandLines) {
    ParsedRecordOptions parsed = parseRecordArguments({});
    ASSERT_TRUE(parsed.ok);
    EXPECT_EQ(parsed.options.stopKey, "PAUSE");
    EXPECT_EQ(parsed.options.translate.stopKey, 0x13);
    EXPECT_EQ(parsed.options.translate.threshold, 100u);
    EXPECT_FALSE(parsed.options.gbk);

    parsed = parseRecordArguments({"out.txt",
                                   "--stop-key",
                                   "ctrl+f12",
                                   "--seconds",
                                   "9",
                                   "--moves",
                                   "--speed",
                                   "1.5",
                                   "--max-delay",
                                   "2000",
                                   "--no-window-waits",
                                   "--ignore-injected",
                                   "--start",
                                   "key",
                                   "f9",
                                   "--loop",
                                   "3",
                                   "--encoding",
                                   "gbk",
                                   "--form",
                                   "chinese",
                                   "--pack",
                                   "out.exe",
                                   "--min-delay",
                                   "50",
                                   "--rest",
                                   "700"});
    ASSERT_TRUE(parsed.ok) << parsed.error;
    const RecordOptions& options = parsed.options;
    EXPECT_EQ(options.output, "out.txt");
    EXPECT_EQ(options.stopKey, "CTRL+F12");
    EXPECT_EQ(options.translate.stopKey, CtrlBit | 0x7B);
    EXPECT_EQ(options.seconds, 9u);
    EXPECT_TRUE(options.translate.moves);
    EXPECT_EQ(options.translate.speed, 1.5);
    EXPECT_EQ(options.translate.maxDelay, 2000u);
    EXPECT_FALSE(options.translate.windowWaits);
    EXPECT_TRUE(options.translate.ignoreInjected);
    EXPECT_EQ(options.translate.start, StartMode::Key);
    EXPECT_EQ(options.translate.startKey, "F9");
    EXPECT_EQ(options.translate.loopCount, 3);
    EXPECT_TRUE(options.gbk);
    EXPECT_EQ(options.form, NameForm::Chinese);
    EXPECT_EQ(options.pack, "out.exe");
    EXPECT_EQ(options.translate.threshold, 50u);
    EXPECT_EQ(options.translate.restTime, 700u);

    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"--stop-key", "NOSUCHKEY"},
             {"--stop-key", "LBUTTON"},
             {"--stop-key", "SHIFT"},
             {"--seconds", "0"},
             {"--seconds", "-3"},
             {"--speed", "0"},
             {"--speed", "fast"},
             {"--start", "key", "F9", "--stop-key", "F9"},
             {"--start", "soon"},
             {"--loop", "0"},
             {"--form", "klingon"},
             {"--encoding", "latin1"},
             {"--player", "p.exe"},
             {"a.txt", "b.txt"},
             {"--bogus"},
         }) {
        EXPECT_FALSE(parseRecordArguments(bad).ok) << bad[0];
    }
}

} // namespace
