// An App on the fakes and a temp data folder, for tests of start-up and above.
#pragma once

#include <memory>

#include "app/app.h"
#include "fakes/fake_launcher.h"
#include "fakes/fake_prompter.h"
#include "fakes/fake_rig.h"
#include "fakes/fake_sound.h"
#include "fakes/fake_url_opener.h"
#include "fakes/temp_folder.h"
#include "fakes/virtual_time.h"

namespace qn::fakes {

struct TestApp {
  TempFolder dir;
  VirtualClock clock;
  FakeEventLoop loop{clock};
  FakePrompter prompter;
  FakeInstanceRegistry registry;
  FakeLauncher launcher;
  FakeUrlOpener urls;
  SocketFactory* sockets = nullptr;  // set for a telnet instance with its send path
  FakeSoundOutput sound{clock};      // no device until a test gives it one
  FakePortIo portIo{clock};
  FakeRadio radio;
  FakeRigFactory rigs{loop, radio};
  LinkEndpoint* links = nullptr;  // set for a copy linked to others
  TcpListenerFactory* listeners = nullptr;  // set for a copy that may serve callers
  SerialPort* serial = nullptr;   // set for a copy with an aux port (reset app before it goes)
  std::unique_ptr<App> app;

  DataFolder Folder() const { return DataFolder(dir.Path()); }
  App& Make() {
    Ports ports{loop,      clock, prompter, registry, nullptr, sockets,
                &launcher, &urls, &sound,   &portIo,  &rigs,   links, listeners};
    ports.serial = serial;
    app = std::make_unique<App>(ports, Folder());
    return *app;
  }
  // With a callsign already stored, so start-up does not ask for it.
  App& StartWithCall(const std::string& commandText) {
    AppSettings s;
    s.ownCallsign = "G4TST";
    Folder().WriteAtomic("quillnet.cfg", s.Serialise());
    Make().StartUp(commandText);
    return *app;
  }
};

}  // namespace qn::fakes
