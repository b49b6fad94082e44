// The rules of the colours dialog Frmcfgcl: five samples in the colours of
// the talk, announcement, spot, terminal and typed-input boxes, three scroll
// bars mixing a colour, Foreground and Background putting it on the current
// sample, and Save storing the ten colours. The Qt dialog only lays it out.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/app_settings.h"

namespace qn {

class Instance;
class TrafficWindows;

enum class ColourSample { Talk, Ann, Dx, Rx, Tx };

struct ColourSampleInfo {
  const char* name;     // control name, "Ttalksample"
  const char* caption;  // "Talk Sample"
};
ColourSampleInfo SampleInfo(ColourSample s);

// Colours as the settings keep them: red in the lowest byte.
std::int32_t Rgb(int red, int green, int blue);
int RedOf(std::int32_t colour);
int GreenOf(std::int32_t colour);
int BlueOf(std::int32_t colour);

class ColoursRules {
 public:
  static constexpr const char* kCaption = "Windows configuration";
  static constexpr const char* kForeground = "&Foreground";
  static constexpr const char* kBackground = "&Background";
  static constexpr const char* kSave = "&Save";
  static constexpr const char* kCancel = "&Cancel";

  explicit ColoursRules(const AppSettings& settings);

  // Clicking a sample: it becomes the current one and the scroll bars take
  // its background colour.
  void SelectSample(ColourSample s);
  ColourSample Current() const { return current_; }
  void SetRed(int v) { red_ = Clamp(v); }
  void SetGreen(int v) { green_ = Clamp(v); }
  void SetBlue(int v) { blue_ = Clamp(v); }
  int Red() const { return red_; }
  int Green() const { return green_; }
  int Blue() const { return blue_; }
  // The patch Shape1.
  std::int32_t Mixed() const { return Rgb(red_, green_, blue_); }

  void Foreground();
  void Background();
  const ColourPair& Sample(ColourSample s) const { return samples_[Index(s)]; }

  // Stores the ten colours, applies them to the boxes and saves the configuration.
  // Stores, saves and has the windows take the new colours.
  void Save(Instance& app, TrafficWindows* windows) const;
  // The same without applying and saving, for tests and the console.
  void StoreInto(AppSettings& settings) const;

 private:
  static int Clamp(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }
  static std::size_t Index(ColourSample s) { return static_cast<std::size_t>(s); }

  std::array<ColourPair, 5> samples_;
  ColourSample current_ = ColourSample::Talk;
  int red_ = 0, green_ = 0, blue_ = 0;
};

}  // namespace qn
