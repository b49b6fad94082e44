#include "ui/dialog_parts.h"

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

}  // namespace qn::ui
