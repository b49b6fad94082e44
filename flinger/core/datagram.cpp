#include "datagram.h"

#include <algorithm>
#include <cctype>

#include "settings.h"

namespace fl {

unsigned char CtChecksum(std::string_view text) {
  unsigned sum = 0;
  for (unsigned char c : text) sum += c;
  return static_cast<unsigned char>((sum % 256) | 128);
}

std::string BuildDatagram(std::string_view line, bool ctNet, std::string_view header) {
  if (!ctNet) return std::string(line) + "\r\n";
  std::string s = std::string(header) + std::string(line);
  s += static_cast<char>(CtChecksum(s));
  s += '\n';
  return s;
}

std::string_view StripCtFrame(std::string_view d) {
  if (d.size() < 2 || d.back() != '\n') return d;
  std::string_view text = d.substr(0, d.size() - 2);
  unsigned char sum = static_cast<unsigned char>(d[d.size() - 2]);
  if (sum < 128 || CtChecksum(text) != sum) return d;
  return text;
}

std::string DuplicateKey(std::string_view line) {
  std::string_view head = line.substr(0, std::min<std::size_t>(64, line.size()));
  std::size_t colon = head.find(':');
  if (colon == std::string_view::npos) return std::string(head);
  return Trim(head.substr(colon + 1));
}

bool CommandForm(std::string_view line, std::string* command) {
  if (line.substr(0, 3) == "+++") {
    *command = std::string(line.substr(3));
    return true;
  }
  if (line.empty() || line[0] != 'A') return false;
  // "DX " at character 4 or earlier (counting from 1).
  for (std::size_t i = 1; i <= 3 && i + 3 <= line.size(); ++i) {
    if (StartsWithNoCase(line.substr(i), "DX ")) {
      *command = std::string(line.substr(i));
      return true;
    }
  }
  return false;
}

std::string TestSpotLine(int counter) {
  std::string line = "DX de XX5AA:     21264.7  XX1BB                                       1221Z";
  std::string digits = std::to_string(counter);
  line.replace(39, digits.size(), digits);
  return line;
}

bool ReceiveHistory::SeenBefore(std::string_view line) {
  if (line.empty()) return false;
  bool seen = text_.find(line) != std::string::npos;
  text_ += line;
  if (text_.size() > kLimit) text_.erase(0, text_.size() - kLimit);
  return seen;
}

}  // namespace fl
