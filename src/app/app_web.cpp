// The web session of one instance: the poller with its pages and its
// submission queue behind the send path, the pages' lines into the windows
// and the pipeline, "Refresh Data" (F11) and the web cluster dialog.
#include <random>

#include "app/app.h"
#include "core/text.h"
#include "serial/aux_port.h"
#include "serial/tnc_dialogue.h"
#include "session/connection_control.h"
#include "session/script_engine.h"
#include "session/sender.h"
#include "session/transports.h"
#include "session/typed_input.h"
#include "traffic/alerts.h"
#include "traffic/spot_pipeline.h"
#include "web/tnc_web_gateway.h"
#include "web/web_cluster_rules.h"
#include "web/web_page.h"
#include "web/web_poller.h"
#include "web/web_submission.h"

namespace qn {

namespace {

constexpr const char* kWebPrompt = "F11: manual refresh";
constexpr const char* kNoWebCluster =
    "No web cluster to poll: the server list or the page list is empty. Set them in Configuration, "
    "Web Cluster..., then start the program again.";

}  // namespace

void App::BuildWebMenu() {
  menu_.Add({"mnuwebcfg", "&Configuration", "&Web Cluster...", "",
             [this] { OpenDialog(DialogKind::WebCluster); }, 14});
}

void App::WireWebSession() {
  auto engine = std::make_shared<std::mt19937>(std::random_device{}());
  web_ = std::make_unique<WebPoller>(
      settings_, ports_.loop, *ports_.sockets, LoadWebScript(folder_),
      [engine] { return std::uniform_real_distribution<double>(0.0, 1.0)(*engine); });
  WebPollerHooks& hooks = web_->Hooks();
  hooks.status = [this](const std::string& text) { frame_.SetStatus(text); };
  hooks.restorePrompt = [this] { frame_.SetPrompt(capture_.On() ? "Capture ON" : kWebPrompt); };
  hooks.parsePage = [this](const std::string& reply, bool jac) {
    FileWebPage(reply, jac);
    // The first round's sounds are dropped before they are played.
    if (!web_->IgnoringFirstRetrieval()) StartSpeaking();
  };
  hooks.firstRoundPage = [this] { pipeline_->Speech().Clear(); };
  hooks.firstRoundDone = [this] { StartSpeaking(); };
  pipeline_->Hooks().ignoringFirstWebRetrieval = [this] { return web_ && web_->IgnoringFirstRetrieval(); };

  // Lines sent to the session are submissions, whoever sends them.
  auto queue = std::make_unique<HookTransport>(false, "\r\n");
  queue->deliver = [this](const std::string& text) {
    web_->QueueText(text);
    web_->RequestSubmission();
  };
  transport_ = std::move(queue);
  sender_ = std::make_unique<Sender>(state_.sendTerminator, ports_.loop, transport_.get());
  onSendLine = [this](const std::string& text) { sender_->Send(text); };

  typedInput_ = std::make_unique<TypedInput>(*this, *sender_);
  typedInput_->webSubmissionRunning = [this] { return web_->SubmissionRunning(); };
  typedInput_->checkSubmissionLine = [this](const std::string& line) -> std::optional<std::string> {
    SubmissionCheck check = CheckSubmissionLine(line, SubmitVariant::Web);
    if (check.Accepted()) return check.line;
    ports_.prompter.MessageBox(check.message, MsgIcon::Exclamation);
    // The line goes back into the box to be mended, not lost.
    SetTypedLine(check.outcome == SubmissionCheck::Outcome::TooFewWords ? check.putBack
                                                                        : Trim(WithoutLineBreaks(line)));
    web_->ArmRetry();
    return std::nullopt;
  };
  onTypedLine = [this](const std::string& line) { typedInput_->Enter(line); };
}

void App::FileWebPage(const std::string& reply, bool jac) {
  WebPageSinks sinks;
  sinks.inReceiveWindow = [this](const std::string& line) {
    return Window(WindowId::Terminal).Text().find(line) != std::string::npos;
  };
  sinks.show = [this](const std::string& line) {
    Append(WindowId::Terminal, line + "\r\n");
    if (alerts_->Active() && !alerts_->List().LinePatterns().empty() && alerts_->MatchLineAlert(line) > 0)
      alerts_->EchoAlertLine(line);
  };
  sinks.inAnnouncementWindow = [this](const std::string& line) {
    return Window(WindowId::Announcements).Text().find(line) != std::string::npos;
  };
  sinks.announcement = [this](const std::string& line) {
    Append(WindowId::Announcements, line + "\r\n");
    events_.announcementShown.Fire(line + "\r\n");
  };
  sinks.spot = [this](const std::string& line) { events_.spotLine.Fire(line, SpotSource::Main); };
  ParseWebPage(reply, jac, sinks);
}

void App::WireTncGateway() {
  script_->webGatewayLoaded = [this](const std::vector<std::string>& lines) {
    TncGatewayConfig config = ParseTncGatewayLines(lines);
    // A running exchange finishes on the gateway it started with.
    if (gateway_ && gateway_->Running()) return config.On();
    gateway_.reset();
    if (!config.On()) return false;
    gateway_ = std::make_unique<TncWebGateway>(
        ports_.loop, std::move(config), [this](const std::string& text) { aux_->SendToAuxPort(text); },
        [this](const std::string& text) { frame_.SetStatus(text); });
    gateway_->speechQueued = [this] { return !pipeline_->Speech().Empty(); };
    gateway_->messageBox = [this](const std::string& text) {
      ports_.prompter.MessageBox(text, MsgIcon::Exclamation);
    };
    return true;
  };
  script_->startWebGateway = [this] {
    if (!gateway_) return false;
    return gateway_->Retrieve([this](const std::string& page, bool timedOut) {
      if (timedOut) {
        if (gatewayFirstRound_ == WebPoller::kFirstRound)
          gatewayFirstRound_ = WebPoller::kFirstRoundInterrupted;
      } else {
        FileWebPage(page, gateway_->Config().jac);
        if (gatewayFirstRound_ == WebPoller::kFirstRound) {
          // What the first page brought was already known: it is not announced.
          pipeline_->Speech().Clear();
          gatewayFirstRound_ = WebPoller::kNormal;
        } else {
          StartSpeaking();
        }
      }
      script_->WebGatewayDone();
      SendGatewayQueue();
    });
  };
  pipeline_->Hooks().ignoringFirstWebRetrieval = [this] {
    return gateway_ && gatewayFirstRound_ == WebPoller::kFirstRound;
  };

  // The page is the gateway's: shown and filed when it is parsed, as a web
  // session's pages are. Everything else reaches the terminal as usual.
  auto received = connection_->onReceived;
  connection_->onReceived = [this, received](std::string_view bytes) {
    if (gateway_ && gateway_->Running()) bytes.remove_prefix(gateway_->OnReceived(bytes));
    if (received && !bytes.empty()) received(bytes);
  };

  typedInput_->gatewaySubmission = [this](const std::string& line) {
    if (!gateway_ || !IsGatewaySubmission(line)) return false;
    if (gateway_->Running() || !pipeline_->Speech().Empty()) {
      ports_.prompter.MessageBox(kGatewayBusy, MsgIcon::Exclamation);
      // Back in the box to be sent again, not lost.
      SetTypedLine(line);
      return true;
    }
    // Cut as the check cuts a web session's lines.
    gatewayQueue_.push_back(
        Trim(WithoutLineBreaks(CheckSubmissionLine(line + "\r\n", SubmitVariant::Web).line)));
    SendGatewayQueue();
    return true;
  };
  typedInput_->escapeSteps.insert(typedInput_->escapeSteps.begin(), [this] {
    if (!gateway_ || !gateway_->Running()) return false;
    if (ports_.prompter.MessageBox(kStopQuestion, MsgIcon::Question, MsgButtons::YesNo, 2) == MsgResult::Yes)
      gateway_->Stop();
    return true;
  });
}

void App::SendGatewayQueue() {
  if (!gateway_ || gateway_->Running() || gatewayQueue_.empty()) return;
  const std::string line = gatewayQueue_.front();
  gateway_->Submit(line, [this](bool timedOut) {
    // A line that did not go through stays first in the queue, and goes with
    // the next exchange.
    if (timedOut) return;
    if (!gatewayQueue_.empty()) gatewayQueue_.pop_front();
    ports_.loop.Post([this] { SendGatewayQueue(); });
  });
}

void App::StartWebSession() {
  std::string host = Trim(settings_.webServerList.substr(0, settings_.webServerList.find(',')));
  // Said in both places until the first exchange writes its state.
  frame_.SetPrompt(kWebPrompt);
  frame_.SetStatus(kWebPrompt);
  frame_.SetTitle("Quillnet [Web:" + host + "]");
  // A node session's commands mean nothing here.
  for (const char* id : {"mnuconnect", "mnudisc", "mnusite", "mnurecon", "mnukeep"})
    frame_.SetEnabled(id, false);
  if (!web_) return;
  if (!web_->Configure()) {
    frame_.SetStatus("No web cluster configured");
    ports_.prompter.MessageBox(kNoWebCluster, MsgIcon::Exclamation);
    return;
  }
  web_->Start();
}

bool SaveWebClusterDialog(App& app, const WebClusterFields& fields) {
  std::string refusal = WebClusterRules::Save(fields, app.Settings());
  if (!refusal.empty()) {
    app.Prompt().MessageBox(refusal, MsgIcon::Exclamation);
    return false;
  }
  app.SaveSettings();
  app.Prompt().MessageBox(kWebActiveAtRestart, MsgIcon::Information);
  return true;
}

}  // namespace qn
