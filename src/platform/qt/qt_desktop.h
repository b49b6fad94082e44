// The desktop ports on Qt: printing through Qt Print Support (a printer or a
// PDF file, chosen in the print dialog), help in the user's browser, and the
// memory figures from /proc/meminfo.
#pragma once

#include <functional>

#include "platform/desktop.h"

class QPrinter;
class QWidget;

namespace qn {

class QtPrinter : public Printer {
 public:
  bool Print(const std::string& title, const std::string& latin1Text) override;
  // Where questions are parented.
  std::function<QWidget*()> parentWindow;
  // Asks where to print; the print dialog unless a test sets another answer.
  std::function<bool(QPrinter&)> choose;
};

class QtHelpViewer : public HelpViewer {
 public:
  bool Show(const std::string& document, const std::string& topic) override;
};

class LinuxSystemMemory : public SystemMemory {
 public:
  std::optional<std::string> MemInfo() override;
};

}  // namespace qn
