// The Qt Widgets front end of one App: owns the Qt ports the App is built on
// (event loop, clock, prompter, instance registry, dialogs, sockets) and,
// once the App exists, the main frame that renders it.
//   GuiFrontEnd fe; App app(fe.Ports(), folder); fe.Attach(app); app.StartUp(cmd);
#pragma once

#include <memory>

#include "app/app.h"
#include "platform/linux/linux_port_io.h"
#include "platform/qt/qt_clock.h"
#include "platform/qt/qt_event_loop.h"
#include "platform/qt/qt_instance_registry.h"
#include "platform/qt/qt_launcher.h"
#include "platform/qt/qt_link_endpoint.h"
#include "platform/qt/qt_prompter.h"
#include "platform/qt/qt_rig_factory.h"
#include "platform/qt/qt_serial_port.h"
#include "platform/qt/qt_sound_output.h"
#include "platform/qt/qt_tcp_listener.h"
#include "platform/qt/qt_tcp_socket.h"
#include "platform/qt/qt_url_opener.h"
#include "ui/main_frame.h"
#include "ui/qt_dialog_host.h"

namespace qn {

class GuiFrontEnd {
 public:
  GuiFrontEnd();
  ~GuiFrontEnd();
  GuiFrontEnd(const GuiFrontEnd&) = delete;
  GuiFrontEnd& operator=(const GuiFrontEnd&) = delete;

  qn::Ports Ports();
  // Creates the frame for the App before its start-up runs; the frame shows
  // itself once start-up has placed the windows, or at the first question.
  void Attach(App& app);
  // Lets go of the App; done by itself when the App closes or the event loop
  // ends, and needed before an App that never closed is destroyed.
  void Detach();
  MainFrame* Frame() const { return frame_.get(); }

  QtEventLoop& Loop() { return loop_; }
  QtPrompter& Prompter() { return prompter_; }
  QtInstanceRegistry& Registry() { return registry_; }

 private:
  QWidget* FrameForQuestions();

  QtEventLoop loop_;
  QtClock clock_;
  QtPrompter prompter_;
  QtInstanceRegistry registry_;
  QtDialogHost dialogs_;
  QtSocketFactory sockets_;
  QtListenerFactory listeners_;
  QtLauncher launcher_;
  QtUrlOpener urls_;
  QtSoundOutput sound_;
  LinuxPortIo portIo_;
  QtRigFactory rigs_;
  QtLinkEndpoint links_{registry_.Folder()};
  QtSerialPort serial_;
  std::unique_ptr<MainFrame> frame_;
  App* app_ = nullptr;
};

}  // namespace qn
