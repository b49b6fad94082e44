// The IRC and chat sessions of a telnet instance: the IRC side of the receive
// path (colours, server lines, registration, the channel), its own lines to
// the server, and the greeting of arrivals in chat sessions.
#include "app/app.h"
#include "bridge/bridging.h"
#include "core/text.h"
#include "irc/chat_greeting.h"
#include "irc/irc_session.h"
#include "session/connection_control.h"
#include "session/receiver.h"
#include "session/script_engine.h"
#include "session/sender.h"
#include "session/session_transport.h"
#include "session/tcp_link.h"

namespace qn {

void App::WireIrc() {
  IrcSessionHooks hooks;
  // Protocol lines go to the link as they are: the translation of typed
  // lines, and a half-typed macro waiting there, are not for them.
  hooks.sendLine = [this](const std::string& line) {
    if (!transport_ || !transport_->Connected()) return;
    // Through a TNC the bridge file's suffix ends each IRC line.
    const bool tnc = state_.sessionKind == SessionKind::Tnc;
    const std::string suffix = tnc && bridging_ ? bridging_->bridge->Params().ircLineSuffix : std::string();
    transport_->Deliver(line + suffix + state_.sendTerminator);
  };
  hooks.show = [this](const std::string& text) {
    Append(WindowId::Terminal, text);
    capture_.WriteShown(text);
  };
  hooks.ownCall = [this] { return settings_.ownCallsign; };
  hooks.robotNick = [this] { return connection_->Modes().robotNick; };
  hooks.channel = [this] { return connection_->Modes().ircChannel; };
  hooks.channelKey = [this] { return script_->IrcChannelKey(); };
  // A TNC session has no socket: the callsign stands in.
  hooks.localHost = [this] { return tcpLink_ ? tcpLink_->LocalAddress() : std::string(); };
  hooks.localPort = [this] { return tcpLink_ ? tcpLink_->LocalPort() : std::string(); };
  hooks.taprMode = [this] { return state_.sessionKind == SessionKind::Tnc && settings_.tncMode != 2; };
  hooks.setIrcMode = [this](bool on) { connection_->MutableModes().irc = on; };
  irc_ = std::make_unique<IrcSession>(ports_.clock, std::move(hooks));

  receiver_->ircFilter = [this](std::string& chunk) { irc_->StripColours(chunk); };
  receiver_->steps.ircLine = [this](ReceivedLine& line) {
    if (connection_->Modes().irc) irc_->OnLine(line);
  };
  script_->registerIrc = [this] { irc_->RegisterIrc(); };
  connection_->connected.Subscribe([this] {
    irc_->StartSession();
    // An IRC server sends no login prompt, also when the script's "IRC" made it one.
    if (connection_->Modes().irc) frame_.SetEnabled("Textsend", true);
  });

  chatGreeting_ = std::make_unique<ChatGreeting>();
  chatGreeting_->send = [this](const std::string& text) { sender_->Send(text); };
  chatGreeting_->sendTerminator = [this] { return state_.sendTerminator; };
  receiver_->steps.chatNotice = [this](std::string_view line) {
    if (connection_->Modes().chat && script_->ChatType() != 0)
      chatGreeting_->OnNotice(line, script_->ChatType(), script_->Greeting());
  };
}

}  // namespace qn
