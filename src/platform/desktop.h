// What the frame's own commands ask of the desktop: printing a window's text,
// showing the help at a topic, and the memory figures of the about box.
#pragma once

#include <optional>
#include <string>

namespace qn {

class Printer {
 public:
  virtual ~Printer() = default;
  // Asks where to print (a printer or a PDF file) and prints the text, one
  // line a line. False when the user cancelled or nothing could be printed.
  virtual bool Print(const std::string& title, const std::string& latin1Text) = 0;
};

class HelpViewer {
 public:
  virtual ~HelpViewer() = default;
  // Shows the help document (a full path) at a topic ("" for its start).
  virtual bool Show(const std::string& document, const std::string& topic) = 0;
};

class SystemMemory {
 public:
  virtual ~SystemMemory() = default;
  // The text of /proc/meminfo, nullopt when it cannot be read.
  virtual std::optional<std::string> MemInfo() = 0;
};

}  // namespace qn
