#include "package/certificate_table.h"

#include <gtest/gtest.h>

#include "core/errors.h"
#include "package/memory_file_system.h"
#include "package/project_info.h"
#include "package_test_util.h"

namespace vitrine::test {
namespace {

// A hand-made PE32+ header: DOS header pointing at "PE\0\0" at 0x80, an optional header of
// 240 bytes at 0x98 (security entry at 0x128), one section header ending at 0x1B0 and
// SizeOfHeaders 0x200; then 0x200 bytes of "image", so the player is 0x400 bytes.
constexpr size_t kPlayerSize = 0x400;
constexpr size_t kSecurityEntry = 0x128;
constexpr size_t kHeadersEnd = 0x200;

void Put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  b[at] = uint8_t(v);
  b[at + 1] = uint8_t(v >> 8);
}
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}

std::vector<uint8_t> Player() {
  std::vector<uint8_t> b(kPlayerSize, 0xCC);
  std::fill(b.begin(), b.begin() + kHeadersEnd, 0);
  b[0] = 'M';
  b[1] = 'Z';
  Put32(b, 0x3C, 0x80);
  b[0x80] = 'P';
  b[0x81] = 'E';
  Put16(b, 0x84, 0x8664);  // machine
  Put16(b, 0x86, 1);       // sections
  Put16(b, 0x94, 240);     // size of the optional header
  Put16(b, 0x98, 0x20B);   // PE32+
  Put32(b, 0x98 + 60, kHeadersEnd);
  Put32(b, 0x98 + 108, 16);  // directory entries
  return b;
}

void SetSecurityEntry(std::vector<uint8_t>& b, uint32_t offset, uint32_t size) {
  Put32(b, kSecurityEntry, offset);
  Put32(b, kSecurityEntry + 4, size);
}

// A package after the player: one record area, a project record naming the saver, the index.
std::string Package(size_t at) {
  std::string records = Field(1, "0") + Field(2, "a.jpg") + "\x7F";
  std::string project = Field(30, "Signed.scr") + "\x7F";
  std::string index = Entry('1', at) + Entry('2', at) + Entry('3', at) + Entry('4', at) + Entry('5', at) +
                      Entry('6', at + records.size());
  return records + project + IndexAndTrailer(index);
}

// The player, the package, zeros up to a multiple of 8 and a certificate table, as a signer
// leaves a file; the security entry points at the table.
std::vector<uint8_t> Signed(std::vector<uint8_t> file, size_t tableSize = 24) {
  while (file.size() % 8) file.push_back(0);
  SetSecurityEntry(file, static_cast<uint32_t>(file.size()), static_cast<uint32_t>(tableSize));
  file.insert(file.end(), tableSize, 0x30);
  return file;
}

std::vector<uint8_t> Saver(std::vector<uint8_t> player) {
  std::string package = Package(player.size());
  player.insert(player.end(), package.begin(), package.end());
  return player;
}

class CertificateTableTest : public ::testing::Test {
 protected:
  std::unique_ptr<TProjectInfo> Open(const std::vector<uint8_t>& bytes) {
    fs.Files["/s.scr"] = bytes;
    return std::make_unique<TProjectInfo>("/s.scr", fs);
  }
  MemoryFileSystem fs;
};

TEST_F(CertificateTableTest, ASignedSaverIsReadUpToItsCertificateTable) {
  std::vector<uint8_t> unsigned_ = Saver(Player());
  std::vector<uint8_t> file = Signed(unsigned_);
  ASSERT_NE(unsigned_.size() % 8, 0u) << "the test wants padding before the table";

  CertificateTable t = LocateCertificateTable(file);
  EXPECT_EQ(t.State, CertificateTableState::AtEnd);
  EXPECT_EQ(t.PackageEnd, static_cast<int64_t>(unsigned_.size()));
  EXPECT_EQ(t.EntryOffset, static_cast<int64_t>(kSecurityEntry));

  auto p = Open(file);
  ASSERT_TRUE(p->IndexRead);
  ASSERT_TRUE(p->ReadProject());
  ASSERT_TRUE(p->ReadPictures());
  EXPECT_EQ(p->SaverName, "Signed.scr");
  ASSERT_EQ(p->Pictures.size(), 1u);
  EXPECT_EQ(p->Pictures[0].FileName, "a.jpg");
  // The record area of 11 bytes and the project record of 13 end where the index starts.
  EXPECT_EQ(p->Positions.IndexStart, static_cast<int32_t>(kPlayerSize + 24));
}

TEST_F(CertificateTableTest, FilesWithoutATableReadAsTheyAre) {
  // An unsigned player, a file that is no executable, an empty entry, a PE32 header whose
  // directory stops before the security entry, and headers cut short.
  std::vector<uint8_t> plain = Saver(Player());
  std::vector<uint8_t> notExe = Saver(std::vector<uint8_t>(64, 'x'));
  std::vector<uint8_t> emptyEntry = Player();
  SetSecurityEntry(emptyEntry, 0x300, 0);
  emptyEntry = Saver(emptyEntry);
  std::vector<uint8_t> fewDirectories = Player();
  Put32(fewDirectories, 0x98 + 108, 4);
  fewDirectories = Signed(Saver(fewDirectories));
  std::vector<uint8_t> cut = Player();
  cut.resize(0x120);

  for (const auto* file : {&plain, &notExe, &emptyEntry, &fewDirectories, &cut}) {
    CertificateTable t = LocateCertificateTable(*file);
    EXPECT_NE(t.State, CertificateTableState::AtEnd);
    EXPECT_NE(t.State, CertificateTableState::Damaged);
    EXPECT_EQ(t.PackageEnd, static_cast<int64_t>(file->size()));
  }
  EXPECT_TRUE(Open(plain)->IndexRead);
  EXPECT_TRUE(Open(notExe)->IndexRead);
  EXPECT_TRUE(Open(emptyEntry)->IndexRead);
}

TEST_F(CertificateTableTest, APe32HeaderHasItsDirectoryFurtherUp) {
  std::vector<uint8_t> player = Player();
  Put16(player, 0x94, 224);
  Put16(player, 0x98, 0x10B);
  Put32(player, 0x98 + 108, 0);
  Put32(player, 0x98 + 92, 16);
  std::vector<uint8_t> file = Saver(player);
  while (file.size() % 8) file.push_back(0);
  Put32(file, 0x98 + 96 + 32, static_cast<uint32_t>(file.size()));
  Put32(file, 0x98 + 96 + 36, 16);
  file.insert(file.end(), 16, 0x30);
  CertificateTable t = LocateCertificateTable(file);
  EXPECT_EQ(t.State, CertificateTableState::AtEnd);
  EXPECT_EQ(t.EntryOffset, 0x98 + 96 + 32);
  EXPECT_TRUE(Open(file)->IndexRead);
}

TEST_F(CertificateTableTest, ADamagedEntryIsThePackagesOwnErrorAndNothingIsReadOutOfBounds) {
  std::vector<uint8_t> good = Signed(Saver(Player()));
  const uint32_t tableAt = static_cast<uint32_t>(good.size() - 24);
  struct Case {
    uint32_t offset, size;
    const char* damage;
  } cases[] = {
      {tableAt, 25, "points outside the file"},
      {0xFFFFFFF0u, 0x20, "points outside the file"},  // offset + size wraps in 32 bits
      {tableAt + 8, 0xFFFFFFFFu, "points outside the file"},
      {0x100, static_cast<uint32_t>(good.size() - 0x100), "overlaps the headers"},
      {0, static_cast<uint32_t>(good.size()), "overlaps the headers"},
      {static_cast<uint32_t>(good.size() - 4), 4, "is too short to hold a certificate"},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> file = good;
    SetSecurityEntry(file, c.offset, c.size);
    CertificateTable t = LocateCertificateTable(file);
    EXPECT_EQ(t.State, CertificateTableState::Damaged) << c.offset << "," << c.size;
    EXPECT_EQ(t.Damage, c.damage) << c.offset << "," << c.size;
    EXPECT_FALSE(Open(file)->IndexRead);
  }
  std::vector<uint8_t> file = good;
  SetSecurityEntry(file, 0x100, 24);
  EXPECT_EQ(LocateCertificateTable(file).DamageText(),
            "its certificate table entry (offset 256, 24 bytes) overlaps the headers");
}

TEST_F(CertificateTableTest, ATableLeftInsideTheFileMustLieBeforeThePackage) {
  // A player signed and then packed by a tool that kept its table: the package follows it.
  std::vector<uint8_t> signedPlayer = Signed(Player());
  std::vector<uint8_t> old = Saver(signedPlayer);
  EXPECT_EQ(LocateCertificateTable(old).State, CertificateTableState::Inside);
  EXPECT_TRUE(Open(old)->IndexRead);

  // An entry inside the file that reaches into the package's records is damage.
  std::vector<uint8_t> overlapping = old;
  SetSecurityEntry(overlapping, static_cast<uint32_t>(signedPlayer.size()), 16);
  auto p = Open(overlapping);
  EXPECT_FALSE(p->IndexRead);
  EXPECT_EQ(p->Certificate.Damage, "overlaps the package");
}

TEST_F(CertificateTableTest, StrippingASignedPlayerLeavesTheUnsignedBytesAndAnEmptyEntry) {
  std::vector<uint8_t> player = Player();
  std::vector<uint8_t> signedPlayer = Signed(player, 40);
  ASSERT_TRUE(StripCertificateTable(signedPlayer));
  ASSERT_EQ(signedPlayer.size(), player.size());  // 0x400 needs no padding
  EXPECT_EQ(signedPlayer, player);
  EXPECT_EQ(LocateCertificateTable(signedPlayer).State, CertificateTableState::None);

  std::vector<uint8_t> unsignedPlayer = Player();
  EXPECT_FALSE(StripCertificateTable(unsignedPlayer));
  EXPECT_EQ(unsignedPlayer, Player());

  std::vector<uint8_t> damaged = Player();
  SetSecurityEntry(damaged, 0x3F0, 0x20);
  EXPECT_THROW(
      {
        try {
          StripCertificateTable(damaged);
        } catch (const Error& e) {
          EXPECT_STREQ(e.what(), "its certificate table entry (offset 1008, 32 bytes) points outside the file");
          throw;
        }
      },
      Error);
}

}  // namespace
}  // namespace vitrine::test
