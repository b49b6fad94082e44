// Helper programs get nothing of the console: in console mode our standard
// input is the user's typing and our standard output the event lines.
#include "platform/qt/qt_launcher.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QTest>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "fakes/temp_folder.h"

namespace {

namespace fs = std::filesystem;

TEST(QtLauncher, HelpersReadAndWriteNothingOfOurs) {
  qn::fakes::TempFolder dir;
  const fs::path helper = dir.Path() / "helper";
  const fs::path report = dir.Path() / "fds";
  {
    std::ofstream out(helper);
    out << "#!/bin/sh\nin=$(readlink /proc/$$/fd/0)\nout=$(readlink /proc/$$/fd/1)\n"
        << "printf '%s\\n%s\\n' \"$in\" \"$out\" > \"" << report.string() << ".part\"\n"
        << "mv \"" << report.string() << ".part\" \"" << report.string() << "\"\n";
  }
  fs::permissions(helper, fs::perms::owner_all);
  qn::QtLauncher launcher;
  ASSERT_TRUE(launcher.Start(helper, {}, qn::WindowStyle::Minimised));
  ASSERT_TRUE(QTest::qWaitFor([&] { return fs::exists(report); }, 10000));
  std::ifstream in(report);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "/dev/null\n/dev/null\n");
}

}  // namespace
