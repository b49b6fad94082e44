#include "core/site_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/temp_folder.h"

namespace qn {
namespace {

// A site whose reserved bytes are all `reserved`, so a test sees whether they moved with it.
SiteRecord Site(const std::string& name, const std::string& address, char reserved = '\0') {
  SiteRecord r;
  r.SetName(name);
  r.SetAddress(address);
  r.SetPortType('0');
  std::string bytes(r.View());
  std::fill(bytes.begin() + SiteRecord::kFieldsSize, bytes.end(), reserved);
  return SiteRecord::FromBytes(bytes);
}

std::string Bytes(const std::vector<SiteRecord>& records) { return SerialiseSiteFile(records); }

class SiteFileTest : public ::testing::Test {
 protected:
  fakes::TempFolder dir_;
  DataFolder folder_{dir_.Path()};
  SiteFile sites_{folder_, SessionKind::Telnet};
};

TEST_F(SiteFileTest, NamesFollowTheSessionKind) {
  EXPECT_EQ(SiteFile::FileName(SessionKind::Telnet), "qln.sit");
  EXPECT_EQ(SiteFile::FileName(SessionKind::Web), "qln.sit");
  EXPECT_EQ(SiteFile::FileName(SessionKind::Tnc), "qlntnc.sit");
  EXPECT_EQ(SiteFile::BackupName(SessionKind::Telnet), "qln.bak");
  EXPECT_EQ(SiteFile::BackupName(SessionKind::Tnc), "qlntnc.bak");
  SiteFile tnc(folder_, SessionKind::Tnc);
  EXPECT_EQ(*tnc.ScriptName("gb7djk-ab"), "SCRIPT\\GB7DJK-A.TNC");
  EXPECT_EQ(*sites_.ScriptName("gb7djk-ab"), "SCRIPT\\GB7DJK-A.SCR");
}

TEST_F(SiteFileTest, AMissingFileHasNoSitesAndTheFirstAppendCreatesIt) {
  EXPECT_FALSE(sites_.Exists());
  EXPECT_TRUE(sites_.ReadAll().empty());
  EXPECT_EQ(sites_.FindSite("X"), 0u);
  EXPECT_FALSE(sites_.SwapWithFirst(1));
  EXPECT_FALSE(sites_.Delete(1));
  ASSERT_TRUE(sites_.Append(Site("DB0SDX", "db0sdx.de")));
  EXPECT_EQ(folder_.Size("qln.sit"), 395u);
  EXPECT_EQ(sites_.FindSite("db0sdx"), 1u);

  SiteFile tnc(folder_, SessionKind::Tnc);
  ASSERT_TRUE(tnc.Open());
  EXPECT_TRUE(folder_.Exists("qlntnc.sit"));
  EXPECT_EQ(folder_.Size("qlntnc.sit"), 0u);
}

TEST_F(SiteFileTest, ConnectingTheSecondOfTwoSitesMovesItToTheFrontWithItsReservedBytes) {
  const auto a = Site("FIRST", "first.example", 'a');
  const auto b = Site("SECOND", "second.example", 'b');
  ASSERT_TRUE(folder_.WriteAtomic("qln.sit", Bytes({a, b})));
  ASSERT_EQ(folder_.Size("qln.sit"), 790u);
  EXPECT_EQ(sites_.Count(), 2u);

  ASSERT_TRUE(sites_.SwapWithFirst(sites_.FindSite("second")));
  EXPECT_EQ(*folder_.Read("qln.sit"), Bytes({b, a}));
  // Already first: nothing changes.
  ASSERT_TRUE(sites_.SwapWithFirst(1));
  EXPECT_EQ(*folder_.Read("qln.sit"), Bytes({b, a}));
  EXPECT_FALSE(sites_.SwapWithFirst(3));
  EXPECT_FALSE(sites_.SwapWithFirst(0));
}

TEST_F(SiteFileTest, MixedCaseNamesAreKeptAndFoundInCapitals) {
  ASSERT_TRUE(sites_.Append(Site("Other", "x")));
  ASSERT_TRUE(sites_.Append(Site("Db0-Sdx_2", "db0sdx.de")));
  EXPECT_EQ(sites_.FindSite("DB0-SDX_2"), 2u);
  EXPECT_EQ(sites_.FindSite("  db0-sdx_2  "), 2u);
  EXPECT_EQ(sites_.Read(2)->Name(), "Db0-Sdx_2");
  EXPECT_EQ(sites_.FindSite("DB0-SDX"), 0u);
  // An empty name is no name (the list dialog resolves it to its selection).
  EXPECT_EQ(sites_.FindSite("   "), 0u);
}

TEST_F(SiteFileTest, RewritingARecordKeepsTheReservedBytesOnDisk) {
  ASSERT_TRUE(sites_.Append(Site("KEEP", "a", 'k')));
  ASSERT_TRUE(sites_.Append(Site("EDIT", "old.example", 'r')));
  // The editor builds its record from the fields: reserved bytes 0.
  SiteRecord edited = Site("Edited", "new.example");
  edited.SetComment("changed");
  ASSERT_TRUE(sites_.Write(2, edited));
  auto stored = *sites_.Read(2);
  EXPECT_EQ(stored.Name(), "Edited");
  EXPECT_EQ(stored.Address(), "new.example");
  EXPECT_EQ(stored.Comment(), "changed");
  EXPECT_EQ(stored.View().substr(SiteRecord::kFieldsSize), std::string(197, 'r'));
  EXPECT_EQ(*sites_.Read(1), Site("KEEP", "a", 'k'));
  EXPECT_FALSE(sites_.Write(3, edited));
}

TEST_F(SiteFileTest, DeletingTheOnlySiteLeavesAnEmptyFileAndRemovesItsScript) {
  ASSERT_TRUE(sites_.Append(Site("Lonely", "x")));
  ASSERT_TRUE(folder_.WriteAtomic("SCRIPT\\LONELY.SCR", "script"));
  ASSERT_TRUE(sites_.Delete(1));
  EXPECT_TRUE(sites_.Exists());
  EXPECT_EQ(folder_.Size("qln.sit"), 0u);
  EXPECT_FALSE(folder_.Exists("SCRIPT\\LONELY.SCR"));
  EXPECT_FALSE(folder_.Exists("qln.bak"));
}

TEST_F(SiteFileTest, DeletingKeepsTheOthersInOrderWithTheirReservedBytesUnderTheFilesOwnName) {
  const auto a = Site("A", "a", '1'), b = Site("B", "b", '2'), c = Site("C", "c", '3');
  // Written by another system in capitals: the name on disk stays.
  ASSERT_TRUE(folder_.WriteAtomic("QLN.SIT", Bytes({a, b, c})));
  ASSERT_TRUE(sites_.Delete(2));
  EXPECT_EQ(*folder_.Read("qln.sit"), Bytes({a, c}));
  EXPECT_TRUE(fs::exists(dir_.Path() / "QLN.SIT"));
  EXPECT_FALSE(folder_.Exists("qln.bak"));
  EXPECT_FALSE(sites_.Delete(3));
}

TEST_F(SiteFileTest, SitesSharingTheirFirstEightCharactersShareOneScript) {
  ASSERT_TRUE(sites_.Append(Site("GB7DJK-AB", "x")));
  ASSERT_TRUE(sites_.Append(Site("gb7djk-a", "y")));
  ASSERT_EQ(*sites_.ScriptName("GB7DJK-AB"), *sites_.ScriptName("gb7djk-a"));
  ASSERT_TRUE(folder_.WriteAtomic(*sites_.ScriptName("GB7DJK-AB"), "shared"));
  EXPECT_TRUE(sites_.ScriptSharedWithOthers(1));

  // The other site still logs in with it.
  ASSERT_TRUE(sites_.Delete(1));
  EXPECT_EQ(*folder_.Read("SCRIPT\\GB7DJK-A.SCR"), "shared");
  EXPECT_FALSE(sites_.ScriptSharedWithOthers(1));
  ASSERT_TRUE(sites_.Delete(1));
  EXPECT_FALSE(folder_.Exists("SCRIPT\\GB7DJK-A.SCR"));
}

TEST_F(SiteFileTest, AFailedDeletionLeavesTheSiteFileAndScriptAsTheyWere) {
  const auto a = Site("A", "a"), b = Site("B", "b");
  ASSERT_TRUE(folder_.WriteAtomic("qln.sit", Bytes({a, b})));
  ASSERT_TRUE(folder_.WriteAtomic("SCRIPT\\A.SCR", "s"));
  // A folder in the backup's place makes the backup impossible to write.
  fs::create_directories(dir_.Path() / "qln.bak" / "x");
  EXPECT_FALSE(sites_.Delete(1));
  EXPECT_EQ(*folder_.Read("qln.sit"), Bytes({a, b}));
  EXPECT_TRUE(folder_.Exists("SCRIPT\\A.SCR"));
}

TEST_F(SiteFileTest, TheBytesOfATrailingPartialRecordAreNeverLost) {
  const auto a = Site("A", "a", 'x'), b = Site("B", "b", 'y');
  const std::string tail = "half a record";
  ASSERT_TRUE(folder_.WriteAtomic("qln.sit", Bytes({a, b}) + tail));
  EXPECT_EQ(sites_.Count(), 2u);
  EXPECT_EQ(sites_.FindSite("half"), 0u);

  const auto c = Site("C", "c");
  ASSERT_TRUE(sites_.Append(c));
  EXPECT_EQ(*folder_.Read("qln.sit"), Bytes({a, b, c}) + tail);
  ASSERT_TRUE(sites_.SwapWithFirst(3));
  EXPECT_EQ(*folder_.Read("qln.sit"), Bytes({c, b, a}) + tail);
  ASSERT_TRUE(sites_.Delete(2));
  EXPECT_EQ(*folder_.Read("qln.sit"), Bytes({c, a}) + tail);
}

TEST_F(SiteFileTest, ANameThatIsNoSafePathNeverNamesAScript) {
  for (const char* bad : {"../EVIL", "..\\EVIL", "A/B", "C:X", "a b", "A.SCR"}) {
    EXPECT_FALSE(sites_.ScriptName(bad)) << bad;
  }
  // Only the first 8 characters make the path.
  EXPECT_EQ(*sites_.ScriptName("ABCDEFGH/../x"), "SCRIPT\\ABCDEFGH.SCR");

  // A damaged record naming a path: deleting it touches nothing outside SCRIPT.
  fakes::TempFolder outer;
  DataFolder inner(outer.Path() / "data");
  SiteFile sites(inner, SessionKind::Telnet);
  ASSERT_TRUE(WriteFileAtomic(outer.Path() / "EVIL.SCR", "outside"));
  ASSERT_TRUE(inner.WriteAtomic("qln.sit", Bytes({Site("../EVIL", "x")})));
  ASSERT_TRUE(sites.Delete(1));
  EXPECT_TRUE(fs::exists(outer.Path() / "EVIL.SCR"));
}

TEST_F(SiteFileTest, RandomBytesAreReadAsRecordsAndNeverLost) {
  std::string junk;
  unsigned x = 12345;
  for (int i = 0; i < 10000; ++i) {
    x = x * 1103515245u + 12345u;
    junk += static_cast<char>(x >> 16);
  }
  ASSERT_TRUE(folder_.WriteAtomic("qln.sit", junk));
  const std::size_t whole = junk.size() / SiteRecord::kSize;
  ASSERT_EQ(sites_.Count(), whole);
  for (const SiteRecord& r : sites_.ReadAll()) {
    // Whatever a damaged name holds, its script stays inside SCRIPT.
    if (auto name = sites_.ScriptName(r.Name())) {
      EXPECT_EQ(name->rfind("SCRIPT\\", 0), 0u);
      EXPECT_EQ(name->find(".."), std::string::npos);
      EXPECT_EQ(name->find('/'), std::string::npos);
    }
  }
  EXPECT_EQ(sites_.FindSite("DXCLUSTER"), 0u);
  // Changing the file keeps every byte it does not change.
  ASSERT_TRUE(sites_.Append(Site("GOOD", "dxc.example.net")));
  EXPECT_EQ(sites_.FindSite("GOOD"), whole + 1);
  ASSERT_TRUE(sites_.Delete(whole + 1));
  EXPECT_EQ(*folder_.Read("qln.sit"), junk);
}

}  // namespace
}  // namespace qn
