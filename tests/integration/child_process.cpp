#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>

extern char** environ;

namespace qn::testing {

namespace {
long long NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
}  // namespace

long ProcessStatusKb(int pid, const std::string& field) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(field + ":", 0) == 0) return std::stol(line.substr(field.size() + 1));
  }
  return -1;
}

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv) {
  int inPipe[2], outPipe[2];
  if (::pipe2(inPipe, O_CLOEXEC) != 0 || ::pipe2(outPipe, O_CLOEXEC) != 0) return;
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_adddup2(&fa, inPipe[0], 0);
  posix_spawn_file_actions_adddup2(&fa, outPipe[1], 1);
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  // A variable given here replaces the inherited one: the first of a name is
  // the one a program sees.
  auto name = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
  std::vector<std::string> envStore = extraEnv;
  for (char** e = environ; *e; ++e) {
    std::string entry(*e);
    bool given = false;
    for (const auto& x : extraEnv) given = given || name(x) == name(entry);
    if (!given) envStore.push_back(entry);
  }
  std::vector<char*> env;
  for (auto& e : envStore) env.push_back(e.data());
  env.push_back(nullptr);
  pid_t pid;
  if (posix_spawn(&pid, args[0], &fa, nullptr, args.data(), env.data()) == 0) pid_ = pid;
  posix_spawn_file_actions_destroy(&fa);
  ::close(inPipe[0]);
  ::close(outPipe[1]);
  in_ = inPipe[1];
  out_ = outPipe[0];
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0 && exitCode_ == -2) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  if (in_ >= 0) ::close(in_);
  if (out_ >= 0) ::close(out_);
}

void ChildProcess::Write(const std::string& text) {
  if (in_ < 0) return;
  std::size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(in_, text.data() + done, text.size() - done);
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

void ChildProcess::CloseInput() {
  if (in_ >= 0) ::close(in_);
  in_ = -1;
}

bool ChildProcess::ReadSome(int timeoutMs) {
  if (out_ < 0) return false;
  pollfd p{out_, POLLIN, 0};
  if (::poll(&p, 1, timeoutMs) <= 0) return false;
  char buf[8192];
  ssize_t n = ::read(out_, buf, sizeof buf);
  if (n <= 0) {
    ::close(out_);
    out_ = -1;
    return false;
  }
  partial_.append(buf, static_cast<std::size_t>(n));
  std::size_t lf;
  while ((lf = partial_.find('\n')) != std::string::npos) {
    lines_.push_back(partial_.substr(0, lf));
    partial_.erase(0, lf + 1);
  }
  return true;
}

std::string ChildProcess::WaitForLine(const std::string& text, int timeoutMs) {
  const long long end = NowMs() + timeoutMs;
  for (;;) {
    for (const auto& line : lines_) {
      if (line.find(text) != std::string::npos) return line;
    }
    long long left = end - NowMs();
    if (left <= 0 || out_ < 0) return {};
    ReadSome(static_cast<int>(left));
  }
}

int ChildProcess::WaitForExit(int timeoutMs) {
  if (pid_ <= 0) return -1;
  const long long end = NowMs() + timeoutMs;
  while (NowMs() < end) {
    int status = 0;
    pid_t r = ::waitpid(pid_, &status, WNOHANG);
    if (r == pid_) {
      exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      // What it wrote just before it ended is still in the pipe.
      while (ReadSome(0)) {
      }
      return exitCode_;
    }
    // Drain output meanwhile so the child never blocks on a full pipe.
    if (!ReadSome(50)) ::usleep(20000);
  }
  return -1;
}

}  // namespace qn::testing
