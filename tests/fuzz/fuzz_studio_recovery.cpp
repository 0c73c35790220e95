// The studio's recovery copy on any bytes. The first input byte chooses what
// is checked:
// - even: the bytes are a copy found on disk. Decoding never reads past them,
//   and what it accepts is exactly what the encoder writes for the record it
//   gives: no accepted copy is cut differently from how it was written.
// - odd: the rest makes a record (format byte, path length byte, path, text);
//   its copy decodes to the same record, and the copy cut short, one byte
//   longer or with any one byte changed (at a place the input picks) is refused.

#include "check.h"

#include "studio_recovery.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace {

bool sameRecord(const RecoveryRecord& a, const RecoveryRecord& b) {
    return a.path == b.path && a.text == b.text && a.format.encoding == b.format.encoding &&
           a.format.byteOrderMark == b.format.byteOrderMark &&
           a.format.lineEnds == b.format.lineEnds &&
           a.format.mixedLineEnds == b.format.mixedLineEnds;
}

void checkFoundCopy(std::string_view bytes) {
    RecoveryRecord record;
    if (!decodeRecovery(bytes, record)) {
        return;
    }
    FUZZ_CHECK(encodeRecovery(record) == bytes);
}

void checkWrittenCopy(std::string_view input) {
    if (input.size() < 4) {
        return;
    }
    const auto format = static_cast<unsigned char>(input[0]);
    const std::size_t pathLength = static_cast<unsigned char>(input[1]);
    const std::size_t damageAt = static_cast<unsigned char>(input[2]);
    const auto flip = static_cast<unsigned char>(input[3] | 1); // never zero
    input.remove_prefix(4);
    RecoveryRecord record;
    record.format.encoding = (format & 1) != 0 ? SourceEncoding::Gbk : SourceEncoding::Utf8;
    record.format.byteOrderMark = (format & 2) != 0;
    record.format.lineEnds = static_cast<LineEndStyle>((format >> 2) % 3);
    record.format.mixedLineEnds = (format & 0x10) != 0;
    record.path = input.substr(0, pathLength);
    record.text = input.substr(record.path.size());

    const std::string bytes = encodeRecovery(record);
    RecoveryRecord back;
    FUZZ_CHECK(decodeRecovery(bytes, back));
    FUZZ_CHECK(sameRecord(back, record));

    RecoveryRecord refused;
    const std::size_t cut = damageAt * bytes.size() / 256;
    FUZZ_CHECK(!decodeRecovery(std::string_view(bytes).substr(0, cut), refused));
    FUZZ_CHECK(!decodeRecovery(bytes + static_cast<char>(flip), refused));
    std::string damaged = bytes;
    damaged[cut] = static_cast<char>(damaged[cut] ^ flip);
    FUZZ_CHECK(!decodeRecovery(damaged, refused));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    if ((data[0] & 1) == 0) {
        checkFoundCopy(bytes);
    } else {
        checkWrittenCopy(bytes);
    }
    return 0;
}
