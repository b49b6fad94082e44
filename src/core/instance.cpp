#include "core/instance.h"

#include "core/personal_info.h"
#include "core/text.h"

namespace qn {

// Keeps the registry's copy of the title in step with the frame's.
class Instance::TitlePublisher : public FrameListener {
 public:
  explicit TitlePublisher(Instance& instance) : instance_(instance) {}
  void OnFrameChanged(FrameField field) override {
    if (field == FrameField::Title) instance_.Registry().SetOwnTitle(instance_.Frame().Title());
  }

 private:
  Instance& instance_;
};

Instance::Instance(Ports ports, DataFolder folder) : ports_(ports), folder_(std::move(folder)) {
  titlePublisher_ = std::make_unique<TitlePublisher>(*this);
  timerFlash_ = ports_.loop.CreateTimer(500, false, [this] { frame_.SetFlashOn(!frame_.FlashOn()); });
  frame_.AddListener(titlePublisher_.get());
}

Instance::~Instance() { frame_.RemoveListener(titlePublisher_.get()); }

DateTime Instance::UtcNow() const {
  return DateTime::FromSerial(ports_.clock.LocalNow().ToSerial() + OffsetToDays(settings_.utcOffset));
}

bool Instance::StartHelper(const std::string& name, const std::vector<std::string>& args, WindowStyle style) {
  if (!ports_.launcher) return false;
  auto program = FindHelperProgram(folder_, name);
  return program && ports_.launcher->Start(*program, args, style);
}

void Instance::OpenDialog(DialogKind kind) {
  if (ports_.dialogs) ports_.dialogs->Open(kind);
}

void Instance::ToggleOption(bool AppOptions::*option, const char* menuId) {
  options_.*option = !(options_.*option);
  frame_.SetChecked(menuId, options_.*option);
}

bool Instance::RunMenu(const std::string& path) {
  const MenuAction* a = menu_.Find(path, [this](const MenuAction& m) { return frame_.Item(m.id).caption; });
  if (!a || !a->run || !frame_.Item(a->id).enabled) return false;
  a->run();
  return true;
}

void Instance::TypeLine(const std::string& line) {
  if (onTypedLine)
    onTypedLine(line);
  else
    Append(WindowId::TypedInput, line + "\r\n");
}

std::string Instance::ShowMessage(WindowId id, std::string_view line) {
  const std::string& text = Window(id).Text();
  std::string shown = (text.empty() || text.back() == '\n') ? "" : "\r\n";
  shown.append(line);
  shown += "\r\n";
  Append(id, shown);
  return shown;
}

void Instance::SetFlashing(bool on) {
  if (!timerFlash_) return;
  if (on && timerFlash_->Enabled()) return;
  timerFlash_->SetEnabled(on);
  if (!on) frame_.SetFlashOn(false);
}

void Instance::SendLine(const std::string& text) {
  if (onSendLine) onSendLine(text);
}

void Instance::SetTypedLine(const std::string& text) {
  if (onSetTypedLine) onSetTypedLine(text);
}

void Instance::PopUpMainWindow(bool restoreFirst) {
  if (restoreFirst && frame_.Minimised()) frame_.SetMinimised(false);
  if (!IsProgramInFront() && onRaise) onRaise();
}

void Instance::LoadSettings() {
  // Positions: this instance's own file, else the first instance's.
  positions_ = Positions{};
  std::string posName = PositionFileName(state_.sessionKind, state_.instanceNumber);
  if (!folder_.Exists(posName)) posName = PositionFileName(state_.sessionKind, 1);
  if (auto text = folder_.Read(posName)) positions_.Parse(*text);

  const char* name = ConfigFileName(state_.sessionKind);
  settings_ = AppSettings{};
  configUnreadable_ = false;
  auto resolved = folder_.Resolve(name);
  std::error_code ec;
  const bool exists = resolved && fs::exists(*resolved, ec);
  auto text = folder_.Read(name);
  if (exists && !text) {
    // Present but unreadable: never overwrite what we could not read.
    frame_.SetStatus(std::string("Cannot read ") + name + ": defaults in use");
    configUnreadable_ = true;
    ApplyOptionsFromSettings();
    return;
  }
  int lines = text ? settings_.Parse(*text) : 0;
  if (lines < AppSettings::kLines) {
    // A missing or older, shorter file is completed with the defaults.
    if (!folder_.WriteAtomic(name, settings_.Serialise())) {
      frame_.SetStatus(std::string("Cannot write ") + name);
    }
  }
  ApplyOptionsFromSettings();
}

void Instance::ApplyOptionsFromSettings() {
  options_.sounds = settings_.soundsEnabled;
  options_.voiceSpell = settings_.voiceSpelling;
  options_.autoAnswer = settings_.autoAnswerEnabled;
  options_.talkPriority = settings_.talkPriority;
  options_.linkToDxHunter = settings_.linkEnabled;
  options_.verticalScrollBars = settings_.verticalScrollBars;
  frame_.SetChecked("mnusounds", options_.sounds);
  frame_.SetChecked("mnuvoice", options_.voiceSpell);
  frame_.SetChecked("mnuautoans", options_.autoAnswer);
  frame_.SetChecked("mnutalkprio", options_.talkPriority);
  frame_.SetChecked("mnulink", options_.linkToDxHunter);
  frame_.SetChecked("mnuvscroll", options_.verticalScrollBars);
}

void Instance::SaveSettings() {
  const char* name = ConfigFileName(state_.sessionKind);
  if (configUnreadable_) {
    // Writing now would replace the user's settings with this run's defaults.
    ports_.prompter.MessageBox(std::string("The configuration file ") + name +
                                   " could not be read at start-up, so it is left as it is and the "
                                   "changes are not saved.",
                               MsgIcon::Exclamation);
    return;
  }
  if (!folder_.WriteAtomic(name, settings_.Serialise())) {
    ports_.prompter.MessageBox(std::string("The configuration could not be saved to ") + name,
                               MsgIcon::Exclamation);
  }
  settingsSaved.Fire();
}

void Instance::SavePositions() {
  std::string name = PositionFileName(state_.sessionKind, state_.instanceNumber);
  if (!folder_.WriteAtomic(name, positions_.Serialise())) {
    ports_.prompter.MessageBox("The window positions could not be saved to " + name, MsgIcon::Exclamation);
  }
}

}  // namespace qn
