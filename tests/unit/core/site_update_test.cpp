#include "core/site_update.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/site_file.h"
#include "core/site_record.h"
#include "fakes/temp_folder.h"

namespace qn {
namespace {

SiteRecord Site(const std::string& name, const std::string& address, char reserved = '\0') {
  SiteRecord r;
  r.SetName(name);
  r.SetAddress(address);
  std::string bytes(r.View());
  std::fill(bytes.begin() + SiteRecord::kFieldsSize, bytes.end(), reserved);
  return SiteRecord::FromBytes(bytes);
}

std::string Bytes(const std::vector<SiteRecord>& records) { return SerialiseSiteFile(records); }

class SiteUpdateTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(dir_.Path() / "data"); }
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const auto& r : ParseSiteFile(folder_.Read("qln.sit").value_or(""))) names.push_back(r.Name());
    return names;
  }
  void ExpectHandOverGone() {
    for (const char* f : {"kill.txt", "add.txt", "add.sit"}) EXPECT_FALSE(folder_.Exists(f)) << f;
  }

  fakes::TempFolder dir_;
  DataFolder folder_{dir_.Path() / "data"};
};

TEST_F(SiteUpdateTest, AKilledSiteLeavesWithItsScript) {
  ASSERT_TRUE(folder_.WriteAtomic("qln.sit", Bytes({Site("Db0sdx", "a"), Site("GB7DJK", "b", 'r')})));
  ASSERT_TRUE(folder_.WriteAtomic("SCRIPT\\DB0SDX.SCR", "old"));
  ASSERT_TRUE(folder_.WriteAtomic("SCRIPT\\GB7DJK.SCR", "keep"));
  ASSERT_TRUE(folder_.WriteAtomic("kill.txt", ",db0sdx,\r\n"));

  auto summary = ApplySiteUpdate(folder_);
  EXPECT_TRUE(summary.rewritten);
  EXPECT_EQ(summary.removed, std::vector<std::string>{"Db0sdx"});
  EXPECT_EQ(*folder_.Read("qln.sit"), Bytes({Site("GB7DJK", "b", 'r')}));
  EXPECT_FALSE(folder_.Exists("SCRIPT\\DB0SDX.SCR"));
  EXPECT_TRUE(folder_.Exists("SCRIPT\\GB7DJK.SCR"));
  ExpectHandOverGone();
}

TEST_F(SiteUpdateTest, KillingOneOfTwoSitesSharingAScriptKeepsTheScript) {
  ASSERT_TRUE(folder_.WriteAtomic("qln.sit", Bytes({Site("GB7DJK-A", "a"), Site("GB7DJK-AB", "b")})));
  ASSERT_TRUE(folder_.WriteAtomic("SCRIPT\\GB7DJK-A.SCR", "shared"));
  ASSERT_TRUE(folder_.WriteAtomic("kill.txt", ",GB7DJK-AB,"));
  ApplySiteUpdate(folder_);
  EXPECT_EQ(Names(), std::vector<std::string>{"GB7DJK-A"});
  EXPECT_TRUE(folder_.Exists("SCRIPT\\GB7DJK-A.SCR"));
}

TEST_F(SiteUpdateTest, AnExistingSiteNamedInTheAddListStaysAsItIsAndNewOnesAreAppendedOnce) {
  const auto mine = Site("DB0SDX", "mine.example", 'm');
  ASSERT_TRUE(folder_.WriteAtomic("qln.sit", Bytes({mine})));
  ASSERT_TRUE(folder_.WriteAtomic("SCRIPT\\DB0SDX.SCR", "my login"));
  ASSERT_TRUE(folder_.WriteAtomic("add.txt", ",DB0SDX,new-Node,"));
  const auto added = Site("New-Node", "new.example", 'n');
  ASSERT_TRUE(folder_.WriteAtomic("add.sit", Bytes({Site("DB0SDX", "theirs.example"), Site("Unlisted", "u"),
                                                    added, Site("NEW-NODE", "dup")})));
  ASSERT_TRUE(folder_.WriteAtomic("DB0SDX.SCR", "their login"));
  ASSERT_TRUE(folder_.WriteAtomic("new-node.scr", "new login"));

  auto summary = ApplySiteUpdate(folder_);
  EXPECT_EQ(*folder_.Read("qln.sit"), Bytes({mine, added}));
  EXPECT_EQ(summary.added, std::vector<std::string>{"New-Node"});
  EXPECT_EQ(*folder_.Read("SCRIPT\\DB0SDX.SCR"), "my login");
  EXPECT_EQ(*folder_.Read("SCRIPT\\NEW-NODE.SCR"), "new login");
  EXPECT_FALSE(folder_.Exists("new-node.scr"));
  // Not the script of an added site: left where it was.
  EXPECT_TRUE(folder_.Exists("DB0SDX.SCR"));
  ExpectHandOverGone();
}

TEST_F(SiteUpdateTest, ASiteNamedInBothListsIsReplacedAndMovesToTheEnd) {
  ASSERT_TRUE(folder_.WriteAtomic("qln.sit", Bytes({Site("A", "a"), Site("B", "old"), Site("C", "c")})));
  ASSERT_TRUE(folder_.WriteAtomic("SCRIPT\\B.SCR", "old script"));
  ASSERT_TRUE(folder_.WriteAtomic("kill.txt", ",B,"));
  ASSERT_TRUE(folder_.WriteAtomic("add.txt", ",B,"));
  const auto replacement = Site("B", "new", 'z');
  ASSERT_TRUE(folder_.WriteAtomic("add.sit", Bytes({replacement})));
  ASSERT_TRUE(folder_.WriteAtomic("B.SCR", "new script"));

  ApplySiteUpdate(folder_);
  EXPECT_EQ(*folder_.Read("qln.sit"), Bytes({Site("A", "a"), Site("C", "c"), replacement}));
  EXPECT_EQ(*folder_.Read("SCRIPT\\B.SCR"), "new script");
  ExpectHandOverGone();
}

TEST_F(SiteUpdateTest, AddListWithoutRecordsAddsNothingAndIsDeleted) {
  const std::string before = Bytes({Site("A", "a")});
  ASSERT_TRUE(folder_.WriteAtomic("qln.sit", before));
  ASSERT_TRUE(folder_.WriteAtomic("add.txt", ",X,"));
  ASSERT_TRUE(folder_.WriteAtomic("X.SCR", "x"));
  auto summary = ApplySiteUpdate(folder_);
  EXPECT_FALSE(summary.rewritten);
  EXPECT_EQ(*folder_.Read("qln.sit"), before);
  EXPECT_TRUE(folder_.Exists("X.SCR"));
  ExpectHandOverGone();
}

TEST_F(SiteUpdateTest, WithoutASiteFileTheHandOverIsDroppedAndNoSiteFileAppears) {
  ASSERT_TRUE(folder_.WriteAtomic("kill.txt", ",A,"));
  ASSERT_TRUE(folder_.WriteAtomic("add.txt", ",B,"));
  ASSERT_TRUE(folder_.WriteAtomic("add.sit", Bytes({Site("B", "b")})));
  ApplySiteUpdate(folder_);
  EXPECT_FALSE(folder_.Exists("qln.sit"));
  ExpectHandOverGone();
}

TEST_F(SiteUpdateTest, ASiteFileOfRandomBytesKeepsEveryByteItDoesNotChange) {
  std::mt19937 rng(395);
  std::string noise(1000, '\0');
  for (auto& c : noise) c = static_cast<char>(rng());
  ASSERT_TRUE(folder_.WriteAtomic("qln.sit", noise));
  ASSERT_TRUE(folder_.WriteAtomic("kill.txt", ",,NOSUCH,"));
  ASSERT_TRUE(folder_.WriteAtomic("add.txt", ",NEW,"));
  ASSERT_TRUE(folder_.WriteAtomic("add.sit", Bytes({Site("NEW", "n")}) + "junk"));

  auto summary = ApplySiteUpdate(folder_);
  EXPECT_TRUE(summary.rewritten);
  // Two records of noise, the new one, then the 210 bytes that were never a record.
  EXPECT_EQ(*folder_.Read("qln.sit"), noise.substr(0, 790) + Bytes({Site("NEW", "n")}) + noise.substr(790));
  ExpectHandOverGone();
}

TEST_F(SiteUpdateTest, HostileNamesNeverReachOutsideTheScriptFolder) {
  // A damaged site file holding a path as a name, killed by the hand-over.
  ASSERT_TRUE(
      folder_.WriteAtomic("qln.sit", Bytes({Site("../EVIL", "x"), Site("A/B", "y"), Site("OK", "z")})));
  ASSERT_TRUE(WriteFileAtomic(dir_.Path() / "EVIL.SCR", "outside"));
  ASSERT_TRUE(folder_.WriteAtomic("SCRIPT\\A\\B.SCR", "inside a subfolder"));
  ASSERT_TRUE(folder_.WriteAtomic("kill.txt", ",../EVIL,A/B,"));
  ASSERT_TRUE(folder_.WriteAtomic("add.txt", ",../EVIL2,..\\EVIL3,A/C,GOOD_1,"));
  ASSERT_TRUE(folder_.WriteAtomic("add.sit", Bytes({Site("../EVIL2", "h"), Site("..\\EVIL3", "h"),
                                                    Site("A/C", "h"), Site("good_1", "g")})));
  ASSERT_TRUE(WriteFileAtomic(dir_.Path() / "EVIL2.SCR", "outside 2"));

  auto summary = ApplySiteUpdate(folder_);
  EXPECT_EQ(Names(), (std::vector<std::string>{"OK", "good_1"}));
  EXPECT_EQ(summary.refused, (std::vector<std::string>{"../EVIL2", "..\\EVIL3", "A/C"}));
  EXPECT_EQ(*ReadFile(dir_.Path() / "EVIL.SCR"), "outside");
  EXPECT_EQ(*ReadFile(dir_.Path() / "EVIL2.SCR"), "outside 2");
  EXPECT_TRUE(folder_.Exists("SCRIPT\\A\\B.SCR"));
  ExpectHandOverGone();
}

}  // namespace
}  // namespace qn
