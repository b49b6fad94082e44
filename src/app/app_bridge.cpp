// Bridging and serving others in one instance: BRIDGE.TXT and crypto.txt read
// at start-up, the "&Crypto" option and the script's link switches, the bridge
// on every accepted spot, relay copies, the RF gateway on the session's lines
// and typed text, the DX robot of a "DXROBOT" title, and the listener of an
// "ACCEPT" site.
#include <system_error>

#include "app/app.h"
#include "bridge/bridging.h"
#include "core/text.h"
#include "irc/irc_session.h"
#include "links/links.h"
#include "serial/aux_port.h"
#include "session/connection_control.h"
#include "session/host_text.h"
#include "session/receiver.h"
#include "session/script_engine.h"
#include "session/sender.h"
#include "session/tcp_link.h"
#include "session/transports.h"
#include "session/typed_input.h"
#include "traffic/classifier.h"
#include "traffic/spot_pipeline.h"

namespace qn {

namespace {

constexpr const char* kCryptoMenu = "mnucry";

// A parameter file's text; none when it is missing or far too large to be one.
std::optional<std::string> ReadParameterFile(const DataFolder& folder, const char* name, std::size_t limit) {
  auto path = folder.Resolve(name);
  std::error_code ec;
  if (!path || !fs::is_regular_file(*path, ec) || fs::file_size(*path, ec) > limit || ec) return std::nullopt;
  return folder.Read(name);
}

}  // namespace

void App::BuildBridgeMenu() {
  menu_.Add({kCryptoMenu, "&Options", "&Crypto", "",
             [this] {
               options_.crypto = !options_.crypto;
               frame_.SetChecked(kCryptoMenu, options_.crypto);
             },
             4, true});
  // Only a valid crypto table enables it.
  frame_.SetEnabled(kCryptoMenu, false);
}

void App::WireBridge() {
  bridging_ = std::make_unique<Bridging>();
  Bridging& b = *bridging_;

  auto params = ReadParameterFile(folder_, Bridging::kBridgeFile, BridgeParams::kMaxFileSize);
  b.bridge = std::make_unique<Bridge>(params ? LoadBridgeParams(*params) : BridgeParams{});
  auto crypto = ReadParameterFile(folder_, Bridging::kCryptoFile, LinkCrypto::kMaxFileSize);
  b.crypto = crypto ? LoadLinkCrypto(*crypto) : LinkCrypto{};
  options_.crypto = false;
  frame_.SetChecked(kCryptoMenu, false);
  frame_.SetEnabled(kCryptoMenu, b.crypto.Usable());

  AuxPortSide& aux = b.aux;
  auto auxOpen = [&aux] { return aux.open && aux.open(); };
  auto sendToAux = [&aux](const std::string& text) {
    if (aux.send) aux.send(text);
  };
  auto logPortMode = [&aux] { return aux.logPortMode && aux.logPortMode(); };
  auto writeLogPort = [&aux](const std::string& text) {
    if (aux.writeLogPort) aux.writeLogPort(text);
  };
  auto inputOnly = [&aux] { return aux.inputOnly && aux.inputOnly(); };
  auto exchangeOn = [this] { return !script_ || script_->ExchangeOn(); };
  auto bridgeTo = [this] {
    if (state_.sessionKind == SessionKind::Web) return settings_.webBridgeToRemote;
    return connection_ && connection_->Flags().bridgeToRemote;
  };
  auto customTitle = [this] { return connection_ ? Trim(connection_->CustomTitle()) : std::string(); };
  auto toSession = [this](const std::string& text) { SendLine(text); };

  // The bridge on every accepted spot.
  BridgeHooks& bh = b.bridge->Hooks();
  bh.exchangeOn = exchangeOn;
  bh.bridgeFrom = [this] { return connection_ && connection_->Flags().bridgeFromRemote; };
  bh.bridgeTo = bridgeTo;
  bh.ircSession = [this] { return connection_ && connection_->Modes().irc; };
  bh.automaticIdle = [this] { return !connection_ || connection_->AutoState() == AutoState::Off; };
  bh.tncSession = [this] { return state_.sessionKind == SessionKind::Tnc; };
  bh.webFirstRound = [this] {
    return pipeline_ && pipeline_->Hooks().ignoringFirstWebRetrieval &&
           pipeline_->Hooks().ignoringFirstWebRetrieval();
  };
  bh.auxInputOnly = inputOnly;
  bh.ownCall = [this] { return Trim(settings_.ownCallsign); };
  bh.utcNow = [this] { return UtcNow(); };
  bh.auxOpen = auxOpen;
  bh.sendToAux = sendToAux;
  bh.logPortMode = logPortMode;
  bh.writeLogPort = writeLogPort;
  if (sender_) {
    bh.pendingSend = [this]() -> std::string& { return sender_->Outgoing(); };
    bh.sendToSession = [this] { sender_->SendToSession(); };
  }
  bh.toRelays = [this](const std::string& line) {
    if (links_) links_->Textout1(line);
  };
  Bridge* bridge = b.bridge.get();
  pipeline_->accepted.Subscribe(
      [bridge](const SpotRecord& spot, SpotSource source) { bridge->BridgeSpot(spot, spot.line, source); });
  pipeline_->relayToMain.Subscribe([bridge](const std::string& line) { bridge->RelayToSession(line); });
  // Every copy but a relay offers the spot lines of its session to the relay
  // copies (Textout1 finds them; with none running nothing is sent). A relay
  // offers nothing, so no line goes round, and a spot that also reached it
  // as a link spot is a duplicate there.
  events_.spotLine.Subscribe([bridge, customTitle](const std::string& line, SpotSource source) {
    if (source != SpotSource::Main || StartsWith(UCase(customTitle()), "RELAY")) return;
    bridge->OfferToRelays(line);
  });

  // The RF gateway through the aux port.
  b.gateway = std::make_unique<RfGateway>(ports_.loop);
  RfGateway* gateway = b.gateway.get();
  RfGatewayHooks& gh = gateway->Hooks();
  gh.exchangeOn = exchangeOn;
  gh.bridgeTo = bridgeTo;
  gh.auxInputOnly = inputOnly;
  gh.auxOpen = auxOpen;
  gh.logPortMode = logPortMode;
  gh.sendToAux = sendToAux;
  gh.writeLogPort = writeLogPort;
  gh.discardAuxInput = [&aux] {
    if (aux.discardInput) aux.discardInput();
  };
  gh.ownCall = [this] { return Trim(settings_.ownCallsign); };
  gh.customTitle = customTitle;
  gh.sessionConnected = [this] { return connection_ && connection_->Connected(); };
  gh.loginPending = [this] {
    return connection_ && connection_->Connected() && connection_->Marker() == LinkMarker::WatchingPrompts &&
           !connection_->Modes().serverMode && !frame_.Item("Textsend").enabled;
  };
  gh.disconnect = [this] {
    if (connection_) connection_->MenuDisconnect();
  };
  gh.sessionReset = [this] {
    if (connection_) connection_->StopAutomaticConnection(false);
  };
  gh.sendToSession = toSession;

  // The DX robot, prepared by the first "DXROBOT" title of the run.
  b.robot = std::make_unique<Robot>(state_.sendTerminator);
  Robot* robot = b.robot.get();
  RobotHooks& rh = robot->Hooks();
  rh.spotRing = [this] {
    std::vector<std::string> ring;
    for (int i = 0; i < 10; ++i)
      ring.push_back(pipeline_->RobotRing()[static_cast<std::size_t>((pipeline_->RobotNext() + i) % 10)]);
    return ring;
  };
  rh.send = toSession;
  rh.startHelper = [this](const std::string& argument) {
    StartHelper(Robot::kHelper, {argument}, WindowStyle::Minimised);
  };
  events_.announcementShown.Subscribe([robot, customTitle](const std::string& line) {
    if (StartsWith(UCase(customTitle()), "DXROBOT")) robot->OnWindowLine(line);
  });

  if (aux_) WireBridgeToAux();
  if (!connection_) return;

  // The session's script switches and robot steps (telnet and TNC); link
  // crypto on the socket of a telnet session (a TNC's is the aux port's).
  const LinkCrypto& table = b.crypto;
  if (tcpLink_) {
    if (auto* link = dynamic_cast<LinkTransport*>(transport_.get())) {
      link->cryptText = [this, &table](std::string_view piece) {
        if (!options_.crypto || !table.Covers(LinkCrypto::kSessionBit)) return std::string(piece);
        return CryptText(piece, table.send);
      };
    }
    receiver_->decipherReceived = [this, &table](std::string& chunk) {
      if (options_.crypto && table.Covers(LinkCrypto::kSessionBit)) chunk = CryptText(chunk, table.receive);
    };
  }
  script_->cryptoTableLoaded = [&table] { return table.Usable(); };
  script_->cryptoChanged = [this](bool on) { frame_.SetChecked(kCryptoMenu, on); };
  script_->robotTitleSet = [this, robot] {
    auto blocked = ReadParameterFile(folder_, Bridging::kBlockFile, Robot::kMaxBlockList);
    robot->Prepare(blocked ? *blocked : std::string());
  };
  receiver_->steps.robotCommand = [robot, customTitle](const ReceivedLine& line) {
    if (!StartsWith(UCase(customTitle()), "DXROBOT")) return std::string();
    return robot->RobotCommand(line.text);
  };
  if (irc_) {
    // On IRC the requests come as private messages, and the answers go back
    // the same way ("/M" becomes a PRIVMSG).
    irc_->privateMessage.Subscribe(
        [this, robot, customTitle](const std::string& nick, const std::string& text) {
          if (!StartsWith(UCase(customTitle()), "DXROBOT")) return;
          std::string line = robot->RobotCommand("<" + nick + ">: " + text);
          if (line.empty()) return;
          // The submitted spot or announcement is shown and filed as a node
          // line would be; the IRC receive path is for the server's lines.
          Append(WindowId::Terminal, line);
          classifier_->ClassifyIncomingLine(line, SpotSource::Main);
        });
  }
  // The RF gateway and server mode stand beside a telnet session only: in a
  // TNC session the aux port is the session itself.
  if (!tcpLink_) return;
  receiver_->steps.copyToRf = [gateway](const ReceivedLine& line) { gateway->CopyToRf(line.text); };
  // The working copy of the command escape string.
  auto escape = [this] {
    std::string e = UCase(Trim(settings_.auxEscapeString));
    return e.empty() ? std::string("+++") : e;
  };
  typedInput_->auxCommand = [this, gateway, escape](const std::string& text) {
    if (!gateway->TypedToPort(text, escape())) return false;
    // Such text never goes to the node; without a port it would vanish unseen.
    if (!aux_ || !aux_->PortOpen()) frame_.SetStatus("The aux port is not open: the line was not sent");
    return true;
  };
  connection_->connected.Subscribe([gateway] { gateway->OnSessionConnected(); });
  connection_->dropped.Subscribe([gateway] { gateway->OnSessionDropped(); });

  // Server mode of an "ACCEPT" site.
  if (!ports_.listeners) return;
  b.server = std::make_unique<ServerMode>(*ports_.listeners, *tcpLink_, ports_.loop);
  ServerMode* server = b.server.get();
  ServerModeHooks& sh = server->Hooks();
  sh.status = [this](const std::string& text) { frame_.SetStatus(text); };
  sh.title = [this](const std::string& title) { frame_.SetTitle(title); };
  sh.customTitle = customTitle;
  sh.message = [this](const std::string& text) { ShowMessage(WindowId::Terminal, text); };
  sh.newConnection = [this] {
    if (connection_->onNewConnection) connection_->onNewConnection();
  };
  sh.incomingCall = [this] { PopUpMainWindow(false); };
  sh.active = [this] { return connection_->Modes().serverMode; };
  sh.escape = escape;
  sh.relayCopy = [customTitle] { return StartsWith(UCase(customTitle()), "RELAY"); };
  sh.toOthers = [this](const std::string& line) {
    if (links_) links_->Textout(line);
  };
  connection_->startServerListen = [this, server] {
    HostTarget target = SiteTarget(state_.currentSite, folder_, connection_->random);
    std::int64_t port =
        Trim(target.port).find_first_not_of("0123456789") == std::string::npos ? ValInt(target.port) : -1;
    server->Start(target.host, static_cast<int>(port));
    SetFlashing(false);
  };
  connection_->serverRearm = [server] { server->CallerLeft(); };
  // Connected to a node instead: the port is given back.
  connection_->connected.Subscribe([this, server] {
    if (!connection_->Modes().serverMode) server->Stop();
  });
  // A caller hung up by the user is followed by the next one all the same.
  connection_->dropped.Subscribe([this, server] {
    if (connection_->Modes().serverMode && server->Listening()) server->CallerLeft();
  });
  receiver_->steps.serverLine = [this, server](ReceivedLine& line) {
    if (connection_->Modes().serverMode) server->OnCallerLine(line.text);
  };
}

// The aux port's side of bridging: what the bridge and the gateway send
// through it, link crypto on its two paths, and its lines for the robot and
// the gateway.
void App::WireBridgeToAux() {
  Bridging& b = *bridging_;
  AuxPort* port = aux_.get();
  b.aux.open = [port] { return port->PortOpen(); };
  b.aux.send = [port](const std::string& text) { port->SendToAuxPort(text); };
  b.aux.sendLine = [port](const std::string& text) { port->SendLineToAuxPort(text); };
  b.aux.logPortMode = [port] { return port->State().logPortActive; };
  b.aux.writeLogPort = [port](const std::string& text) { port->WriteLogPort(text); };
  b.aux.discardInput = [port] {
    if (port->Port() && port->PortOpen()) port->Port()->DiscardInput();
  };
  b.aux.inputOnly = [port] { return port->State().effectiveInputOnly; };
  port->encipherSent = [this](std::string_view text) {
    return bridging_->CryptForAux(text, true, options_.crypto);
  };
  port->decipherReceived = [this](std::string& chunk) {
    chunk = bridging_->CryptForAux(chunk, false, options_.crypto);
  };
  Robot* robot = b.robot.get();
  port->robotCommand = [this, robot](const std::string& line) {
    const bool isRobot = connection_ && StartsWith(UCase(Trim(connection_->CustomTitle())), "DXROBOT");
    return isRobot ? robot->RobotCommand(line) : std::string();
  };
  RfGateway* gateway = b.gateway.get();
  port->rfLine.Subscribe([gateway](const std::string& line) { gateway->OnRfLine(line); });
}

}  // namespace qn
