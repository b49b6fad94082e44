// Link crypto between two copies that share a crypto.txt: a permutation of the
// top three bits of every byte, so control characters (CR, LF) pass as they
// are and the other copy's inverse table gives the text back.
//
// crypto.txt: trimmed lines, empty and "'" lines skipped; seven values that
// are a permutation of 1..7 (entries 1..7 of the send table), then the flag
// bits (bit 0 the aux port, bit 1 the telnet session). Example:
//   3 / 5 / 1 / 7 / 2 / 6 / 4 / 3   (one value a line)
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace qn {

using CryptoTable = std::array<int, 8>;

struct LinkCrypto {
  static constexpr int kAuxBit = 1;
  static constexpr int kSessionBit = 2;
  // Anything larger is not a crypto table.
  static constexpr std::size_t kMaxFileSize = 64 * 1024;

  CryptoTable send{};
  CryptoTable receive{};
  int flags = 0;

  // The "&Crypto" option may be switched on.
  bool Usable() const { return flags >= 1; }
  bool Covers(int bit) const { return (flags & bit) != 0; }
};

// A table that is not usable (all zero, flags 0) for anything but a valid file.
LinkCrypto LoadLinkCrypto(std::string_view fileText);

// Each byte's top three bits replaced by the table entry they index.
std::string CryptText(std::string_view text, const CryptoTable& table);

}  // namespace qn
