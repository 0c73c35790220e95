// The header checksum and the certificate table of the executables the packer
// writes, on a program as the linker wrote it.

#include "pack_pe_sample.h"
#include "pe_image.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr std::size_t SecurityEntry = 0x80 + 4 + 20 + 112 + 4 * 8; // PE32+ at 0x80

std::uint32_t word(const std::string& bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
    }
    return value;
}

void putWord(std::string& bytes, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<char>(value >> (8 * i));
    }
}

TEST(PackImage, ChecksumIsTheOneTheLinkerWrote) {
    std::string exe = packsample::tinyExe();
    ASSERT_EQ(executableProblem(exe), "");
    ASSERT_EQ(word(exe, 0x3C), 0x80u) << "the sample's layout changed";
    EXPECT_EQ(storedChecksum(exe), packsample::TinyExeChecksum);
    EXPECT_EQ(imageChecksum(exe), packsample::TinyExeChecksum);
    // The field itself does not count; any other byte does, and so does the
    // length, an odd one included.
    putWord(exe, 0x80 + 24 + 64, 0xDEADBEEF);
    EXPECT_EQ(imageChecksum(exe), packsample::TinyExeChecksum);
    std::string changed = packsample::tinyExe();
    changed[0x500] = '\x01';
    EXPECT_EQ(imageChecksum(changed), packsample::TinyExeChecksum + 1);
    changed = packsample::tinyExe() + '\x02';
    EXPECT_EQ(imageChecksum(changed), packsample::TinyExeChecksum + 3);
    // A carry out of the low 16 bits is folded back in: a word 0xFFFF where
    // the file held 0 carries one and leaves the low bits one short, so the
    // sum is as it was.
    changed = packsample::tinyExe();
    changed[0x700] = '\xFF';
    changed[0x701] = '\xFF';
    EXPECT_EQ(imageChecksum(changed), packsample::TinyExeChecksum);
    changed[0x702] = '\x01';
    EXPECT_EQ(imageChecksum(changed), packsample::TinyExeChecksum + 1);

    // finishImage puts a stale checksum right and changes nothing else.
    std::string stale = changed;
    putWord(stale, 0x80 + 24 + 64, 0x2CD5E);
    EXPECT_FALSE(finishImage(stale));
    EXPECT_EQ(storedChecksum(stale), imageChecksum(changed));
    putWord(changed, 0x80 + 24 + 64, imageChecksum(changed));
    EXPECT_EQ(stale, changed);
}

TEST(PackImage, ASignedImageLosesItsCertificateTableAndGetsItsChecksum) {
    const std::string unsigned_ = packsample::tinyExe();
    EXPECT_EQ(certificateTable(unsigned_).size, 0u);
    // Signed as signing tools do it: the table appended at an 8-byte boundary,
    // the security directory pointing at it, the checksum of the result.
    std::string exe = unsigned_ + std::string(4, '\0'); // padding to the table's alignment
    const std::string table = std::string("\x10\x00\x00\x00\x00\x02\x02\x00", 8) + "signatur";
    const std::uint32_t offset = static_cast<std::uint32_t>(exe.size());
    exe += table;
    putWord(exe, SecurityEntry, offset);
    putWord(exe, SecurityEntry + 4, static_cast<std::uint32_t>(table.size()));
    ASSERT_EQ(certificateTable(exe).offset, offset);
    ASSERT_EQ(certificateTable(exe).size, table.size());
    EXPECT_TRUE(finishImage(exe));
    EXPECT_EQ(exe, unsigned_);
    EXPECT_EQ(certificateTable(exe).size, 0u);
    EXPECT_EQ(storedChecksum(exe), packsample::TinyExeChecksum);

    // A directory entry that points past the end of the file still goes, and
    // the bytes are left alone.
    exe = unsigned_;
    putWord(exe, SecurityEntry, 0x100000);
    putWord(exe, SecurityEntry + 4, 64);
    EXPECT_TRUE(finishImage(exe));
    EXPECT_EQ(exe, unsigned_);
}

} // namespace
