#pragma once
// A signed Windows executable carries its Authenticode certificate table at the very end of
// the file, after everything else, so a signed saver's package ends where that table begins.
// The optional header's security directory entry (index 4) says where the table is; unlike
// every other directory entry, its "address" is a file offset, not a virtual address.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/file_system.h"

namespace vitrine {

enum class CertificateTableState {
  None,     // not a PE file, no security entry, or an empty one: the file reads as it is
  AtEnd,    // the table ends the file: the package ends before it
  Inside,   // the table lies inside the file, ending before its end (a player signed before a
            // package was appended to it): the package still ends at the end of the file
  Damaged,  // the entry points outside the file or into the headers
};

struct CertificateTable {
  CertificateTableState State = CertificateTableState::None;
  int64_t Offset = 0;  // the table's file offset and size, as the entry gives them
  int64_t Size = 0;
  // Where the package's trailer ends: the file size, or the table's offset less the zero bytes
  // (at most 7) that a signer adds to align the table on 8 bytes.
  int64_t PackageEnd = 0;
  // File offset of the 8-byte security entry; -1 when the file has none.
  int64_t EntryOffset = -1;
  // End of the headers and the section table; the table may not start before it.
  int64_t HeadersEnd = 0;
  // For Damaged: what is wrong, as a phrase ("points outside the file", ...).
  std::string Damage;

  // True when the range [start, fileSize) of a package read from the end of the file overlaps
  // a table left inside the file.
  bool OverlapsPackageFrom(int64_t start) const {
    return State == CertificateTableState::Inside && start < Offset + Size;
  }
  // "its certificate table entry (offset 4096, 16 bytes) points outside the file"
  std::string DamageText() const {
    return "its certificate table entry (offset " + std::to_string(Offset) + ", " + std::to_string(Size) +
           " bytes) " + Damage;
  }
};

// Reads the DOS, PE and optional headers through bounded reads; never reads outside the file.
CertificateTable LocateCertificateTable(ReadOnlyFile& file);
CertificateTable LocateCertificateTable(std::span<const uint8_t> bytes);

// A view of the first `end` bytes of a file: what a package reader sees of a signed saver.
std::unique_ptr<ReadOnlyFile> FilePrefix(std::unique_ptr<ReadOnlyFile> file, int64_t end);

// Removes a certificate table that ends the executable and zeroes its directory entry, so that
// a package can be appended and the whole file signed afresh. False (bytes untouched) when
// there is no table at the end; a damaged entry raises Error naming what is wrong.
bool StripCertificateTable(std::vector<uint8_t>& exe);

}  // namespace vitrine
