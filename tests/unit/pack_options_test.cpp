// The packer's command line and its test of a player executable.

#include "pack_options.h"
#include "pe_image.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Arguments = std::vector<std::string>;

TEST(PackOptions, AcceptedCommandLines) {
    ParsedOptions pack = parsePackArguments(
        {"demo.txt", "-o", "demo.exe", "--encoding", "gbk", "--keep-cr", "--strict"});
    ASSERT_TRUE(pack.ok) << pack.error;
    EXPECT_EQ(pack.options.mode, PackMode::Pack);
    EXPECT_EQ(pack.options.script, "demo.txt");
    EXPECT_EQ(pack.options.output, "demo.exe");
    EXPECT_EQ(pack.options.encoding, SourceEncoding::Gbk);
    EXPECT_TRUE(pack.options.keepCr);
    EXPECT_TRUE(pack.options.strict);
    EXPECT_FALSE(pack.options.list);
    EXPECT_TRUE(pack.options.player.empty());

    ParsedOptions withPlayer =
        parsePackArguments({"-o", "x.exe", "--player", "p.exe", "s.txt", "--list"});
    ASSERT_TRUE(withPlayer.ok) << withPlayer.error;
    EXPECT_EQ(withPlayer.options.player, "p.exe");
    EXPECT_TRUE(withPlayer.options.list);
    EXPECT_EQ(withPlayer.options.encoding, SourceEncoding::Auto);

    ParsedOptions list = parsePackArguments({"s.txt", "--list", "--encoding", "utf-8"});
    ASSERT_TRUE(list.ok) << list.error;
    EXPECT_EQ(list.options.mode, PackMode::ListOnly);
    EXPECT_EQ(list.options.encoding, SourceEncoding::Utf8);

    ParsedOptions extract = parsePackArguments({"--extract", "demo.exe"});
    ASSERT_TRUE(extract.ok) << extract.error;
    EXPECT_EQ(extract.options.mode, PackMode::Extract);
    EXPECT_EQ(extract.options.extract, "demo.exe");

    // Dropped on the packer: SCRIPT.exe beside the script.
    ParsedOptions dropped = parsePackArguments({"C:\\My Scripts\\clicks.v2.txt"});
    ASSERT_TRUE(dropped.ok) << dropped.error;
    EXPECT_EQ(dropped.options.mode, PackMode::Pack);
    EXPECT_EQ(dropped.options.output, "C:\\My Scripts\\clicks.v2.exe");
    EXPECT_TRUE(dropped.options.outputBesideScript);
    EXPECT_FALSE(pack.options.outputBesideScript);

    ParsedOptions run = parsePackArguments({"--run", "s.txt", "--strict", "--player", "p.exe"});
    ASSERT_TRUE(run.ok) << run.error;
    EXPECT_EQ(run.options.mode, PackMode::Run);
    EXPECT_TRUE(run.options.output.empty());
    EXPECT_EQ(run.options.player, "p.exe");

    EXPECT_EQ(parsePackArguments({"--help"}).options.mode, PackMode::Help);
    EXPECT_EQ(parsePackArguments({"--version"}).options.mode, PackMode::Version);
    EXPECT_EQ(parsePackArguments({"x", "-h", "--bogus"}).options.mode, PackMode::Help);
}

TEST(PackOptions, UsageErrorsGiveOneClearLine) {
    struct Case {
        Arguments arguments;
        const char* expected;
    };
    const Case cases[] = {
        {{}, "no script file given"},
        {{"--run", "s.txt", "-o", "a.exe"}, "--run packs into a temporary file and takes no -o"},
        {{"--extract", "a.exe", "--run"}, "--extract takes only"},
        {{"s.txt", "-o"}, "-o needs a file name"},
        {{"s.txt", "-o", "a.exe", "-o", "b.exe"}, "-o is given twice"},
        {{"s.txt", "t.txt", "-o", "a.exe"}, "more than one script file: s.txt and t.txt"},
        {{"s.txt", "-o", "a.exe", "--encoding", "latin1"}, "unknown encoding \"latin1\""},
        {{"s.txt", "-o", "a.exe", "--encoding"}, "--encoding needs auto, gbk or utf-8"},
        {{"s.txt", "-o", "a.exe", "--fast"}, "unknown option --fast"},
        {{"--extract"}, "--extract needs the packed player's file name"},
        {{"--extract", "a.exe", "s.txt"}, "--extract takes only"},
        {{"--extract", "a.exe", "--strict"}, "--extract takes only"},
        {{"s.txt", "--list", "--player", "p.exe"}, "--player needs -o OUT.exe"},
    };
    for (const Case& c : cases) {
        ParsedOptions parsed = parsePackArguments(c.arguments);
        EXPECT_FALSE(parsed.ok) << testing::PrintToString(c.arguments);
        EXPECT_NE(parsed.error.find(c.expected), std::string::npos)
            << testing::PrintToString(c.arguments) << ": " << parsed.error;
        EXPECT_EQ(parsed.error.find('\n'), std::string::npos) << parsed.error;
    }
}

TEST(PackOptions, OutputBesideTheScriptReplacesOnlyTheNamesExtension) {
    EXPECT_EQ(outputBesideScript("demo.txt"), "demo.exe");
    EXPECT_EQ(outputBesideScript("demo"), "demo.exe");
    EXPECT_EQ(outputBesideScript("a.b\\demo"), "a.b\\demo.exe");
    EXPECT_EQ(outputBesideScript("a.b/demo"), "a.b/demo.exe");
    EXPECT_EQ(outputBesideScript("C:.txt"), "C:.txt.exe");
    EXPECT_EQ(outputBesideScript("dir\\.txt"), "dir\\.txt.exe");
    EXPECT_EQ(outputBesideScript("demo.exe"), "demo.exe"); // refused later: the script itself
}

// A minimal executable image: MZ header, PE signature, file header, optional
// header magic; `characteristics` and `magic` as given.
std::string image(std::uint16_t characteristics, std::uint16_t magic) {
    std::string bytes(0x80 + 4 + 20 + 224, '\0');
    bytes[0] = 'M';
    bytes[1] = 'Z';
    bytes[0x3C] = static_cast<char>(0x80);
    bytes.replace(0x80, 4, std::string("PE\0\0", 4));
    const std::size_t fileHeader = 0x84;
    bytes[fileHeader + 16] = static_cast<char>(224); // optional header size
    bytes[fileHeader + 18] = static_cast<char>(characteristics & 0xFF);
    bytes[fileHeader + 19] = static_cast<char>(characteristics >> 8);
    bytes[fileHeader + 20] = static_cast<char>(magic & 0xFF);
    bytes[fileHeader + 21] = static_cast<char>(magic >> 8);
    return bytes;
}

TEST(PackPlayerImage, OnlyExecutableProgramsAreAccepted) {
    EXPECT_EQ(executableProblem(image(0x0022, 0x20B)), "");
    EXPECT_EQ(executableProblem(image(0x0102, 0x10B)), "");
    struct Case {
        std::string bytes;
        const char* expected;
    };
    std::string farPe = image(0x0022, 0x20B);
    farPe[0x3C] = '\x7F';
    farPe[0x3D] = '\x7F';
    const Case cases[] = {
        {"", "no MZ header"},
        {"Start\nEnd\n", "no MZ header"},
        {image(0x0022, 0x20B).substr(0, 0x90), "outside the file"},
        {farPe, "outside the file"},
        {image(0x0020, 0x20B), "not marked as an executable image"},
        {image(0x2022, 0x20B), "a DLL"},
        {image(0x0022, 0x107), "unknown kind"},
    };
    for (const Case& c : cases) {
        std::string problem = executableProblem(c.bytes);
        EXPECT_NE(problem.find(c.expected), std::string::npos) << c.expected << ": " << problem;
    }
    std::string noSignature = image(0x0022, 0x20B);
    noSignature[0x81] = 'X';
    EXPECT_EQ(executableProblem(noSignature), "it has no PE signature");
}

} // namespace
