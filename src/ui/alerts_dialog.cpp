#include "ui/alerts_dialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/app.h"
#include "core/text.h"
#include "platform/qt/latin1.h"
#include "ui/dialog_parts.h"

namespace qn {

AlertsDialog::AlertsDialog(App& app, QWidget* parent)
    : QDialog(parent), app_(app), rules_(app.MakeAlertsRules()) {
  setObjectName("frmcfgal");
  setWindowTitle(kAlertsCaption);
  setModal(true);
  AlertFields f = rules_.Load();

  list_ = new QPlainTextEdit(ui::FileTextToBox(f.list), this);
  list_->setObjectName("Txtalert");
  enabled_ = new QCheckBox("&Enable Alert", this);
  enabled_->setObjectName("Chkalen");
  enabled_->setChecked(f.enabled);

  auto* soundFrame = new QGroupBox("Alert Sound File", this);
  soundFrame->setObjectName("Framalert");
  files_ = new QListWidget(soundFrame);
  files_->setObjectName("Filalert");
  for (const std::string& name : rules_.SoundFiles()) files_->addItem(ToQString(name));
  chosen_ = new QLabel(ToQString(f.soundFile), soundFrame);
  chosen_->setObjectName("Lblalert");
  connect(files_, &QListWidget::currentTextChanged, this,
          [this](const QString& name) { chosen_->setText(name.toLower()); });
  auto* soundLayout = new QVBoxLayout(soundFrame);
  soundLayout->addWidget(files_);
  soundLayout->addWidget(chosen_);

  auto* repLabel = new QLabel("&Repetitions", this);
  repetitions_ = new QLineEdit(ToQString(f.repetitions), this);
  repetitions_->setObjectName("Txtrep");
  repetitions_->installEventFilter(this);
  repLabel->setBuddy(repetitions_);
  lptSwitch_ = new QCheckBox("Enable &LPT switch", this);
  lptSwitch_->setObjectName("Chkswitch");
  lptSwitch_->setChecked(f.lptSwitch);

  auto* side = new QVBoxLayout;
  side->addWidget(enabled_);
  side->addWidget(soundFrame, 1);
  auto* repRow = new QHBoxLayout;
  repRow->addWidget(repLabel);
  repRow->addWidget(repetitions_);
  side->addLayout(repRow);
  side->addWidget(lptSwitch_);
  auto* body = new QHBoxLayout;
  body->addWidget(list_, 1);
  body->addLayout(side);

  auto* test = ui::NamedButton(this, "&Test", "Command3");
  auto* mail = ui::NamedButton(this, "Run Mailbell", "Command4");
  auto* save = ui::NamedButton(this, "&Save", "Command1");
  auto* cancel = ui::NamedButton(this, "&Cancel", "Command2");
  for (QPushButton* b : {test, mail, save, cancel}) b->setAutoDefault(false);
  connect(test, &QPushButton::clicked, this, &AlertsDialog::Test);
  connect(mail, &QPushButton::clicked, this, [this] { rules_.RunMailbell(); });
  connect(save, &QPushButton::clicked, this, &AlertsDialog::Save);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  ui::LayOutWithButtons(this, body, {test, mail, save, cancel});
}

AlertFields AlertsDialog::Fields() const {
  AlertFields f;
  f.list = ui::BoxToFileText(list_->toPlainText());
  f.enabled = enabled_->isChecked();
  f.soundFile = FromQString(chosen_->text());
  f.repetitions = FromQString(repetitions_->text());
  f.lptSwitch = lptSwitch_->isChecked();
  return f;
}

void AlertsDialog::Save() {
  rules_.Save(Fields());
  accept();
}

void AlertsDialog::Test() { rules_.Test(Fields()); }

bool AlertsDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == repetitions_ && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    QString text = key->text();
    if (!text.isEmpty() && !(key->modifiers() & Qt::ControlModifier)) {
      for (QChar ch : text)
        if (ch.unicode() > 0xFF || !AlertsRules::RepetitionKeyAllowed(static_cast<char>(ch.unicode())))
          return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace qn
