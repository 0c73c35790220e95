#include "pack_checks.h"

#include "keys/key_combo.h"
#include "runner/executor.h"
#include "script/command.h"
#include "script/parser.h"
#include "ui_text.h"

#include <cstring>
#include <memory>

namespace {

// The order in which the parser tries the name forms of one row.
constexpr NameForm ParseOrder[3] = {NameForm::Chinese, NameForm::English, NameForm::ShortCode};

// The opcodes a first line may carry to choose a start mode.
bool isStartCommand(Opcode opcode) {
    return opcode == Opcode::Start || opcode == Opcode::StartKey || opcode == Opcode::StartColor ||
           opcode == Opcode::StartNoBox;
}

// Commands the player accepts but never acts on.
bool doesNothing(Opcode opcode) {
    return opcode == Opcode::MoveToRelWin || opcode == Opcode::MoveToClick ||
           opcode == Opcode::PutText || opcode == Opcode::Goto;
}

// Commands that compare their text with a window caption, a class, a process
// name or a control text: a trailing space or carriage return is compared too.
bool comparesText(Opcode opcode) {
    switch (opcode) {
    case Opcode::WaitCaption:
    case Opcode::WaitProcess:
    case Opcode::TopClass:
    case Opcode::TopCaption:
    case Opcode::ClickButtonText:
    case Opcode::WaitButtonText:
        return true;
    default:
        return false;
    }
}

// A writable NUL-terminated copy of a line, as the player's functions take it.
std::unique_ptr<char[]> writableCopy(std::string_view text) {
    auto copy = std::make_unique<char[]>(text.size() + 1);
    std::memcpy(copy.get(), text.data(), text.size());
    copy[text.size()] = '\0';
    return copy;
}

KeyCombo resolveKeyText(std::string_view text) {
    auto copy = writableCopy(text);
    return resolveKeyCombo(copy.get());
}

bool isUpperHexColour(std::string_view text) {
    if (text.size() != 6) {
        return false;
    }
    for (char byte : text) {
        if (!((byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'F'))) {
            return false;
        }
    }
    return true;
}

std::string upperAscii(std::string_view text) {
    std::string upper(text);
    for (char& byte : upper) {
        if (byte >= 'a' && byte <= 'z') {
            byte = static_cast<char>(byte - 0x20);
        }
    }
    return upper;
}

// An optional sign and at least one digit at the start of `text`: a number that
// stands where the player looks for it.
bool startsWithNumber(std::string_view text) {
    std::size_t at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        ++at;
    }
    return at < text.size() && text[at] >= '0' && text[at] <= '9';
}

// The text after the first space of `text`, or none.
bool afterFirstSpace(std::string_view text, std::string_view& rest) {
    std::size_t space = text.find(' ');
    if (space == std::string_view::npos) {
        return false;
    }
    rest = text.substr(space + 1);
    return true;
}

bool endsBadly(std::string_view text) {
    return !text.empty() && (text.back() == '\r' || text.back() == ' ' || text.back() == '\t');
}

std::string describeEnd(std::string_view text, UiLanguage language) {
    if (!text.empty() && text.back() == '\r') {
        return uiText(TextId::CheckEndsInCarriageReturn, language);
    }
    if (endsBadly(text)) {
        return uiText(TextId::CheckEndsInWhiteSpace, language);
    }
    return "";
}

// What a key text that names no key means for each command that takes one.
// `code` is what the text resolves to: modifier bits without a key still press
// and release those modifiers.
TextId noKeyEffect(Opcode opcode, KeyCombo code) {
    const KeyCombo modifiers = ShiftBit | CtrlBit | AltBit | WinBit;
    switch (opcode) {
    case Opcode::BreakKey:
        return TextId::CheckNoBreakKey;
    case Opcode::PauseKey:
        return TextId::CheckNoPauseKey;
    case Opcode::StartKey:
        return TextId::CheckNeverStarts;
    case Opcode::WaitKey:
        return TextId::CheckWaitNeverEnds;
    case Opcode::IfKey:
        return TextId::CheckNeverStartedAgain;
    default:
        return (code & modifiers) != 0 ? TextId::CheckOnlyModifiersSent : TextId::CheckNothingSent;
    }
}

struct Checker {
    std::vector<Finding>& findings;
    const ScriptLine* line = nullptr;
    UiLanguage language = UiLanguage::English;

    const char* text(TextId id) const { return uiText(id, language); }
    std::string format(TextId id, std::initializer_list<std::string_view> arguments) const {
        return formatUiText(uiText(id, language), arguments);
    }
    std::string describeEnd(std::string_view text) const { return ::describeEnd(text, language); }

    void add(FindingKind kind, std::string message) const {
        findings.push_back(
            Finding{kind, line->fileLine, line->playerLine, std::move(message), line->text});
    }
    void warn(std::string message) const { add(FindingKind::Warning, std::move(message)); }
};

// The low byte of the code is the virtual key: without one the key is never
// seen held and no key stroke is sent, whatever the higher bits say.
void checkKeyText(const Checker& checker, const std::string& name, Opcode opcode,
                  std::string_view keyText) {
    const KeyCombo code = resolveKeyText(keyText);
    if ((code & 0xFF) != 0) {
        return;
    }
    std::string why = checker.describeEnd(keyText);
    if (why.empty() && code != 0) {
        why = checker.text(startsWithNumber(keyText) ? TextId::CheckKeyLowByteZero
                                                     : TextId::CheckKeyModifierOnly);
    }
    checker.warn(
        checker.format(TextId::CheckKeyNamesNoKey,
                       {name, quoteText(keyText), why, checker.text(noKeyEffect(opcode, code))}));
}

void checkColour(const Checker& checker, const std::string& name, Opcode opcode,
                 std::string_view colour) {
    if (isUpperHexColour(colour)) {
        return;
    }
    std::string message = checker.format(TextId::CheckColourNotHex,
                                         {name, quoteText(colour), checker.describeEnd(colour)});
    if (opcode == Opcode::StartColor) {
        message += checker.text(TextId::CheckColourScriptEnds);
    } else if (opcode == Opcode::WaitColor) {
        message += checker.text(TextId::CheckColourOnlyBreakKey);
    } else {
        message += checker.text(TextId::CheckColourWaitEnds);
    }
    std::string upper = upperAscii(colour);
    if (upper != colour && isUpperHexColour(upper)) {
        message += checker.format(TextId::CheckColourWrite, {upper});
    }
    checker.warn(message);
}

// The player compares the last six bytes of a Start Color line with the pixel,
// wherever the colour begins: only a colour of exactly six bytes at the end of
// the line is compared as written.
void checkStartColour(const Checker& checker, const std::string& name,
                      std::string_view parameters) {
    std::string_view whole = checker.line->text;
    std::string_view compared = whole.size() >= 6 ? whole.substr(whole.size() - 6) : whole;
    // The colour as written: what follows x and y, or else the last word.
    std::string_view second;
    std::string_view written;
    if (!(startsWithNumber(parameters) && afterFirstSpace(parameters, second) &&
          startsWithNumber(second) && afterFirstSpace(second, written))) {
        std::size_t space = parameters.rfind(' ');
        written = space == std::string_view::npos ? parameters : parameters.substr(space + 1);
    }
    if (written == compared) {
        checkColour(checker, name, Opcode::StartColor, compared);
        return;
    }
    std::string message = checker.format(
        TextId::CheckStartColourLastBytes,
        {name, quoteText(written), checker.describeEnd(written), quoteText(compared)});
    if (!isUpperHexColour(compared)) {
        message += checker.text(TextId::CheckStartColourNever);
    }
    checker.warn(message);
}

// MoveTo and Start Color take x and y; WaitColor and WaitNotColor x, y and a
// colour, each after exactly one space.
void checkNumbers(const Checker& checker, const std::string& name, const LineParse& parse) {
    std::string_view p = parse.parameterText;
    std::string_view second;
    bool complete = startsWithNumber(p) && afterFirstSpace(p, second) && startsWithNumber(second);
    const bool withColour = parse.kind == ParamKind::TwoIntegersAndText;
    if (withColour) {
        std::string_view colour;
        complete = complete && afterFirstSpace(second, colour);
    }
    if (complete) {
        return;
    }
    std::string reads = "x=" + std::to_string(parse.numbers[0]);
    reads += parse.written[1] ? " y=" + std::to_string(parse.numbers[1])
                              : checker.text(TextId::CheckReadsNoY);
    if (withColour) {
        reads += parse.written[2]
                     ? checker.format(TextId::CheckReadsColour, {quoteText(parse.texts[2])})
                     : checker.text(TextId::CheckReadsNoColour);
    }
    const TextId expected = withColour ? TextId::CheckNeedsXYColour : TextId::CheckNeedsXY;
    checker.warn(checker.format(TextId::CheckNumbers, {name, checker.text(expected), reads}));
}

void checkPutChar(const Checker& checker, std::string_view text) {
    int silent = 0;
    std::size_t first = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char one[2] = {text[i], '\0'};
        if (one[0] >= 'a' && one[0] <= 'z') {
            one[0] = static_cast<char>(one[0] - 0x20);
        }
        if ((parseKeyCombo(one) & 0xFF) == 0) {
            if (silent == 0) {
                first = i;
            }
            ++silent;
        }
    }
    if (silent == 0) {
        return;
    }
    const std::string more =
        silent > 1 ? checker.format(TextId::CheckPutCharMore, {std::to_string(silent - 1)}) : "";
    checker.warn(checker.format(
        TextId::CheckPutChar, {quoteText(text.substr(first, 1)), std::to_string(first + 1), more}));
}

void checkLine(const Checker& checker, const LineParse& parse, bool first, bool last) {
    const Opcode opcode = parse.opcode;
    const std::string name = englishCommandName(parse.row);
    const std::string& text = parse.texts[0];

    if (first && !isStartCommand(opcode)) {
        checker.warn(checker.text(TextId::CheckFirstNotStart));
    }
    Command probe;
    probe.opcode = opcode;
    if (doesNothing(opcode)) {
        std::string message = checker.format(TextId::CheckDoesNothing, {name});
        if (opcode == Opcode::PutText) {
            message += checker.text(TextId::CheckUsePutChar);
        }
        checker.warn(message);
    } else if ((first || last) && isActionCommand(probe) && !isStartCommand(opcode)) {
        checker.warn(checker.text(first ? TextId::CheckActionOnFirst : TextId::CheckActionOnLast));
    }

    switch (opcode) {
    case Opcode::BreakKey:
    case Opcode::PauseKey:
    case Opcode::StartKey:
    case Opcode::HotKey:
    case Opcode::PushDown:
    case Opcode::PushUp:
    case Opcode::WaitKey:
        checkKeyText(checker, name, opcode, text);
        break;
    case Opcode::IfKey: {
        std::size_t space = text.find(' ');
        if (space == std::string::npos) {
            checker.warn(checker.text(TextId::CheckIfKeyNoSpace));
        } else {
            checkKeyText(checker, name, opcode, std::string_view(text).substr(0, space));
        }
        break;
    }
    case Opcode::StartColor:
        checkNumbers(checker, name, parse);
        checkStartColour(checker, name, parse.parameterText);
        break;
    case Opcode::WaitColor:
    case Opcode::WaitNotColor:
        checkNumbers(checker, name, parse);
        if (parse.written[2]) {
            checkColour(checker, name, opcode, parse.texts[2]);
        }
        break;
    case Opcode::MoveTo:
        checkNumbers(checker, name, parse);
        break;
    case Opcode::PutChar:
        checkPutChar(checker, text);
        break;
    default:
        break;
    }
    if (comparesText(opcode) && endsBadly(text)) {
        checker.warn(checker.format(TextId::CheckTextCompared,
                                    {name, quoteText(text), checker.describeEnd(text)}));
    }
}

} // namespace

std::vector<ScriptLine> scriptLines(std::string_view text) {
    std::size_t nul = text.find('\0');
    if (nul != std::string_view::npos) {
        text = text.substr(0, nul);
    }
    std::vector<ScriptLine> lines;
    int fileLine = 0;
    int playerLine = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        ++fileLine;
        if (end > start) {
            lines.push_back(
                ScriptLine{fileLine, ++playerLine, std::string(text.substr(start, end - start))});
        }
        start = end + 1;
    }
    return lines;
}

LineParse parseScriptLine(std::string_view line) {
    LineParse parse;
    auto buffer = writableCopy(line);
    // Slots the parser does not write keep this marker, so the parse itself
    // tells which ones it filled.
    static char unwritten = 0;
    Command command;
    for (CommandParam* slot : {&command.param1, &command.param2, &command.param3}) {
        setSlotText(*slot, &unwritten);
    }
    if (!parseLine(buffer.get(), command)) {
        return parse;
    }
    parse.matched = true;
    parse.opcode = command.opcode;
    // The row and form that parseLine took: the first attempt in its order.
    for (int row = 0; row < CommandTableRowCount && parse.row < 0; ++row) {
        for (NameForm form : ParseOrder) {
            auto probe = writableCopy(line);
            Command ignored;
            if (matchCommand(probe.get(), row, form, ignored)) {
                parse.row = row;
                parse.form = form;
                break;
            }
        }
    }
    if (parse.row >= 0) {
        parse.kind = CommandTable[parse.row].paramKind;
        std::size_t nameLength = std::strlen(commandName(parse.form, parse.row));
        parse.parameterText = std::string(line.substr(std::min(nameLength, line.size())));
    }
    const CommandParam* slots[3] = {&command.param1, &command.param2, &command.param3};
    for (int i = 0; i < 3; ++i) {
        parse.written[i] = slotTextOrNull(*slots[i]) != &unwritten;
        if (!parse.written[i]) {
            continue;
        }
        parse.numbers[i] = slotNumber(*slots[i]);
        parse.isText[i] = slotHoldsText(*slots[i]);
        if (parse.isText[i]) {
            parse.texts[i] = slotText(*slots[i]);
        }
    }
    return parse;
}

std::string englishCommandName(int row) {
    std::string name = commandName(NameForm::English, row);
    while (!name.empty() && name.back() == ' ') {
        name.pop_back();
    }
    return name;
}

void checkScriptLine(const ScriptLine& line, bool first, bool last, std::vector<Finding>& findings,
                     UiLanguage language) {
    Checker checker{findings, &line, language};
    LineParse parse = parseScriptLine(line.text);
    if (!parse.matched) {
        std::string why;
        if (!line.text.empty() && (line.text[0] == ' ' || line.text[0] == '\t')) {
            why = checker.text(TextId::CheckBeginsWithSpace);
        } else if (line.text == "\r") {
            why = checker.text(TextId::CheckOnlyCarriageReturn);
        } else if (parseScriptLine(line.text + " ").matched) {
            why = checker.text(TextId::CheckNameNeedsSpace);
        }
        checker.add(FindingKind::Error, checker.format(TextId::CheckNoCommand, {why}));
        return;
    }
    checkLine(checker, parse, first, last);
}

std::vector<Finding> checkScript(std::string_view text, UiLanguage language) {
    std::vector<Finding> findings;
    const std::vector<ScriptLine> lines = scriptLines(text);
    if (lines.empty()) {
        findings.push_back(
            Finding{FindingKind::Warning, 0, 0, uiText(TextId::CheckNoLines, language), ""});
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        checkScriptLine(lines[i], i == 0, i + 1 == lines.size(), findings, language);
    }
    std::size_t nul = text.find('\0');
    if (nul != std::string_view::npos) {
        int fileLine = 1;
        for (std::size_t i = 0; i < nul; ++i) {
            fileLine += text[i] == '\n' ? 1 : 0;
        }
        findings.push_back(
            Finding{FindingKind::Error, fileLine, 0, uiText(TextId::CheckNulByte, language), ""});
    }
    return findings;
}

bool hasErrors(const std::vector<Finding>& findings) {
    return countKind(findings, FindingKind::Error) > 0;
}

int countKind(const std::vector<Finding>& findings, FindingKind kind) {
    int count = 0;
    for (const Finding& finding : findings) {
        count += finding.kind == kind ? 1 : 0;
    }
    return count;
}

std::string formatFinding(const Finding& finding, UiLanguage language) {
    const std::string fileLine = std::to_string(finding.fileLine);
    std::string text;
    if (finding.playerLine > 0) {
        text = formatUiText(uiText(TextId::FindingAtPlayerLine, language),
                            {fileLine, std::to_string(finding.playerLine)});
    } else if (finding.fileLine > 0) {
        text = formatUiText(uiText(TextId::FindingAtLine, language), {fileLine});
    }
    const TextId kind =
        finding.kind == FindingKind::Error ? TextId::FindingError : TextId::FindingWarning;
    text += formatUiText(uiText(kind, language), {finding.message});
    if (finding.playerLine > 0) {
        text = formatUiText(uiText(TextId::FindingQuotedLine, language),
                            {text, quoteText(finding.lineText)});
    }
    return text;
}

std::string quoteText(std::string_view text) {
    static const char digits[] = "0123456789ABCDEF";
    std::string quoted = "\"";
    for (char byte : text) {
        auto value = static_cast<unsigned char>(byte);
        switch (byte) {
        case '\r':
            quoted += "\\r";
            break;
        case '\t':
            quoted += "\\t";
            break;
        case '\\':
            quoted += "\\\\";
            break;
        case '"':
            quoted += "\\\"";
            break;
        default:
            if (value < 0x20 || value == 0x7F) {
                quoted += "\\x";
                quoted += digits[value >> 4];
                quoted += digits[value & 0xF];
            } else {
                quoted += byte;
            }
        }
    }
    quoted += '"';
    return quoted;
}
