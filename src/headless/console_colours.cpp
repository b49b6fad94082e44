#include <cstdio>
#include <string>

#include "app/app.h"
#include "core/text.h"
#include "headless/console_dialogs.h"
#include "platform/prompter.h"
#include "traffic/colours_rules.h"

namespace qn::console {

namespace {

std::string RgbText(std::int32_t c) {
  return std::to_string(RedOf(c)) + "," + std::to_string(GreenOf(c)) + "," + std::to_string(BlueOf(c));
}

// "R,G,B", each number 0 to 255; false for anything else.
bool ParseRgb(const std::string& text, int& r, int& g, int& b) {
  int n = 0;
  char tail = 0;
  if (std::sscanf(text.c_str(), " %d , %d , %d %c", &r, &g, &b, &tail) != 3) return false;
  for (int v : {r, g, b}) n += (v >= 0 && v <= 255) ? 1 : 0;
  return n == 3;
}

}  // namespace

void ColoursDialog(App& app, Prompter& ask) {
  qn::ColoursRules rules(app.Settings());
  for (int i = 0; i < 5; ++i) {
    auto sample = static_cast<ColourSample>(i);
    rules.SelectSample(sample);
    for (bool text : {true, false}) {
      std::int32_t now = text ? rules.Sample(sample).text : rules.Sample(sample).back;
      std::string label = std::string(SampleInfo(sample).caption) + (text ? " text" : " background") +
                          " R,G,B [" + RgbText(now) + "]";
      auto a = ask.InputBox(label, "Quillnet: Colours", RgbText(now));
      if (!a) return;
      int r = 0, g = 0, b = 0;
      if (Trim(*a).empty()) continue;
      if (!ParseRgb(*a, r, g, b)) {
        ask.MessageBox("Not a colour: three numbers 0 to 255 separated by commas", MsgIcon::Exclamation);
        continue;
      }
      rules.SetRed(r);
      rules.SetGreen(g);
      rules.SetBlue(b);
      if (text)
        rules.Foreground();
      else
        rules.Background();
    }
  }
  rules.Save(app, app.TrafficWin());
}

}  // namespace qn::console
