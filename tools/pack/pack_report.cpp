#include "pack_report.h"

namespace {

// The longest start of `line` of at most `limit` bytes that splits no GBK
// character (a lead byte 0x81 to 0xFE takes the byte after it along).
std::size_t cutBetweenCharacters(std::string_view line, std::size_t limit) {
    std::size_t at = 0;
    while (at < line.size()) {
        const unsigned char byte = static_cast<unsigned char>(line[at]);
        const std::size_t width = byte >= 0x81 && byte <= 0xFE && at + 1 < line.size() ? 2 : 1;
        if (at + width > limit) {
            break;
        }
        at += width;
    }
    return at;
}

} // namespace

std::string reportForBox(std::string_view transcript) {
    while (!transcript.empty() && (transcript.back() == '\n' || transcript.back() == '\r')) {
        transcript.remove_suffix(1);
    }
    std::string report;
    std::size_t lines = 0;
    std::size_t left = 0;
    std::size_t start = 0;
    while (start <= transcript.size() && !transcript.empty()) {
        std::size_t end = transcript.find('\n', start);
        if (end == std::string_view::npos) {
            end = transcript.size();
        }
        std::string_view line = transcript.substr(start, end - start);
        start = end + 1;
        if (lines == ReportMaxLines) {
            ++left;
            continue;
        }
        ++lines;
        if (line.size() > ReportMaxLineBytes) {
            report.append(line.substr(0, cutBetweenCharacters(line, ReportMaxLineBytes - 3)));
            report.append("...");
        } else {
            report.append(line);
        }
        report.push_back('\n');
    }
    if (left > 0) {
        report.push_back('(');
        report.append(std::to_string(left));
        report.append(left == 1 ? " more line)" : " more lines)");
    } else if (!report.empty()) {
        report.pop_back();
    }
    return report;
}
