// A program started for a test (no shell), with its stdin and stdout on pipes
// and bounded waits for its output and its exit.
#pragma once

#include <string>
#include <vector>

namespace qn::testing {

// A figure of /proc/PID/status in kB ("VmRSS", "VmHWM"), -1 when absent.
long ProcessStatusKb(int pid, const std::string& field);

class ChildProcess {
 public:
  explicit ChildProcess(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv = {});
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Started() const { return pid_ > 0; }
  int Pid() const { return pid_; }
  void Write(const std::string& text);
  void CloseInput();
  // Reads until a line containing text has arrived (at any time so far) or
  // timeoutMs passes; returns it, or "" on time-out.
  std::string WaitForLine(const std::string& text, int timeoutMs);
  // Every line read so far.
  const std::vector<std::string>& Lines() const { return lines_; }
  // Exit code, or -1 when it did not end in time (it is then killed).
  int WaitForExit(int timeoutMs);

 private:
  bool ReadSome(int timeoutMs);
  int pid_ = -1;
  int in_ = -1;
  int out_ = -1;
  std::string partial_;
  std::vector<std::string> lines_;
  int exitCode_ = -2;
};

}  // namespace qn::testing
