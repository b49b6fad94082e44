#include "ui/filter_dialog.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/app.h"
#include "platform/qt/latin1.h"
#include "ui/dialog_parts.h"

namespace qn {

FilterDialog::FilterDialog(App& app, QWidget* parent)
    : QDialog(parent), app_(app), rules_(app.MakeFilterRules()) {
  setObjectName("frmcfgfl");
  setWindowTitle(kFilterDialogCaption);
  setModal(true);
  FilterFields f = rules_.Load();

  ranges_ = new QGroupBox("Exclusion Ranges", this);
  ranges_->setObjectName("Framfilter");
  auto* grid = new QGridLayout(ranges_);
  grid->addWidget(new QLabel("Lower limit", ranges_), 0, 1);
  grid->addWidget(new QLabel("Upper limit", ranges_), 0, 2);
  for (int i = 0; i < 10; ++i) {
    auto idx = static_cast<std::size_t>(i);
    grid->addWidget(new QLabel(QString("Range%1").arg(i + 1), ranges_), i + 1, 0);
    low_[idx] = new QLineEdit(ToQString(f.low[idx]), ranges_);
    low_[idx]->setObjectName(QString("Tl_%1").arg(i));
    high_[idx] = new QLineEdit(ToQString(f.high[idx]), ranges_);
    high_[idx]->setObjectName(QString("Th_%1").arg(i));
    low_[idx]->installEventFilter(this);
    high_[idx]->installEventFilter(this);
    grid->addWidget(low_[idx], i + 1, 1);
    grid->addWidget(high_[idx], i + 1, 2);
  }

  areaEditor_ = new QPlainTextEdit(this);
  areaEditor_->setObjectName("Txtfilter");
  areaEditor_->hide();

  auto* selectLabel = new QLabel("Select only DX spots containing these words:", this);
  select_ = new QLineEdit(ToQString(f.selectWords), this);
  select_->setObjectName("Txtselfilter");
  auto* rejectLabel = new QLabel("Reject DX spots containing these words:", this);
  reject_ = new QLineEdit(ToQString(f.rejectWords), this);
  reject_->setObjectName("Txtrejfilter");
  dxDe_ = new QCheckBox("&Enable \"DX de ...\" Filter", this);
  dxDe_->setObjectName("Chkde");
  dxDe_->setChecked(f.dxDeFilter);
  // Only a tick by the user is checked against the file; loading is not.
  connect(dxDe_, &QCheckBox::clicked, this, [this](bool on) { dxDe_->setChecked(rules_.TickDxDe(on)); });
  auto* areaButton = ui::NamedButton(this, "&Area list", "Cmdfilter");
  connect(areaButton, &QPushButton::clicked, this, &FilterDialog::ShowAreaList);
  rejectOld_ = new QCheckBox("&Reject old DX Spots", this);
  rejectOld_->setObjectName("Chkrejold");
  rejectOld_->setChecked(f.rejectOld);

  auto* body = new QVBoxLayout;
  body->addWidget(ranges_);
  body->addWidget(areaEditor_, 1);
  body->addWidget(selectLabel);
  body->addWidget(select_);
  body->addWidget(rejectLabel);
  body->addWidget(reject_);
  auto* areaRow = new QHBoxLayout;
  areaRow->addWidget(dxDe_);
  areaRow->addWidget(areaButton);
  body->addLayout(areaRow);
  body->addWidget(rejectOld_);

  auto* save = ui::NamedButton(this, "&Save", "Command1");
  auto* cancel = ui::NamedButton(this, "&Cancel", "Command2");
  save->setAutoDefault(false);
  cancel->setAutoDefault(false);
  connect(save, &QPushButton::clicked, this, &FilterDialog::Save);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  ui::LayOutWithButtons(this, body, {save, cancel});
}

FilterFields FilterDialog::Fields() const {
  FilterFields f;
  for (std::size_t i = 0; i < 10; ++i) {
    f.low[i] = FromQString(low_[i]->text());
    f.high[i] = FromQString(high_[i]->text());
  }
  f.selectWords = FromQString(select_->text());
  f.rejectWords = FromQString(reject_->text());
  f.dxDeFilter = dxDe_->isChecked();
  f.rejectOld = rejectOld_->isChecked();
  return f;
}

void FilterDialog::ShowAreaList() {
  areaEditor_->setPlainText(ui::FileTextToBox(rules_.OpenAreaList()));
  ranges_->hide();
  areaEditor_->show();
  areaEditor_->setFocus();
}

void FilterDialog::Save() {
  if (rules_.AreaListShown()) {
    if (rules_.SaveAreaList(ui::BoxToFileText(areaEditor_->toPlainText()))) {
      areaEditor_->hide();
      ranges_->show();
    }
    return;
  }
  rules_.Save(Fields());
  accept();
}

bool FilterDialog::eventFilter(QObject* watched, QEvent* event) {
  // Enter in a range box moves on as Tab does.
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      focusNextChild();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace qn
