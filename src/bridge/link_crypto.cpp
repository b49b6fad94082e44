#include "bridge/link_crypto.h"

#include "bridge/bridge_params.h"
#include "core/text.h"

namespace qn {

LinkCrypto LoadLinkCrypto(std::string_view fileText) {
  LinkCrypto off;
  if (fileText.size() > LinkCrypto::kMaxFileSize) return off;
  auto values = ParameterValues(fileText);
  if (values.size() < 8) return off;
  LinkCrypto c;
  std::array<bool, 8> seen{};
  for (int i = 1; i <= 7; ++i) {
    const std::string& v = values[static_cast<std::size_t>(i - 1)];
    if (v.find_first_not_of("0123456789") != std::string::npos || v.size() > 1) return off;
    int entry = v[0] - '0';
    if (entry < 1 || entry > 7 || seen[static_cast<std::size_t>(entry)]) return off;
    seen[static_cast<std::size_t>(entry)] = true;
    c.send[static_cast<std::size_t>(i)] = entry;
    c.receive[static_cast<std::size_t>(entry)] = i;
  }
  std::int64_t flags = ValInt(values[7]);
  c.flags = flags >= 1 ? static_cast<int>(flags & 3) : 0;
  if (c.flags == 0) return off;
  return c;
}

std::string CryptText(std::string_view text, const CryptoTable& table) {
  std::string out(text);
  for (char& ch : out) {
    auto code = static_cast<unsigned char>(ch);
    int top = table[static_cast<std::size_t>(code >> 5)];
    ch = static_cast<char>((top << 5) | (code & 31));
  }
  return out;
}

}  // namespace qn
