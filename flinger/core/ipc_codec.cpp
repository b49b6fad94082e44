#include "ipc_codec.h"

#include "settings.h"

namespace fl {

namespace {

std::size_t LengthOf(std::string_view b) {
  return (std::size_t(static_cast<unsigned char>(b[0])) << 24) |
         (std::size_t(static_cast<unsigned char>(b[1])) << 16) |
         (std::size_t(static_cast<unsigned char>(b[2])) << 8) | std::size_t(static_cast<unsigned char>(b[3]));
}

}  // namespace

std::string EncodeIpcMessage(const IpcMessage& m) {
  std::string body = m.application + '\0' + m.topic + '\0' + m.item + '\0' + m.text;
  if (body.size() > kMaxIpcMessage) return "";
  std::size_t n = body.size();
  std::string out;
  out += static_cast<char>((n >> 24) & 0xFF);
  out += static_cast<char>((n >> 16) & 0xFF);
  out += static_cast<char>((n >> 8) & 0xFF);
  out += static_cast<char>(n & 0xFF);
  return out + body;
}

IpcMessageReader::Result IpcMessageReader::Next(IpcMessage* m) {
  if (broken_) return Result::kTooLong;
  if (buffer_.size() < 4) return Result::kNeedMore;
  std::size_t n = LengthOf(buffer_);
  if (n == 0 || n > kMaxIpcMessage) {
    broken_ = true;
    buffer_.clear();
    return Result::kTooLong;
  }
  if (buffer_.size() < 4 + n) return Result::kNeedMore;
  std::string_view body(buffer_.data() + 4, n);
  std::size_t a = body.find('\0');
  std::size_t t = a == std::string_view::npos ? a : body.find('\0', a + 1);
  std::size_t i = t == std::string_view::npos ? t : body.find('\0', t + 1);
  Result r = Result::kMalformed;
  if (i != std::string_view::npos) {
    m->application = std::string(body.substr(0, a));
    m->topic = std::string(body.substr(a + 1, t - a - 1));
    m->item = std::string(body.substr(t + 1, i - t - 1));
    m->text = std::string(body.substr(i + 1));
    r = Result::kMessage;
  }
  buffer_.erase(0, 4 + n);
  return r;
}

std::size_t IpcMessageReader::Wanted() const {
  if (buffer_.size() < 4) return 4 - buffer_.size();
  std::size_t n = LengthOf(buffer_);
  if (n == 0 || n > kMaxIpcMessage) return 0;
  return 4 + n > buffer_.size() ? 4 + n - buffer_.size() : 0;
}

std::string AnswerFor(const IpcMessage& m, std::string_view application, std::string_view topic,
                      std::string_view item) {
  if (!EqualNoCase(m.application, application) || !EqualNoCase(m.topic, topic))
    return "ERROR unknown-endpoint\n";
  if (!EqualNoCase(m.item, item)) return "ERROR unknown-item\n";
  return "OK\n";
}

bool ParseEndpointLine(std::string_view line, std::string* application, std::string* topic) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  std::size_t tab = line.find('\t');
  if (tab == std::string_view::npos || tab == 0) return false;
  *application = std::string(line.substr(0, tab));
  *topic = std::string(line.substr(tab + 1));
  return true;
}

}  // namespace fl
