#include "ui/colours_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/app.h"
#include "ui/dialog_parts.h"
#include "ui/main_frame.h"

namespace qn {

ColoursDialogWindow::ColoursDialogWindow(App& app, QWidget* parent)
    : QDialog(parent), app_(app), rules_(app.Settings()) {
  setObjectName("Frmcfgcl");
  setWindowTitle("Quillnet: Colours");
  setModal(true);
  auto* frame = new QGroupBox(ColoursRules::kCaption, this);
  auto* grid = new QGridLayout(frame);
  for (int i = 0; i < 5; ++i) {
    ColourSampleInfo info = SampleInfo(static_cast<ColourSample>(i));
    auto* sample = new QLabel(info.caption, frame);
    sample->setObjectName(info.name);
    sample->setAutoFillBackground(true);
    sample->setFrameShape(QFrame::Box);
    sample->setMargin(6);
    sample->setCursor(Qt::PointingHandCursor);
    sample->installEventFilter(this);
    samples_[static_cast<std::size_t>(i)] = sample;
    grid->addWidget(sample, i, 0);
  }
  const char* names[3] = {"HScrollr", "HScrollg", "HScrollb"};
  const char* labels[3] = {"Red", "Green", "Blue"};
  for (int i = 0; i < 3; ++i) {
    auto* bar = new QScrollBar(Qt::Horizontal, frame);
    bar->setObjectName(names[i]);
    bar->setRange(0, 255);
    bar->setMinimumWidth(200);
    auto* value = new QLabel(frame);
    value->setObjectName(QString("Lbl") + names[i]);
    value->setMinimumWidth(30);
    grid->addWidget(new QLabel(labels[i], frame), i, 1);
    grid->addWidget(bar, i, 2);
    grid->addWidget(value, i, 3);
    bars_[static_cast<std::size_t>(i)] = bar;
    values_[static_cast<std::size_t>(i)] = value;
    connect(bar, &QScrollBar::valueChanged, this, &ColoursDialogWindow::BarsMoved);
  }
  patch_ = new QFrame(frame);
  patch_->setObjectName("Shape1");
  patch_->setFrameShape(QFrame::Box);
  patch_->setAutoFillBackground(true);
  patch_->setMinimumSize(60, 40);
  grid->addWidget(patch_, 3, 2, 2, 1);

  auto* fore = ui::NamedButton(this, ColoursRules::kForeground, "Cmdfore");
  auto* back = ui::NamedButton(this, ColoursRules::kBackground, "Cmdback");
  auto* save = ui::NamedButton(this, ColoursRules::kSave, "Cmdsav");
  auto* cancel = ui::NamedButton(this, ColoursRules::kCancel, "Cmdcan");
  connect(fore, &QPushButton::clicked, this, [this] {
    rules_.Foreground();
    ShowSamples();
  });
  connect(back, &QPushButton::clicked, this, [this] {
    rules_.Background();
    ShowSamples();
  });
  connect(save, &QPushButton::clicked, this, [this] {
    rules_.Save(app_, app_.TrafficWin());
    accept();
  });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* body = new QVBoxLayout;
  body->addWidget(frame);
  ui::LayOutWithButtons(this, body, {fore, back, save, cancel});
  ShowSamples();
  ShowBars();
}

bool ColoursDialogWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress) {
    for (std::size_t i = 0; i < samples_.size(); ++i) {
      if (watched != samples_[i]) continue;
      rules_.SelectSample(static_cast<ColourSample>(i));
      ShowBars();
      ShowSamples();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void ColoursDialogWindow::ShowSamples() {
  for (std::size_t i = 0; i < samples_.size(); ++i) {
    const ColourPair& c = rules_.Sample(static_cast<ColourSample>(i));
    QPalette pal = samples_[i]->palette();
    pal.setColor(QPalette::Window, FromBgr(c.back));
    pal.setColor(QPalette::WindowText, FromBgr(c.text));
    samples_[i]->setPalette(pal);
    // The current sample stands out by its thicker frame.
    samples_[i]->setLineWidth(static_cast<ColourSample>(i) == rules_.Current() ? 3 : 1);
  }
}

void ColoursDialogWindow::ShowBars() {
  settingBars_ = true;
  bars_[0]->setValue(rules_.Red());
  bars_[1]->setValue(rules_.Green());
  bars_[2]->setValue(rules_.Blue());
  settingBars_ = false;
  BarsMoved();
}

void ColoursDialogWindow::BarsMoved() {
  if (settingBars_) return;
  rules_.SetRed(bars_[0]->value());
  rules_.SetGreen(bars_[1]->value());
  rules_.SetBlue(bars_[2]->value());
  for (std::size_t i = 0; i < 3; ++i) values_[i]->setNum(bars_[i]->value());
  QPalette pal = patch_->palette();
  pal.setColor(QPalette::Window, FromBgr(rules_.Mixed()));
  patch_->setPalette(pal);
}

}  // namespace qn
