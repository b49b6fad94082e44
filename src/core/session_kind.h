#pragma once

namespace qn {

// Fixed per instance by the command line; IRC, chat and server mode are
// sub-modes of a telnet session.
enum class SessionKind { Telnet, Tnc, Web };

}  // namespace qn
