#include "spy_lines.h"

#include "keys/key_text.h"
#include "runner/pointer_scale.h"
#include "script/line_writer.h"

namespace {

std::string number(std::int64_t value) {
    return std::to_string(value);
}

SpyLine unavailable(Opcode opcode, LineStatus status, std::string note) {
    SpyLine line;
    line.opcode = opcode;
    line.status = status;
    line.note = std::move(note);
    return line;
}

// The written line, or the writer's reason as a line that cannot be written.
SpyLine written(Opcode opcode, const WrittenLine& result, std::string note = {}) {
    if (!result.ok) {
        return unavailable(opcode, LineStatus::NotWritable, result.reason);
    }
    SpyLine line;
    line.opcode = opcode;
    line.status = LineStatus::Ready;
    line.line = result.line;
    line.note = std::move(note);
    return line;
}

SpyLine flagged(SpyLine line, bool flag, std::string note) {
    if (flag && line.status == LineStatus::Ready) {
        line.status = LineStatus::Flagged;
        line.note = std::move(note);
    }
    return line;
}

bool onScreen(const SpyFacts& facts) {
    return facts.x >= 0 && facts.y >= 0 && facts.x < facts.screenWidth &&
           facts.y < facts.screenHeight;
}

std::string offScreenReason(const SpyFacts& facts) {
    if (facts.screenWidth <= 0 || facts.screenHeight <= 0) {
        return "the screen size cannot be read";
    }
    return "the point (" + number(facts.x) + ", " + number(facts.y) +
           ") is off the primary screen (" + number(facts.screenWidth) + " x " +
           number(facts.screenHeight) + ")";
}

SpyLine moveTo(const SpyFacts& facts, NameForm form) {
    if (!onScreen(facts)) {
        return unavailable(Opcode::MoveTo, LineStatus::NotAvailable, offScreenReason(facts));
    }
    std::int32_t x = 0;
    std::int32_t y = 0;
    const auto width = static_cast<std::uint32_t>(facts.screenWidth);
    const auto height = static_cast<std::uint32_t>(facts.screenHeight);
    if (!moveToCoordinate(facts.x, width, x) || !moveToCoordinate(facts.y, height, y)) {
        return unavailable(Opcode::MoveTo, LineStatus::NotAvailable,
                           "no MoveTo coordinate lands on this pixel");
    }
    std::string note;
    if (x != facts.x || y != facts.y) {
        note = "MoveTo " + number(facts.x) + " " + number(facts.y) + " would land on (" +
               number(landedPixel(toAbsolute(facts.x, width), width)) + ", " +
               number(landedPixel(toAbsolute(facts.y, height), height)) + ")";
    }
    return written(Opcode::MoveTo, writeLine(Opcode::MoveTo, form, x, y), note);
}

SpyLine colourLine(const SpyFacts& facts, NameForm form, Opcode opcode) {
    if (!onScreen(facts)) {
        return unavailable(opcode, LineStatus::NotAvailable, offScreenReason(facts));
    }
    if (facts.colour.empty()) {
        return unavailable(opcode, LineStatus::NotAvailable, "the pixel cannot be read");
    }
    return written(opcode, writeLine(opcode, form, facts.x, facts.y, facts.colour));
}

// Why a text of the window in front cannot be written, or an empty text.
std::string windowTextProblem(const SpyFacts& facts, const TextFact& text, const char* what,
                              LineStatus& status) {
    status = LineStatus::NotAvailable;
    if (!facts.haveWindow) {
        return "no window is in front";
    }
    if (!text.present || (text.writable && text.gbk.empty())) {
        return std::string("the window in front has no ") + what;
    }
    if (!text.writable) {
        status = LineStatus::NotWritable;
        return text.problem;
    }
    return {};
}

// The longest start of a GBK text within `limit` bytes that ends between
// characters.
std::string gbkPrefix(const std::string& text, std::size_t limit) {
    std::size_t end = 0;
    while (end < text.size()) {
        const auto byte = static_cast<unsigned char>(text[end]);
        const std::size_t length = byte >= 0x81 && byte <= 0xFE && end + 1 < text.size() ? 2 : 1;
        if (end + length > limit) {
            break;
        }
        end += length;
    }
    return text.substr(0, end);
}

SpyLine waitCaption(const SpyFacts& facts, NameForm form) {
    LineStatus status;
    std::string problem = windowTextProblem(facts, facts.caption, "caption", status);
    if (!problem.empty()) {
        return unavailable(Opcode::WaitCaption, status, problem);
    }
    // The wait looks for the text inside the first 255 bytes of the caption.
    std::string text = facts.caption.gbk;
    std::string note;
    if (text.size() > PlayerTextLimit) {
        text = gbkPrefix(text, PlayerTextLimit);
        note = "the caption is " + number(static_cast<std::int64_t>(facts.caption.gbk.size())) +
               " bytes; the line holds the first " +
               number(static_cast<std::int64_t>(text.size())) + ", which the player reads";
    }
    return written(Opcode::WaitCaption, writeLine(Opcode::WaitCaption, form, text), note);
}

SpyLine topWindow(const SpyFacts& facts, NameForm form, Opcode opcode) {
    const bool byClass = opcode == Opcode::TopClass;
    const TextFact& text = byClass ? facts.className : facts.caption;
    LineStatus status;
    std::string problem = windowTextProblem(facts, text, byClass ? "class" : "caption", status);
    if (!problem.empty()) {
        return unavailable(opcode, status, problem);
    }
    SpyLine line = written(opcode, writeLine(opcode, form, text.gbk));
    return flagged(std::move(line), byClass ? facts.classFindsOther : facts.captionFindsOther,
                   std::string("FindWindowA finds another window with this ") +
                       (byClass ? "class" : "caption") +
                       " first, so the line would bring that one to the front");
}

SpyLine waitProcess(const SpyFacts& facts, NameForm form) {
    if (!facts.haveWindow) {
        return unavailable(Opcode::WaitProcess, LineStatus::NotAvailable, "no window is in front");
    }
    if (facts.exeName.empty()) {
        return unavailable(Opcode::WaitProcess, LineStatus::NotAvailable,
                           "the process snapshot cannot name process " + number(facts.processId));
    }
    return written(Opcode::WaitProcess, writeLine(Opcode::WaitProcess, form, facts.exeName),
                   "ends when this program comes to the front after another one");
}

// Why the player cannot reach the control under the pointer by its id in the
// window in front; empty when it can.
std::string controlProblem(const SpyFacts& facts, LineStatus& status) {
    status = LineStatus::NotAvailable;
    if (!facts.haveControl) {
        return "no control under the pointer";
    }
    status = LineStatus::Unreachable;
    if (!facts.haveWindow || !facts.controlInFrontWindow) {
        return "the control is not in the window in front, where the player looks it up";
    }
    if (!facts.controlDirectChild) {
        return "the control is not a direct child of the window in front (it lies inside "
               "another control), and GetDlgItem looks at direct children only";
    }
    if (!facts.controlFoundFirst) {
        std::string reason = "another child of the window in front has the id " +
                             number(facts.controlId) + " and GetDlgItem finds it first";
        if (!facts.controlFoundInstead.empty()) {
            reason += " (" + facts.controlFoundInstead + ")";
        }
        return reason;
    }
    return {};
}

SpyLine controlTextLine(const SpyFacts& facts, NameForm form, Opcode opcode) {
    LineStatus status;
    std::string problem = controlProblem(facts, status);
    if (problem.empty()) {
        if (!facts.controlText.present) {
            status = LineStatus::NotAvailable;
            problem = "the control's text cannot be read";
        } else if (!facts.controlText.writable) {
            status = LineStatus::NotWritable;
            problem = facts.controlText.problem;
        } else if (facts.controlTextBytes > PlayerTextLimit) {
            status = LineStatus::Unreachable;
            problem = "the control's text is " +
                      number(static_cast<std::int64_t>(facts.controlTextBytes)) +
                      " bytes and the player reads 255, so the texts never equal";
        }
    }
    if (!problem.empty()) {
        return unavailable(opcode, status, problem);
    }
    return written(opcode,
                   writeLine(opcode, form, number(facts.controlId) + " " + facts.controlText.gbk));
}

SpyLine waitEnable(const SpyFacts& facts, NameForm form) {
    LineStatus status;
    std::string problem = controlProblem(facts, status);
    if (!problem.empty()) {
        return unavailable(Opcode::WaitButtonEnable, status, problem);
    }
    return written(Opcode::WaitButtonEnable,
                   writeLine(Opcode::WaitButtonEnable, form, number(facts.controlId)),
                   facts.controlEnabled ? "" : "the control is disabled now");
}

SpyLine keyLine(const SpyFacts& facts, NameForm form, Opcode opcode) {
    if (facts.key == 0) {
        return unavailable(opcode, LineStatus::NotAvailable,
                           "press a key while the spy has the focus");
    }
    return written(opcode, writeLine(opcode, form, keyText(facts.key)));
}

std::string oneLine(std::string text) {
    for (char& byte : text) {
        if (byte == '\n' || byte == '\r' || byte == '\0') {
            byte = ' ';
        }
    }
    return text;
}

} // namespace

std::vector<SpyLine> spyLines(const SpyFacts& facts, NameForm form) {
    return {
        moveTo(facts, form),
        colourLine(facts, form, Opcode::WaitColor),
        colourLine(facts, form, Opcode::WaitNotColor),
        waitCaption(facts, form),
        topWindow(facts, form, Opcode::TopCaption),
        topWindow(facts, form, Opcode::TopClass),
        waitProcess(facts, form),
        controlTextLine(facts, form, Opcode::ClickButtonText),
        controlTextLine(facts, form, Opcode::WaitButtonText),
        waitEnable(facts, form),
        keyLine(facts, form, Opcode::WaitKey),
        keyLine(facts, form, Opcode::HotKey),
        keyLine(facts, form, Opcode::BreakKey),
    };
}

const char* statusWord(LineStatus status) {
    switch (status) {
    case LineStatus::Ready:
        return "ready";
    case LineStatus::Flagged:
        return "flagged";
    case LineStatus::NotAvailable:
        return "not available";
    case LineStatus::NotWritable:
        return "not writable";
    case LineStatus::Unreachable:
        return "cannot be reached";
    }
    return "";
}

std::string spyRowText(const SpyLine& line) {
    switch (line.status) {
    case LineStatus::Ready:
        return line.line + (line.note.empty() ? "" : "      (" + line.note + ")");
    case LineStatus::Flagged:
        return line.line + "      [flagged: " + line.note + "]";
    default:
        return "[" + std::string(commandWord(line.opcode, NameForm::English)) + ": " +
               statusWord(line.status) + "] " + line.note;
    }
}

std::string spyLineText(const SpyLine& line, NameForm form) {
    if (line.status == LineStatus::Ready) {
        return line.line + "\n";
    }
    std::string remark = std::string(commandWord(line.opcode, NameForm::English)) + ": " +
                         statusWord(line.status) + ": " + line.note;
    if (!line.line.empty()) {
        remark += ": " + line.line;
    }
    WrittenLine rem = writeLine(Opcode::Rem, form, oneLine(remark));
    return (rem.ok ? rem.line : std::string(commandName(form, writerRow(Opcode::Rem)))) + "\n";
}

std::string spyText(const std::vector<SpyLine>& lines, NameForm form) {
    std::string text;
    for (const SpyLine& line : lines) {
        text += spyLineText(line, form);
    }
    return text;
}
