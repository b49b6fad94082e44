// Peak memory of the built program (console mode) while a node on loopback
// floods it: a line that never ends, a stream of NULs, and requests for an
// option from a node that never reads the answers. Prints the resident size
// when idle and the peak (VmHWM) after each flood.
//
//   flood_memory [MB for the long line, default 100]
//   QUILLNET_UNDER_TEST=path/to/quillnet flood_memory   (another build)
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "core/files.h"
#include "fakes/temp_folder.h"
#include "test_node.h"

extern char** environ;

namespace {

using qn::testing::NodeConnection;

struct Flood {
  const char* name;
  std::function<void(NodeConnection&)> send;
};

void SendRepeated(NodeConnection& c, const std::string& unit, std::size_t totalBytes) {
  std::string block;
  while (block.size() < (64u << 10)) block += unit;
  for (std::size_t sent = 0; sent < totalBytes; sent += block.size()) c.Send(block);
}

void Run(const Flood& flood) {
  qn::fakes::TempFolder dir;
  std::string cfg;
  for (int i = 1; i <= 92; ++i) cfg += (i == 67 ? "G4TST" : i == 69 ? "1" : "") + std::string("\r\n");
  qn::DataFolder(dir.Path()).WriteAtomic("quillnet.cfg", cfg);

  std::atomic<int> pid{0};
  std::atomic<bool> done{false};
  long idleKb = -1, peakKb = -1;
  double seconds = 0;
  qn::testing::TestNode node(
      [&](NodeConnection& c, int) {
        c.Send("welcome\r\n");
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        idleKb = qn::testing::ProcessStatusKb(pid, "VmRSS");
        auto start = std::chrono::steady_clock::now();
        flood.send(c);
        // The program has taken it all in when it answers this (or has
        // dropped the session).
        c.Send("\r\n\xff\xfd\x18");
        c.ReadUntil("\xff\xfb\x18", 120000);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        peakKb = qn::testing::ProcessStatusKb(pid, "VmHWM");
        done = true;
      },
      1);

  std::string host = "telnet://127.0.0.1:" + std::to_string(node.Port()) + "/";
  std::string dataDir = dir.Path().string();
  // QUILLNET_UNDER_TEST runs another build (the one before a change, say).
  const char* binary = std::getenv("QUILLNET_UNDER_TEST");
  std::vector<std::string> argv = {binary ? binary : QUILLNET_BINARY, "--headless", "--data-dir", dataDir,
                                   host};
  std::vector<char*> args;
  for (auto& a : argv) args.push_back(a.data());
  args.push_back(nullptr);
  std::vector<std::string> envStore = {"QUILLNET_RUNTIME_DIR=" + (dir.Path() / "run").string(),
                                       "QT_QPA_PLATFORM=offscreen"};
  for (char** e = environ; *e; ++e) envStore.emplace_back(*e);
  std::vector<char*> env;
  for (auto& e : envStore) env.push_back(e.data());
  env.push_back(nullptr);

  // Input stays open and silent; what the console prints is thrown away.
  int in[2];
  if (::pipe(in) != 0) return;
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_adddup2(&fa, in[0], 0);
  posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addclose(&fa, in[1]);
  pid_t child = 0;
  if (posix_spawn(&child, args[0], &fa, nullptr, args.data(), env.data()) != 0) return;
  posix_spawn_file_actions_destroy(&fa);
  ::close(in[0]);
  pid = child;

  for (int i = 0; i < 3000 && !done; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  ::close(in[1]);
  std::printf("%-40s idle %7.1f MB   peak %7.1f MB   %6.1f s\n", flood.name, idleKb / 1024.0, peakKb / 1024.0,
              seconds);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  ::signal(SIGPIPE, SIG_IGN);
  const std::size_t mb = 1u << 20;
  const std::size_t lineMb = argc > 1 ? static_cast<std::size_t>(std::stoul(argv[1])) : 100;
  const std::vector<Flood> floods = {
      {"line without end (100 MB)", [&](NodeConnection& c) { SendRepeated(c, "A", lineMb * mb); }},
      {"NULs (10 MB)", [&](NodeConnection& c) { SendRepeated(c, std::string(1, '\0'), 10 * mb); }},
      {"IAC DO 7, answers never read (120 MB)",
       [&](NodeConnection& c) { SendRepeated(c, "\xff\xfd\x07", 120 * mb); }},
  };
  for (const Flood& f : floods) Run(f);
  return 0;
}
