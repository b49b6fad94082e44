// The other running copies as the links see them: each copy's tag (the text
// between "[" and "]" of its title "Quillnet [dx.example.org]") and the
// relay copies among them (tags beginning "RELAY"). Lists are tags each
// followed by the character code 1, the form the copies pass around.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qn {

inline constexpr char kInstanceSeparator = '\x01';

// The tag of a title; empty when the title holds no "[...]".
std::string InstanceTag(std::string_view title);

struct InstanceLists {
  std::string instances;  // "dx.example.org\x01TNC:3\x01"
  std::string relays;     // the tags of relay copies, same form
};

// From the titles of the other copies: titles without "Quillnet" or without
// a tag are left out, and so is the own tag; each tag is listed once.
InstanceLists FindInstances(const std::vector<std::string>& titles, std::string_view ownTag);

std::vector<std::string> SplitInstanceList(std::string_view list);

}  // namespace qn
