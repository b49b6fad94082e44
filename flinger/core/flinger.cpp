#include "flinger.h"

#include "settings.h"

namespace fl {

namespace {

constexpr std::string_view kSpotMark = "DX de ";

std::string_view WithoutLineEnd(std::string_view s) {
  while (!s.empty() && (s.back() == '\r' || s.back() == '\n')) s.remove_suffix(1);
  return s;
}

}  // namespace

void Flinger::TakeTextin(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    TakeTextinLine(text.substr(start, end - start));
    start = end + 1;
  }
}

void Flinger::TakeTextinLine(std::string_view raw) {
  std::string line = Trim(raw);
  if (line.substr(0, 2) != "DX") return;
  std::string key = DuplicateKey(line);
  if (!key.empty() && terminal_.Contains(key)) {
    terminal_.Append(line + "\r\n");
    return;
  }
  if (controls_.fileExchange) exchange_.AppendLine(line);
  terminal_.Append(">" + line + "\r\n");
  Send(BuildDatagram(line, controls_.ctNet, controls_.header));
}

void Flinger::Receive(std::string_view datagram) {
  std::string_view text = WithoutLineEnd(StripCtFrame(datagram));
  if (text.empty()) return;
  std::string w(text);
  bool spot = false;
  if (std::size_t at = w.find(kSpotMark); at != std::string::npos) {
    w.erase(0, at);
    spot = true;
  }
  std::string key = DuplicateKey(w);
  if (!key.empty() && terminal_.Contains(key)) {
    w.clear();
  } else if (spot && controls_.fileExchange) {
    exchange_.AppendLine(w);
  }
  std::string command;
  if (CommandForm(w, &command)) {
    w = command.empty() ? "" : "+++" + command;
  } else if (!spot || history_.SeenBefore(w)) {
    w.clear();
  }
  if (!w.empty()) poker_.PokeAllCopies(w + "\r\n");
  terminal_.Append(std::string(text) + "\r\n");
}

void Flinger::SendTyped(std::string_view line) {
  Send(BuildDatagram(line, controls_.ctNet, controls_.header));
}

void Flinger::SendTestSpot() {
  testCounter_ = testCounter_ >= 32767 ? 1 : testCounter_ + 1;
  SendTyped(TestSpotLine(testCounter_));
}

void Flinger::PollExchange() {
  if (!controls_.fileExchange) return;
  // Commands for the cluster: never framed, whatever the box says.
  for (const std::string& line : exchange_.PollOutgoing()) Send("+++" + line + "\r\n");
}

}  // namespace fl
