#include "points.h"

#include "pack_checks.h"
#include "runner/executor.h"
#include "runner/pointer_scale.h"
#include "script/command.h"
#include "script/line_writer.h"
#include "script/parser.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

constexpr std::size_t ColourLength = 6;

bool noGbkForm(std::string_view, std::string&) {
    return false;
}

bool placeOpcode(Opcode opcode) {
    return opcode == Opcode::MoveTo || opcode == Opcode::MoveToRelWin ||
           opcode == Opcode::WaitColor || opcode == Opcode::WaitNotColor ||
           opcode == Opcode::StartColor;
}

bool clickKind(Opcode opcode, ClickKind& kind) {
    switch (opcode) {
    case Opcode::LClick:
        kind = ClickKind::Single;
        return true;
    case Opcode::LDBClick:
        kind = ClickKind::Double;
        return true;
    case Opcode::RClick:
        kind = ClickKind::Right;
        return true;
    case Opcode::MClick:
        kind = ClickKind::Middle;
        return true;
    default:
        return false;
    }
}

PlaceKind kindOf(Opcode opcode) {
    switch (opcode) {
    case Opcode::MoveToRelWin:
        return PlaceKind::MoveToRelWin;
    case Opcode::WaitColor:
        return PlaceKind::WaitColor;
    case Opcode::WaitNotColor:
        return PlaceKind::WaitNotColor;
    case Opcode::StartColor:
        return PlaceKind::StartColor;
    default:
        return PlaceKind::MoveTo;
    }
}

// The opcode the player's parser gives the GBK line; Empty for one it rejects.
Opcode opcodeOf(std::string_view gbk) {
    auto buffer = std::make_unique<char[]>(gbk.size() + 1);
    std::memcpy(buffer.get(), gbk.data(), gbk.size());
    buffer[gbk.size()] = '\0';
    Command command;
    if (!parseLine(buffer.get(), gbk.size(), command)) {
        return Opcode::Empty;
    }
    return command.opcode;
}

// The pixel a MoveTo coordinate puts the pointer on. The system keeps an
// absolute coordinate beyond the screen at its last pixel, which is where a
// number off the screen (a negative one wraps to a large value) stops it.
std::int32_t landedOn(std::int32_t coordinate, std::int32_t size, bool& placed) {
    const auto screenSize = static_cast<std::uint32_t>(size);
    const std::uint32_t absolute = toAbsolute(coordinate, screenSize);
    if (coordinate < 0 || absolute > AbsoluteScale) {
        placed = false;
        return size - 1;
    }
    return landedPixel(absolute, screenSize);
}

std::string comparedColour(const LineParse& parse, std::string_view gbk) {
    if (parse.opcode == Opcode::StartColor) {
        return gbk.size() >= ColourLength ? std::string(gbk.substr(gbk.size() - ColourLength))
                                          : std::string();
    }
    return parse.written[2] ? parse.texts[2] : std::string();
}

Place placeOf(const LineParse& parse, std::string_view gbk, int line, PointerScreen screen) {
    Place place;
    place.line = line;
    place.kind = kindOf(parse.opcode);
    place.form = parse.form;
    place.x = parse.written[0] ? parse.numbers[0] : 0;
    place.y = parse.written[1] ? parse.numbers[1] : 0;
    place.pixelX = place.x;
    place.pixelY = place.y;
    if (place.kind == PlaceKind::MoveTo) {
        if (screen.width <= 0 || screen.height <= 0) {
            place.placed = false;
        } else {
            place.pixelX = landedOn(place.x, screen.width, place.placed);
            place.pixelY = landedOn(place.y, screen.height, place.placed);
        }
    } else if (place.kind == PlaceKind::MoveToRelWin) {
        place.placed = false;
    } else {
        place.colour = comparedColour(parse, gbk);
    }
    return place;
}

bool gbkLine(std::string_view utf8, GbkConverter toGbk, std::string& gbk) {
    GbkConversion converted = convertUtf8ToGbk(utf8, toGbk != nullptr ? toGbk : noGbkForm);
    if (!converted.ok) {
        return false;
    }
    gbk = std::move(converted.text);
    return true;
}

DraggedLine refused(std::string reason) {
    DraggedLine result;
    result.reason = std::move(reason);
    return result;
}

} // namespace

std::vector<Place> findPlaces(const StudioDocument& document, PointerScreen screen) {
    std::vector<Place> places;
    // Where the pointer stands, as the index of the MoveTo place it went to
    // (-1: not at a place of the script), and where Remeber Mouse Position
    // kept it.
    int pointerAt = -1;
    int remembered = -1;
    std::string gbk;
    const int count = static_cast<int>(document.lines.size());
    for (int index = 0; index < count; ++index) {
        const std::string& text = document.lines[index].text;
        if (text.empty() || !gbkLine(text, document.toGbk, gbk)) {
            continue;
        }
        const Opcode opcode = opcodeOf(gbk);
        // The body is the kept lines between the first and the last.
        const bool body = index > document.firstKept && index < document.lastKept;
        ClickKind click;
        if (clickKind(opcode, click)) {
            if (body && pointerAt >= 0) {
                places[pointerAt].clicks.push_back(PlaceClick{index + 1, click});
            }
            continue;
        }
        if (body && opcode == Opcode::RememberMousePosition) {
            remembered = pointerAt;
            continue;
        }
        if (body && opcode == Opcode::SetLastMousePosition) {
            pointerAt = remembered;
            continue;
        }
        if (!placeOpcode(opcode)) {
            continue;
        }
        const LineParse parse = parseScriptLine(gbk);
        Place place = placeOf(parse, gbk, index + 1, screen);
        place.played = opcode == Opcode::StartColor ? index == document.firstKept : body;
        places.push_back(std::move(place));
        if (opcode == Opcode::MoveTo && body) {
            pointerAt = static_cast<int>(places.size()) - 1;
        }
    }
    return places;
}

void placeOnWindow(std::vector<Place>& places, const WindowRect* front) {
    for (Place& place : places) {
        if (place.kind != PlaceKind::MoveToRelWin) {
            continue;
        }
        place.placed = front != nullptr;
        place.pixelX = place.x + (front != nullptr ? front->left : 0);
        place.pixelY = place.y + (front != nullptr ? front->top : 0);
    }
}

bool isColourPlace(const Place& place) {
    return place.kind == PlaceKind::WaitColor || place.kind == PlaceKind::WaitNotColor ||
           place.kind == PlaceKind::StartColor;
}

std::string colourDigits(std::uint32_t colour) {
    return colourText(colour).text;
}

bool waitOverNow(const Place& place, std::uint32_t colourNow) {
    if (!isColourPlace(place)) {
        return false;
    }
    const bool equal = place.colour == colourText(colourNow).text;
    return place.kind == PlaceKind::WaitNotColor ? !equal : equal;
}

DraggedLine rewriteDraggedLine(std::string_view utf8Line, GbkConverter toGbk, GbkToUtf8Text fromGbk,
                               PointerScreen screen, const DragDrop& drop) {
    std::string gbk;
    if (!gbkLine(utf8Line, toGbk, gbk)) {
        return refused("the line has no GBK form");
    }
    const LineParse parse = parseScriptLine(gbk);
    if (!parse.matched || parse.row < 0 || !placeOpcode(parse.opcode)) {
        return refused("the line names no place on the screen");
    }
    std::int32_t x = drop.pixelX;
    std::int32_t y = drop.pixelY;
    std::string colour(drop.colour.empty() ? comparedColour(parse, gbk) : drop.colour);
    if (parse.opcode == Opcode::MoveTo) {
        if (screen.width <= 0 || screen.height <= 0 ||
            !moveToCoordinate(drop.pixelX, static_cast<std::uint32_t>(screen.width), x) ||
            !moveToCoordinate(drop.pixelY, static_cast<std::uint32_t>(screen.height), y)) {
            return refused("no MoveTo puts the pointer on (" + std::to_string(drop.pixelX) + ", " +
                           std::to_string(drop.pixelY) + ")");
        }
    } else if (parse.opcode == Opcode::MoveToRelWin) {
        if (drop.front == nullptr) {
            return refused("there is no window in front to place the point on");
        }
        x -= drop.front->left;
        y -= drop.front->top;
    }

    WrittenLine written = parse.kind == ParamKind::TwoIntegersAndText
                              ? writeLine(parse.opcode, parse.form, x, y, colour)
                              : writeLine(parse.opcode, parse.form, x, y);
    if (!written.ok) {
        return refused(written.reason);
    }
    std::string line = std::move(written.line);
    // Two rows share WaitColor and WaitNotColor; the writer writes the first
    // one's name, the line keeps the one it was written with.
    const int writer = writerRow(parse.opcode);
    if (writer != parse.row) {
        line = commandName(parse.form, parse.row) +
               line.substr(std::strlen(commandName(parse.form, writer)));
    }
    // Start Color compares the last six bytes of its line.
    if (parse.opcode == Opcode::StartColor && !colour.empty()) {
        if (colour.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) {
            return refused("a colour cannot hold a line end or a NUL byte");
        }
        line += ' ';
        line += colour;
    }
    const LineParse back = parseScriptLine(line);
    if (!back.matched || back.row != parse.row || back.form != parse.form || back.numbers[0] != x ||
        back.numbers[1] != y || comparedColour(back, line) != colour) {
        return refused("the player would read the line \"" + line + "\" otherwise");
    }
    DraggedLine result;
    if (fromGbk == nullptr || !fromGbk(line, result.line)) {
        return refused("the line cannot be shown in UTF-8");
    }
    result.ok = true;
    return result;
}
