// Where the studio looks for the user's guide: beside itself as the zip lays
// it out, then the source tree's docs for a build tree; its language first.

#include "guide_place.h"

#include <gtest/gtest.h>

TEST(StudioGuidePlace, LooksBesideTheStudioThenInTheSourceTreeInItsLanguageFirst) {
    EXPECT_EQ(guideCandidates(u"C:\\Tools\\Player\\", UiLanguage::Chinese),
              (std::vector<std::u16string>{
                  u"C:\\Tools\\Player\\docs\\guide.zh.md",
                  u"C:\\docs\\guide.zh.md",
                  u"C:\\Tools\\Player\\docs\\guide.md",
                  u"C:\\docs\\guide.md",
              }));
    // A build tree: build\windows\studio.exe under the source tree.
    const std::vector<std::u16string> build =
        guideCandidates(u"Z:\\work\\src\\build\\windows\\", UiLanguage::English);
    ASSERT_EQ(build.size(), 4u);
    EXPECT_EQ(build[0], u"Z:\\work\\src\\build\\windows\\docs\\guide.md");
    EXPECT_EQ(build[1], u"Z:\\work\\src\\docs\\guide.md");
    EXPECT_EQ(build[2], u"Z:\\work\\src\\build\\windows\\docs\\guide.zh.md");
    // A studio at a drive's root has no tree above it.
    EXPECT_EQ(guideCandidates(u"D:\\", UiLanguage::English),
              (std::vector<std::u16string>{u"D:\\docs\\guide.md", u"D:\\docs\\guide.zh.md"}));
}
