// The aux comm port of one instance and, in a TNC instance, the TNC session:
// the port opened at start-up, its lines handed on, the TNC woken, the serial
// link under the session's connection control, and the menu rows "&Aux
// Comm...", "T&NC Parameters...", "Refresh Data" and Ctrl+Shift+F1..F3.
#include "app/app.h"
#include "core/text.h"
#include "irc/irc_session.h"
#include "serial/aux_port.h"
#include "serial/serial_link.h"
#include "serial/tnc_dialogue.h"
#include "session/connection_control.h"
#include "session/receiver.h"
#include "session/script_engine.h"
#include "session/transports.h"
#include "session/typed_input.h"
#include "traffic/classifier.h"
#include "web/web_poller.h"

namespace qn {

namespace {

constexpr const char* kNoPortMessage =
    "No serial port could be open, please check that the AUX COMM port is enabled and properly configured, "
    "then restart the program";
constexpr const char* kTncSilentMessage = "The TNC is not responding; fix and restart Quillnet";
constexpr const char* kLogPortUnavailable =
    "Log-port mode is not available on Linux: the aux port is left closed (see docs/serial.md)";

}  // namespace

void App::BuildSerialMenu() {
  menu_.Add(
      {"mnucfgaux", "&Configuration", "&Aux Comm...", "", [this] { OpenDialog(DialogKind::AuxComm); }, 2});
  menu_.Add({"mnucfgtnc", "&Configuration", "T&NC Parameters...", "",
             [this] { OpenDialog(DialogKind::TncParameters); }, 11});
  // One row for both kinds: a web session fetches its pages now, a TNC
  // session switches between command and converse mode.
  menu_.Add({"mnuoptref", "&Options", "Refresh Data", "F11",
             [this] {
               if (state_.sessionKind == SessionKind::Web && web_) web_->RefreshData();
               if (state_.sessionKind != SessionKind::Tnc || !tncDialogue_) return;
               tncDialogue_->ToggleCommandMode();
               frame_.SetCaption("mnuoptref", tncDialogue_->ModeCaption());
             },
             11});
  // Keys of the typed-input box in a TNC instance, not on the menu bar: IRC
  // over the TNC on with registration, off, and on without registering.
  auto irc = [this](int key) {
    if (state_.sessionKind == SessionKind::Tnc && irc_) irc_->TncFunctionKey(key);
  };
  menu_.Add({"keytncirc1", "", "IRC On", "Ctrl+Shift+F1", [irc] { irc(1); }, 0});
  menu_.Add({"keytncirc2", "", "IRC Off", "Ctrl+Shift+F2", [irc] { irc(2); }, 0});
  menu_.Add({"keytncirc3", "", "IRC On Quietly", "Ctrl+Shift+F3", [irc] { irc(3); }, 0});
}

void App::WireTncSession() {
  aux_ = std::make_unique<AuxPort>(ports_.serial, ports_.loop);
  tncDialogue_ = std::make_unique<TncDialogue>(*aux_, ports_.loop, ports_.clock, ports_.prompter);
  serialLink_ = std::make_unique<SerialLink>(*aux_, *tncDialogue_, ports_.loop);
  // Lines to a TNC end with CR.
  auto transport = std::make_unique<HookTransport>(true, "\r");
  transport->deliver = [this](const std::string& text) { aux_->SendLineToAuxPort(text); };
  WireSession(*serialLink_, std::move(transport));
}

void App::WireSerial() {
  const bool tnc = serialLink_ != nullptr;
  if (!aux_) aux_ = std::make_unique<AuxPort>(ports_.serial, ports_.loop);
  if (!tncDialogue_)
    tncDialogue_ = std::make_unique<TncDialogue>(*aux_, ports_.loop, ports_.clock, ports_.prompter);
  aux_->Configure(settings_, state_.instanceNumber, ReadSerialMap(folder_), tnc);
  tncDialogue_->SetMode(settings_.tncMode == 2 ? TncMode::Wa8ded : TncMode::Tapr);
  tncDialogue_->setStatus = [this](const std::string& text) { frame_.SetStatus(text); };
  tncDialogue_->showReply = [this](const std::string& text) {
    capture_.WriteShown(ShowMessage(WindowId::Terminal, text));
  };
  if (typedInput_) {
    auto& steps = typedInput_->escapeSteps;
    steps.insert(steps.begin(), [this] { return tncDialogue_->OfferToStop(); });
  }
  aux_->onFault = [this](const std::string& description) {
    frame_.SetStatus(description);
    if (serialLink_) serialLink_->DeviceFault(description);
  };

  frame_.SetEnabled("mnuoptref", tnc || state_.sessionKind == SessionKind::Web);
  for (const char* id : {"keytncirc1", "keytncirc2", "keytncirc3"}) frame_.SetEnabled(id, tnc);

  if (tnc) {
    // The port's lines come through the session's receive path.
    receiver_->steps.nodeHop = nullptr;
    auto classify = receiver_->steps.classify;
    receiver_->steps.classify = [this, classify](ReceivedLine& line) {
      if (classify) classify(line);
      std::string body(line.Body());
      aux_->lineReceived.Fire(body);
      TncNotice notice = ParseTncConnectNotice(body, frame_.Title());
      if (!notice.node.empty()) {
        frame_.SetTitle(TncNoticeCaption(frame_.Title(), notice.node));
        if (notice.reconnected && options_.autoReconnection) connection_->AutomaticConnectionNow();
      }
      serialLink_->SeeLine(body);
    };
    if (script_ && typedInput_) WireTncGateway();
    // A TNC session takes typing at once: the TNC has no login prompt.
    connection_->connected.Subscribe([this] { frame_.SetEnabled("Textsend", true); });
    // The tag says what kind of copy this is, for the other copies.
    connection_->dropped.Subscribe([this] {
      if (connection_->CustomTitle().empty())
        frame_.SetTitle("Quillnet [TNC:" + std::to_string(aux_->Entry().port) + "]");
    });
  } else {
    aux_->showLine = [this](const std::string& shown) {
      Append(WindowId::Terminal, shown);
      capture_.WriteShown(shown);
    };
    aux_->captureChunk = [this](std::string_view chunk) {
      if (capture_.On() && !capture_.SpotsOnly()) capture_.WriteReceived(chunk);
    };
    aux_->escapeDisconnect = [this] {
      if (connection_) connection_->MenuDisconnect();
    };
    aux_->escapeConnect = [this](const std::string& host) {
      if (connection_) connection_->ConnectHost(host);
    };
    aux_->processesTraffic = [this] {
      return state_.sessionKind == SessionKind::Web || aux_->State().effectiveInputOnly ||
             (connection_ && connection_->Flags().bridgeFromRemote);
    };
    aux_->classify = [this](const std::string& line) {
      classifier_->ClassifyIncomingLine(line, SpotSource::Serial);
    };
    aux_->scriptWantsPortText = [this] {
      return script_ && !script_->WaitText().empty() &&
             static_cast<unsigned char>(script_->WaitText()[0]) == 255;
    };
    aux_->scriptMatcher = [this](std::string& text) { script_->ScriptMatcher(text); };
  }
  aux_->pc11Line.Subscribe([this](const std::string& line) {
    classifier_->ClassifyIncomingLine(line + "\r\n", SpotSource::Serial);
  });

  if (!aux_->SettingsUnderstood())
    frame_.SetStatus("Comm port settings \"" + aux_->Entry().settings +
                     "\" not understood: " + std::to_string(aux_->Settings().baud) + "," +
                     aux_->Settings().parity + "," + std::to_string(aux_->Settings().dataBits) + "," +
                     std::to_string(aux_->Settings().stopBits) + " used");
  if (aux_->State().logPortActive) {
    frame_.SetStatus(kLogPortUnavailable);
  } else if (!tnc && aux_->State().auxActive && !aux_->Open()) {
    frame_.SetStatus("Aux comm port: " + aux_->OpenError());
  }
}

void App::StartTncSession() {
  if (!serialLink_) return;
  frame_.SetTitle("Quillnet [TNC:" + std::to_string(aux_->Entry().port) + "]");
  frame_.SetCaption("mnuoptref", tncDialogue_->ModeCaption());
  if (aux_->State().logPortActive) return;
  if (!aux_->Open()) {
    frame_.SetStatus(aux_->OpenError());
    ports_.prompter.MessageBox(kNoPortMessage, MsgIcon::Exclamation);
    OpenDialog(DialogKind::AuxComm);
    return;
  }
  frame_.SetStatus("TNC on " + aux_->Device());
  std::string reply = tncDialogue_->WakeTnc(settings_.tncInitPath, folder_);
  if (reply.empty() && !aux_->State().quietTnc) {
    ports_.prompter.MessageBox(kTncSilentMessage, MsgIcon::Exclamation);
    OpenDialog(DialogKind::TncParameters);
    return;
  }
  if (!reply.empty()) capture_.WriteShown(ShowMessage(WindowId::Terminal, reply));
  if (!state_.startupSite.empty() && !connection_->ConnectSite(state_.startupSite, true))
    frame_.SetStatus("No site named " + state_.startupSite + " in the site list");
}

}  // namespace qn
