#include "ui/info_windows.h"

#include <QFontDatabase>
#include <QPlainTextEdit>

#include "app/app.h"
#include "lookups/lookups.h"
#include "platform/qt/latin1.h"

namespace qn {

InfoWindows::InfoWindows(App& app, QMdiArea& area) : app_(&app), area_(area) {
  if (Lookups* lk = app.Lookup()) {
    lk->showInfo = [this](const InfoPage& p) { Show(p); };
    lk->raiseInfo = [this](const InfoPage& p) { Raise(p); };
  }
}

InfoWindows::~InfoWindows() { Detach(); }

void InfoWindows::Detach() {
  if (!app_) return;
  if (Lookups* lk = app_->Lookup()) {
    lk->showInfo = nullptr;
    lk->raiseInfo = nullptr;
  }
  app_ = nullptr;
}

QMdiSubWindow* InfoWindows::Window(const std::string& caption) const {
  auto it = windows_.find(caption);
  return it == windows_.end() ? nullptr : it->second.data();
}

void InfoWindows::Show(const InfoPage& page) {
  std::string text;
  for (const std::string& l : page.lines) text += l + "\n";
  auto* box = new QPlainTextEdit;
  box->setObjectName("Txtinfo");
  box->setReadOnly(true);
  box->setLineWrapMode(QPlainTextEdit::NoWrap);
  box->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  box->setPlainText(ToQString(text));
  auto* sub = area_.addSubWindow(box);
  sub->setObjectName("Frminfo");
  sub->setAttribute(Qt::WA_DeleteOnClose);
  sub->setWindowTitle(ToQString(page.caption));
  sub->resize(520, 180);
  std::string caption = page.caption;
  connect(sub, &QObject::destroyed, this, [this, caption] {
    windows_.erase(caption);
    if (app_ && app_->Lookup()) app_->Lookup()->InfoWindowClosed(caption);
  });
  windows_[caption] = sub;
  sub->show();
  area_.setActiveSubWindow(sub);
}

void InfoWindows::Raise(const InfoPage& page) {
  QMdiSubWindow* sub = Window(page.caption);
  if (!sub) {
    // The lookups still count it open but it went: show it afresh.
    Show(page);
    return;
  }
  if (sub->isMinimized()) sub->showNormal();
  area_.setActiveSubWindow(sub);
  sub->raise();
}

}  // namespace qn
