// The studio's recovery copy: what is written comes back whole, and a copy that
// was cut short or changed in any byte is refused.

#include "studio_recovery.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace {

TEST(StudioRecovery, RecordsComeBackWholeAndDamagedCopiesAreRefused) {
    RecoveryRecord gbk;
    gbk.path = "C:\\\xE8\x84\x9A\xE6\x9C\xAC\\demo.txt"; // a Chinese folder, UTF-8
    gbk.format = TextFormat{SourceEncoding::Gbk, false, LineEndStyle::Cr, true};
    gbk.text = "Start\n\xE5\xBB\xB6\xE6\x97\xB6 10\nEnd\n";
    RecoveryRecord unsaved; // never saved: no path, the new script's format
    unsaved.text = "LClick";
    RecoveryRecord empty;
    empty.format = TextFormat{SourceEncoding::Utf8, true, LineEndStyle::Lf, false};

    for (const RecoveryRecord& record : {gbk, unsaved, empty}) {
        const std::string bytes = encodeRecovery(record);
        RecoveryRecord back;
        ASSERT_TRUE(decodeRecovery(bytes, back)) << record.text;
        EXPECT_EQ(back.path, record.path);
        EXPECT_EQ(back.text, record.text);
        EXPECT_EQ(back.format.encoding, record.format.encoding);
        EXPECT_EQ(back.format.byteOrderMark, record.format.byteOrderMark);
        EXPECT_EQ(back.format.lineEnds, record.format.lineEnds);
        EXPECT_EQ(back.format.mixedLineEnds, record.format.mixedLineEnds);

        for (std::size_t length = 0; length < bytes.size(); ++length) {
            EXPECT_FALSE(decodeRecovery(bytes.substr(0, length), back)) << "cut at " << length;
        }
        EXPECT_FALSE(decodeRecovery(bytes + '\0', back)) << "one byte more";
        for (std::size_t at = 0; at < bytes.size(); ++at) {
            for (unsigned char flip : {0x01, 0x80, 0xFF}) {
                std::string damaged = bytes;
                damaged[at] = static_cast<char>(damaged[at] ^ flip);
                EXPECT_FALSE(decodeRecovery(damaged, back)) << "byte " << at << " changed";
            }
        }
    }
}

// CRC-32 bit by bit, to seal a copy the way a studio writes it.
std::uint32_t sealOf(std::string_view bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (char byte : bytes) {
        crc ^= static_cast<unsigned char>(byte);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1) != 0 ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
        }
    }
    return crc ^ 0xFFFFFFFFu;
}

void putWord(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

// A copy whose path and text lengths are rewritten and whose checksum is made
// right again: sealed, but not what any studio wrote. Refused, never cut.
TEST(StudioRecovery, ASealedCopyWhoseLengthsDoNotAddUpIsRefused) {
    RecoveryRecord record;
    record.path = "C:\\scripts\\demo.txt";
    record.text = "Start\nLClick\nEnd\n";
    const std::string bytes = encodeRecovery(record);
    const std::size_t lengths = bytes.size() - 4 - record.path.size() - record.text.size() - 8;
    RecoveryRecord back;
    ASSERT_TRUE(decodeRecovery(bytes, back));
    ASSERT_EQ(back.path, record.path); // the lengths stand where this test writes them

    const auto path = static_cast<std::uint32_t>(record.path.size());
    const auto text = static_cast<std::uint32_t>(record.text.size());
    const struct {
        std::uint32_t path;
        std::uint32_t text;
    } cases[] = {
        {path + 1, text},
        {path, text + 1},
        {path - 1, text},
        {path, text - 1},
        {0, text},
        {path + text + 1, 0},
        {0xFFFFFFFFu, text + path + 1}, // adds up only in 32 bits
        {0xFFFFFFFFu, 0xFFFFFFFFu},
    };
    for (const auto& c : cases) {
        std::string sealed = bytes;
        putWord(sealed, lengths, c.path);
        putWord(sealed, lengths + 4, c.text);
        putWord(sealed, sealed.size() - 4,
                sealOf(std::string_view(sealed).substr(0, sealed.size() - 4)));
        back = RecoveryRecord{};
        EXPECT_FALSE(decodeRecovery(sealed, back)) << c.path << " + " << c.text;
        EXPECT_TRUE(back.path.empty() && back.text.empty()) << c.path << " + " << c.text;
    }
}

} // namespace
