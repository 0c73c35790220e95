// The studio's document: after any series of edits, the incremental check finds
// exactly what a fresh check of the whole script finds, and an edit re-checks
// only a few lines. Chinese literals are GBK; toUtf8 gives the editor's form.

#include "studio_document.h"
#include "studio_file.h"
#include "studio_test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

using studio_test::toUtf8;
using studio_test::utf8CharacterToGbk;

const std::string Smile = "\xF0\x9F\x98\x80"; // U+1F600, which GBK lacks

using Listed = std::tuple<int, FindingKind, std::string>;

std::vector<Listed> listed(const std::vector<Problem>& problems) {
    std::vector<Listed> out;
    for (const Problem& problem : problems) {
        out.emplace_back(problem.line, problem.kind, problem.message);
    }
    return out;
}

std::vector<Listed> listed(const std::vector<Finding>& findings) {
    std::vector<Listed> out;
    for (const Finding& finding : findings) {
        out.emplace_back(finding.fileLine, finding.kind, finding.message);
    }
    return out;
}

StudioDocument freshDocument(std::string_view text) {
    StudioDocument document;
    document.toGbk = utf8CharacterToGbk;
    setDocumentText(document, text);
    return document;
}

// The document against the packer's check of the same script and against a
// document made afresh from its text.
void expectSameAsFreshCheck(const StudioDocument& document, const std::string& label) {
    const std::string text = documentText(document);
    const StudioDocument fresh = freshDocument(text);
    EXPECT_EQ(listed(documentProblems(document)), listed(documentProblems(fresh))) << label;
    EXPECT_EQ(document.firstKept, fresh.firstKept) << label;
    EXPECT_EQ(document.lastKept, fresh.lastKept) << label;
    bool ok = false;
    const std::string bytes = scriptBytes(document, ok);
    if (!ok) {
        EXPECT_TRUE(documentHasErrors(document)) << label;
        return;
    }
    EXPECT_EQ(bytes, studio_test::utf8ToGbk(text)) << label;
    const std::vector<Finding> packed = checkScript(bytes);
    EXPECT_EQ(listed(documentProblems(document)), listed(packed)) << label;
    EXPECT_EQ(documentHasErrors(document), hasErrors(packed)) << label;
    std::string firstError;
    for (const Finding& finding : packed) {
        if (finding.kind == FindingKind::Error) {
            firstError = formatFinding(finding);
            break;
        }
    }
    EXPECT_EQ(firstErrorText(document), firstError) << label;
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

TEST(StudioDocument, IncrementalCheckMatchesAFreshCheckAfterRandomEdits) {
    const char* pool[] = {"Start",
                          "开始",
                          "Start No Box",
                          "STR",
                          "LClick",
                          "LCLICK",
                          "MoveTo 10 20",
                          "MoveTo 10",
                          "MoveTo",
                          "Delay 100",
                          "延时 50",
                          "Break Key F12",
                          "结束热键 ctrl+",
                          "PutChar Hello World",
                          "输出文字(剪贴板) 你好",
                          "WaitColor 1 2 ff0000",
                          "判断标题则继续 记事本 ",
                          "Bogus line",
                          " LClick",
                          "End",
                          "结束",
                          "Loop",
                          "REM note",
                          "*说明: 注释",
                          "",
                          "",
                          "",
                          "If Key F5",
                          "Excute notepad",
                          "Start Color 5 5 00FF00",
                          "PutText x",
                          "Loop Times 3",
                          "\r"};
    std::vector<std::string> lines;
    for (const char* line : pool) {
        lines.push_back(toUtf8(line));
    }
    lines.push_back("PutTextCb " + Smile + "5");

    std::vector<std::pair<std::string, std::string>> scripts;
    for (const auto& entry : std::filesystem::directory_iterator(PLAYER_SOURCE_DIR "/examples")) {
        const OpenedText opened = decodeScriptFile(readFile(entry.path()), studio_test::gbkToUtf8);
        ASSERT_EQ(opened.problem, OpenProblem::None) << entry.path();
        scripts.emplace_back(entry.path().filename().string(), opened.text);
    }
    ASSERT_GE(scripts.size(), 5u);
    scripts.emplace_back("empty", "");
    scripts.emplace_back("blank lines", "\n\n\n");

    std::mt19937 random(1234);
    const auto below = [&random](int bound) {
        return bound <= 0 ? 0 : static_cast<int>(random() % static_cast<unsigned>(bound));
    };
    for (const auto& [name, text] : scripts) {
        StudioDocument document = freshDocument(text);
        expectSameAsFreshCheck(document, name + " as opened");
        for (int edit = 0; edit < 60; ++edit) {
            const int count = static_cast<int>(document.lines.size());
            const std::uint64_t checkedBefore = document.checkedLines;
            std::vector<std::string> inserted;
            int first = below(count + 1);
            int removed = 0;
            if (edit % 3 == 0 && count > 0) {
                // A character typed into a line, at a character boundary.
                first = below(count);
                removed = 1;
                std::string line = document.lines[first].text;
                std::size_t at = static_cast<std::size_t>(below(static_cast<int>(line.size()) + 1));
                while (at < line.size() && (static_cast<unsigned char>(line[at]) & 0xC0) == 0x80) {
                    ++at;
                }
                line.insert(at, 1, " 0aZ+"[below(5)]);
                inserted.push_back(line);
            } else {
                removed = below(std::min(3, count - first) + 1);
                for (int i = below(4); i > 0; --i) {
                    inserted.push_back(lines[below(static_cast<int>(lines.size()))]);
                }
            }
            replaceLines(document, first, removed, inserted);
            const std::string label =
                name + ", edit " + std::to_string(edit) + " at line " + std::to_string(first + 1);
            EXPECT_LE(document.checkedLines - checkedBefore, inserted.size() + 4) << label;
            expectSameAsFreshCheck(document, label);
        }
    }
}

TEST(StudioDocument, ALineWithoutGbkFormIsAnErrorInTheDocumentsLanguage) {
    StudioDocument document = freshDocument(toUtf8("开始\nPutTextCb 价") + Smile + "\nEnd");
    std::vector<Problem> problems = documentProblems(document);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].line, 2);
    EXPECT_EQ(problems[0].message,
              "column 12: the character U+1F600 has no GBK form, so the player cannot carry it");
    EXPECT_EQ(firstErrorText(document), "line 2: error: " + problems[0].message);
    bool ok = true;
    EXPECT_TRUE(scriptBytes(document, ok).empty());
    EXPECT_FALSE(ok);

    setDocumentLanguage(document, UiLanguage::Chinese);
    problems = documentProblems(document);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].message, "第 12 列：字符 U+1F600 没有 GBK 编码，播放器无法携带");
}

} // namespace
