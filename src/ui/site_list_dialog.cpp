#include "ui/site_list_dialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/app.h"
#include "core/site_editor_rules.h"
#include "core/site_list.h"
#include "platform/qt/latin1.h"
#include "ui/dialog_parts.h"
#include "ui/site_editor_dialog.h"

namespace qn {

SiteListDialog::SiteListDialog(App& app, QWidget* parent) : QDialog(parent), app_(app) {
  list_ = app_.Sites();
  if (!list_) {
    own_ = std::make_unique<SiteList>(app_);
    list_ = own_.get();
  }
  // Filled again here: the site file may have changed since the model was last shown.
  list_->Show();

  setObjectName("frmsite");
  setWindowTitle(SiteList::kCaption);
  setModal(true);

  names_ = new QListWidget(this);
  names_->setObjectName("Listsite");
  names_->setSelectionMode(QAbstractItemView::SingleSelection);
  names_->installEventFilter(this);
  connect(names_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (rendering_) return;
    list_->Select(row);
    comment_->setText(ToQString(list_->Comment()));
  });

  auto* frame = new QGroupBox("Comments", this);
  frame->setObjectName("Framcomment");
  comment_ = new QLabel(frame);
  comment_->setObjectName("Labcomment");
  comment_->setWordWrap(true);
  comment_->setTextFormat(Qt::PlainText);
  comment_->setMinimumHeight(40);
  (new QVBoxLayout(frame))->addWidget(comment_);

  auto* side = new QVBoxLayout;
  auto* add = ui::NamedButton(this, "&New", "Cmdsitnew");
  auto* edit = ui::NamedButton(this, "&Edit", "Cmdsitedit");
  auto* del = ui::NamedButton(this, "&Delete", "Cmdsitdel");
  for (QPushButton* b : {add, edit, del}) {
    b->setAutoDefault(false);
    side->addWidget(b);
  }
  side->addStretch();
  auto* top = new QHBoxLayout;
  top->addWidget(names_, 1);
  top->addLayout(side);
  auto* body = new QVBoxLayout;
  body->addLayout(top);
  body->addWidget(frame);

  auto* ok = ui::NamedButton(this, "OK", "Cmdsitok");
  auto* cancel = ui::NamedButton(this, "&Cancel", "Cmdsitecan");
  // Enter belongs to the list's filter; no button is a hidden default.
  ok->setAutoDefault(false);
  cancel->setAutoDefault(false);
  connect(ok, &QPushButton::clicked, this, &SiteListDialog::Ok);
  connect(cancel, &QPushButton::clicked, this, &SiteListDialog::reject);
  connect(add, &QPushButton::clicked, this, &SiteListDialog::New);
  connect(edit, &QPushButton::clicked, this, &SiteListDialog::Edit);
  connect(del, &QPushButton::clicked, this, &SiteListDialog::Delete);
  ui::LayOutWithButtons(this, body, {ok, cancel});
  resize(360, 320);
  Render();
  names_->setFocus();
}

SiteListDialog::~SiteListDialog() = default;

void SiteListDialog::Render() {
  rendering_ = true;
  names_->clear();
  for (const std::string& n : list_->Names()) names_->addItem(ToQString(n));
  names_->setCurrentRow(list_->SelectedIndex());
  rendering_ = false;
  comment_->setText(ToQString(list_->Comment()));
}

void SiteListDialog::Ok() {
  if (list_->SelectedIndex() < 0) return;
  // The dialog is gone before the connect starts (which may wait for the node).
  done(QDialog::Accepted);
  if (!list_->Ok()) list_->Cancel();
}

void SiteListDialog::reject() {
  list_->Cancel();
  QDialog::reject();
}

void SiteListDialog::RunEditor(std::unique_ptr<SiteEditorRules> editor) {
  if (!editor) return;
  SiteEditorDialog dlg(app_, std::move(editor), this);
  dlg.exec();
  // A save refreshed the model and selected the saved site.
  Render();
}

void SiteListDialog::New() { RunEditor(list_->New()); }

void SiteListDialog::Edit() { RunEditor(list_->Edit()); }

void SiteListDialog::Delete() {
  if (list_->Delete()) Render();
}

bool SiteListDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == names_ && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      Ok();
      return true;
    }
    if (key->key() == Qt::Key_Escape) {
      reject();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace qn
