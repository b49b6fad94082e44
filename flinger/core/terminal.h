// The terminal box: what was received and sent, emptied when it grows past
// 20,000 characters. Views mirror it through the listener.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace fl {

class Terminal {
 public:
  static constexpr std::size_t kLimit = 20000;

  struct Listener {
    std::function<void()> cleared;
    std::function<void(const std::string&)> appended;
  };

  void Append(std::string_view text) {
    if (text_.size() > kLimit) {
      text_.clear();
      if (listener_.cleared) listener_.cleared();
    }
    text_ += text;
    if (listener_.appended) listener_.appended(std::string(text));
  }
  bool Contains(std::string_view key) const { return text_.find(key) != std::string::npos; }
  const std::string& Text() const { return text_; }
  void SetListener(Listener listener) { listener_ = std::move(listener); }

 private:
  std::string text_;
  Listener listener_;
};

}  // namespace fl
