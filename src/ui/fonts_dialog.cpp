#include "ui/fonts_dialog.h"

#include <QFontDatabase>
#include <QFontDialog>

#include "platform/qt/latin1.h"

namespace qn {

QFont ShownFont(const FontChoice& choice) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  const QString family = ToQString(FrameCommands::ShownFamily(choice.name));
  if (!family.isEmpty() && QFontDatabase::families().contains(family, Qt::CaseInsensitive))
    font.setFamily(family);
  if (choice.size > 0) font.setPointSize(choice.size);
  font.setBold(choice.bold);
  font.setItalic(choice.italic);
  // Fixed-pitch Latin-1 text has nothing to shape; shaping every line was a
  // large part of the window's work under a flood.
  font.setStyleStrategy(QFont::PreferNoShaping);
  return font;
}

void ShowFontsDialog(FrameCommands& commands, QWidget* parent) {
  QFontDialog dialog(ShownFont(commands.CurrentFont()), parent);
  dialog.setObjectName("fontdialog");
  dialog.setWindowTitle(FrameCommands::kFontDialogTitle);
  dialog.setOption(QFontDialog::MonospacedFonts, true);
  if (dialog.exec() != QDialog::Accepted) return;
  QFont f = dialog.selectedFont();
  FontChoice choice;
  choice.name = FromQString(f.family());
  choice.size = f.pointSize() > 0 ? f.pointSize() : commands.CurrentFont().size;
  choice.bold = f.bold();
  choice.italic = f.italic();
  commands.ChooseFont(choice);
}

}  // namespace qn
