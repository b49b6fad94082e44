#include "core/frame_commands.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "core/text.h"

namespace qn {

namespace {

std::optional<std::uint64_t> MemInfoField(std::string_view text, std::string_view key) {
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    if (line.size() > key.size() && line.substr(0, key.size()) == key && line[key.size()] == ':') {
      std::string number(line.substr(key.size() + 1));
      char* stop = nullptr;
      unsigned long long v = std::strtoull(number.c_str(), &stop, 10);
      if (stop != number.c_str()) return v;
      return std::nullopt;
    }
    at = end + 1;
  }
  return std::nullopt;
}

}  // namespace

std::optional<MemoryFigures> ParseMemInfo(std::string_view text) {
  auto total = MemInfoField(text, "MemTotal");
  auto available = MemInfoField(text, "MemAvailable");
  // Kernels before 3.14 have no MemAvailable: free memory is the nearest figure.
  if (!available) available = MemInfoField(text, "MemFree");
  if (!total || !available) return std::nullopt;
  MemoryFigures m;
  m.totalPhysical = *total;
  m.availablePhysical = std::min(*available, *total);
  auto limit = MemInfoField(text, "CommitLimit");
  auto committed = MemInfoField(text, "Committed_AS");
  if (limit && committed) {
    m.commitLimit = *limit;
    // Overcommitted systems promise more than the limit: nothing is left.
    m.commitAvailable = *committed < *limit ? *limit - *committed : 0;
  }
  return m;
}

std::string AboutText(const std::optional<MemoryFigures>& memory) {
  std::string text = "Quillnet32, version 5.5\n" + std::string(24, '_') + "\n";
  if (!memory) return text + "Memory: unknown\nFree system resources: unknown";
  // Each figure is cut to whole megabytes before the sums, as the box always did.
  std::uint64_t total = memory->totalPhysical / 1024 + memory->commitLimit / 1024;
  std::uint64_t free = memory->availablePhysical / 1024 + memory->commitAvailable / 1024;
  std::uint64_t percent = total ? 100 * free / total : 0;
  return text + "Memory:" + std::to_string(memory->totalPhysical) +
         " Kb \nFree system resources:" + std::to_string(percent) + " %";
}

FrameCommands::FrameCommands(AppSettings& settings, Positions& positions, FrameState& frame,
                             FrameCommandPorts ports)
    : settings_(settings), positions_(positions), frame_(frame), ports_(ports) {
  frame_.SetChecked("mnuvscroll", settings_.verticalScrollBars);
}

std::string FrameCommands::HelpTopicOf(const std::string& controlName) {
  static const std::pair<const char*, const char*> kTopics[] = {
      {"tresponse", "terminal"}, {"tspot", "spots"},          {"tann", "announcements"},
      {"ttalk", "talks"},        {"textsend", "typed-input"}, {"frmrx", "terminal"},
      {"frmspot", "spots"},      {"frmann", "announcements"}, {"frmtalk", "talks"},
      {"frmlink", "typed-input"}};
  std::string name = LCase(controlName);
  for (const auto& [control, topic] : kTopics) {
    if (name == control) return topic;
  }
  return {};
}

void FrameCommands::Print(const std::string& title, const std::string& text) {
  if (ports_.printer) ports_.printer->Print(title, text);
}

FontChoice FrameCommands::CurrentFont() const {
  FontChoice f;
  f.name = settings_.fontName;
  int size = std::atoi(settings_.fontSize.c_str());
  if (size > 0) f.size = size;
  f.bold = settings_.fontBold == "1";
  f.italic = settings_.fontItalic == "1";
  return f;
}

std::string FrameCommands::ShownFamily(const std::string& stored) {
  std::string name = Trim(stored);
  if (name.empty() || LCase(name) == LCase(kDefaultFont)) return {};
  return name;
}

void FrameCommands::ChooseFont(const FontChoice& choice) {
  if (choice.name.empty() || choice.size <= 0) return;
  settings_.fontName = choice.name;
  settings_.fontSize = std::to_string(choice.size);
  settings_.fontBold = choice.bold ? "1" : "0";
  settings_.fontItalic = choice.italic ? "1" : "0";
  if (appearanceChanged) appearanceChanged();
  if (saveSettings) saveSettings();
}

void FrameCommands::RestoreDefaults() {
  auto answer = ports_.prompter.MessageBox(kRestoreQuestion, MsgIcon::Question, MsgButtons::YesNo, 2);
  if (answer != MsgResult::Yes) return;
  const AppSettings defaults;
  settings_.typedInputColours = defaults.typedInputColours;
  settings_.terminalColours = defaults.terminalColours;
  settings_.announcementColours = defaults.announcementColours;
  settings_.spotColours = defaults.spotColours;
  settings_.talkColours = defaults.talkColours;
  settings_.fontName = defaults.fontName;
  settings_.fontSize = defaults.fontSize;
  settings_.fontBold = defaults.fontBold;
  settings_.fontItalic = defaults.fontItalic;
  // The children go back to the frame's default arrangement; the frame
  // itself stays where the user put it.
  const Positions fresh;
  positions_.terminal = fresh.terminal;
  positions_.typedInput = fresh.typedInput;
  positions_.spots = fresh.spots;
  positions_.talks = fresh.talks;
  positions_.announcements = fresh.announcements;
  positions_.order = fresh.order;
  if (appearanceChanged) appearanceChanged();
  if (saveSettings) saveSettings();
  if (savePositions) savePositions();
}

void FrameCommands::SavePositions() {
  if (savePositions) savePositions();
}

void FrameCommands::About() {
  std::optional<MemoryFigures> memory;
  if (ports_.memory) {
    if (auto text = ports_.memory->MemInfo()) memory = ParseMemInfo(*text);
  }
  ports_.prompter.MessageBox(AboutText(memory), MsgIcon::Information, MsgButtons::Ok, 1);
}

void FrameCommands::Help() {
  std::string document = helpDocument ? helpDocument() : std::string();
  std::string topic = focusedTopic ? focusedTopic() : std::string();
  if (document.empty() || !ports_.help || !ports_.help->Show(document, topic)) {
    ports_.prompter.MessageBox(
        std::string("The help (") + kHelpFile + " in the data folder) could not be shown.",
        MsgIcon::Exclamation);
  }
}

void FrameCommands::ToggleVerticalScrollBars() {
  settings_.verticalScrollBars = !settings_.verticalScrollBars;
  frame_.SetChecked("mnuvscroll", settings_.verticalScrollBars);
  if (appearanceChanged) appearanceChanged();
  // Unlike the other toggles, this one is written to the configuration at once.
  if (saveSettings) saveSettings();
}

}  // namespace qn
