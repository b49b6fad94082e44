#include "links/links.h"

#include <algorithm>
#include <fstream>

#include "core/files.h"
#include "core/text.h"

namespace qn {

namespace {

constexpr const char* kEscape = "+++";

}  // namespace

Links::Links(AppSettings& settings, const TextWindow& announcements, EventLoop& loop,
             InstanceRegistry& registry, LinkEndpoint* endpoint)
    : settings_(settings), announcements_(announcements), registry_(registry), endpoint_(endpoint) {
  timerOutgoing_ = loop.CreateTimer(kOutgoingIntervalMs, false, [this] { TickOutgoing(); });
}

Links::~Links() {
  if (endpoint_) endpoint_->StopServing();
}

bool Links::Serve(const std::string& tag) {
  tag_ = tag;
  if (!endpoint_) return false;
  return endpoint_->Serve(kApplication, tag_, [this](const std::string& item, const std::string& text) {
    return HandlePoke(item, text);
  });
}

void Links::SetTag(const std::string& tag) {
  if (tag == tag_) return;
  tag_ = tag;
  if (endpoint_) endpoint_->SetTopic(tag_);
}

PokeAnswer Links::HandlePoke(const std::string& item, const std::string& text) {
  if (IEquals(item, "Textin")) {
    Textin(text);
    return PokeAnswer::Ok;
  }
  if (IEquals(item, "Textin1")) {
    Textin1(text);
    return PokeAnswer::Ok;
  }
  return PokeAnswer::UnknownItem;
}

void Links::Send(const std::string& text) {
  if (hooks_.send) hooks_.send(text);
}

void Links::Textin(const std::string& text) {
  if (!hooks_.ddeIn || !hooks_.ddeIn()) return;
  if (text.empty()) return;
  if (StartsWith(text, "/ANN")) {
    TextinAnnouncement(text);
    return;
  }
  std::string t = Trim(text);
  if (!EndsWith(t, kCrLf)) t += kCrLf;
  std::string escape = settings_.auxEscapeString.empty() ? kEscape : settings_.auxEscapeString;
  if (StartsWith(UCase(t), UCase(escape))) {
    std::string command = t.substr(escape.size());
    if (Trim(WithoutTrailingLineEnds(command)).empty()) return;
    if (Mode() == LinkSessionMode::Web)
      command = WebSubmissionFromCommand(command, Trim(settings_.ownCallsign));
    Send(command);
    return;
  }
  if (!hooks_.toPipeline) return;
  std::size_t start = 0;
  while (start < t.size()) {
    std::size_t lf = t.find('\n', start);
    std::size_t end = lf == std::string::npos ? t.size() : lf + 1;
    hooks_.toPipeline(t.substr(start, end - start));
    start = end;
  }
}

void Links::TextinAnnouncement(const std::string& text) {
  // One line: what follows a line end in a poke is not part of the announcement.
  std::string announcement = text.substr(4);
  announcement.resize(std::min(announcement.size(), announcement.find_first_of("\r\n")));
  if (StartsWith(UCase(Trim(settings_.ownCallsign)), "DXROBOT")) return;
  const std::string& shown = announcements_.Text();
  std::string_view span = shown;
  if (!StartsWith(text, "/ANNWWV de ") && span.size() > kAnnouncementSpan)
    span = span.substr(span.size() - kAnnouncementSpan);
  if (InStr(UCase(span), UCase(announcement)) > 0) return;
  if (hooks_.showAnnouncement) hooks_.showAnnouncement(announcement + "\r\n");
  Send(announcement + "\n");
}

void Links::Textin1(const std::string& text) {
  std::string line = WithoutTrailingLineEnds(text);
  if (line.empty()) return;
  Send(line + "\n");
}

InstanceLists Links::FindInstances() {
  lists_ = qn::FindInstances(registry_.OtherTitles(), tag_);
  return lists_;
}

void Links::Deliver(const std::string& list, const std::string& text) {
  if (!endpoint_) return;
  for (const std::string& tag : SplitInstanceList(list)) endpoint_->Poke(kApplication, tag, "Textin", text);
  const std::string application = Trim(settings_.ddeApplication);
  if (!application.empty())
    endpoint_->Poke(application, Trim(settings_.ddeTopic), Trim(settings_.ddeItem), text);
}

void Links::Textout(const std::string& text) {
  if (text.empty()) return;
  FindInstances();
  Deliver(lists_.instances, text);
}

void Links::Textout1(const std::string& text) {
  if (text.empty()) return;
  FindInstances();
  Deliver(lists_.relays, text);
}

void Links::StartOutgoingLink() {
  if (!Trim(settings_.logFolder).empty()) DataFolder(settings_.logFolder).Remove(kOutgoingFile);
  // The next file starts from its first byte.
  readPosition_ = 0;
  timerOutgoing_->SetEnabled(false);
  timerOutgoing_->SetEnabled(true);
}

bool Links::OutgoingLinkRunning() const { return timerOutgoing_->Enabled(); }

void Links::TickOutgoing() {
  if (!hooks_.logLinkOn || !hooks_.logLinkOn()) {
    timerOutgoing_->SetEnabled(false);
    return;
  }
  // No folder: not the current one either.
  if (Trim(settings_.logFolder).empty()) return;
  auto path = DataFolder(settings_.logFolder).Resolve(kOutgoingFile);
  if (!path) return;
  std::error_code ec;
  if (!fs::is_regular_file(*path, ec)) return;
  std::uintmax_t size = fs::file_size(*path, ec);
  if (ec) return;
  // A file shorter than what was read was written anew.
  if (size < readPosition_) readPosition_ = size;
  if (size <= readPosition_) return;
  const std::uintmax_t waiting = size - readPosition_;
  const bool capped = waiting > kMaxOutgoingRead;
  std::string text(static_cast<std::size_t>(capped ? kMaxOutgoingRead : waiting), '\0');
  std::ifstream in(*path, std::ios::binary);
  in.seekg(static_cast<std::streamoff>(readPosition_));
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (static_cast<std::size_t>(in.gcount()) != text.size()) return;
  if (!EndsWith(text, kCrLf)) {
    // A line still being written is read again at the next tick.
    if (!capped) return;
    std::size_t cut = text.rfind(kCrLf);
    if (cut == std::string::npos) {
      // So long a run without a line end is no text for the cluster.
      readPosition_ += text.size();
      return;
    }
    text.resize(cut + 2);
  }
  readPosition_ += text.size();
  auto converted = ConvertOutgoingText(text, Mode(), Trim(settings_.ownCallsign));
  if (converted && !converted->empty()) Send(*converted);
}

}  // namespace qn
