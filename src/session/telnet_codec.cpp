#include "session/telnet_codec.h"

namespace qn {

namespace {

bool Accepted(unsigned char option) { return option == telnet::kBinary || option == telnet::kTerminalType; }

void Reply(std::string& out, unsigned char command, unsigned char option) {
  out.push_back(static_cast<char>(telnet::kIac));
  out.push_back(static_cast<char>(command));
  out.push_back(static_cast<char>(option));
}

}  // namespace

std::string TelnetEscape(std::string_view data) {
  std::string out;
  out.reserve(data.size());
  for (char c : data) {
    out.push_back(c);
    if (static_cast<unsigned char>(c) == telnet::kIac) out.push_back(c);
  }
  return out;
}

void TelnetCodec::Negotiate(unsigned char option, std::string& reply) {
  using namespace telnet;
  // Only a change of state is answered, so two ends that both insist cannot
  // keep each other busy; a refusal leaves the option off and is given again
  // to each new request.
  switch (command_) {
    case kDo:
      if (we_[option]) return;
      we_[option] = Accepted(option);
      Reply(reply, we_[option] ? kWill : kWont, option);
      return;
    case kDont:
      if (!we_[option]) return;
      we_[option] = false;
      Reply(reply, kWont, option);
      return;
    case kWill:
      if (they_[option]) return;
      they_[option] = Accepted(option);
      Reply(reply, they_[option] ? kDo : kDont, option);
      return;
    case kWont:
      if (!they_[option]) return;
      they_[option] = false;
      Reply(reply, kDont, option);
      return;
  }
}

int TelnetCodec::AfterIac(unsigned char b) {
  using namespace telnet;
  switch (b) {
    case kIac:
      state_ = State::Data;
      return kIac;
    case kDo:
    case kDont:
    case kWill:
    case kWont:
      command_ = b;
      state_ = State::Option;
      return kNoData;
    case kSb:
      state_ = State::SubOption;
      return kNoData;
    default:
      // GA, NOP, SE out of place and the rest: two bytes, no meaning for us.
      state_ = State::Data;
      return kNoData;
  }
}

int TelnetCodec::Feed(unsigned char b, std::string& reply) {
  using namespace telnet;
  switch (state_) {
    case State::Data:
      if (b == kIac) {
        state_ = State::Iac;
        return kNoData;
      }
      return b;
    case State::Iac:
      return AfterIac(b);
    case State::Option:
      state_ = State::Data;
      Negotiate(b, reply);
      return kNoData;
    case State::SubOption:
      if (b == kTerminalType) reply.append(kTerminalTypeReply);
      state_ = State::SubBody;
      bodyLength_ = 0;
      return kNoData;
    case State::SubBody:
      if (b == kIac) {
        state_ = State::SubIac;
      } else if (++bodyLength_ > kMaxSubnegotiation) {
        state_ = State::Data;
      }
      return kNoData;
    case State::SubIac:
      if (b == kSe) {
        state_ = State::Data;
        return kNoData;
      }
      if (b == kIac) {  // an escaped 255 inside the body
        state_ = ++bodyLength_ > kMaxSubnegotiation ? State::Data : State::SubBody;
        return kNoData;
      }
      // A command where IAC SE belonged: the subnegotiation is over.
      return AfterIac(b);
  }
  return kNoData;
}

}  // namespace qn
