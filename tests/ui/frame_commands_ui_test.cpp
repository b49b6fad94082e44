// The frame's own commands in the window: the font dialog, scroll bars,
// restore defaults, print to a PDF file, and F1.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QFontDialog>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include "app/app.h"
#include "core/frame_commands.h"
#include "fakes/test_app.h"
#include "platform/qt/latin1.h"
#include "platform/qt/qt_desktop.h"
#include "ui/fonts_dialog.h"
#include "ui/main_frame.h"
#include "ui/traffic_view.h"

namespace {

using qn::WindowId;

struct FrameCommandsUi : ::testing::Test {
  qn::fakes::TestApp t;
  std::unique_ptr<qn::MainFrame> frame;

  void Open() {
    t.Folder().WriteAtomic("ARCHIVE\\DEMO.TXT", "20\r\nDX de W3LPL:     14025.0  JA1XYZ       CQ\r\n");
    t.StartWithCall("/DEMO");
    frame = std::make_unique<qn::MainFrame>(*t.app);
    frame->ShowFrame();
  }
  qn::TrafficView* View(const char* name) { return frame->findChild<qn::TrafficView*>(name); }
  // Answers the next modal dialog of type T from inside its event loop.
  template <typename T>
  static void WhenShown(std::function<void(T*)> answer, int tries = 100) {
    QTimer::singleShot(20, [answer, tries] {
      for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* d = qobject_cast<T*>(w); d && d->isVisible()) return answer(d);
      }
      if (tries > 0) WhenShown<T>(answer, tries - 1);
    });
  }
  // What "Fo&nts..." opens in the window front end.
  void OpenFonts() { qn::ShowFontsDialog(*t.app->FrameCmds(), frame.get()); }
};

TEST_F(FrameCommandsUi, FontDialogOffersFixedPitchAndKeepsTheStoredNameUntilChosen) {
  Open();
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  // "Fixedsys" is no font here: the windows show the system's fixed font.
  EXPECT_EQ(View("tspot")->font().family(), fixed.family());
  EXPECT_EQ(View("tspot")->font().pointSize(), 9);

  QString title;
  bool monospacedOnly = false;
  WhenShown<QFontDialog>([&](QFontDialog* d) {
    title = d->windowTitle();
    monospacedOnly = d->testOption(QFontDialog::MonospacedFonts);
    d->reject();
  });
  OpenFonts();
  EXPECT_EQ(title, "Quillnet: Fixed Pitch Fonts");
  EXPECT_TRUE(monospacedOnly);
  EXPECT_EQ(t.app->Settings().fontName, "Fixedsys");  // Cancel stores nothing

  QFont chosen = fixed;
  chosen.setPointSize(14);
  QFont selected;
  WhenShown<QFontDialog>([&](QFontDialog* d) {
    d->setCurrentFont(chosen);
    selected = d->currentFont();
    d->accept();
  });
  OpenFonts();
  // What the dialog returned is stored (the styles on offer depend on the
  // fonts installed) and shown in all four boxes.
  EXPECT_EQ(QString::fromStdString(t.app->Settings().fontName).toLower(), fixed.family().toLower());
  EXPECT_EQ(t.app->Settings().fontSize, "14");
  EXPECT_EQ(t.app->Settings().fontBold, selected.bold() ? "1" : "0");
  for (const char* box : {"tResponse", "tspot", "Tann", "Ttalk"}) {
    EXPECT_EQ(View(box)->font().pointSize(), 14) << box;
    EXPECT_EQ(View(box)->font().bold(), selected.bold()) << box;
  }
}

TEST_F(FrameCommandsUi, ScrollBarsAndRestoreDefaultsRedrawTheWindows) {
  Open();
  EXPECT_EQ(View("tResponse")->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  t.app->RunMenu("Configuration/Vertical Scroll Bars");
  for (const char* box : {"tResponse", "tspot", "Tann", "Ttalk"})
    EXPECT_EQ(View(box)->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn) << box;
  EXPECT_TRUE(frame->Menus()->Action("mnuvscroll")->isChecked());

  // A window moved by hand goes back to the default arrangement.
  QMdiSubWindow* spots = frame->Child(WindowId::Spots);
  QRect arranged = spots->geometry();
  spots->setGeometry(arranged.translated(37, 23));
  t.app->Settings().spotColours = {255, 0};
  t.prompter.buttonAnswers.push_back(qn::MsgResult::Yes);
  t.app->RunMenu("Window/Restore Defaults");
  EXPECT_EQ(spots->geometry(), arranged);
  EXPECT_EQ(View("tspot")->palette().color(QPalette::Base), qn::FromBgr(qn::AppSettings().spotColours.back));
}

TEST_F(FrameCommandsUi, PrintsTheActiveWindowToPdfAndF1OpensHelpAtItsTopic) {
  Open();
  qn::fakes::TempFolder out;
  QString pdf = QString::fromStdString((out.Path() / "spots.pdf").string());
  qn::QtPrinter printer;
  printer.choose = [&](QPrinter& p) {
    p.setOutputFormat(QPrinter::PdfFormat);
    p.setOutputFileName(pdf);
    return true;
  };
  class Help : public qn::HelpViewer {
   public:
    bool Show(const std::string&, const std::string& topic) override {
      topics.push_back(topic);
      return true;
    }
    std::vector<std::string> topics;
  } help;
  t.app->FrameCmds()->SetDesktop(&printer, &help, nullptr);
  t.app->Append(WindowId::Spots, "DX de G4TST:     14025.0  K1ABC        cq\r\n");

  frame->FocusWindow(WindowId::Spots);
  t.app->TrafficWin()->FocusReceived(WindowId::Spots);
  t.app->PressKey("Shift+F2");
  QFile file(pdf);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.read(5).startsWith("%PDF"));
  EXPECT_GT(file.size(), 500);

  // F1 in the spot window opens the help at the spot window's part.
  QApplication::setActiveWindow(frame.get());
  View("tspot")->setFocus();
  t.Folder().WriteAtomic(qn::FrameCommands::kHelpFile, "<html></html>");
  QTest::keyClick(View("tspot"), Qt::Key_F1);
  ASSERT_EQ(help.topics.size(), 1u);
  EXPECT_EQ(help.topics[0], "spots");
}

}  // namespace
