// flinger: spot lines between Quillnet and the local network by UDP. The
// window, or with --headless (or without a display) the console.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/settings.h"
#include "front/console.h"
#include "front/main_window.h"
#include "qt/flinger_app.h"

namespace {

const char* kUsage =
    "usage: flinger [--data-dir DIR] [--headless]\n"
    "  --data-dir DIR  keep FLINGER.CFG here (default: $FLINGER_DIR, else the\n"
    "                  \"flinger\" folder in Quillnet's data folder)\n"
    "  --headless      no window: the terminal on stdout, typed lines on stdin\n";

int signalPipe[2] = {-1, -1};

void OnSignal(int) {
  char c = 1;
  (void)!::write(signalPipe[1], &c, 1);
}

// SIGTERM and SIGINT end the event loop, so the endpoint's files go too.
void QuitOnSignals(QObject* owner) {
  if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  auto* n = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, owner);
  QObject::connect(n, &QSocketNotifier::activated, owner, [] { QCoreApplication::quit(); });
  struct sigaction sa {};
  sa.sa_handler = OnSignal;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGTERM, &sa, nullptr);
  sigaction(SIGINT, &sa, nullptr);
}

bool HaveDisplay() {
  auto set = [](const char* name) {
    const char* v = std::getenv(name);
    return v && *v;
  };
  return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

}  // namespace

int main(int argc, char** argv) {
  std::optional<std::string> dataDir;
  bool headless = false;
  std::vector<std::string> args(argv + 1, argv + argc);
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--headless") {
      headless = true;
    } else if (args[i] == "--data-dir" && i + 1 < args.size()) {
      dataDir = args[++i];
    } else if (args[i] == "--help" || args[i] == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else {
      std::fprintf(stderr, "flinger: unknown argument %s\n\n%s", args[i].c_str(), kUsage);
      return 2;
    }
  }
  std::filesystem::path folder =
      fl::ChooseDataFolder(dataDir, [](const char* name) -> std::optional<std::string> {
        const char* v = std::getenv(name);
        if (!v) return std::nullopt;
        return std::string(v);
      });
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (!std::filesystem::is_directory(folder)) {
    std::fprintf(stderr, "flinger: cannot use the data folder %s\n", folder.string().c_str());
    return 1;
  }
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) exe = argv[0];

  int qtArgc = 1;
  if (headless || !HaveDisplay()) {
    QCoreApplication qapp(qtArgc, argv);
    QCoreApplication::setApplicationName(fl::kAppTitle);
    QuitOnSignals(&qapp);
    fl::FlingerApp app(folder, exe);
    fl::Console console(app, stdout, 0);
    console.onQuit = [] { QCoreApplication::quit(); };
    app.Load();
    app.Open();
    return QCoreApplication::exec();
  }
  QApplication qapp(qtArgc, argv);
  QApplication::setApplicationName(fl::kAppTitle);
  QuitOnSignals(&qapp);
  fl::FlingerApp app(folder, exe);
  app.Load();
  fl::MainWindow window(app);
  window.show();
  app.Open();
  return QApplication::exec();
}
