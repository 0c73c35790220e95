#pragma once
// Whether a file is a Windows executable the packer can copy as the player,
// and the header fields the packer puts right in every executable it writes.

#include <cstdint>
#include <string>
#include <string_view>

// Why `bytes` (a whole file) is not a 32- or 64-bit Windows executable program,
// or the empty text when it is one: the MZ header, the PE signature it points
// to, the executable flag, not a DLL, an optional header of a known kind.
std::string executableProblem(std::string_view bytes);

// The PE header's checksum of `bytes` (a whole executable) as the system's
// CheckSumMappedFile computes it: the 16-bit little-endian words of the file
// summed with the carries folded back in, the checksum field itself counted
// as zero, plus the file's length. `bytes` must pass executableProblem.
std::uint32_t imageChecksum(std::string_view bytes);
// The checksum the header holds.
std::uint32_t storedChecksum(std::string_view bytes);

// Where the certificate table (an Authenticode signature) lies: the security
// directory's file offset and size; both 0 when the file has none.
struct CertificateTable {
    std::uint32_t offset = 0;
    std::uint32_t size = 0;
};
CertificateTable certificateTable(std::string_view bytes);

// Makes `bytes` (passing executableProblem) an unsigned, consistent image: a
// certificate table goes, with the directory entry that points to it, and the
// header gets the checksum of the bytes that are left. True when a
// certificate table was removed.
bool finishImage(std::string& bytes);
