#include "session/receiver.h"

#include <array>
#include <cstring>

#include "session/capture.h"
#include "session/text_window.h"

namespace qn {

namespace {

// Bytes the scan must look at one by one; everything else is copied in runs.
constexpr std::array<bool, 256> MakeSpecial() {
  std::array<bool, 256> t{};
  t['\b'] = true;
  t['\n'] = true;
  t['\r'] = true;
  t[telnet::kIac] = true;
  return t;
}
constexpr std::array<bool, 256> kSpecial = MakeSpecial();

std::size_t FindSpecial(const unsigned char* p, std::size_t from, std::size_t n) {
  // Unrolled by four: the scan spends nearly all its time here.
  std::size_t i = from;
  for (; i + 4 <= n; i += 4) {
    if (kSpecial[p[i]]) return i;
    if (kSpecial[p[i + 1]]) return i + 1;
    if (kSpecial[p[i + 2]]) return i + 2;
    if (kSpecial[p[i + 3]]) return i + 3;
  }
  for (; i < n; ++i) {
    if (kSpecial[p[i]]) return i;
  }
  return n;
}

// Appends text with every BEL left out.
void AppendWithoutBells(std::string& out, std::string_view text) {
  while (!text.empty()) {
    const void* bel = std::memchr(text.data(), '\a', text.size());
    if (!bel) {
      out.append(text);
      return;
    }
    std::size_t n = static_cast<std::size_t>(static_cast<const char*>(bel) - text.data());
    out.append(text.substr(0, n));
    text.remove_prefix(n + 1);
  }
}

}  // namespace

Receiver::Receiver(TextWindow& terminal, Capture* capture) : terminal_(terminal), capture_(capture) {}

void Receiver::OnData(std::string_view bytes) {
  std::string owned;
  std::string_view chunk = bytes;
  if (decipherReceived) {
    owned.assign(bytes);
    decipherReceived(owned);
    chunk = owned;
  }
  // The capture gets the chunk as it came, before any cleaning: in spots-only
  // mode Capture writes nothing here.
  if (capture_ && capture_->On()) capture_->WriteReceived(chunk);
  if (newConnection_) StartOver();

  bool leadingNul = chunkEndedInCR_ && !chunk.empty() && chunk.front() == '\0';
  if (leadingNul || chunk.find(std::string_view("\r\0", 2)) != std::string_view::npos) {
    if (owned.data() != chunk.data()) owned.assign(chunk);
    RemoveCrNul(owned);
    chunk = owned;
  }
  if (!chunk.empty()) chunkEndedInCR_ = chunk.back() == '\r';

  transcript_.append(chunk);
  rawChunk_.append(chunk);
  if (scanning_) return;  // the scan further up the stack takes these bytes too
  scanning_ = true;
  Scan();
  rawChunk_.clear();
  scanPos_ = 0;
  scanning_ = false;
  pending_.append(addText_);
  QueueDisplay(addText_);
  addText_.clear();

  if (scriptMatcher) scriptMatcher(transcript_);
  ShowQueued();
  DispatchLines();
}

void Receiver::StartOver() {
  newConnection_ = false;
  pending_.clear();
  pendingHead_ = 0;
  lfSearchFrom_ = 0;
  transcript_.clear();
  rawChunk_.clear();
  scanPos_ = 0;
  addText_.clear();
  // Nothing of the old connection's stream state may pair with the new one's.
  codec_.Reset();
  lastEndWasCR_ = false;
  lastEndWasLF_ = false;
  chunkEndedInCR_ = false;
}

void Receiver::RemoveCrNul(std::string& chunk) {
  std::size_t out = 0;
  std::size_t i = 0;
  // A NUL opening the chunk belongs to the CR that closed the last one; that
  // CR has been scanned already, so only the NUL can still go.
  if (chunkEndedInCR_ && !chunk.empty() && chunk[0] == '\0') i = 1;
  for (; i < chunk.size(); ++i) {
    if (chunk[i] == '\r' && i + 1 < chunk.size() && chunk[i + 1] == '\0') {
      ++i;
      continue;
    }
    chunk[out++] = chunk[i];
  }
  chunk.resize(out);
}

void Receiver::LineEnd() {
  addText_ += "\r\n";
  ++lineEnds_;
}

void Receiver::Scan() {
  // rawChunk_ may grow (or start over) while a reply is being sent, so the
  // position lives in scanPos_ and no pointer is kept across sendRaw.
  while (scanPos_ < rawChunk_.size()) {
    const auto* p = reinterpret_cast<const unsigned char*>(rawChunk_.data());
    const std::size_t n = rawChunk_.size();
    unsigned char c = p[scanPos_];
    if (telnet_ && (codec_.InCommand() || c == telnet::kIac)) {
      ++scanPos_;
      int data = codec_.Feed(c, reply_);
      if (data != TelnetCodec::kNoData) {
        addText_.push_back(static_cast<char>(data));
        lastEndWasCR_ = false;
        lastEndWasLF_ = false;
      }
      if (!reply_.empty()) {
        std::string reply;
        reply.swap(reply_);
        if (sendRaw) sendRaw(reply);
      }
      continue;
    }
    switch (c) {
      case '\n':
        ++scanPos_;
        if (lastEndWasCR_) {  // the LF of a CR LF
          lastEndWasCR_ = false;
        } else {
          LineEnd();
          lastEndWasLF_ = true;
        }
        break;
      case '\r':
        ++scanPos_;
        if (lastEndWasLF_) {  // the CR of an LF CR
          lastEndWasLF_ = false;
        } else {
          LineEnd();
          lastEndWasCR_ = true;
        }
        break;
      case '\b':
        ++scanPos_;
        lastEndWasCR_ = false;
        lastEndWasLF_ = false;
        break;
      default: {
        std::size_t end = FindSpecial(p, scanPos_, n);
        // On a link without telnet, IAC is a character like any other.
        if (end == scanPos_) ++end;
        addText_.append(reinterpret_cast<const char*>(p) + scanPos_, end - scanPos_);
        scanPos_ = end;
        lastEndWasCR_ = false;
        lastEndWasLF_ = false;
      }
    }
  }
}

void Receiver::QueueDisplay(std::string_view text) { AppendWithoutBells(displayQueue_, text); }

void Receiver::ShowQueued() {
  if (displayQueue_.empty()) return;
  std::string text;
  text.swap(displayQueue_);
  if (ircSession && ircSession()) return;
  bool inFront = programInFront && programInFront();
  // In pieces no longer than what a cut keeps, each cut as often as it takes:
  // a flood without line ends leaves the terminal within its limit, at a cost
  // linear in what arrived.
  std::string_view rest = text;
  while (!rest.empty()) {
    std::string_view piece = rest.substr(0, TextWindow::kKeep);
    rest.remove_prefix(piece.size());
    AppendToWindow(terminal_, piece, inFront);
    while (terminal_.Text().size() >= TextWindow::kLimit) LimitWindowText(terminal_);
  }
  if (terminalChanged) terminalChanged();
}

void Receiver::DispatchLines() {
  if (dispatching_) return;  // the running dispatch reaches these lines
  dispatching_ = true;
  for (;;) {
    std::size_t from = lfSearchFrom_ > pendingHead_ ? lfSearchFrom_ : pendingHead_;
    std::size_t lf = pending_.find('\n', from);
    ReceivedLine line;
    if (lf != std::string::npos) {
      line.text.assign(pending_, pendingHead_, lf + 1 - pendingHead_);
      pendingHead_ = lf + 1;
    } else if (pending_.size() - pendingHead_ >= kMaxUnfinishedLine) {
      // Longer than the terminal could ever show: passed on in pieces, so a
      // node that never ends its line cannot make us hold all of it.
      line.text.assign(pending_, pendingHead_, kMaxUnfinishedLine);
      line.text += "\r\n";
      pendingHead_ += kMaxUnfinishedLine;
    } else {
      lfSearchFrom_ = pending_.size();
      break;
    }
    lfSearchFrom_ = pendingHead_;
    DispatchLine(line);
  }
  pending_.erase(0, pendingHead_);
  lfSearchFrom_ -= pendingHead_;
  pendingHead_ = 0;
  dispatching_ = false;
}

void Receiver::DispatchLine(ReceivedLine& line) {
  RemoveHighlight(line.text);
  if (steps.serverLine) steps.serverLine(line);
  if (line.done) return;
  line.marked = RemoveBells(line.text);
  if (steps.robotCommand) {
    std::string reply = steps.robotCommand(line);
    if (!reply.empty()) {
      // Dispatched next, as if the node had sent it.
      if (reply.back() != '\n') reply += "\r\n";
      pending_.insert(pendingHead_, "\n" + reply);
      lfSearchFrom_ = pendingHead_;
    }
  }
  if (line.done) return;
  if (steps.chatNotice) steps.chatNotice(line.Body());
  if (steps.ircLine) steps.ircLine(line);
  if (line.done) return;
  if (steps.lineAlert) steps.lineAlert(line);
  if (line.done) return;
  if (steps.classify) steps.classify(line);
  if (line.done) return;
  if (steps.copyToRf && line.text.find("DX de ") == std::string::npos) steps.copyToRf(line);
  if (steps.nodeHop) {
    std::string node = NodeHopName(line.text);
    if (!node.empty()) steps.nodeHop(node, NodeHopTitle(node));
  }
}

}  // namespace qn
