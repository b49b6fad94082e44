#include "ui/sound_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QVBoxLayout>

#include "app/app.h"
#include "platform/qt/latin1.h"
#include "ui/dialog_parts.h"

namespace qn {

namespace {

QScrollBar* NamedScrollBar(QWidget* parent, const char* name, int min, int max, int value) {
  auto* bar = new QScrollBar(Qt::Horizontal, parent);
  bar->setObjectName(name);
  bar->setRange(min, max);
  bar->setValue(value);
  bar->setMinimumWidth(220);
  return bar;
}

}  // namespace

SoundDialog::SoundDialog(App& app, QWidget* parent) : QDialog(parent), rules_(app.MakeSoundRules()) {
  setObjectName("Frmcfgsnd");
  setWindowTitle("Quillnet: Sound Effects");
  setModal(true);
  SoundFields f = rules_.Load();

  auto* frame = new QGroupBox(kSoundFrameCaption, this);
  sounds_ = new QCheckBox("&Enable Sounds", frame);
  sounds_->setObjectName("Chksnd");
  sounds_->setChecked(f.sounds);
  voice_ = new QCheckBox("Enable &Voice Spelling", frame);
  voice_->setObjectName("Chkenv");
  voice_->setChecked(f.voiceSpelling);
  truncate_ = new QCheckBox("T&runcate frequency", frame);
  truncate_->setObjectName("Chktrunc");
  truncate_->setChecked(f.truncate);

  speed_ = NamedScrollBar(frame, "HScrspeed", SoundRules::kSpeedMin, SoundRules::kSpeedMax, f.speed);
  volume_ = NamedScrollBar(frame, "HScrvol", 0, SoundRules::kVolumeMax, f.volume);
  volume_->setSingleStep(500);
  volume_->setPageStep(2000);
  speedValue_ = new QLabel(ToQString(SoundRules::SpeedLabel(f.speed)), frame);
  speedValue_->setObjectName("Lblspeed");
  volumeValue_ = new QLabel(ToQString(SoundRules::VolumeLabel(f.volume)), frame);
  volumeValue_->setObjectName("Lblvol");
  auto* speedLabel = new QLabel("Speed &Factor", frame);
  speedLabel->setBuddy(speed_);
  auto* volumeLabel = new QLabel("Vol&ume", frame);
  volumeLabel->setBuddy(volume_);
  connect(speed_, &QScrollBar::valueChanged, this,
          [this](int v) { speedValue_->setText(ToQString(SoundRules::SpeedLabel(v))); });
  connect(volume_, &QScrollBar::valueChanged, this, [this](int v) {
    volumeValue_->setText(ToQString(SoundRules::VolumeLabel(v)));
    rules_.VolumeMoved(v);
  });

  auto* grid = new QGridLayout(frame);
  grid->addWidget(sounds_, 0, 0, 1, 3);
  grid->addWidget(voice_, 1, 0, 1, 3);
  grid->addWidget(truncate_, 2, 0, 1, 3);
  grid->addWidget(speedLabel, 3, 0);
  grid->addWidget(speed_, 3, 1);
  grid->addWidget(speedValue_, 3, 2);
  grid->addWidget(volumeLabel, 4, 0);
  grid->addWidget(volume_, 4, 1);
  grid->addWidget(volumeValue_, 4, 2);

  test_ = ui::NamedButton(this, "&Test", "Cmdtest");
  auto* save = ui::NamedButton(this, "&Save", "Cmdsav");
  auto* cancel = ui::NamedButton(this, "&Cancel", "Cmdcan");
  connect(test_, &QPushButton::clicked, this, [this] { rules_.Test(Fields()); });
  connect(save, &QPushButton::clicked, this, &SoundDialog::Save);
  connect(cancel, &QPushButton::clicked, this, &SoundDialog::reject);

  const bool enabled = rules_.VoiceControlsEnabled();
  for (QWidget* w : std::initializer_list<QWidget*>{sounds_, voice_, truncate_, speed_, volume_, test_})
    w->setEnabled(enabled);

  auto* body = new QVBoxLayout;
  body->addWidget(frame);
  ui::LayOutWithButtons(this, body, {test_, save, cancel});
}

SoundFields SoundDialog::Fields() const {
  return {sounds_->isChecked(), voice_->isChecked(), truncate_->isChecked(), speed_->value(),
          volume_->value()};
}

void SoundDialog::Save() {
  rules_.Save(Fields());
  accept();
}

void SoundDialog::reject() {
  rules_.Cancel();
  QDialog::reject();
}

}  // namespace qn
