// The studio's recovery copy: what is written comes back whole, and a copy that
// was cut short or changed in any byte is refused.

#include "studio_recovery.h"

#include <gtest/gtest.h>

#include <string>

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

} // namespace
