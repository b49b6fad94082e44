// The cluster traffic of one instance: received lines classified, and each
// class shown in its window.
#include "app/app.h"
#include "core/text.h"
#include "session/connection_control.h"
#include "session/receiver.h"
#include "traffic/alerts.h"
#include "traffic/alerts_rules.h"
#include "traffic/classifier.h"
#include "traffic/filter_rules.h"
#include "traffic/filters.h"
#include "traffic/spot_pipeline.h"

namespace qn {

AlertsRules App::MakeAlertsRules() { return AlertsRules(*this, alerts_.get()); }

FilterRules App::MakeFilterRules() { return FilterRules(*this, filters_.get()); }

void App::LoadTrafficTables() {
  filters_ = std::make_unique<Filters>(settings_);
  filters_->LoadAreaList(folder_);
  alerts_ = std::make_unique<Alerts>(*this);
  alerts_->LoadAlerts();
}

void App::WireTraffic() {
  classifier_ = std::make_unique<Classifier>();
  pipeline_ = std::make_unique<SpotPipeline>(*this);
  pipeline_->SetSecondCopy(state_.otherCopyAtStart);
  pipeline_->SetClassifier(classifier_.get());
  alerts_->SetSpeech(&pipeline_->Speech());
  events_.spotLine.Subscribe(
      [this](const std::string& line, SpotSource source) { pipeline_->ProcessSpot(line, source); });
  events_.announcementShown.Subscribe([this](const std::string&) { pipeline_->AnnouncementShown(); });
  events_.talkShown.Subscribe([this](const std::string& line, SpotSource source, const std::string& talker) {
    pipeline_->Talk().OnTalkShown(source, talker, line);
  });
  PipelineHooks& hooks = pipeline_->Hooks();
  hooks.passesFrequencyAndWords = [this](const std::string& frequency, const std::string& line) {
    return filters_->PassesFrequencyAndWords(frequency, line);
  };
  hooks.passesArea = [this](const std::string& spotter) { return filters_->PassesArea(spotter); };
  hooks.alertsActive = [this] { return alerts_->Active(); };
  hooks.matchCallAlert = [this](const std::string& call) { return alerts_->MatchCallAlert(call); };
  if (connection_) {
    hooks.site = [this] {
      const SiteFlags& flags = connection_->Flags();
      return PipelineHooks::Site{connection_->CustomTitle(), flags.bridgeFromRemote || flags.bridgeToRemote,
                                 flags.ddeOut};
    };
    pipeline_->Talk().Hooks().chatSession = [this] { return connection_->Modes().chat; };
  }
  pipeline_->Talk().Hooks().bringToFront = [this] {
    PopUpMainWindow(true);
    if (onFocusWindow) onFocusWindow(WindowId::Talks);
  };
  ClassifierContext& ctx = classifier_->Context();
  ctx.sessionKind = state_.sessionKind;
  ctx.ownCall = Trim(settings_.ownCallsign);
  ctx.utcHhmm = [this] { return UtcNow().Format("hhnn"); };

  ClassifierSinks& sinks = classifier_->Sinks();
  sinks.announcementShown = [this](std::string_view line) {
    return Window(WindowId::Announcements).Text().find(line) != std::string::npos;
  };
  sinks.onAnnouncement = [this](const std::string& line, SpotSource, NonSpotForm) {
    Append(WindowId::Announcements, line);
    events_.announcementShown.Fire(line);
  };
  sinks.onTalk = [this](const std::string& line, SpotSource source, const std::string& talker) {
    Append(WindowId::Talks, line);
    events_.talkShown.Fire(line, source, talker);
  };
  sinks.onContinuation = [this](const std::string& line, SpotSource, LineClass window) {
    Append(window == LineClass::Talk ? WindowId::Talks : WindowId::Announcements, line);
  };
  sinks.onSpot = [this](const std::string& line, SpotSource source) { events_.spotLine.Fire(line, source); };

  if (receiver_) {
    receiver_->steps.lineAlert = [this](ReceivedLine& line) {
      if (alerts_->Active() && !alerts_->List().LinePatterns().empty() &&
          alerts_->MatchLineAlert(line.text) > 0)
        alerts_->EchoAlertLine(line.text);
    };
    receiver_->steps.classify = [this](ReceivedLine& line) {
      // Settings and the chat flag may change during the run.
      classifier_->Context().ownCall = Trim(settings_.ownCallsign);
      classifier_->Context().chatSession = connection_ && connection_->Modes().chat;
      SpotSource source = state_.sessionKind == SessionKind::Tnc ? SpotSource::Serial : SpotSource::Main;
      classifier_->ClassifyIncomingLine(line.text, source, line.marked);
    };
  }
}

}  // namespace qn
