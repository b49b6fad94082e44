// The window "Quillnet UDP broadcast": its controls, "Apply", the question
// for the exchange file and Help, on the real links in a private folder.
#include "front/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>
#include <fstream>

#include "fakes/temp_folder.h"
#include "qt/flinger_app.h"

namespace fl {
namespace {

std::string ReadAll(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("QUILLNET_RUNTIME_DIR", (dir.Path() / "run").c_str(), 1);
    std::filesystem::create_directories(data);
    std::ofstream(data / "FLINGER.CFG", std::ios::binary)
        << "10.1.2.3\r\n0\r\n1\r\n1\r\n0\r\n9871\r\n127.0.0.1\r\n\r\n";
    app = std::make_unique<FlingerApp>(data, "/nonexistent/flinger");
    app->Load();
    window = std::make_unique<MainWindow>(*app);
    app->Open();
  }
  template <typename T>
  T* Child(const char* name) {
    T* w = window->findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }

  qn::fakes::TempFolder dir;
  std::filesystem::path data = dir.Path() / "quillnet" / "flinger";
  std::unique_ptr<FlingerApp> app;
  std::unique_ptr<MainWindow> window;
};

TEST_F(WindowTest, ShowsEveryControlFilledFromTheSettings) {
  EXPECT_EQ(window->windowTitle(), "Quillnet UDP broadcast");
  EXPECT_EQ(Child<QLineEdit>("HostName")->text(), "10.1.2.3");
  EXPECT_EQ(Child<QLineEdit>("Txtheader")->text(), "B0");
  EXPECT_EQ(Child<QLineEdit>("Txtlocal")->text(), "0");
  EXPECT_EQ(Child<QLineEdit>("Txtremote")->text(), "9871");
  EXPECT_EQ(Child<QLineEdit>("Txtbind")->text(), "127.0.0.1");
  EXPECT_TRUE(Child<QLineEdit>("Text1"));
  EXPECT_TRUE(Child<QPlainTextEdit>("Text2")->isReadOnly());
  EXPECT_TRUE(Child<QLabel>("Label2")->text().startsWith("Your IP: 127.0.0.1  port "));
  EXPECT_FALSE(Child<QCheckBox>("Chkfile")->isChecked());
  EXPECT_TRUE(Child<QCheckBox>("Chkbroad")->isChecked());
  EXPECT_TRUE(Child<QCheckBox>("Chkadd")->isChecked());
  EXPECT_EQ(Child<QCheckBox>("Chkfile")->text(), "File exchange");
  EXPECT_EQ(Child<QCheckBox>("Chkbroad")->text(), "Broadcast");
  EXPECT_EQ(Child<QCheckBox>("Chkadd")->text(), "CT net protocol");
  const char* buttons[][2] = {
      {"Command1", "Close"}, {"Command2", "Send test spot"}, {"Command3", "Apply"}, {"Command4", "Help"}};
  for (auto& b : buttons) EXPECT_EQ(Child<QPushButton>(b[0])->text(), b[1]);
}

TEST_F(WindowTest, ApplyWritesTheEightLinesAndOpensTheSocketAgain) {
  Child<QLineEdit>("HostName")->setText("192.168.1.255");
  Child<QCheckBox>("Chkadd")->setChecked(false);
  Child<QLineEdit>("Txtremote")->setText("not a port");
  Child<QPushButton>("Command3")->click();
  EXPECT_EQ(ReadAll(data / "FLINGER.CFG"), "192.168.1.255\r\n0\r\n1\r\n0\r\n0\r\n9870\r\n127.0.0.1\r\n\r\n");
  EXPECT_EQ(Child<QLineEdit>("Txtremote")->text(), "9870");
  EXPECT_EQ(app->Boxes().host, "192.168.1.255");
  EXPECT_FALSE(app->Boxes().ctNet);
}

TEST_F(WindowTest, TickingFileExchangeAsksForTheFileAndEmptiesTheExchange) {
  std::filesystem::path a = dir.Path() / "quillnet" / "QLNEXA";
  std::filesystem::create_directories(a);
  std::ofstream(a / "SPOTS.TXT") << "old\r\n";
  QString asked;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    asked = box->labelText();
    box->setTextValue(QString::fromStdString((dir.Path() / "mylog").string() + "/"));
    box->accept();
  });
  Child<QCheckBox>("Chkfile")->click();
  EXPECT_EQ(asked, "Enter The full file exchange path\\filename");
  EXPECT_TRUE(app->Boxes().fileExchange);
  EXPECT_EQ(app->UserFile(), (dir.Path() / "mylog" / "SPOTS.TXT").string());
  EXPECT_FALSE(std::filesystem::exists(a / "SPOTS.TXT"));
}

TEST_F(WindowTest, HelpShowsTheShippedText) {
  std::ofstream(data / "flinger.txt") << "flinger help for the test\n";
  Child<QPushButton>("Command4")->click();
  bool shown = false;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    auto* text = qobject_cast<QPlainTextEdit*>(w);
    shown = shown || (text && w->isVisible() && text->toPlainText().contains("flinger help for the test"));
  }
  EXPECT_TRUE(shown);
}

TEST_F(WindowTest, ReceivedLinesReachTheTerminalBox) {
  app->Engine().Receive("hello from the network\r\n");
  auto* box = Child<QPlainTextEdit>("Text2");
  for (int i = 0; i < 50 && !box->toPlainText().contains("hello from the network"); ++i) {
    QTimer t;
    t.setSingleShot(true);
    QEventLoop loop;
    QObject::connect(&t, &QTimer::timeout, &loop, &QEventLoop::quit);
    t.start(20);
    loop.exec();
  }
  EXPECT_TRUE(box->toPlainText().contains("hello from the network"));
}

}  // namespace
}  // namespace fl

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
