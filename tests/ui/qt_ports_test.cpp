// The instance registry on a private runtime folder, and the Qt prompter's
// buttons, defaults and Latin-1 answers.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "fakes/temp_folder.h"
#include "platform/qt/qt_instance_registry.h"
#include "platform/qt/qt_prompter.h"

namespace {

namespace fs = std::filesystem;

long DeadPid() {
  pid_t child = fork();
  if (child == 0) _exit(0);
  int status = 0;
  waitpid(child, &status, 0);
  return child;
}

mode_t ModeOf(const fs::path& p) {
  struct stat st {};
  stat(p.c_str(), &st);
  return st.st_mode & 0777;
}

TEST(QtInstanceRegistry, SeesOtherLiveInstancesAndDropsDeadOnes) {
  qn::fakes::TempFolder tmp;
  std::string folder = (tmp.Path() / "run" / "quillnet").string();
  qn::QtInstanceRegistry own(folder);
  ASSERT_TRUE(own.Usable());
  EXPECT_EQ(ModeOf(folder), 0700u);
  EXPECT_TRUE(own.OtherTitles().empty());

  // Another copy, stood for by the parent process, which is alive.
  auto other = std::make_unique<qn::QtInstanceRegistry>(folder, static_cast<long>(getppid()));
  other->SetOwnTitle("Quillnet [dx.example.org]");
  own.SetOwnTitle("Quillnet [TNC:1]");
  auto titles = own.OtherTitles();
  ASSERT_EQ(titles.size(), 1u);
  EXPECT_EQ(titles[0], "Quillnet [dx.example.org]");

  // A title changes in place, bytes beyond ASCII kept as they are.
  other->SetOwnTitle("Quillnet [G\xD6TEBORG]");
  titles = own.OtherTitles();
  ASSERT_EQ(titles.size(), 1u);
  EXPECT_EQ(titles[0], "Quillnet [G\xD6TEBORG]");

  // A copy that died without cleaning up is skipped and its entry removed.
  long dead = DeadPid();
  fs::path deadEntry = fs::path(folder) / (std::to_string(dead) + ".instance");
  { std::ofstream(deadEntry) << "Quillnet [old.node]"; }
  titles = own.OtherTitles();
  EXPECT_EQ(titles.size(), 1u);
  EXPECT_FALSE(fs::exists(deadEntry));

  // A copy that ends removes its entry.
  other.reset();
  EXPECT_TRUE(own.OtherTitles().empty());
  EXPECT_TRUE(fs::exists(fs::path(folder) / (std::to_string(getpid()) + ".instance")));
}

TEST(QtInstanceRegistry, OpenFolderIsMadePrivateAndStrayFilesIgnored) {
  qn::fakes::TempFolder tmp;
  fs::path folder = tmp.Path() / "quillnet";
  fs::create_directories(folder);
  fs::permissions(folder, fs::perms(0755));
  { std::ofstream(folder / "notes.txt") << "Quillnet [x]"; }
  { std::ofstream(folder / "12x.instance") << "Quillnet [y]"; }
  qn::QtInstanceRegistry reg(folder.string());
  EXPECT_TRUE(reg.Usable());
  EXPECT_EQ(ModeOf(folder), 0700u);
  EXPECT_TRUE(reg.OtherTitles().empty());
}

TEST(QtInstanceRegistry, FolderFromTheEnvironment) {
  qn::fakes::TempFolder tmp;
  const char* xdg = std::getenv("XDG_RUNTIME_DIR");
  std::string savedXdg = xdg ? xdg : "";
  std::string folder = (tmp.Path() / "override").string();
  setenv("QUILLNET_RUNTIME_DIR", folder.c_str(), 1);
  EXPECT_EQ(qn::QtInstanceRegistry::DefaultFolder(), folder);
  unsetenv("QUILLNET_RUNTIME_DIR");
  setenv("XDG_RUNTIME_DIR", tmp.Path().c_str(), 1);
  EXPECT_EQ(qn::QtInstanceRegistry::DefaultFolder(), tmp.Path().string() + "/quillnet");
  unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(qn::QtInstanceRegistry::DefaultFolder().find(fs::temp_directory_path().string()), 0u);
  if (xdg)
    setenv("XDG_RUNTIME_DIR", savedXdg.c_str(), 1);
  else
    unsetenv("XDG_RUNTIME_DIR");
}

TEST(QtInstanceRegistry, SymlinkedFolderIsRefused) {
  qn::fakes::TempFolder tmp;
  fs::create_directories(tmp.Path() / "elsewhere");
  fs::create_symlink(tmp.Path() / "elsewhere", tmp.Path() / "quillnet");
  qn::QtInstanceRegistry reg((tmp.Path() / "quillnet").string());
  EXPECT_FALSE(reg.Usable());
  reg.SetOwnTitle("Quillnet [x]");
  EXPECT_TRUE(fs::is_empty(tmp.Path() / "elsewhere"));
}

// Answers the next modal box with a key once it is up.
void AnswerNextBox(std::function<void(QWidget*)> answer) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [timer, answer] {
    QWidget* w = QApplication::activeModalWidget();
    if (!w) return;
    timer->stop();
    timer->deleteLater();
    answer(w);
  });
  timer->start(10);
}

TEST(QtPrompter, DefaultButtonAndEscape) {
  qn::QtPrompter p;
  QString seenText;
  AnswerNextBox([&](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    if (box) seenText = box->text();
    QTest::keyClick(w, Qt::Key_Return);
  });
  EXPECT_EQ(p.MessageBox("Warning: continue?", qn::MsgIcon::Question, qn::MsgButtons::YesNo, 2, "Quillnet"),
            qn::MsgResult::No);
  EXPECT_EQ(seenText, "Warning: continue?");

  QMessageBox::Icon icon = QMessageBox::NoIcon;
  AnswerNextBox([&](QWidget* w) {
    if (auto* box = qobject_cast<QMessageBox*>(w)) icon = box->icon();
    QTest::keyClick(w, Qt::Key_Return);
  });
  EXPECT_EQ(p.MessageBox("Overwrite?", qn::MsgIcon::Exclamation, qn::MsgButtons::YesNoCancel, 1, "Quillnet"),
            qn::MsgResult::Yes);
  EXPECT_EQ(icon, QMessageBox::Warning);

  AnswerNextBox([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
  EXPECT_EQ(p.MessageBox("Stop?", qn::MsgIcon::Question, qn::MsgButtons::YesNo, 1, "Quillnet"),
            qn::MsgResult::No);
}

TEST(QtPrompter, InputBoxAnswersInLatin1AndCancelIsNone) {
  qn::QtPrompter p;
  QString label;
  AnswerNextBox([&](QWidget* w) {
    auto* dlg = qobject_cast<QInputDialog*>(w);
    if (!dlg) return;
    label = dlg->labelText();
    EXPECT_EQ(dlg->textValue(), QString::fromLatin1("G\xD6ST"));
    dlg->setTextValue(QString::fromLatin1("Z\xFCrich"));
    dlg->accept();
  });
  auto a = p.InputBox("Enter your callsign", "Quillnet", "G\xD6ST");
  ASSERT_TRUE(a.has_value());
  EXPECT_EQ(*a, "Z\xFCrich");
  EXPECT_EQ(label, "Enter your callsign");

  AnswerNextBox([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
  EXPECT_FALSE(p.InputBox("Search Text", "Quillnet", "").has_value());
}

}  // namespace
