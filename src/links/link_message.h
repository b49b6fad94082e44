// The framing of one poke on a local link (docs/ipc.md): a 4-byte big-endian
// length N (1..1,048,576), then APPLICATION NUL TOPIC NUL ITEM NUL TEXT. The
// endpoint answers each message with one line, "OK" or "ERROR reason".
//   00 00 00 12 "quillnet" 00 "K1" 00 "Textin" 00 "x"
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/link_endpoint.h"

namespace qn {

inline constexpr std::size_t kMaxPokeBytes = 1048576;
inline constexpr std::size_t kPokeHeaderBytes = 4;

struct PokeMessage {
  std::string application;
  std::string topic;
  std::string item;
  std::string text;
};

// The message as sent; empty when it would exceed kMaxPokeBytes.
std::string EncodePoke(const PokeMessage& message);

// The length a header announces.
std::size_t PokeLength(std::string_view header4);
bool PokeLengthAllowed(std::size_t n);
// The fields of a message body (the N bytes after the header); empty when it
// holds fewer than three NUL bytes.
std::optional<PokeMessage> DecodePokeBody(std::string_view body);

// "OK\n", "ERROR unknown-item\n", ...
std::string AnswerLine(PokeAnswer answer);
// The answer a line stands for (line end optional); NoAnswer for anything else.
PokeAnswer ParseAnswerLine(std::string_view line);

}  // namespace qn
