// One HTTP/1.0 exchange with a web cluster: connect, the optional WEB.SCR
// login dialogue, one request, the reply within its size and time limits,
// close. Owns its own socket (made by the factory) and never blocks: every
// step waits for a socket event or its 60-second watchdog on the event loop,
// and the outcome comes back through a callback. Also the small pieces the
// exchange is made of (server entries, the script, the reply reader) so
// that they are tested and fuzzed alone.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/files.h"
#include "platform/event_loop.h"
#include "platform/tcp_socket.h"

namespace qn {

// Host headers of the requests. A web cluster page is asked for under a
// fixed virtual host name, not the name the server entry connects to; the
// defaults suit a web cluster run on this machine (see docs/web.md).
inline constexpr const char* kWebPageHost = "localhost";    // ordinary pages
inline constexpr const char* kWebJacHost = "localhost";     // pages whose path holds "JAC"
inline constexpr const char* kWebSubmitHost = "localhost";  // the spot-submission service

inline constexpr int kWebStallMs = 60000;
inline constexpr std::size_t kJacReplyLimit = 1660;
inline constexpr std::size_t kPageReplyLimit = 10000;
inline constexpr std::size_t kSubmissionReplyLimit = 1000;

inline constexpr const char* kUnableToConnect = "Unable to connect";
inline constexpr const char* kTimeoutOn = "Timeout on ";
inline constexpr const char* kUnableToSend = "Unable to send data";
inline constexpr const char* kConnectionTimeOut = "Connection time out";

// "host port", or a host alone (port 80); a port reading as 0 is 80 too.
//   "localhost 8000" -> localhost, 8000
struct WebServerEntry {
  std::string host;
  int port = 80;
};
WebServerEntry ParseWebServerEntry(std::string_view entry);

// A page whose path holds "JAC" (any case) is the short form-driven kind.
bool IsJacPath(std::string_view path);

// "a, b,, c" -> {a, b}: items trimmed, the first empty item ends the list.
std::vector<std::string> SplitWebList(std::string_view list);

// SCRIPT\WEB.SCR: "/I" text awaited after connecting ("!": go on at once),
// "/O" a line to send (two values "for 1, for 2" split by a comma), "/W" the
// text awaited before the request. "\" may stand for "/"; "'" starts a comment.
//   /I login:
//   /O G4TST, G4TST-2
//   /W >
struct WebScript {
  std::string expectBefore;
  std::string sendLine;
  std::string expectAfter;
  // The login line for web cluster 1 or 2.
  std::string SendLineFor(int cluster) const;
};
WebScript ParseWebScript(std::string_view text);
// Empty when the file is absent.
WebScript LoadWebScript(const DataFolder& folder);

// Drops one NUL at the start, then every CR NUL pair: "abc\r\0def" -> "abcdef".
std::string StripTelnetNulls(std::string_view chunk);

// GET path HTTP/1.0, User-Agent, Host, Pragma, then three CR LF.
std::string BuildPageRequest(std::string_view path);

// How much of a reply is kept before the reading stops.
enum class ReplyKind { Page, JacPage, Submission };

// Collects a reply chunk by chunk; Feed returns true once the limit is
// reached (the reply is then cut to it, except a submission's, which only stops).
class ReplyReader {
 public:
  explicit ReplyReader(ReplyKind kind) : kind_(kind) {}
  bool Feed(std::string_view chunk);
  const std::string& Reply() const { return reply_; }
  bool Full() const { return full_; }

 private:
  ReplyKind kind_;
  std::string reply_;
  bool full_ = false;
};

// Looks for an awaited text (any case) in what arrives. Only the last
// len(text) - 1 characters are carried between reads, so a text split over
// two reads still matches and the window stays small however much arrives.
class ScriptWaiter {
 public:
  explicit ScriptWaiter(std::string expected);
  bool Feed(std::string_view chunk);
  // After a match: how much of the last chunk it took to complete it.
  std::size_t MatchEnd() const { return matchEnd_; }

 private:
  std::string expected_;
  std::string window_;
  std::size_t matchEnd_ = 0;
};

struct WebRequest {
  std::string server;   // a server entry
  std::string path;     // the page; it also decides the JAC flag
  std::string request;  // a ready request (a submission); empty: the page request
  int cluster = 1;      // which of the script's login lines
  bool submission = false;
};

struct WebResult {
  bool ok = false;
  std::string reply;    // what was read (also after "Connection time out")
  std::string failure;  // the status text of a failed exchange
};

class WebExchange : private TcpSocketListener {
 public:
  WebExchange(SocketFactory& sockets, EventLoop& loop, const WebScript& script);
  ~WebExchange() override;
  WebExchange(const WebExchange&) = delete;
  WebExchange& operator=(const WebExchange&) = delete;

  // Starts an exchange; false (and nothing happens) while one runs. done is
  // called once, from the event loop, never from inside Start.
  bool Start(const WebRequest& request, std::function<void(const WebResult&)> done);
  bool Running() const { return running_; }
  // Ends a running exchange without calling done (the program is closing).
  void Abort();

  // The state texts: "Trying: host", "Connected: host", the failures.
  std::function<void(const std::string& text)> status;

 private:
  enum class Step { Idle, Connecting, WaitBefore, WaitAfter, Sending, Reading };

  void OnConnected() override;
  void OnDataArrived(std::size_t byteCount) override;
  void OnReadyToSend() override;
  void OnClosed() override;
  void OnError(int code, const std::string& description) override;

  void Watchdog();
  void RestartWatchdog();
  void AfterConnect();
  void AfterFirstWait(bool peerClosed);
  void AfterSecondWait();
  void SendRequest();
  void PushOut();
  void TakeArrivals();
  void Fail(const std::string& text);
  void Succeed();
  void Finish(WebResult result);
  void Show(const std::string& text);

  SocketFactory& sockets_;
  EventLoop& loop_;
  const WebScript& script_;
  std::unique_ptr<TcpSocket> socket_;
  std::unique_ptr<Timer> watchdog_;
  std::unique_ptr<Timer> deadline_;
  std::function<void(const WebResult&)> done_;
  WebRequest request_;
  Step step_ = Step::Idle;
  bool running_ = false;
  bool peerClosed_ = false;
  std::string host_;
  std::string awaited_;
  std::unique_ptr<ScriptWaiter> waiter_;
  std::unique_ptr<ReplyReader> reader_;
  std::string unsent_;
  // Outlives Abort: a posted completion of an abandoned exchange checks it.
  std::shared_ptr<int> generation_ = std::make_shared<int>(0);
};

}  // namespace qn
