#include "lookups/country_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/files.h"

namespace qn {
namespace {

// A few records in the file's own layout, with the overrides the real file uses.
const char* kSmall =
    "England:                  14:  27:  EU:   52.77:     1.47:     0.0:  G:\r\n"
    "    G,GX,M,=GB2ABC;\r\n"
    "Germany:                  14:  28:  EU:   51.00:   -10.00:    -1.0:  DL:\r\n"
    "    DA,DB,DC,DD,DE,DF,DG,DH,DI,DJ,DK,DL,DM,DN,DO,DP,DQ,DR,Y2,Y3,Y4,Y5,Y6,Y7,Y8,Y9;\r\n"
    "United States:            05:  08:  NA:   37.53:    91.67:     5.0:  K:\r\n"
    "    AA,K,N,W,KH6ABC(31)[61]<21.3/157.9>{OC}~10.0~,\r\n"
    "    =W1AW/KL7(1)[1];\r\n"
    "Asiatic Russia:           17:  30:  AS:   55.88:   -84.08:    -7.0:  UA9:\r\n"
    "    R8,R9,UA9(18)[31];\r\n";

TEST(CountryFile, LongestPrefixExactCallsAndOverrides) {
  CountryFile cty;
  ASSERT_EQ(cty.Parse(kSmall), CountryFile::State::Loaded);
  EXPECT_EQ(cty.EntityCount(), 4u);
  auto g = cty.Lookup("g4abc");
  ASSERT_TRUE(g);
  EXPECT_EQ(g->entity.name, "England");
  EXPECT_EQ(g->entity.cqZone, 14);
  EXPECT_EQ(g->entity.ituZone, 27);
  EXPECT_EQ(g->matched, "G");
  auto dl = cty.Lookup("DL1ABC");
  ASSERT_TRUE(dl);
  EXPECT_EQ(dl->entity.name, "Germany");
  EXPECT_DOUBLE_EQ(dl->entity.lon, 10.0) << "east positive here";
  EXPECT_DOUBLE_EQ(dl->entity.utcOffset, 1.0) << "local time is UTC + 1";
  // The longer prefix with its zone overrides wins over "K".
  auto kh6 = cty.Lookup("KH6ABC");
  ASSERT_TRUE(kh6);
  EXPECT_EQ(kh6->entity.cqZone, 31);
  EXPECT_EQ(kh6->entity.ituZone, 61);
  EXPECT_EQ(kh6->entity.continent, "OC");
  EXPECT_DOUBLE_EQ(kh6->entity.lat, 21.3);
  EXPECT_DOUBLE_EQ(kh6->entity.lon, -157.9);
  EXPECT_DOUBLE_EQ(kh6->entity.utcOffset, -10.0);
  auto ua9 = cty.Lookup("UA9XYZ");
  ASSERT_TRUE(ua9);
  EXPECT_EQ(ua9->entity.cqZone, 18);
  EXPECT_EQ(ua9->entity.ituZone, 31);
  EXPECT_EQ(cty.Lookup("R9ABC")->entity.cqZone, 17) << "the entity's zones without an override";
  // Exact calls match only as a whole.
  auto gb = cty.Lookup("GB2ABC");
  ASSERT_TRUE(gb);
  EXPECT_TRUE(gb->exactCall);
  EXPECT_FALSE(cty.Lookup("GB2ABCD")->exactCall);
  EXPECT_FALSE(cty.Lookup("QQ1ABC"));
}

TEST(CountryFile, PortableCalls) {
  CountryFile cty;
  cty.Parse(kSmall);
  EXPECT_EQ(cty.Lookup("DL/G4ABC")->entity.name, "Germany");
  EXPECT_EQ(cty.Lookup("G4ABC/DL")->entity.name, "Germany");
  EXPECT_EQ(cty.Lookup("G4ABC/P")->entity.name, "England");
  EXPECT_EQ(cty.Lookup("W1AW/4")->entity.name, "United States");
  auto listed = cty.Lookup("W1AW/KL7");
  ASSERT_TRUE(listed);
  EXPECT_TRUE(listed->exactCall) << "listed portable calls match as they stand";
  EXPECT_EQ(listed->entity.cqZone, 1);
  EXPECT_EQ(CountryPartOfCall("G4ABC/QRP"), "G4ABC");
  EXPECT_EQ(CountryPartOfCall("EA8/DL1ABC/P"), "EA8");
}

TEST(CountryFile, TruncatedAndMissingFiles) {
  std::string text = kSmall;
  CountryFile cty;
  // Cut inside the United States' alias list: what came before still answers.
  EXPECT_EQ(cty.Parse(text.substr(0, text.find("KH6ABC"))), CountryFile::State::Damaged);
  EXPECT_EQ(cty.Lookup("DL1ABC")->entity.name, "Germany");
  EXPECT_EQ(cty.Lookup("W1AW")->entity.name, "United States");
  EXPECT_EQ(cty.Parse(text.substr(0, 30)), CountryFile::State::Damaged) << "cut inside the first header";
  EXPECT_FALSE(cty.Lookup("G4ABC"));
  EXPECT_EQ(cty.Parse("garbage: x: y: z: 1: 2: 3: 4:\r\n"), CountryFile::State::Damaged);
  EXPECT_EQ(cty.Parse(""), CountryFile::State::Damaged);
  EXPECT_EQ(cty.Load("/nonexistent/cty.dat"), CountryFile::State::Missing);
  EXPECT_FALSE(cty.Lookup("G4ABC"));
}

// The file Debian ships in hamradio-files.
TEST(CountryFile, DebianFile) {
  const char* path = "/usr/share/hamradio-files/cty.dat";
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "hamradio-files is not installed";
  CountryFile cty;
  ASSERT_EQ(cty.Load(path), CountryFile::State::Loaded);
  EXPECT_GT(cty.EntityCount(), 300u);
  EXPECT_EQ(cty.Lookup("G4ABC")->entity.name, "England");
  EXPECT_EQ(cty.Lookup("DL1ABC")->entity.name, "Fed. Rep. of Germany");
  auto ja = cty.Lookup("JA1XYZ");
  ASSERT_TRUE(ja);
  EXPECT_EQ(ja->entity.continent, "AS");
  EXPECT_EQ(ja->entity.cqZone, 25);
  EXPECT_EQ(cty.Lookup("3A2XYZ")->entity.name, "Monaco");
  // Listed exact calls of the file: a Fiji call that is on Conway Reef.
  auto cr = cty.Lookup("3D2CR");
  ASSERT_TRUE(cr);
  EXPECT_TRUE(cr->exactCall);
  EXPECT_EQ(cr->entity.name, "Conway Reef");
  EXPECT_EQ(cty.Lookup("3D2XYZ")->entity.name, "Fiji");
  // US call areas carry zone overrides in the file: a 6-area call is CQ zone 3.
  EXPECT_EQ(cty.Lookup("W6XYZ")->entity.cqZone, 3);
  EXPECT_EQ(cty.Lookup("W1XYZ")->entity.cqZone, 5);
}

}  // namespace
}  // namespace qn
