#include "fakes/fake_prompter.h"

namespace qn::fakes {

namespace {
MsgResult DefaultFor(MsgButtons buttons, int defaultButton) {
  switch (buttons) {
    case MsgButtons::Ok: return MsgResult::Ok;
    case MsgButtons::OkCancel: return defaultButton == 2 ? MsgResult::Cancel : MsgResult::Ok;
    case MsgButtons::YesNo: return defaultButton == 2 ? MsgResult::No : MsgResult::Yes;
    case MsgButtons::YesNoCancel:
      return defaultButton == 3 ? MsgResult::Cancel : defaultButton == 2 ? MsgResult::No : MsgResult::Yes;
  }
  return MsgResult::Ok;
}
}  // namespace

MsgResult FakePrompter::MessageBox(const std::string& text, MsgIcon icon, MsgButtons buttons,
                                   int defaultButton, const std::string& title) {
  shown.push_back({false, text, title, {}, icon, buttons});
  if (buttonAnswers.empty()) return DefaultFor(buttons, defaultButton);
  auto r = buttonAnswers.front();
  buttonAnswers.pop_front();
  return r;
}

std::optional<std::string> FakePrompter::InputBox(const std::string& prompt, const std::string& title,
                                                  const std::string& defaultText) {
  shown.push_back({true, prompt, title, defaultText, MsgIcon::None, MsgButtons::OkCancel});
  if (answers.empty()) return std::nullopt;
  auto r = answers.front();
  answers.pop_front();
  return r;
}

}  // namespace qn::fakes
