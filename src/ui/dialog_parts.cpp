#include "ui/dialog_parts.h"

#include <QLabel>

#include "platform/qt/latin1.h"

namespace qn::ui {

QPushButton* NamedButton(QWidget* parent, const char* caption, const char* name) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  return b;
}

QLineEdit* AddFormField(QWidget* frame, QFormLayout* form, const char* caption, const char* name,
                        const std::string& value, int minWidth) {
  auto* edit = new QLineEdit(ToQString(value), frame);
  edit->setObjectName(name);
  edit->setMinimumWidth(minWidth);
  auto* label = new QLabel(caption, frame);
  label->setBuddy(edit);
  form->addRow(label, edit);
  return edit;
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
