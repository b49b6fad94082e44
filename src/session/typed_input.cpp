#include "session/typed_input.h"

#include <algorithm>

#include "core/instance.h"
#include "core/text.h"
#include "session/sender.h"

namespace qn {

namespace {

std::string AfterLastLineEnd(std::string_view text) {
  std::size_t last = text.find_last_of("\r\n");
  return std::string(last == std::string_view::npos ? text : text.substr(last + 1));
}

}  // namespace

TypedInput::TypedInput(Instance& app, Sender& sender) : app_(app), sender_(sender) {}

bool TypedInput::IsLeaveWord(std::string_view line, bool chatSession) {
  // The length counts the line end, so "by" and "*b" are leave words but a
  // lone "b" is not: it is the node's own logout and must stay a plain line.
  if (line.size() + 1 <= 2) return false;
  std::string word = UCase(Trim(line));
  if (chatSession)
    return word == "/EX" || word == "/EXI" || word == "/EXIT" || word == "/BY" || word == "/BYE";
  return word == "B" || word == "BY" || word == "BYE" || word == "*B" || word == "*BY" || word == "*BYE";
}

void TypedInput::ResetPrompt() {
  // The prompt line goes back to what it shows at rest; a running capture
  // keeps saying so.
  FrameState& frame = app_.Frame();
  if (app_.CaptureFile().On()) {
    frame.SetPrompt("Capture ON");
  } else if (app_.State().sessionKind == SessionKind::Web) {
    frame.SetPrompt("F11: manual refresh");
  } else {
    frame.SetPrompt(FrameState::kDefaultPrompt);
  }
}

void TypedInput::Enter(const std::string& typed) {
  std::string line = AfterLastLineEnd(typed);
  app_.Append(WindowId::TypedInput, line + "\r\n");
  ResetPrompt();

  if (app_.State().sessionKind == SessionKind::Web) {
    if (webSubmissionRunning && webSubmissionRunning()) {
      app_.Prompt().MessageBox(kWebBusy, MsgIcon::Exclamation);
      return;
    }
    std::string submission = line + "\r\n";
    if (checkSubmissionLine) {
      auto accepted = checkSubmissionLine(submission);
      if (!accepted) return;
      submission = *accepted;
    }
    sender_.Send(submission);
    return;
  }

  if (app_.CaptureFile().On()) app_.CaptureFile().WriteShown(line + "\r\n");
  if (gatewaySubmission && gatewaySubmission(line)) return;

  std::string text = line + app_.State().sendTerminator;
  if (auxCommand && auxCommand(text)) return;
  // The reset comes first so the node's disconnect does not start a reconnection.
  if (IsLeaveWord(line, sender_.Flags().chat) && stopAutomaticConnection) stopAutomaticConnection(false);
  sender_.Send(text);
}

std::string TypedInput::MacroText(int digit) const {
  if (digit < 0 || digit > 9) return {};
  SessionFlags flags = sender_.Flags();
  if (flags.irc && digit >= 1 && digit <= 7) {
    const std::string ctcp = "/CTCP " + flags.robotNick;
    switch (digit) {
      case 1:
        return ctcp + " sh/dx ";
      case 2:
        return ctcp + " sh/ann ";
      case 3:
        return ctcp + " sh/wwv ";
      case 4:
        return ctcp + " dx ";
      case 5:
        return ctcp + " ann ";
      case 6:
        return "/away :";
      default:
        return "/nick ";
    }
  }
  return app_.Settings().macros[static_cast<std::size_t>(digit == 0 ? 9 : digit - 1)];
}

void TypedInput::AltDigit(int digit) {
  std::string text = MacroText(digit);
  if (text.empty()) return;
  sender_.RawSend(text);
  sender_.FlushPending();
}

std::string TypedInput::Paste(std::string_view currentLine, std::string_view clipboard) {
  std::string all(currentLine);
  all.append(clipboard);
  std::size_t last = all.find_last_of("\r\n");
  std::string rest = last == std::string::npos ? all : all.substr(last + 1);
  TextWindow& box = app_.Window(WindowId::TypedInput);
  if (last != std::string::npos) app_.Append(WindowId::TypedInput, std::string_view(all).substr(0, last + 1));
  // The box holds the shown lines and the line being typed; together they stay
  // under the limit, the oldest lines going first.
  while (box.Text().size() + rest.size() >= TextWindow::kLimit && box.Text().size() > TextWindow::kKeep) {
    CutOnce(box);
  }
  std::size_t room = TextWindow::kLimit - 1 - std::min(box.Text().size(), TextWindow::kLimit - 1);
  if (rest.size() > room) rest.resize(room);
  return rest;
}

void TypedInput::Escape() {
  for (const auto& step : escapeSteps) {
    if (step && step()) break;
  }
  TextWindow& box = app_.Window(WindowId::TypedInput);
  box.SetSelection(box.Text().size(), 0);
}

}  // namespace qn
