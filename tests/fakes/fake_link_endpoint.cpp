#include "fakes/fake_link_endpoint.h"

#include "core/text.h"
#include "links/link_message.h"

namespace qn::fakes {

FakeLinkEndpoint::~FakeLinkEndpoint() { StopServing(); }

bool FakeLinkEndpoint::Serve(const std::string& application, const std::string& topic, PokeHandler handler) {
  application_ = application;
  topic_ = topic;
  handler_ = std::move(handler);
  serving_ = true;
  network_.endpoints[pid_] = this;
  return true;
}

void FakeLinkEndpoint::StopServing() {
  serving_ = false;
  auto it = network_.endpoints.find(pid_);
  if (it != network_.endpoints.end() && it->second == this) network_.endpoints.erase(it);
}

std::vector<EndpointInfo> FakeLinkEndpoint::Endpoints() {
  std::vector<EndpointInfo> list;
  for (auto& [pid, e] : network_.endpoints) {
    if (pid != pid_) list.push_back({e->application_, e->topic_, pid});
  }
  return list;
}

PokeAnswer FakeLinkEndpoint::Deliver(const std::string& application, const std::string& topic,
                                     const std::string& item, const std::string& text) {
  if (EncodePoke({application, topic, item, text}).empty()) return PokeAnswer::TooLong;
  if (!IEquals(application, application_) || !IEquals(topic, topic_)) return PokeAnswer::UnknownEndpoint;
  return handler_ ? handler_(item, text) : PokeAnswer::UnknownItem;
}

int FakeLinkEndpoint::Poke(const std::string& application, const std::string& topic, const std::string& item,
                           const std::string& text, AnswerHandler done) {
  int count = 0;
  for (const EndpointInfo& e : Endpoints()) {
    if (!IEquals(e.application, application) || !IEquals(e.topic, topic)) continue;
    ++count;
    network_.sent.push_back({application, topic, item, text});
    long pid = e.pid;
    FakeLinkNetwork* net = &network_;
    network_.Loop().Post([net, pid, application, topic, item, text, done] {
      auto it = net->endpoints.find(pid);
      PokeAnswer answer = it == net->endpoints.end() ? PokeAnswer::NoAnswer
                                                     : it->second->Deliver(application, topic, item, text);
      if (done) done(answer);
    });
  }
  return count;
}

}  // namespace qn::fakes
