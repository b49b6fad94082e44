#include "core/files.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/data_folder.h"
#include "fakes/temp_folder.h"

namespace qn {
namespace {

TEST(DataFolder, NamesAreMatchedWithoutRegardToCase) {
  fakes::TempFolder dir;
  DataFolder f(dir.Path());
  ASSERT_TRUE(f.WriteAtomic("ARCHIVE\\Filter.txt", "x"));
  EXPECT_TRUE(f.Exists("archive/FILTER.TXT"));
  EXPECT_EQ(*f.Read("Archive\\filter.TXT"), "x");
  // A new file gets the name as given.
  ASSERT_TRUE(f.WriteAtomic("archive\\NEW.txt", "y"));
  EXPECT_TRUE(fs::exists(dir.Path() / "ARCHIVE" / "NEW.txt"));
}

TEST(DataFolder, NamesNeverLeaveTheFolder) {
  fakes::TempFolder dir;
  DataFolder f(dir.Path() / "data");
  for (const char* bad : {"..\\escape.txt", "/etc/passwd", "SCRIPT\\..\\..\\x", "C:\\autoexec.bat", ""}) {
    EXPECT_FALSE(f.Resolve(bad)) << bad;
    EXPECT_FALSE(f.WriteAtomic(bad, "x")) << bad;
  }
  EXPECT_FALSE(fs::exists(dir.Path() / "escape.txt"));
}

TEST(FindHelperProgram, FindsTheProgramWithOrWithoutItsExeButNeverOutsideTheFolder) {
  fakes::TempFolder dir;
  DataFolder f(dir.Path());
  ASSERT_TRUE(f.WriteAtomic("mailbell/MailBell", "#!/bin/true\n"));
  ASSERT_TRUE(f.WriteAtomic("identd.exe", "x"));
  fs::create_directories(dir.Path() / "PREFIX.EXE");  // a folder is no program
  EXPECT_EQ(FindHelperProgram(f, "MAILBELL\\MAILBELL.EXE"), dir.Path() / "mailbell" / "MailBell");
  EXPECT_EQ(FindHelperProgram(f, "identd"), dir.Path() / "identd.exe");
  EXPECT_FALSE(FindHelperProgram(f, "PREFIX.EXE"));
  EXPECT_FALSE(FindHelperProgram(f, "clockset.exe"));
  EXPECT_FALSE(FindHelperProgram(f, "..\\..\\bin\\sh"));
}

TEST(WriteFileAtomic, AKillAtAnyMomentLeavesTheOldOrTheNewFile) {
  fakes::TempFolder dir;
  auto path = dir.Path() / "quillnet.cfg";
  const std::string a(60000, 'a'), b(90000, 'b');
  ASSERT_TRUE(WriteFileAtomic(path, a));
  for (int round = 0; round < 20; ++round) {
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      for (int i = 0; i < 100000; ++i) WriteFileAtomic(path, i % 2 ? a : b);
      ::_exit(0);
    }
    ::usleep(static_cast<useconds_t>(1000 + round * 700));
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    auto text = ReadFile(path);
    ASSERT_TRUE(text);
    ASSERT_TRUE(*text == a || *text == b) << "a save left " << text->size() << " bytes";
  }
}

TEST(PrepareDataFolder, FillsWithoutOverwriting) {
  fakes::TempFolder dir;
  auto shipped = dir.Path() / "shipped";
  fs::create_directories(shipped / "ARCHIVE");
  DataFolder(shipped).WriteAtomic("ARCHIVE\\DEMO.TXT", "shipped");
  DataFolder(shipped).WriteAtomic("help.txt", "help");
  auto target = dir.Path() / "user";
  DataFolder(target).WriteAtomic("ARCHIVE\\DEMO.TXT", "mine");
  EXPECT_EQ(PrepareDataFolder(target, shipped), "");
  EXPECT_EQ(*DataFolder(target).Read("ARCHIVE\\DEMO.TXT"), "mine");
  EXPECT_EQ(*DataFolder(target).Read("help.txt"), "help");
  EXPECT_NE(PrepareDataFolder(dir.Path() / "user" / "help.txt" / "sub", shipped), "");
}

}  // namespace
}  // namespace qn
