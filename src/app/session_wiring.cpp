#include "app/session_wiring.h"

#include "session/connection_control.h"
#include "session/script_engine.h"

namespace qn {

void ConnectScript(ConnectionControl& session, ScriptEngine& script) {
  session.loadScript = [&script] { script.LoadScript(); };
  session.scriptRunnable = [&script] { return script.Runnable(); };
  session.runScript = [&script] { script.RunScript(); };
  session.restartScript = [&script] { script.RestartScript(); };
  session.resetScriptPending = [&script] { script.ResetPending(); };
  session.scriptHasTitleCommand = [&script] { return script.HasTitleCommand(); };
  session.onCallPrompt = [&script] { script.SetCallPrompt(); };
  session.releaseLoginWait = [&script] { script.ReleaseLoginWait(); };
  session.onSessionReset = [&script] { script.SessionReset(); };
}

}  // namespace qn
