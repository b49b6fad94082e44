// Wiring between the subsystems of a session that tests of one subsystem
// need as the program has it.
#pragma once

namespace qn {

class ConnectionControl;
class ScriptEngine;

// Connection control runs the site's script: loads it for each site, runs it
// on connecting, and resets it when the session starts afresh.
void ConnectScript(ConnectionControl& session, ScriptEngine& script);

}  // namespace qn
