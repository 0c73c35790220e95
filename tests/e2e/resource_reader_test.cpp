// The resource reader on real modules: this test program's own resources and
// players, loaded as data files.

#include "script/resource_reader.h"
#include "support/e2e.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

platform::ModuleHandle ownModule() {
    return reinterpret_cast<platform::ModuleHandle>(GetModuleHandleA(nullptr));
}

// The reader's copy as bytes, with the NUL it must put after them.
std::string copyOf(const ResourceReader& reader) {
    EXPECT_NE(reader.data, nullptr);
    if (reader.data == nullptr)
        return "";
    EXPECT_EQ(reader.data[reader.size], '\0') << "the copy is terminated";
    return std::string(reader.data.get(), reader.size);
}

TEST(ResourceReaderOnOwnModule, CopiesEachPresentResourceWithATerminatingNul) {
    struct Case {
        int name;
        std::string bytes;
    };
    const Case cases[] = {
        {201, "first line\r\nsecond line\n\xbd\xe1\xca\xf8\n"},
        {202, ""},
        {203, std::string("ab\0cd", 5)},
        {ScriptResourceName, "first line\r\nsecond line\n\xbd\xe1\xca\xf8\n"},
    };
    for (const Case& c : cases) {
        ResourceReader reader(ownModule());
        ASSERT_TRUE(reader.load(c.name, ScriptResourceType)) << c.name;
        EXPECT_EQ(reader.size, c.bytes.size()) << c.name;
        EXPECT_EQ(copyOf(reader), c.bytes) << c.name;
    }
}

TEST(ResourceReaderOnOwnModule, AbsentResourcesLeaveNoCopy) {
    struct Case {
        int name;
        int type;
    };
    // 205 does not exist; 204 exists only as type 300; 65537 is not the id 1.
    for (const Case& c : {Case{205, 10}, Case{204, 10}, Case{65537, 10}}) {
        ResourceReader reader(ownModule());
        EXPECT_FALSE(reader.load(c.name, c.type)) << c.name;
        EXPECT_EQ(reader.data, nullptr) << c.name;
    }
    ResourceReader other(ownModule());
    EXPECT_TRUE(other.load(204, 300));
    EXPECT_EQ(copyOf(other), "other type");
}

TEST(ResourceReaderOnOwnModule, NoModuleHasNoScript) {
    ResourceReader reader(0);
    EXPECT_FALSE(reader.load(ScriptResourceName, ScriptResourceType));
    EXPECT_EQ(reader.data, nullptr);
}

// A program's resources without running it.
class DataModule {
  public:
    explicit DataModule(const std::string& path)
        : module(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    DataModule(const DataModule&) = delete;
    DataModule& operator=(const DataModule&) = delete;
    ~DataModule() {
        if (module != nullptr)
            FreeLibrary(module);
    }
    platform::ModuleHandle handle() const {
        return reinterpret_cast<platform::ModuleHandle>(module);
    }

  private:
    HMODULE module;
};

std::string hostFile(const char* path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

TEST(ResourceReaderOnPlayers, APlayerPackedAtBuildTimeCarriesItsScriptFile) {
    DataModule player(e2e::builtPlayerPath("packed_probe_player"));
    ASSERT_NE(player.handle(), 0u);
    const std::string script = hostFile(E2E_PACKED_SCRIPT);
    ASSERT_FALSE(script.empty());
    ResourceReader reader(player.handle());
    ASSERT_TRUE(reader.load(ScriptResourceName, ScriptResourceType));
    EXPECT_EQ(copyOf(reader), script);
}

TEST(ResourceReaderOnPlayers, ThePlainPlayerHasNoScript) {
    DataModule player(e2e::plainPlayerPath());
    ASSERT_NE(player.handle(), 0u);
    ResourceReader reader(player.handle());
    EXPECT_FALSE(reader.load(ScriptResourceName, ScriptResourceType));
    EXPECT_EQ(reader.data, nullptr);
}

TEST(ResourceReaderOnPlayers, AScriptAddedToACopyOfThePlayerIsFound) {
    struct Case {
        const char* name;
        std::string script;
    };
    const Case cases[] = {
        {"reader_probe", "Start No Box\r\n*Comment:测试\r\nEnd"},
        {"reader_probe_nul", std::string("SNB\nLClick\0End", 14)},
        {"reader_probe_empty", ""},
    };
    for (const Case& c : cases) {
        const std::string path = e2e::playerWithScript(c.name, c.script);
        ASSERT_FALSE(path.empty()) << c.name;
        DataModule player(path);
        ASSERT_NE(player.handle(), 0u) << c.name;
        ResourceReader reader(player.handle());
        ASSERT_TRUE(reader.load(ScriptResourceName, ScriptResourceType)) << c.name;
        EXPECT_EQ(copyOf(reader), c.script) << c.name;
    }
}

} // namespace
