#include "platform/fake/fake.h"
#include "script/resource_reader.h"
#include "script/script.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

constexpr platform::ModuleHandle Module = 0x400000;

TEST(ResourceReader, CopiesTheResourceWithATrailingNul) {
    fake::reset();
    std::string bytes("Start\nLClick\0hidden\nEnd", 24);
    fake::setResource(Module, ScriptResourceName, ScriptResourceType, bytes);
    ResourceReader reader(Module);
    ASSERT_TRUE(reader.load(ScriptResourceName, ScriptResourceType));
    ASSERT_NE(reader.data, nullptr);
    ASSERT_EQ(reader.size, 24u); // the reads below go as far as byte 24
    EXPECT_EQ(std::memcmp(reader.data.get(), bytes.data(), bytes.size()), 0);
    EXPECT_EQ(reader.data[24], '\0');
    EXPECT_EQ(fake::callTexts(), (std::vector<std::string>{"resource 1 10"}));
    // Only the text before the NUL becomes the script.
    Script script;
    script.splitLines(reader.data.get());
    EXPECT_EQ(script.lineCount, 2);
}

TEST(ResourceReader, EmptyResourceIsOneNulByte) {
    fake::reset();
    fake::setResource(Module, ScriptResourceName, ScriptResourceType, "");
    ResourceReader reader(Module);
    ASSERT_TRUE(reader.load(ScriptResourceName, ScriptResourceType));
    EXPECT_EQ(reader.size, 0u);
    ASSERT_NE(reader.data, nullptr);
    EXPECT_EQ(reader.data[0], '\0');
    Script script;
    script.splitLines(reader.data.get());
    EXPECT_EQ(script.lineCount, 0);
    EXPECT_NE(script.commands, nullptr);
}

TEST(ResourceReader, MissingResourceLeavesNoData) {
    fake::reset();
    fake::setResource(Module, 2, ScriptResourceType, "other name");
    fake::setResource(Module, ScriptResourceName, 6, "other type");
    fake::setResource(Module + 1, ScriptResourceName, ScriptResourceType, "other module");
    ResourceReader reader(Module);
    EXPECT_FALSE(reader.load(ScriptResourceName, ScriptResourceType));
    EXPECT_EQ(reader.data, nullptr);

    ResourceReader noModule(0);
    fake::clearCalls();
    EXPECT_FALSE(noModule.load(ScriptResourceName, ScriptResourceType));
    EXPECT_EQ(noModule.data, nullptr);
    EXPECT_TRUE(fake::callTexts().empty());
}

TEST(ResourceReader, FailedLoadDropsAnEarlierCopy) {
    fake::reset();
    fake::setResource(Module, ScriptResourceName, ScriptResourceType, "Start");
    ResourceReader reader(Module);
    ASSERT_TRUE(reader.load(ScriptResourceName, ScriptResourceType));
    EXPECT_FALSE(reader.load(2, ScriptResourceType));
    EXPECT_EQ(reader.data, nullptr);
    EXPECT_EQ(reader.size, 0u);
}

} // namespace
