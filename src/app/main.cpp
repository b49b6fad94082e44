// quillnet: the Qt Widgets program, or with --headless (or without a display)
// the console front end on the same core.
#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/app.h"
#include "core/command_line.h"
#include "core/data_folder.h"
#include "core/text.h"
#include "headless/console_front_end.h"
#include "headless/console_sound.h"
#include "platform/linux/linux_port_io.h"
#include "platform/qt/loop_probe.h"
#include "platform/qt/qt_clock.h"
#include "platform/qt/qt_event_loop.h"
#include "platform/qt/qt_instance_registry.h"
#include "platform/qt/qt_launcher.h"
#include "platform/qt/qt_serial_port.h"
#include "platform/qt/qt_link_endpoint.h"
#include "platform/qt/qt_rig_factory.h"
#include "platform/qt/qt_tcp_listener.h"
#include "platform/qt/qt_tcp_socket.h"
#include "ui/gui_front_end.h"

namespace {

bool HaveDisplay() {
  auto set = [](const char* name) {
    const char* v = std::getenv(name);
    return v && *v;
  };
  return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

int RunHeadless(int argc, char** argv, const qn::fs::path& folder, const qn::ProgramOptions& options) {
  QCoreApplication qapp(argc, argv);
  qn::QtEventLoop loop;
  qn::QtClock clock;
  qn::QtInstanceRegistry registry;
  qn::ConsoleFrontEnd console(loop, stdout, 0);
  qn::QtSocketFactory sockets;
  qn::QtLauncher launcher;
  qn::ConsoleSoundOutput sound(
      [&console](const std::string& kind, const std::string& text) { console.Print(kind, text); });
  qn::LinuxPortIo portIo;
  qn::QtRigFactory rigs;
  qn::QtLinkEndpoint links(registry.Folder());
  qn::QtListenerFactory listeners;
  qn::QtSerialPort serial;
  qn::Ports ports{loop, clock, console, registry, &console, &sockets, &launcher, &console, &sound,
                  &portIo, &rigs, &links, &listeners};
  ports.serial = &serial;
  qn::App app(ports, qn::DataFolder(folder));
  app.onQuit = [] { QCoreApplication::exit(0); };
  console.Attach(app);
  auto probe = qn::LoopProbe::FromEnvironment(app.Window(qn::WindowId::Spots));
  if (options.replayDelaySeconds) app.SetReplayFirstTickMs(*options.replayDelaySeconds * 1000);
  app.StartUp(options.commandText);
  if (app.Closed()) return 0;
  int rc = QCoreApplication::exec();
  console.Detach();
  return rc;
}

int RunGui(int argc, char** argv, const qn::fs::path& folder, const qn::ProgramOptions& options) {
  QApplication qapp(argc, argv);
  qn::GuiFrontEnd fe;
  qn::App app(fe.Ports(), qn::DataFolder(folder));
  app.onQuit = [] { QCoreApplication::exit(0); };
  fe.Attach(app);
  auto probe = qn::LoopProbe::FromEnvironment(app.Window(qn::WindowId::Spots));
  if (options.replayDelaySeconds) app.SetReplayFirstTickMs(*options.replayDelaySeconds * 1000);
  app.StartUp(options.commandText);
  int rc = app.Closed() ? 0 : QApplication::exec();
  fe.Detach();
  return rc;
}

// One poke for a script: the first endpoint of that name gets it.
int RunPoke(int argc, char** argv, const qn::PokeRequest& poke) {
  QCoreApplication qapp(argc, argv);
  qn::QtLinkEndpoint links;
  for (const qn::EndpointInfo& e : links.Endpoints()) {
    if (!qn::IEquals(e.application, poke.application) || !qn::IEquals(e.topic, poke.topic)) continue;
    qn::PokeAnswer answer = qn::QtLinkEndpoint::PokeAndWait(
        links.SocketPath(e.pid), {poke.application, poke.topic, poke.item, poke.text}, 10000);
    if (answer == qn::PokeAnswer::NoAnswer) continue;
    std::string line = qn::AnswerLine(answer);
    std::fputs(line.c_str(), stdout);
    return answer == qn::PokeAnswer::Ok ? 0 : 1;
  }
  std::fprintf(stderr, "quillnet: no %s with the topic \"%s\" is running\n", poke.application.c_str(),
               poke.topic.c_str());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  qn::ProgramOptions options = qn::ParseProgramOptions(args);
  if (!options.error.empty()) {
    std::fprintf(stderr, "quillnet: %s\n\n%s", options.error.c_str(), qn::UsageText().c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(qn::UsageText().c_str(), stdout);
    return 0;
  }
  if (options.version) {
    std::printf("quillnet %s\n", QUILLNET_VERSION);
    return 0;
  }

  if (options.poke) {
    int qtArgc = 1;
    return RunPoke(qtArgc, argv, *options.poke);
  }

  qn::fs::path folder = qn::ChooseDataFolder(options.dataDir);
  std::error_code ec;
  qn::fs::path exe = qn::fs::read_symlink("/proc/self/exe", ec);
  std::string problem = qn::PrepareDataFolder(folder, qn::FindShippedData(ec ? qn::fs::path(argv[0]) : exe));
  if (!problem.empty()) {
    std::fprintf(stderr, "quillnet: %s\n", problem.c_str());
    if (!options.headless && HaveDisplay()) {
      // Started from a desktop menu, nobody reads stderr.
      int qtArgc = 1;
      QApplication qapp(qtArgc, argv);
      if (QGuiApplication::platformName() != "offscreen") {
        QMessageBox::critical(nullptr, "Quillnet", QString::fromLocal8Bit(problem.c_str()));
      }
    }
    return 1;
  }

  // Qt must not see the program's own command words.
  int qtArgc = 1;
  if (options.headless || !HaveDisplay()) return RunHeadless(qtArgc, argv, folder, options);
  return RunGui(qtArgc, argv, folder, options);
}
