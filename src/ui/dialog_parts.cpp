#include "ui/dialog_parts.h"

#include "platform/qt/latin1.h"

namespace qn::ui {

QPushButton* NamedButton(QWidget* parent, const char* caption, const char* name) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  return b;
}

void LayOutWithButtons(QWidget* dialog, QLayout* body, std::initializer_list<QPushButton*> buttons) {
  auto* row = new QHBoxLayout;
  row->addStretch();
  for (QPushButton* b : buttons) row->addWidget(b);
  auto* layout = new QVBoxLayout(dialog);
  layout->addLayout(body);
  layout->addLayout(row);
}

QString FileTextToBox(const std::string& text) {
  QString s = ToQString(text);
  s.replace("\r\n", "\n");
  s.replace('\r', '\n');
  return s;
}

std::string BoxToFileText(const QString& text) {
  QString s = text;
  s.replace('\n', "\r\n");
  return FromQString(s);
}

}  // namespace qn::ui
