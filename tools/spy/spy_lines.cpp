#include "spy_lines.h"

#include "keys/key_text.h"
#include "runner/pointer_scale.h"
#include "script/line_writer.h"

namespace {

std::string text(UiLanguage language, TextId id,
                 std::initializer_list<std::string_view> arguments = {}) {
    return formatUiText(uiText(id, language), arguments);
}

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

std::string offScreenReason(const SpyFacts& facts, UiLanguage language) {
    if (facts.screenWidth <= 0 || facts.screenHeight <= 0) {
        return text(language, TextId::SpyNoScreenSize);
    }
    return text(
        language, TextId::SpyOffScreen,
        {number(facts.x), number(facts.y), number(facts.screenWidth), number(facts.screenHeight)});
}

SpyLine moveTo(const SpyFacts& facts, NameForm form, UiLanguage language) {
    if (!onScreen(facts)) {
        return unavailable(Opcode::MoveTo, LineStatus::NotAvailable,
                           offScreenReason(facts, language));
    }
    std::int32_t x = 0;
    std::int32_t y = 0;
    const auto width = static_cast<std::uint32_t>(facts.screenWidth);
    const auto height = static_cast<std::uint32_t>(facts.screenHeight);
    if (!moveToCoordinate(facts.x, width, x) || !moveToCoordinate(facts.y, height, y)) {
        return unavailable(Opcode::MoveTo, LineStatus::NotAvailable,
                           text(language, TextId::SpyNoMoveTo));
    }
    std::string note;
    if (x != facts.x || y != facts.y) {
        note = text(language, TextId::SpyMoveToLands,
                    {number(facts.x), number(facts.y),
                     number(landedPixel(toAbsolute(facts.x, width), width)),
                     number(landedPixel(toAbsolute(facts.y, height), height))});
    }
    return written(Opcode::MoveTo, writeLine(Opcode::MoveTo, form, x, y), note);
}

SpyLine colourLine(const SpyFacts& facts, NameForm form, Opcode opcode, UiLanguage language) {
    if (!onScreen(facts)) {
        return unavailable(opcode, LineStatus::NotAvailable, offScreenReason(facts, language));
    }
    if (facts.colour.empty()) {
        return unavailable(opcode, LineStatus::NotAvailable, text(language, TextId::SpyNoPixel));
    }
    return written(opcode, writeLine(opcode, form, facts.x, facts.y, facts.colour));
}

// Why a text of the window in front cannot be written, or an empty text.
std::string windowTextProblem(const SpyFacts& facts, const TextFact& fact, TextId missing,
                              LineStatus& status, UiLanguage language) {
    status = LineStatus::NotAvailable;
    if (!facts.haveWindow) {
        return text(language, TextId::SpyNoWindow);
    }
    if (!fact.present || (fact.writable && fact.gbk.empty())) {
        return text(language, missing);
    }
    if (!fact.writable) {
        status = LineStatus::NotWritable;
        return fact.problem;
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

SpyLine waitCaption(const SpyFacts& facts, NameForm form, UiLanguage language) {
    LineStatus status;
    std::string problem =
        windowTextProblem(facts, facts.caption, TextId::SpyNoCaption, status, language);
    if (!problem.empty()) {
        return unavailable(Opcode::WaitCaption, status, problem);
    }
    // The wait looks for the text inside the first 255 bytes of the caption.
    std::string caption = facts.caption.gbk;
    std::string note;
    if (caption.size() > PlayerTextLimit) {
        caption = gbkPrefix(caption, PlayerTextLimit);
        note = text(language, TextId::SpyCaptionCut,
                    {number(static_cast<std::int64_t>(facts.caption.gbk.size())),
                     number(static_cast<std::int64_t>(caption.size()))});
    }
    return written(Opcode::WaitCaption, writeLine(Opcode::WaitCaption, form, caption), note);
}

SpyLine topWindow(const SpyFacts& facts, NameForm form, Opcode opcode, UiLanguage language) {
    const bool byClass = opcode == Opcode::TopClass;
    const TextFact& fact = byClass ? facts.className : facts.caption;
    LineStatus status;
    std::string problem = windowTextProblem(
        facts, fact, byClass ? TextId::SpyNoClass : TextId::SpyNoCaption, status, language);
    if (!problem.empty()) {
        return unavailable(opcode, status, problem);
    }
    SpyLine line = written(opcode, writeLine(opcode, form, fact.gbk));
    return flagged(
        std::move(line), byClass ? facts.classFindsOther : facts.captionFindsOther,
        text(language, byClass ? TextId::SpyClassFindsOther : TextId::SpyCaptionFindsOther));
}

SpyLine waitProcess(const SpyFacts& facts, NameForm form, UiLanguage language) {
    if (!facts.haveWindow) {
        return unavailable(Opcode::WaitProcess, LineStatus::NotAvailable,
                           text(language, TextId::SpyNoWindow));
    }
    if (facts.exeName.empty()) {
        return unavailable(Opcode::WaitProcess, LineStatus::NotAvailable,
                           text(language, TextId::SpyNoProcessName, {number(facts.processId)}));
    }
    return written(Opcode::WaitProcess, writeLine(Opcode::WaitProcess, form, facts.exeName),
                   text(language, TextId::SpyProcessNote));
}

// Why the player cannot reach the control under the pointer by its id in the
// window in front; empty when it can.
std::string controlProblem(const SpyFacts& facts, LineStatus& status, UiLanguage language) {
    status = LineStatus::NotAvailable;
    if (!facts.haveControl) {
        return text(language, TextId::SpyNoControl);
    }
    status = LineStatus::Unreachable;
    if (!facts.haveWindow || !facts.controlInFrontWindow) {
        return text(language, TextId::SpyControlElsewhere);
    }
    if (!facts.controlDirectChild) {
        return text(language, TextId::SpyControlNested);
    }
    if (!facts.controlFoundFirst) {
        std::string reason = text(language, TextId::SpyControlTwin, {number(facts.controlId)});
        if (!facts.controlFoundInstead.empty()) {
            reason += " (" + facts.controlFoundInstead + ")";
        }
        return reason;
    }
    return {};
}

SpyLine controlTextLine(const SpyFacts& facts, NameForm form, Opcode opcode, UiLanguage language) {
    LineStatus status;
    std::string problem = controlProblem(facts, status, language);
    if (problem.empty()) {
        if (!facts.controlText.present) {
            status = LineStatus::NotAvailable;
            problem = text(language, TextId::SpyControlTextUnread);
        } else if (!facts.controlText.writable) {
            status = LineStatus::NotWritable;
            problem = facts.controlText.problem;
        } else if (facts.controlTextBytes > PlayerTextLimit) {
            status = LineStatus::Unreachable;
            problem = text(language, TextId::SpyControlTextLong,
                           {number(static_cast<std::int64_t>(facts.controlTextBytes))});
        }
    }
    if (!problem.empty()) {
        return unavailable(opcode, status, problem);
    }
    return written(opcode,
                   writeLine(opcode, form, number(facts.controlId) + " " + facts.controlText.gbk));
}

SpyLine waitEnable(const SpyFacts& facts, NameForm form, UiLanguage language) {
    LineStatus status;
    std::string problem = controlProblem(facts, status, language);
    if (!problem.empty()) {
        return unavailable(Opcode::WaitButtonEnable, status, problem);
    }
    return written(Opcode::WaitButtonEnable,
                   writeLine(Opcode::WaitButtonEnable, form, number(facts.controlId)),
                   facts.controlEnabled ? "" : text(language, TextId::SpyControlDisabled));
}

SpyLine keyLine(const SpyFacts& facts, NameForm form, Opcode opcode, UiLanguage language) {
    if (facts.key == 0) {
        return unavailable(opcode, LineStatus::NotAvailable, text(language, TextId::SpyPressKey));
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

std::vector<SpyLine> spyLines(const SpyFacts& facts, NameForm form, UiLanguage language) {
    return {
        moveTo(facts, form, language),
        colourLine(facts, form, Opcode::WaitColor, language),
        colourLine(facts, form, Opcode::WaitNotColor, language),
        waitCaption(facts, form, language),
        topWindow(facts, form, Opcode::TopCaption, language),
        topWindow(facts, form, Opcode::TopClass, language),
        waitProcess(facts, form, language),
        controlTextLine(facts, form, Opcode::ClickButtonText, language),
        controlTextLine(facts, form, Opcode::WaitButtonText, language),
        waitEnable(facts, form, language),
        keyLine(facts, form, Opcode::WaitKey, language),
        keyLine(facts, form, Opcode::HotKey, language),
        keyLine(facts, form, Opcode::BreakKey, language),
    };
}

const char* statusWord(LineStatus status, UiLanguage language) {
    switch (status) {
    case LineStatus::Ready:
        return uiText(TextId::SpyStatusReady, language);
    case LineStatus::Flagged:
        return uiText(TextId::SpyStatusFlagged, language);
    case LineStatus::NotAvailable:
        return uiText(TextId::SpyStatusNotAvailable, language);
    case LineStatus::NotWritable:
        return uiText(TextId::SpyStatusNotWritable, language);
    case LineStatus::Unreachable:
        return uiText(TextId::SpyStatusUnreachable, language);
    }
    return "";
}

std::string spyRowText(const SpyLine& line, UiLanguage language) {
    switch (line.status) {
    case LineStatus::Ready:
        return line.line + (line.note.empty() ? "" : "      (" + line.note + ")");
    case LineStatus::Flagged:
        return line.line + "      " +
               formatUiText(uiText(TextId::SpyRowFlagged, language), {line.note});
    default:
        return "[" + std::string(commandWord(line.opcode, NameForm::English)) + ": " +
               statusWord(line.status, language) + "] " + line.note;
    }
}

std::string spyLineText(const SpyLine& line, NameForm form, UiLanguage language) {
    if (line.status == LineStatus::Ready) {
        return line.line + "\n";
    }
    std::string remark = std::string(commandWord(line.opcode, NameForm::English)) + ": " +
                         statusWord(line.status, language) + ": " + line.note;
    if (!line.line.empty()) {
        remark += ": " + line.line;
    }
    WrittenLine rem = writeLine(Opcode::Rem, form, oneLine(remark));
    return (rem.ok ? rem.line : std::string(commandName(form, writerRow(Opcode::Rem)))) + "\n";
}

std::string spyText(const std::vector<SpyLine>& lines, NameForm form, UiLanguage language) {
    std::string text;
    for (const SpyLine& line : lines) {
        text += spyLineText(line, form, language);
    }
    return text;
}
