// The whole Qt front end on the real Qt ports and a temporary data folder:
// start-up in replay mode, the frame that appears, and the way out.
#include "ui/gui_front_end.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <cstdlib>
#include <filesystem>

#include "app/app.h"
#include "fakes/temp_folder.h"
#include "ui/main_frame.h"
#include "ui/splash_window.h"
#include "ui/traffic_view.h"

namespace {

TEST(GuiFrontEnd, StartsUpShowsTheFrameAndCloses) {
  qn::fakes::TempFolder dir;
  std::string runtime = (dir.Path() / "runtime").string();
  setenv("QUILLNET_RUNTIME_DIR", runtime.c_str(), 1);
  qn::AppSettings s;
  s.ownCallsign = "G4TST";
  qn::DataFolder folder(dir.Path() / "data");
  std::filesystem::create_directories(dir.Path() / "data");
  folder.WriteAtomic("quillnet.cfg", s.Serialise());

  qn::GuiFrontEnd fe;
  EXPECT_EQ(fe.Registry().Folder(), runtime);
  bool quit = false;
  {
    qn::App app(fe.Ports(), folder);
    app.onQuit = [&] { quit = true; };
    fe.Attach(app);
    app.StartUp("/DEMO");
    qn::MainFrame* frame = fe.Frame();
    ASSERT_NE(frame, nullptr);
    // The frame is placed once start-up has returned to the event loop.
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame->Shown(); }, 3000));
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(frame->Area()->subWindowList().size(), 5);
    auto* rx = frame->findChild<qn::TrafficView*>("tResponse");
    ASSERT_NE(rx, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return rx->toPlainText().contains("Received Text:"); }, 3000));
    // Start-up showed the splash and its own timer takes it away.
    EXPECT_TRUE(frame->Splash()->isVisible());
    // The status clock runs on the Qt loop.
    EXPECT_TRUE(QTest::qWaitFor([&] { return app.Frame().Time() != "00:00:00"; }, 3000));
    // "E&xit" closes the App, and the front end lets go of it at once.
    ASSERT_TRUE(app.RunMenu("File/Exit"));
    EXPECT_TRUE(app.Closed());
    EXPECT_TRUE(quit);
  }
  // The App is gone before the front end, as in the program's main.
  unsetenv("QUILLNET_RUNTIME_DIR");
}

}  // namespace
