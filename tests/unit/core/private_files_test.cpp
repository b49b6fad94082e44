// A user's settings and archives are nobody else's business, and a save cut
// short by a kill leaves nothing behind for long.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/data_folder.h"
#include "core/files.h"
#include "fakes/temp_folder.h"

namespace qn {
namespace {

unsigned Mode(const fs::path& p) {
  struct stat st {};
  ::stat(p.c_str(), &st);
  return st.st_mode & 0777;
}

int DeadPid() {
  pid_t pid = ::fork();
  if (pid == 0) ::_exit(0);
  ::waitpid(pid, nullptr, 0);
  return pid;
}

TEST(PrivateFiles, NewFilesAndFoldersAreTheUsersAlone) {
  const mode_t old = ::umask(022);
  fakes::TempFolder dir;
  DataFolder folder(dir.Path() / "user");
  ASSERT_EQ(PrepareDataFolder(folder.Root(), {}), "");
  EXPECT_EQ(Mode(folder.Root()), 0700u);
  ASSERT_TRUE(folder.WriteAtomic("quillnet.cfg", "x"));
  EXPECT_EQ(Mode(folder.Root() / "quillnet.cfg"), 0600u);
  ASSERT_TRUE(folder.Append("ARCHIVE\\alerts.txt", "x"));
  EXPECT_EQ(Mode(folder.Root() / "ARCHIVE"), 0700u);
  EXPECT_EQ(Mode(folder.Root() / "ARCHIVE" / "alerts.txt"), 0600u);
  // A folder the user made himself keeps what he gave it.
  fs::create_directories(dir.Path() / "shared");
  ::chmod((dir.Path() / "shared").c_str(), 0755);
  ASSERT_EQ(PrepareDataFolder(dir.Path() / "shared", {}), "");
  EXPECT_EQ(Mode(dir.Path() / "shared"), 0755u);
  ::umask(old);
}

TEST(PrivateFiles, LeftoversOfDeadSavesAreRemovedAtStart) {
  fakes::TempFolder dir;
  DataFolder folder(dir.Path());
  const std::string dead = std::to_string(DeadPid());
  const std::string alive = std::to_string(::getppid());
  folder.WriteAtomic("quillnet.cfg", "cfg");
  folder.WriteAtomic("quillnet.cfg.tmp" + dead, "half");
  folder.WriteAtomic("ARCHIVE\\alerts.txt.tmp" + dead, "half");
  folder.WriteAtomic("qln.sit.tmp" + alive, "another copy is saving");
  folder.WriteAtomic("notes.tmpfile", "not ours");
  ASSERT_EQ(PrepareDataFolder(dir.Path(), {}), "");
  EXPECT_FALSE(fs::exists(dir.Path() / ("quillnet.cfg.tmp" + dead)));
  EXPECT_FALSE(fs::exists(dir.Path() / "ARCHIVE" / ("alerts.txt.tmp" + dead)));
  EXPECT_TRUE(fs::exists(dir.Path() / ("qln.sit.tmp" + alive)));
  EXPECT_TRUE(fs::exists(dir.Path() / "notes.tmpfile"));
  EXPECT_EQ(*folder.Read("quillnet.cfg"), "cfg");
}

}  // namespace
}  // namespace qn
