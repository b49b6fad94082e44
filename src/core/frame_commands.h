// The commands the frame carries out itself: print, the font choice, restore
// defaults, save positions, about, help and the vertical scroll bars. The
// window front end draws the dialogs; what they store and ask is here.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/app_settings.h"
#include "core/frame_state.h"
#include "core/positions.h"
#include "platform/desktop.h"
#include "platform/prompter.h"

namespace qn {

// The traffic windows' shared font as the settings keep it.
struct FontChoice {
  std::string name;
  int size = 9;
  bool bold = false;
  bool italic = false;
  bool operator==(const FontChoice&) const = default;
};

// Memory figures of the about box, in kilobytes: physical memory, and the
// commit limit (memory plus swap that may be promised) with what is left of it.
struct MemoryFigures {
  std::uint64_t totalPhysical = 0;
  std::uint64_t availablePhysical = 0;
  std::uint64_t commitLimit = 0;
  std::uint64_t commitAvailable = 0;
};

std::optional<MemoryFigures> ParseMemInfo(std::string_view text);
std::string AboutText(const std::optional<MemoryFigures>& memory);

struct FrameCommandPorts {
  Prompter& prompter;
  Printer* printer = nullptr;
  HelpViewer* help = nullptr;
  SystemMemory* memory = nullptr;
};

class FrameCommands {
 public:
  static constexpr const char* kFontDialogTitle = "Quillnet: Fixed Pitch Fonts";
  // The stored default; no Linux system has it, so it shows as the system's
  // fixed font until the user chooses another.
  static constexpr const char* kDefaultFont = "Fixedsys";
  static constexpr const char* kHelpFile = "quillnet-help.html";
  static constexpr const char* kRestoreQuestion =
      "Warning: all the windows will be restored using default values (colors, position, font), do you "
      "wish to continue?";

  FrameCommands(AppSettings& settings, Positions& positions, FrameState& frame, FrameCommandPorts ports);
  // The window front end brings the printer, the help viewer and the memory figures.
  void SetDesktop(Printer* printer, HelpViewer* help, SystemMemory* memory) {
    ports_.printer = printer;
    ports_.help = help;
    ports_.memory = memory;
  }

  // Saving and what the front end redraws after a change (fonts, colours,
  // layout, scroll bars).
  std::function<void()> saveSettings;
  std::function<void()> savePositions;
  std::function<void()> appearanceChanged;
  // The help document in the data folder and the focused control's topic.
  std::function<std::string()> helpDocument;
  std::function<std::string()> focusedTopic;

  // The help topic of a control by its name ("tspot" -> "spots"); "" for none.
  static std::string HelpTopicOf(const std::string& controlName);

  void Print(const std::string& title, const std::string& text);

  FontChoice CurrentFont() const;
  // The family to show for a stored name: empty for the system's fixed font.
  static std::string ShownFamily(const std::string& stored);
  // A choice from the font dialog (Cancel never gets here).
  void ChooseFont(const FontChoice& choice);

  void RestoreDefaults();
  void SavePositions();
  void About();
  void Help();
  void ToggleVerticalScrollBars();

 private:
  AppSettings& settings_;
  Positions& positions_;
  FrameState& frame_;
  FrameCommandPorts ports_;
};

}  // namespace qn
