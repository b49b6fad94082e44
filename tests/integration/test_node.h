// A small cluster node for tests: listens on 127.0.0.1, and for each caller
// runs the test's dialogue on its own thread with bounded waits.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace qn::testing {

class NodeConnection {
 public:
  explicit NodeConnection(int fd) : fd_(fd) {}
  void Send(const std::string& bytes);
  // Reads until text has arrived (or timeoutMs); true when it did.
  bool ReadUntil(const std::string& text, int timeoutMs);
  // Everything received so far.
  const std::string& Received() const { return received_; }
  void Close();

 private:
  int fd_;
  std::string received_;
};

class TestNode {
 public:
  using Dialogue = std::function<void(NodeConnection&, int callNumber)>;
  explicit TestNode(Dialogue dialogue, int maxCalls = 10);
  ~TestNode();
  int Port() const { return port_; }
  int Calls() const { return calls_.load(); }
  // Everything each caller sent, after its dialogue ended.
  std::string Transcript(int call);

 private:
  void Run();
  int listenFd_ = -1;
  int port_ = 0;
  int maxCalls_;
  Dialogue dialogue_;
  std::atomic<int> calls_{0};
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<std::string> transcripts_;
  std::thread thread_;
};

}  // namespace qn::testing
