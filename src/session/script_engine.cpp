#include "session/script_engine.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "core/instance.h"
#include "core/site_file.h"
#include "core/text.h"
#include "session/connection_control.h"
#include "session/script_loader.h"

namespace qn {

const std::string ScriptEngine::kLoginPromptMarker(3, '\0');

namespace {

constexpr std::size_t kStatusShown = 10;
const std::string kEmptyEntry(1, '\0');

bool EntryEmpty(const std::string& s) { return s.empty() || s == kEmptyEntry; }

// "$$$$$" is the own callsign in lower case; otherwise "$$$$" the callsign as
// Stored. The first occurrence only.
std::string ReplacePlaceholders(std::string text, const std::string& call) {
  if (auto at = text.find("$$$$$"); at != std::string::npos) return text.replace(at, 5, LCase(call));
  if (auto at = text.find("$$$$"); at != std::string::npos) return text.replace(at, 4, call);
  return text;
}

}  // namespace

ScriptEngine::ScriptEngine(Instance& app, ConnectionControl& session) : app_(app), session_(session) {}

bool ScriptEngine::Tnc() const { return app_.State().sessionKind == SessionKind::Tnc; }

void ScriptEngine::Status(const std::string& text) { app_.Frame().SetStatus(text); }

bool ScriptEngine::LoadScript() {
  AppState& st = app_.State();
  st.keepAliveLines.fill(kEmptyEntry);
  st.successPatterns.fill(kEmptyEntry);
  matched_.fill(false);
  session_.SetRetryIntervalMinutes(2);
  lines_.clear();
  cursor_ = 0;
  wait_.clear();
  waitFrom_ = 0;
  callPrompt_ = false;
  ranThisConnection_ = false;
  unusable_ = true;
  // What an earlier site's script set must not carry over to this one.
  trigger_.clear();
  answer_.clear();
  session_.FallbackSite().clear();

  const std::string name = Trim(st.currentSite.Name());
  if (name.empty()) return unusable_;

  // A name that is not safe as a path has no script, like a missing file.
  std::optional<std::string> text;
  if (auto file = SiteFile(app_.Folder(), st.sessionKind).ScriptName(name)) text = app_.Folder().Read(*file);
  LoadedScript script = ParseScript(text, Tnc());
  // The ident service must run before the server asks; the load at the
  // Connect event would only start it a second time.
  if (script.wantsIdent && startProgram && !session_.Connected()) {
    startProgram("identd.exe", {Trim(app_.Settings().ownCallsign)});
  }
  unusable_ = script.unusable;
  lines_ = std::move(script.lines);
  gateway_ = !unusable_ && Tnc() && webGatewayLoaded && webGatewayLoaded(script.all);

  // No "/R": no limit, as for a site without a script.
  ApplyRetryLimit(script.retryLimit.value_or(0));
  if (script.fallbackSite) session_.FallbackSite() = *script.fallbackSite;
  if (script.trigger) trigger_ = *script.trigger;
  if (script.answer) answer_ = *script.answer;
  if (script.retryInterval) SetRetryInterval(*script.retryInterval);

  if (unusable_) {
    lines_.clear();
    SiteFlags& flags = session_.MutableFlags();
    if (flags.useScript || flags.autoReconnect) {
      app_.Prompt().MessageBox(kUnusableWarning, MsgIcon::Exclamation);
      flags.useScript = false;
      flags.autoReconnect = false;
      app_.Options().autoReconnection = false;
      app_.Frame().SetChecked("mnurecon", false);
    }
    app_.Frame().SetChecked("mnuautoc", false);
    app_.Frame().SetEnabled("mnuautoc", false);
  } else {
    app_.Frame().SetEnabled("mnuautoc", true);
  }
  // Loaded while the connection is already up (the connect event): a trigger
  // Of "!" answers at once.
  FireTriggerAtOnce();
  return unusable_;
}

void ScriptEngine::ApplyRetryLimit(int limit) {
  AppState& st = app_.State();
  st.retryLimit = static_cast<std::int16_t>(limit == 0 ? 30000 : std::min(limit, 29999));
  if (st.retryCounter < 0) {
    // Tries already running are cut to the new limit, never extended.
    if (limit != 0 && -st.retryCounter > st.retryLimit)
      st.retryCounter = static_cast<std::int16_t>(-st.retryLimit);
  } else {
    st.retryCounter = st.retryLimit;
  }
}

void ScriptEngine::SetRetryInterval(int minutes) {
  session_.SetRetryIntervalMinutes(minutes <= 0 ? 2 : std::min(minutes, 32767));
}

void ScriptEngine::RunScript() {
  if (running_) return;
  if (gateway_) {
    RunGatewayScript();
    return;
  }
  running_ = true;
  ranThisConnection_ = true;
  while (cursor_ < lines_.size()) {
    // Taken before it runs: a line that waits must not run again.
    const std::string line = lines_[cursor_++];
    RunLine(line);
    if (!wait_.empty()) {
      running_ = false;
      return;
    }
  }
  running_ = false;
  EndOfScript();
}

void ScriptEngine::RunGatewayScript() {
  // Its sends and waits are the gateway's; its other lines (a title, an
  // echo, a switch) still take effect.
  if (cursor_ > 0 || gatewayRunning_) return;
  running_ = true;
  ranThisConnection_ = true;
  for (; cursor_ < lines_.size(); ++cursor_) {
    const std::string& line = lines_[cursor_];
    if (!IsScriptCommand(line, 'S') && !IsScriptCommand(line, 'W') && !IsScriptCommand(line, 'K') &&
        !IsScriptCommand(line, 'T') && !IsScriptCommand(line, 'L'))
      RunLine(line);
  }
  running_ = false;
  gatewayRunning_ = startWebGateway && startWebGateway();
  if (!gatewayRunning_) EndOfScript();
}

void ScriptEngine::WebGatewayDone() {
  if (!gatewayRunning_) return;
  gatewayRunning_ = false;
  EndOfScript();
}

void ScriptEngine::RunLine(const std::string& line) {
  if (line.size() < 2 || (line[0] != '/' && line[0] != '\\')) return;
  char cmd = static_cast<char>(UCase(line.substr(1, 1))[0]);
  const std::string arg = ScriptArgument(line);
  AppState& st = app_.State();
  switch (cmd) {
    case 'S':
      Status("S:" + Left(arg, kStatusShown) + "...");
      Send(arg);
      break;
    case 'W':
      Status("W:" + Left(arg, kStatusShown) + "...");
      wait_ = arg.empty() ? kLoginPromptMarker : arg;
      // The retry interval is also the time-out of the wait.
      session_.SetMinutesSinceAttempt(0);
      session_.RestartAutoTimer();
      break;
    case 'K':
    case 'P': {
      auto& list = cmd == 'K' ? st.keepAliveLines : st.successPatterns;
      auto free = std::find_if(list.begin(), list.end(), EntryEmpty);
      if (free != list.end() && !arg.empty()) {
        *free = arg;
        if (cmd == 'P') matched_[static_cast<std::size_t>(free - list.begin())] = false;
      }
      break;
    }
    case 'R':
      Status("R:");
      ApplyRetryLimit(std::abs(ValInt32(arg)));
      break;
    case 'T':
      Status("T:");
      SetRetryInterval(ValInt32(arg));
      break;
    case 'N':
      session_.FallbackSite() = arg;
      break;
    case 'I':
      trigger_ = arg;
      if (!answer_.empty()) FireTriggerAtOnce();
      break;
    case 'O':
      answer_ = arg;
      FireTriggerAtOnce();
      break;
    case 'E': {
      const std::string shown = "\r\n" + arg;
      app_.Append(WindowId::Terminal, shown);
      app_.CaptureFile().WriteShown(shown);
      break;
    }
    case 'F':
      SetTitle(arg);
      break;
    case 'B':
      chatType_ = arg.empty() ? 0 : arg[0];
      greeting_ = arg.empty() ? std::string() : Trim(arg.substr(1));
      break;
    case 'C':
      Switch(UCase(arg));
      break;
    default:
      break;
  }
}

void ScriptEngine::Send(std::string text) {
  const std::string upper = UCase(text);
  if (upper.find("\"IDENTD\"") != std::string::npos) return;
  SessionModes& modes = session_.MutableModes();
  if (upper.find("\"NOIRC\"") != std::string::npos) {
    modes.irc = false;
    return;
  }
  if (upper.find("\"IRC\"") != std::string::npos) {
    modes.irc = true;
    modes.ircChannel = "#CQDX";
    return;
  }
  if (auto at = upper.find("\"ROBOT\""); at != std::string::npos) {
    // The channel's spot robot: the nickname after the word.
    std::string nick = Trim(text.substr(at + 7));
    modes.robotNick = nick.substr(0, nick.find(' '));
    return;
  }
  if (upper.find("\"NICK\"") != std::string::npos) {
    if (registerIrc) registerIrc();
    return;
  }
  if (modes.irc) {
    if (auto at = upper.find("JOIN "); at != std::string::npos) {
      std::string rest = Trim(text.substr(at + 5));
      auto blank = rest.find(' ');
      modes.ircChannel = UCase(rest.substr(0, blank));
      ircKey_ = blank == std::string::npos ? std::string() : Trim(rest.substr(blank + 1));
      if (auto more = ircKey_.find(' '); more != std::string::npos) ircKey_.erase(more);
      return;
    }
  }
  if (Tnc() && tncOwnCall) tncOwnCall(text);
  text = ReplacePlaceholders(std::move(text), Trim(app_.Settings().ownCallsign));
  if (StartsWith(text, "!!!")) {
    SendRaw(text);
  } else {
    SendTyped(text);
  }
}

void ScriptEngine::SendTyped(const std::string& text) {
  if (sendTyped) {
    sendTyped(text);
  } else {
    app_.SendLine(text + app_.State().sendTerminator);
  }
}

void ScriptEngine::SendRaw(const std::string& text) {
  if (sendRaw) {
    sendRaw(text);
  } else {
    app_.SendLine(StartsWith(text, "!!!") ? text.substr(3) : text);
  }
}

void ScriptEngine::SetTitle(const std::string& title) {
  session_.CustomTitle() = title;
  if (title.empty()) return;
  app_.Frame().SetTitle("Quillnet [" + title + "]");
  if (StartsWith(UCase(title), "DXROBOT") && robotTitleSet) robotTitleSet();
}

void ScriptEngine::Switch(const std::string& keyword) {
  AppState& st = app_.State();
  if (keyword == "EXCHANGE ON" || keyword == "EXCHANGE OFF") {
    exchangeOn_ = keyword == "EXCHANGE ON";
    if (exchangeChanged) exchangeChanged(exchangeOn_);
  } else if (keyword == "CRYPTO ON") {
    if (cryptoTableLoaded && cryptoTableLoaded()) {
      app_.Options().crypto = true;
      if (cryptoChanged) cryptoChanged(true);
    }
  } else if (keyword == "CRYPTO OFF") {
    app_.Options().crypto = false;
    if (cryptoChanged) cryptoChanged(false);
  } else if (keyword == "TERM 1") {
    st.sendTerminator = "\n";
  } else if (keyword == "TERM 2") {
    st.sendTerminator = "\r";
  } else if (keyword == "TERM 3") {
    st.sendTerminator = "\r\n";
  }
  // Anything else (a ".SCR" name among them) has no effect.
}

void ScriptEngine::EndOfScript() {
  if (session_.AutoState() == AutoState::Off) return;
  AppState& st = app_.State();
  st.retryCounter = st.retryLimit;
  session_.SetAutoState(AutoState::Off);
  app_.Frame().SetChecked("mnuautoc", false);
  // Without success patterns nothing else would ever stop the retry timer,
  // And it would connect again over a finished login.
  if (std::all_of(st.successPatterns.begin(), st.successPatterns.end(), EntryEmpty)) session_.StopAutoTimer();
  if (Tnc()) app_.SetFlashing(false);
  if (startWaitingSubmission) startWaitingSubmission();
}

void ScriptEngine::RestartScript() {
  // The script already runs on this connection (it was started when the
  // Connection was made): starting it over would send its lines twice.
  if (ranThisConnection_ || running_) return;
  cursor_ = 0;
  wait_.clear();
  RunScript();
}

void ScriptEngine::ReleaseLoginWait() {
  if (!WaitingForLoginPrompt()) return;
  wait_.clear();
  RunScript();
}

void ScriptEngine::ScriptMatcher(std::string& transcript) {
  if (matching_) {
    // A nested arrival (a send let events run): the outer call looks again.
    matchAgain_ = true;
    return;
  }
  matching_ = true;
  do {
    matchAgain_ = false;
    Matching(transcript);
  } while (matchAgain_);
  matching_ = false;
}

void ScriptEngine::Matching(std::string& transcript) {
  AppState& st = app_.State();
  std::string lower = LCase(transcript);
  waitFrom_ = std::min(waitFrom_, transcript.size());

  // A wait; several may be satisfied by one arrival.
  while (session_.AutoState() != AutoState::Off && !wait_.empty() && !WaitingForLoginPrompt()) {
    std::string_view needle(wait_);
    if (!needle.empty() && needle.front() == '\xff') needle.remove_prefix(1);
    auto at = lower.find(LCase(needle), waitFrom_);
    if (at == std::string::npos) break;
    waitFrom_ = at + needle.size();
    wait_.clear();
    RunScript();
    if (lower.size() != transcript.size()) {
      lower = LCase(transcript);
      waitFrom_ = std::min(waitFrom_, transcript.size());
    }
  }

  // Success patterns.
  bool anyPattern = false;
  bool allMatched = true;
  for (std::size_t i = 0; i < st.successPatterns.size(); ++i) {
    const std::string& p = st.successPatterns[i];
    if (EntryEmpty(p)) continue;
    anyPattern = true;
    if (!matched_[i] && lower.find(LCase(p)) != std::string::npos) matched_[i] = true;
    allMatched = allMatched && matched_[i];
  }
  if (anyPattern && allMatched) {
    session_.StopAutoTimer();
    matched_.fill(false);
    if (startWaitingSubmission) startWaitingSubmission();
  }

  // The trigger, once.
  if (!trigger_.empty() && transcript.find(trigger_) != std::string::npos) FireTrigger();

  // Keep what a text split across two arrivals still needs.
  std::size_t keep = std::max(trigger_.size(), wait_.size());
  for (const std::string& p : st.successPatterns) {
    if (!EntryEmpty(p)) keep = std::max(keep, p.size());
  }
  if (transcript.size() > keep) {
    std::size_t cut = transcript.size() - keep;
    transcript.erase(0, cut);
    waitFrom_ = waitFrom_ > cut ? waitFrom_ - cut : 0;
  }
}

void ScriptEngine::FireTrigger() {
  // "!!!" only marks the raw-send path; sent at the end it would reach the
  // Node as text after the answer (a password would fail).
  std::string text = app_.State().sendTerminator + answer_;
  if (EndsWith(text, "!!!")) text.resize(text.size() - 3);
  trigger_.clear();
  answer_.clear();
  SendRaw(text);
}

void ScriptEngine::FireTriggerAtOnce() {
  if (trigger_ == "!" && session_.Connected()) FireTrigger();
}

void ScriptEngine::SessionReset() {
  wait_.clear();
  if (clearWaitingSubmission) clearWaitingSubmission();
  chatType_ = 0;
  greeting_.clear();
  exchangeOn_ = true;
  if (exchangeChanged) exchangeChanged(true);
}

void ScriptEngine::ResetPending() { session_.CustomTitle().clear(); }

bool ScriptEngine::HasTitleCommand() const {
  return std::any_of(lines_.begin(), lines_.end(),
                     [](const std::string& l) { return IsScriptCommand(l, 'F'); });
}

}  // namespace qn
