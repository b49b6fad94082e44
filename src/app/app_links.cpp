// The links of one instance: its endpoint under the tag of its title, pokes
// into Textin and Textin1, the accepted spots handed to the other copies and
// the configured program, the logger's "outgoing.txt", the links dialog and
// the two menu rows.
#include "app/app.h"
#include "core/text.h"
#include "links/instance_list.h"
#include "links/links.h"
#include "links/links_rules.h"
#include "session/connection_control.h"
#include "traffic/spot_pipeline.h"

namespace qn {

namespace {

// The endpoint's topic is the tag of the title, whatever changes the title.
class LinkTagFollower : public FrameListener {
 public:
  LinkTagFollower(FrameState& frame, Links& links) : frame_(frame), links_(links) {
    frame_.AddListener(this);
  }
  ~LinkTagFollower() override { frame_.RemoveListener(this); }
  void OnFrameChanged(FrameField field) override {
    if (field == FrameField::Title) links_.SetTag(InstanceTag(frame_.Title()));
  }

 private:
  FrameState& frame_;
  Links& links_;
};

}  // namespace

void App::BuildLinksMenu() {
  menu_.Add({"mnulinks", "&Configuration", "&Links...", "", [this] { OpenDialog(DialogKind::Links); }, 6});
  menu_.Add({"mnulink", "&Options", "&Link to DX-HUNTER", "",
             [this] {
               ToggleOption(&AppOptions::linkToDxHunter, "mnulink");
               if (options_.linkToDxHunter && links_) links_->StartOutgoingLink();
             },
             6, true});
}

void App::WireLinks() {
  links_ = std::make_unique<Links>(settings_, Window(WindowId::Announcements), ports_.loop, ports_.registry,
                                   ports_.links);
  LinksHooks& hooks = links_->Hooks();
  hooks.ddeIn = [this] {
    if (state_.sessionKind == SessionKind::Web) return settings_.webDdeIn;
    return connection_ && connection_->Flags().ddeIn;
  };
  hooks.sessionMode = [this] {
    if (state_.sessionKind == SessionKind::Web) return LinkSessionMode::Web;
    if (connection_ && connection_->Modes().irc) return LinkSessionMode::Irc;
    if (connection_ && connection_->Modes().chat) return LinkSessionMode::Chat;
    return LinkSessionMode::Plain;
  };
  hooks.logLinkOn = [this] { return options_.linkToDxHunter; };
  hooks.send = [this](const std::string& text) { SendLine(text); };
  hooks.toPipeline = [this](const std::string& line) {
    events_.spotLine.Fire(line, SpotSource::Link);
    StartSpeaking();
  };
  hooks.showAnnouncement = [this](const std::string& text) { Append(WindowId::Announcements, text); };
  // Spots the pipeline accepts from anywhere but the links go out to the others.
  pipeline_->linkOutput.Subscribe([this](const std::string& line) {
    if (links_) links_->Textout(line);
  });
  links_->Serve(InstanceTag(frame_.Title()));
  linkTagFollower_ = std::make_unique<LinkTagFollower>(frame_, *links_);
  if (options_.linkToDxHunter) links_->StartOutgoingLink();
}

bool SaveLinksDialog(App& app, const LinksFields& fields) {
  std::string refusal = LinksRules::Save(fields, app.Settings());
  if (!refusal.empty()) {
    app.Prompt().MessageBox(refusal, MsgIcon::Exclamation);
    return false;
  }
  app.Options().linkToDxHunter = fields.enabled;
  app.Frame().SetChecked("mnulink", fields.enabled);
  if (fields.enabled && app.LinkIo()) app.LinkIo()->StartOutgoingLink();
  app.SaveSettings();
  return true;
}

}  // namespace qn
