// Records every message box and input box and answers from a script.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/instance_registry.h"
#include "platform/prompter.h"

namespace qn::fakes {

class FakePrompter : public Prompter {
 public:
  struct Shown {
    bool input = false;
    std::string text;   // message text or input prompt
    std::string title;
    std::string defaultText;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
  };

  MsgResult MessageBox(const std::string& text, MsgIcon icon, MsgButtons buttons, int defaultButton,
                       const std::string& title) override;
  std::optional<std::string> InputBox(const std::string& prompt, const std::string& title,
                                      const std::string& defaultText) override;
  bool CanAsk() const override { return !closed || !answers.empty(); }

  std::deque<MsgResult> buttonAnswers;         // next message box answers; default button otherwise
  std::deque<std::optional<std::string>> answers;  // next input box answers; cancel when empty
  // No more answers come once the queue is empty (a question that insists gives up).
  bool closed = true;
  std::vector<Shown> shown;
};

class FakeInstanceRegistry : public InstanceRegistry {
 public:
  std::vector<std::string> OtherTitles() override { return others; }
  void SetOwnTitle(const std::string& title) override { ownTitle = title; }
  bool AnotherInFront() override { return anotherInFront; }
  std::vector<std::string> others;
  std::string ownTitle;
  bool anotherInFront = false;
};

}  // namespace qn::fakes
