// This copy's links to other programs of the user: its endpoint, whose items
// Textin and Textin1 other copies, flinger and loggers poke into; the spots
// it hands on through Textout and Textout1 to the other copies and to the
// configured program; and the logger's "outgoing.txt", read every ten seconds.
// Talks to the LinkEndpoint and InstanceRegistry ports, the send path and the
// spot pipeline (through LinksHooks), and the announcement window.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/app_settings.h"
#include "core/text_window.h"
#include "links/instance_list.h"
#include "links/link_text.h"
#include "platform/event_loop.h"
#include "platform/instance_registry.h"
#include "platform/link_endpoint.h"

namespace qn {

struct LinksHooks {
  // The DDE-in switch of this session kind.
  std::function<bool()> ddeIn;
  // The kind of session the text goes to; Plain when unset.
  std::function<LinkSessionMode()> sessionMode;
  // The "Link to DXHUNTER" option.
  std::function<bool()> logLinkOn;
  // Text with its line end onto the send queue, then SendToSession.
  std::function<void(const std::string& text)> send;
  // A line into the spot pipeline as link input (never handed on again).
  std::function<void(const std::string& line)> toPipeline;
  // Shows an announcement line in the announcement window.
  std::function<void(const std::string& text)> showAnnouncement;
};

class Links {
 public:
  static constexpr const char* kApplication = "quillnet";
  static constexpr const char* kOutgoingFile = "outgoing.txt";
  static constexpr int kOutgoingIntervalMs = 10000;
  // The span of the announcement window an announcement is looked for in.
  static constexpr std::size_t kAnnouncementSpan = 462;
  // At most this much of "outgoing.txt" is taken per tick: a file that grew
  // by megabytes is sent over several ticks, whole lines at a time.
  static constexpr std::size_t kMaxOutgoingRead = 64 * 1024;

  Links(AppSettings& settings, const TextWindow& announcements, EventLoop& loop, InstanceRegistry& registry,
        LinkEndpoint* endpoint);
  ~Links();
  Links(const Links&) = delete;
  Links& operator=(const Links&) = delete;

  LinksHooks& Hooks() { return hooks_; }

  // Serves Textin and Textin1 under the tag; false without an endpoint.
  bool Serve(const std::string& tag);
  // The tag follows the window title.
  void SetTag(const std::string& tag);
  const std::string& Tag() const { return tag_; }

  // The four items. Textin and Textin1 take what others poke; Textout hands
  // a spot or announcement to the other copies and the configured program,
  // Textout1 a line to the relay copies and the configured program.
  void Textin(const std::string& text);
  void Textin1(const std::string& text);
  void Textout(const std::string& text);
  void Textout1(const std::string& text);

  // The other copies (own tag left out) and the relay copies among them.
  InstanceLists FindInstances();
  const InstanceLists& LastInstances() const { return lists_; }

  // Deletes "outgoing.txt" and starts reading it afresh every ten seconds.
  void StartOutgoingLink();
  // One tick of Timeroutg.
  void TickOutgoing();
  bool OutgoingLinkRunning() const;
  std::uintmax_t ReadPosition() const { return readPosition_; }

 private:
  PokeAnswer HandlePoke(const std::string& item, const std::string& text);
  void Deliver(const std::string& list, const std::string& text);
  void Send(const std::string& text);
  void TextinAnnouncement(const std::string& text);
  LinkSessionMode Mode() const { return hooks_.sessionMode ? hooks_.sessionMode() : LinkSessionMode::Plain; }

  AppSettings& settings_;
  const TextWindow& announcements_;
  InstanceRegistry& registry_;
  LinkEndpoint* endpoint_;
  LinksHooks hooks_;
  std::string tag_;
  InstanceLists lists_;
  std::unique_ptr<Timer> timerOutgoing_;
  std::uintmax_t readPosition_ = 0;
};

}  // namespace qn
