#include "ui/site_editor_dialog.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>
#include <QValidator>

#include "app/app.h"
#include "core/site_list.h"
#include "platform/qt/latin1.h"
#include "ui/dialog_parts.h"

namespace qn {

namespace {

constexpr const char* kHelpText =
    "Site Name: letters, digits, \"-\" and \"_\"; the first 8 characters name the site's script file.\r\n"
    "Network Address or Host Name: a host name, a numeric address, or \".\" and the name of a host-list "
    "file.\r\n"
    "Service Port: Telnet (23) or a custom port number, service name, or a port followed by \"-\".\r\n"
    "Keep Alive: the minutes of silence after which the node is sent a keep-alive text.\r\n"
    "Automatic Connection: run the script at connection, and reconnect automatically after a drop.\r\n"
    "Bridge and DDE: how this session's spots are passed to and from other sessions and programs.";

// Typed and pasted text alike pass the core's key rule; what it refuses is
// dropped and the rest kept, so a paste is not lost whole for one bad character.
class RuleValidator : public QValidator {
 public:
  using Filter = std::string (*)(std::string_view);
  RuleValidator(Filter filter, QObject* parent) : QValidator(parent), filter_(filter) {}
  State validate(QString& input, int& pos) const override {
    const QString before = input.left(pos);
    const QString kept = ToQString(filter_(FromQString(input)));
    if (kept != input) {
      pos = static_cast<int>(ToQString(filter_(FromQString(before))).size());
      input = kept;
    }
    return Acceptable;
  }

 private:
  Filter filter_;
};

QLineEdit* Box(QWidget* parent, const char* name, int maxLength) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(name);
  box->setMaxLength(maxLength);
  return box;
}

template <typename T>
T* Named(QWidget* parent, const char* caption, const char* name) {
  auto* w = new T(caption, parent);
  w->setObjectName(name);
  return w;
}

QGroupBox* Frame(QWidget* parent, const char* caption, const char* name,
                 std::initializer_list<QWidget*> items) {
  auto* g = new QGroupBox(caption, parent);
  g->setObjectName(name);
  auto* l = new QVBoxLayout(g);
  for (QWidget* w : items) {
    w->setParent(g);
    l->addWidget(w);
  }
  return g;
}

}  // namespace

SiteEditorDialog::SiteEditorDialog(App& app, QWidget* parent)
    : SiteEditorDialog(app, std::make_unique<SiteEditorRules>(app, app.Sites()), parent) {}

SiteEditorDialog::SiteEditorDialog(App& app, std::unique_ptr<SiteEditorRules> editor, QWidget* parent)
    : QDialog(parent), app_(app), editor_(std::move(editor)) {
  if (!editor_) editor_ = std::make_unique<SiteEditorRules>(app_, app_.Sites());
  setObjectName("Frmsited");
  setWindowTitle(ToQString(editor_->Caption()));
  setModal(true);
  Build();
  Load(editor_->Initial());
}

SiteEditorDialog::~SiteEditorDialog() = default;

void SiteEditorDialog::Build() {
  // Lengths are the record's field lengths, so nothing typed is cut silently.
  name_ = Box(this, "Txtsitname", 30);
  name_->setValidator(new RuleValidator(&SiteEditorRules::FilterName, name_));
  address_ = Box(this, "Txtsitadd", 40);
  address_->installEventFilter(this);
  port_ = Box(this, "Txtsitport", 20);
  period_ = Box(this, "Txtsitper", 3);
  period_->setValidator(new RuleValidator(&SiteEditorRules::FilterPeriod, period_));
  comment_ = Box(this, "Txtcomment", 100);

  telnetPort_ = Named<QRadioButton>(this, "&Telnet", "Optportt");
  customPort_ = Named<QRadioButton>(this, "Custo&m", "Optportc");
  keepAlive_ = Named<QCheckBox>(this, "&Enabled", "Chkkeepen");
  useScript_ = Named<QCheckBox>(this, "&Use script", "Checkautoc");
  autoReconnect_ = Named<QCheckBox>(this, "Enab&le Auto Reconnection", "Checkautor");
  bridgeFrom_ = Named<QCheckBox>(this, "Bridge &From Remote", "Checkfrom");
  bridgeTo_ = Named<QCheckBox>(this, "Bridge To &Remote", "Checkto");
  ddeIn_ = Named<QCheckBox>(this, "DDE &in", "Chkddein");
  ddeOut_ = Named<QCheckBox>(this, "DDE &out", "Chkddeout");
  dxCluster_ = Named<QRadioButton>(this, "D&XCluster", "Optdxc");
  other_ = Named<QRadioButton>(this, "Ot&her", "Optoth");
  script_ = new QPlainTextEdit(this);
  script_->setObjectName("Textscript");
  script_->setLineWrapMode(QPlainTextEdit::NoWrap);

  // The two pairs of option buttons are independent of each other.
  auto* portGroup = new QButtonGroup(this);
  portGroup->addButton(telnetPort_);
  portGroup->addButton(customPort_);
  auto* typeGroup = new QButtonGroup(this);
  typeGroup->addButton(dxCluster_);
  typeGroup->addButton(other_);

  auto* edit = new QGroupBox("Edit Site", this);
  edit->setObjectName("Framsite");
  auto* fields = new QFormLayout;
  auto addRow = [&](const char* label, QWidget* box) {
    auto* l = new QLabel(label, edit);
    l->setBuddy(box);
    fields->addRow(l, box);
  };
  addRow("Site &Name", name_);
  addRow("Network &Address or Host Name", address_);

  auto* portFrame = Frame(edit, "Service Port", "Framport", {telnetPort_, customPort_, port_});
  auto* periodLabel = new QLabel("Minute&s:", edit);
  periodLabel->setBuddy(period_);
  auto* keepFrame = Frame(edit, "Keep Alive", "Framkeep", {keepAlive_, periodLabel, period_});
  auto* autoFrame = Frame(edit, "Automatic Connection", "Framauto", {useScript_, autoReconnect_});
  auto* bridgeFrame = Frame(edit, "Bridge", "Frambridge", {bridgeFrom_, bridgeTo_});
  auto* ddeFrame = Frame(edit, "DDE", "Framdde", {ddeIn_, ddeOut_});
  auto* typeFrame = Frame(edit, "Service Type", "Framtype", {dxCluster_, other_});
  auto* grid = new QGridLayout;
  grid->addWidget(portFrame, 0, 0);
  grid->addWidget(keepFrame, 0, 1);
  grid->addWidget(autoFrame, 0, 2);
  grid->addWidget(bridgeFrame, 1, 0);
  grid->addWidget(ddeFrame, 1, 1);
  grid->addWidget(typeFrame, 1, 2);

  auto* commentLabel = new QLabel("Comments", edit);
  commentLabel->setBuddy(comment_);
  auto* scriptLabel = new QLabel("Edit Scri&pt", edit);
  scriptLabel->setBuddy(script_);
  auto* editLayout = new QVBoxLayout(edit);
  editLayout->addLayout(fields);
  editLayout->addLayout(grid);
  editLayout->addWidget(commentLabel);
  editLayout->addWidget(comment_);
  editLayout->addWidget(scriptLabel);
  editLayout->addWidget(script_, 1);

  connect(customPort_, &QRadioButton::toggled, this, &SiteEditorDialog::UpdateEnables);
  connect(keepAlive_, &QCheckBox::toggled, this, &SiteEditorDialog::UpdateEnables);
  // clicked, not toggled: only the user's ticks warn, not the values loaded.
  for (QCheckBox* box : {useScript_, autoReconnect_}) {
    connect(box, &QCheckBox::clicked, this, [this, box](bool on) {
      if (on && !editor_->TickScriptOption(Fields().script)) box->setChecked(false);
    });
  }
  connect(bridgeFrom_, &QCheckBox::clicked, this, [this](bool on) {
    if (on && !editor_->TickBridgeFrom()) bridgeFrom_->setChecked(false);
  });
  connect(bridgeTo_, &QCheckBox::clicked, this, [this](bool on) {
    if (on && !editor_->TickBridgeTo()) bridgeTo_->setChecked(false);
  });

  auto* help = ui::NamedButton(this, "&Help", "Cmdhelp");
  auto* ok = ui::NamedButton(this, "OK", "Cmdsitok");
  auto* cancel = ui::NamedButton(this, "&Cancel", "Cmdsitecan");
  // Enter in the address box checks the address; it must not also press OK.
  for (QPushButton* b : {help, ok, cancel}) b->setAutoDefault(false);
  connect(help, &QPushButton::clicked, this, &SiteEditorDialog::ShowHelp);
  connect(ok, &QPushButton::clicked, this, &SiteEditorDialog::Ok);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* body = new QVBoxLayout;
  body->addWidget(edit);
  ui::LayOutWithButtons(this, body, {help, ok, cancel});
  resize(640, 560);
}

void SiteEditorDialog::Load(const SiteFields& f) {
  name_->setText(ToQString(f.name));
  address_->setText(ToQString(f.address));
  (f.customPort ? customPort_ : telnetPort_)->setChecked(true);
  port_->setText(ToQString(f.port));
  keepAlive_->setChecked(f.keepAlive);
  period_->setText(ToQString(f.keepAlivePeriod));
  useScript_->setChecked(f.useScript);
  autoReconnect_->setChecked(f.autoReconnect);
  bridgeFrom_->setChecked(f.bridgeFrom);
  bridgeTo_->setChecked(f.bridgeTo);
  ddeIn_->setChecked(f.ddeIn);
  ddeOut_->setChecked(f.ddeOut);
  (f.serviceOther ? other_ : dxCluster_)->setChecked(true);
  comment_->setText(ToQString(f.comment));
  shownScript_ = ui::FileTextToBox(f.script);
  script_->setPlainText(shownScript_);
  UpdateEnables();
}

SiteFields SiteEditorDialog::Fields() const {
  SiteFields f;
  f.name = FromQString(name_->text());
  f.address = FromQString(address_->text());
  f.customPort = customPort_->isChecked();
  f.port = FromQString(port_->text());
  f.keepAlive = keepAlive_->isChecked();
  f.keepAlivePeriod = FromQString(period_->text());
  f.useScript = useScript_->isChecked();
  f.autoReconnect = autoReconnect_->isChecked();
  f.bridgeFrom = bridgeFrom_->isChecked();
  f.bridgeTo = bridgeTo_->isChecked();
  f.ddeIn = ddeIn_->isChecked();
  f.ddeOut = ddeOut_->isChecked();
  f.serviceOther = other_->isChecked();
  f.comment = FromQString(comment_->text());
  // An untouched script goes back byte for byte, whatever its line ends were,
  // so opening and saving a site never rewrites its script.
  const QString text = script_->toPlainText();
  f.script = text == shownScript_ ? editor_->Initial().script : ui::BoxToFileText(text);
  return f;
}

void SiteEditorDialog::UpdateEnables() {
  const SiteFields f = Fields();
  port_->setEnabled(SiteEditorRules::PortBoxEnabled(f));
  period_->setEnabled(SiteEditorRules::PeriodBoxEnabled(f));
}

void SiteEditorDialog::Ok() {
  if (!editor_->Save(Fields()).empty()) return;
  accept();
}

void SiteEditorDialog::ShowHelp() { app_.Prompt().MessageBox(kHelpText, MsgIcon::Information); }

bool SiteEditorDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == address_ && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      editor_->CheckAddress(FromQString(address_->text()));
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace qn
