#include "core/site_record.h"

#include <algorithm>
#include <cstring>

#include "core/text.h"

namespace qn {

SiteRecord::SiteRecord() {
  std::fill(bytes_.begin(), bytes_.begin() + 198, ' ');
  std::fill(bytes_.begin() + 198, bytes_.end(), '\0');
}

SiteRecord SiteRecord::FromBytes(std::string_view bytes) {
  SiteRecord r;
  std::memcpy(r.bytes_.data(), bytes.data(), std::min(bytes.size(), kSize));
  return r;
}

std::string SiteRecord::Field(std::size_t off, std::size_t len) const {
  return Trim(std::string_view(bytes_.data() + off, len));
}

void SiteRecord::SetField(std::size_t off, std::size_t len, std::string_view v) {
  std::string padded = PadRight(Trim(v), len);
  std::memcpy(bytes_.data() + off, padded.data(), len);
}

std::string SiteRecord::Key() const { return UCase(Name()); }

std::vector<SiteRecord> ParseSiteFile(std::string_view bytes) {
  std::vector<SiteRecord> records;
  for (std::size_t off = 0; off + SiteRecord::kSize <= bytes.size(); off += SiteRecord::kSize) {
    records.push_back(SiteRecord::FromBytes(bytes.substr(off, SiteRecord::kSize)));
  }
  return records;
}

std::string SerialiseSiteFile(const std::vector<SiteRecord>& records) {
  std::string out;
  out.reserve(records.size() * SiteRecord::kSize);
  for (const auto& r : records) out.append(r.View());
  return out;
}

std::string ScriptFileName(std::string_view siteName, bool tnc) {
  return "SCRIPT\\" + UCase(Left(Trim(siteName), 8)) + (tnc ? ".TNC" : ".SCR");
}

bool IsValidSiteName(std::string_view name) {
  std::string t = Trim(name);
  if (t.empty()) return false;
  for (unsigned char c : t) {
    bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    bool digit = c >= '0' && c <= '9';
    if (!letter && !digit && c != '-' && c != '_') return false;
  }
  return true;
}

}  // namespace qn
