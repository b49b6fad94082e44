// The frame's visible state: title, status-bar texts, flashing, splash and the
// check marks, enables and captions of menu items. The Qt frame and the console
// front end render it through the listener.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace qn {

enum class FrameField { Title, Host, Prompt, Status, Time, Connected, Flash, Splash, Menu, Minimised, Rig };

class FrameListener {
 public:
  virtual ~FrameListener() = default;
  virtual void OnFrameChanged(FrameField field) = 0;
};

struct MenuItemState {
  bool checked = false;
  bool enabled = true;
  std::string caption;  // empty: the table's caption
};

class FrameState {
 public:
  static constexpr const char* kDefaultPrompt = "For Help, press F1";

  const std::string& Title() const { return title_; }
  const std::string& Host() const { return host_; }
  const std::string& Prompt() const { return prompt_; }
  const std::string& Status() const { return status_; }
  const std::string& Time() const { return time_; }
  // The radio's frequency and mode, or why rig control cannot reach it; empty when off.
  const std::string& Rig() const { return rig_; }
  bool Connected() const { return connected_; }
  bool FlashOn() const { return flashOn_; }
  bool SplashVisible() const { return splash_; }
  bool Minimised() const { return minimised_; }

  void SetTitle(const std::string& v) { Set(title_, v, FrameField::Title); }
  void SetHost(const std::string& v) { Set(host_, v, FrameField::Host); }
  void SetPrompt(const std::string& v) { Set(prompt_, v, FrameField::Prompt); }
  void SetStatus(const std::string& v) { Set(status_, v, FrameField::Status); }
  void SetTime(const std::string& v) { Set(time_, v, FrameField::Time); }
  void SetRig(const std::string& v) { Set(rig_, v, FrameField::Rig); }
  void SetConnected(bool v) { Set(connected_, v, FrameField::Connected); }
  void SetFlashOn(bool v) { Set(flashOn_, v, FrameField::Flash); }
  void SetSplashVisible(bool v) { Set(splash_, v, FrameField::Splash); }
  // Reported by the front end when the user minimises or restores the frame.
  void SetMinimised(bool v) { Set(minimised_, v, FrameField::Minimised); }

  const MenuItemState& Item(const std::string& id) const;
  void SetChecked(const std::string& id, bool checked);
  void SetEnabled(const std::string& id, bool enabled);
  void SetCaption(const std::string& id, const std::string& caption);

  void AddListener(FrameListener* l) { listeners_.push_back(l); }
  void RemoveListener(FrameListener* l);

 private:
  template <typename T>
  void Set(T& field, const T& value, FrameField which) {
    if (field == value) return;
    field = value;
    Notify(which);
  }
  void Notify(FrameField which);

  std::string title_ = "Quillnet";
  std::string host_;
  std::string prompt_ = kDefaultPrompt;
  std::string status_;
  std::string time_ = "00:00:00";
  std::string rig_;
  bool connected_ = false;
  bool flashOn_ = false;
  bool splash_ = false;
  bool minimised_ = false;
  std::map<std::string, MenuItemState> items_;
  std::vector<FrameListener*> listeners_;
};

}  // namespace qn
