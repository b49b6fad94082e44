// The send path of a telnet session under arbitrary outgoing text, each piece
// holding bytes 255, mixed with negotiation from the node: whatever leaves on
// the socket must read back, by the telnet rules, as exactly the text that was
// sent plus our own negotiation commands, and nothing else.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fakes/fake_socket.h"
#include "fakes/test_app.h"
#include "session/connection_control.h"
#include "session/sender.h"
#include "session/telnet_codec.h"

namespace {

void Require(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "send_fuzz: %s\n", what);
  std::abort();
}

// The data a telnet peer reads from what we wrote; aborts on a command we
// never mean to send.
std::string Decode(std::string_view wire) {
  std::string data;
  for (std::size_t i = 0; i < wire.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(wire[i]);
    if (c != 255) {
      data.push_back(wire[i]);
      continue;
    }
    Require(i + 1 < wire.size(), "a lone IAC at the end");
    unsigned char cmd = static_cast<unsigned char>(wire[++i]);
    if (cmd == 255) {
      data.push_back(wire[i]);
    } else if (cmd >= 251 && cmd <= 254) {
      Require(i + 1 < wire.size(), "an option command without its option");
      ++i;
    } else if (cmd == 250) {
      std::size_t se = wire.find("\xff\xf0", i);
      Require(se != std::string_view::npos, "a subnegotiation without its end");
      Require(wire.substr(i - 1, se + 2 - (i - 1)) == qn::telnet::kTerminalTypeReply,
              "a subnegotiation other than our terminal type");
      i = se + 1;
    } else {
      Require(false, "a command we never send");
    }
  }
  return data;
}

// What a plain transport is given: the reference for the raw-send conversion.
struct Recorder : qn::SessionTransport {
  bool Connected() const override { return true; }
  void Deliver(std::string_view text) override { sent.append(text); }
  std::string sent;
};

struct Session {
  qn::fakes::TestApp t;
  qn::fakes::FakeSocketFactory sockets;
  Recorder reference;
  std::unique_ptr<qn::Sender> referenceSender;
  qn::fakes::FakeSocket* sock = nullptr;

  Session() {
    t.sockets = &sockets;
    t.StartWithCall("");
    referenceSender = std::make_unique<qn::Sender>(t.app->State().sendTerminator, t.loop, &reference);
  }
  // Each input starts on a fresh connection of the same program.
  void Reconnect() {
    t.app->Connection()->ConnectHost("node.example");
    sock = sockets.made.back();
    sock->AcceptConnection();
    sock->Arrive("login: ");
    // Keep-alive lines would join the data when a pause lets minutes pass.
    t.app->Connection()->SetKeepAlive(false);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Session* s = new Session();
  s->Reconnect();
  std::string expected;
  std::size_t i = 0;
  while (i + 2 <= size) {
    unsigned op = data[i] % 4;
    std::size_t len = std::min<std::size_t>(data[i + 1] % 48, size - i - 2);
    std::string text(reinterpret_cast<const char*>(data) + i + 2, len);
    i += 2 + len;
    // Every outgoing text holds a data byte 255.
    text.insert(text.size() / 2, 1, '\xff');
    switch (op) {
      case 0:
        s->t.app->SendPath()->Send(text);
        expected += text;
        break;
      case 1: {
        std::string line;
        for (char c : text) {
          if (c != '\r' && c != '\n') line.push_back(c);
        }
        s->t.app->TypeLine(line);
        // Typed text behind the aux port's escape string is for the port.
        if (line.rfind("+++", 0) != 0) expected += line + "\n";
        break;
      }
      case 2: {
        // Macros and script texts: what they send is what a plain transport
        // is given by the same conversion.
        s->reference.sent.clear();
        s->referenceSender->RawSend(text);
        s->t.app->SendPath()->RawSend(text);
        expected += s->reference.sent;
        break;
      }
      case 3: {
        // Negotiation from the node: three bytes per request.
        std::string in;
        for (std::size_t k = 0; k + 1 < text.size(); k += 2) {
          in += '\xff';
          in += static_cast<char>(250 + static_cast<unsigned char>(text[k]) % 5);
          in += text[k + 1];
          if (static_cast<unsigned char>(in[in.size() - 2]) == 250) in += "\x01\xff\xf0";
        }
        s->sock->Arrive(in);
        break;
      }
    }
    Require(s->t.app->Connection()->Connected(), "the session was dropped");
  }
  Require(Decode(s->sock->sent) == expected, "the node would read other data than we sent");
  return 0;
}
