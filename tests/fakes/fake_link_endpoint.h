// LinkEndpoint fakes joined by one in-memory network: each endpoint has a
// made-up process id; pokes are delivered through the event loop's posted
// calls, as the real ones arrive later as socket events.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/event_loop.h"
#include "platform/link_endpoint.h"

namespace qn::fakes {

class FakeLinkEndpoint;

class FakeLinkNetwork {
 public:
  explicit FakeLinkNetwork(EventLoop& loop) : loop_(loop) {}
  EventLoop& Loop() { return loop_; }
  std::map<long, FakeLinkEndpoint*> endpoints;
  // Every poke sent on the network: application, topic, item, text.
  struct Sent {
    std::string application, topic, item, text;
  };
  std::vector<Sent> sent;

 private:
  EventLoop& loop_;
};

class FakeLinkEndpoint : public LinkEndpoint {
 public:
  FakeLinkEndpoint(FakeLinkNetwork& network, long pid) : network_(network), pid_(pid) {}
  ~FakeLinkEndpoint() override;

  bool Serve(const std::string& application, const std::string& topic, PokeHandler handler) override;
  void SetTopic(const std::string& topic) override { topic_ = topic; }
  void StopServing() override;
  std::vector<EndpointInfo> Endpoints() override;
  int Poke(const std::string& application, const std::string& topic, const std::string& item,
           const std::string& text, AnswerHandler done = {}) override;

  const std::string& Topic() const { return topic_; }
  bool Serving() const { return serving_; }
  // Answers the poke as the real endpoint would (unknown endpoint, too long, handler).
  PokeAnswer Deliver(const std::string& application, const std::string& topic, const std::string& item,
                     const std::string& text);

 private:
  FakeLinkNetwork& network_;
  long pid_;
  std::string application_;
  std::string topic_;
  PokeHandler handler_;
  bool serving_ = false;
};

}  // namespace qn::fakes
