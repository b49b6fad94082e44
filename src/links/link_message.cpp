#include "links/link_message.h"

namespace qn {

std::string EncodePoke(const PokeMessage& m) {
  std::size_t n = m.application.size() + m.topic.size() + m.item.size() + m.text.size() + 3;
  if (n > kMaxPokeBytes) return {};
  std::string out;
  out.reserve(n + kPokeHeaderBytes);
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((n >> shift) & 0xFF);
  out += m.application;
  out += '\0';
  out += m.topic;
  out += '\0';
  out += m.item;
  out += '\0';
  out += m.text;
  return out;
}

std::size_t PokeLength(std::string_view h) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < kPokeHeaderBytes && i < h.size(); ++i)
    n = (n << 8) | static_cast<unsigned char>(h[i]);
  return n;
}

bool PokeLengthAllowed(std::size_t n) { return n >= 1 && n <= kMaxPokeBytes; }

std::optional<PokeMessage> DecodePokeBody(std::string_view body) {
  PokeMessage m;
  std::string* fields[] = {&m.application, &m.topic, &m.item};
  std::size_t start = 0;
  for (std::string* f : fields) {
    std::size_t nul = body.find('\0', start);
    if (nul == std::string_view::npos) return std::nullopt;
    f->assign(body.substr(start, nul - start));
    start = nul + 1;
  }
  m.text.assign(body.substr(start));
  return m;
}

std::string AnswerLine(PokeAnswer answer) {
  switch (answer) {
    case PokeAnswer::Ok:
      return "OK\n";
    case PokeAnswer::UnknownEndpoint:
      return "ERROR unknown-endpoint\n";
    case PokeAnswer::UnknownItem:
      return "ERROR unknown-item\n";
    case PokeAnswer::TooLong:
      return "ERROR too-long\n";
    case PokeAnswer::Malformed:
      return "ERROR malformed\n";
    case PokeAnswer::NoAnswer:
      break;
  }
  return {};
}

PokeAnswer ParseAnswerLine(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  for (PokeAnswer a : {PokeAnswer::Ok, PokeAnswer::UnknownEndpoint, PokeAnswer::UnknownItem,
                       PokeAnswer::TooLong, PokeAnswer::Malformed}) {
    std::string text = AnswerLine(a);
    text.pop_back();
    if (line == text) return a;
  }
  return PokeAnswer::NoAnswer;
}

}  // namespace qn
