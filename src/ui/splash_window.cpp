#include "ui/splash_window.h"

#include <QFont>
#include <QLabel>
#include <QVBoxLayout>

namespace qn {

SplashWindow::SplashWindow(QWidget* parent)
    // Not Qt::SplashScreen: showing one of those runs pending events, and the
    // splash is shown from inside start-up.
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName("Frmld");
  setFixedSize(kWidth, kHeight);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(0, 0, 128));
  pal.setColor(QPalette::WindowText, Qt::white);
  setPalette(pal);
  auto* layout = new QVBoxLayout(this);
  auto* name = new QLabel("Quillnet", this);
  name->setObjectName("Lblname");
  QFont f = name->font();
  f.setPointSize(f.pointSize() + 6);
  f.setBold(true);
  name->setFont(f);
  name->setAlignment(Qt::AlignCenter);
  auto* version = new QLabel(QStringLiteral("version " QUILLNET_VERSION), this);
  version->setObjectName("Lblversion");
  version->setAlignment(Qt::AlignCenter);
  auto* what = new QLabel("DX-cluster client", this);
  what->setAlignment(Qt::AlignCenter);
  what->setWordWrap(true);
  layout->addStretch();
  layout->addWidget(name);
  layout->addWidget(version);
  layout->addWidget(what);
  layout->addStretch();
}

void SplashWindow::ShowCentredOn(const QRect& frame) {
  move(frame.center() - QPoint(kWidth / 2, kHeight / 2));
  show();
  raise();
}

}  // namespace qn
