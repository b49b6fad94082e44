// The local link between this program and the other programs of the same user
// (other copies, flinger, a logger): this program's own endpoint, which takes
// pokes into its items, and pokes sent to the endpoints of the others. The
// Qt adapter speaks the local-socket protocol of docs/ipc.md; tests use a fake.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace qn {

// The endpoint's answer to one poke. NoAnswer: the endpoint could not be
// reached or closed before it answered (never sent by an endpoint).
enum class PokeAnswer { Ok, UnknownEndpoint, UnknownItem, TooLong, Malformed, NoAnswer };

struct EndpointInfo {
  std::string application;
  std::string topic;
  long pid = 0;
};

class LinkEndpoint {
 public:
  // Takes the text poked into an item; returns Ok, or UnknownItem for an
  // item this program does not serve.
  using PokeHandler = std::function<PokeAnswer(const std::string& item, const std::string& text)>;
  using AnswerHandler = std::function<void(PokeAnswer)>;

  virtual ~LinkEndpoint() = default;
  // Starts taking pokes under application and topic; false when the endpoint
  // could not be set up (the program then runs without it).
  virtual bool Serve(const std::string& application, const std::string& topic, PokeHandler handler) = 0;
  // The topic changes with the instance's tag.
  virtual void SetTopic(const std::string& topic) = 0;
  virtual void StopServing() = 0;
  // The endpoints of the other running programs (this one left out).
  virtual std::vector<EndpointInfo> Endpoints() = 0;
  // Sends text to item of every endpoint named application and topic (both
  // without regard to case) and returns how many there were. Delivery goes on
  // in the background; done, when given, gets each endpoint's answer.
  virtual int Poke(const std::string& application, const std::string& topic, const std::string& item,
                   const std::string& text, AnswerHandler done = {}) = 0;
};

}  // namespace qn
