// "Fo&nts...": the font dialog offering fixed-pitch fonts only. Cancel changes
// nothing; a choice is stored, applied to the five windows and saved.
#pragma once

#include <QFont>

#include "core/frame_commands.h"

class QWidget;

namespace qn {

// The font the windows show for a stored choice: the system's fixed font
// stands in for a family this system does not have (the default "Fixedsys").
QFont ShownFont(const FontChoice& choice);

void ShowFontsDialog(FrameCommands& commands, QWidget* parent);

}  // namespace qn
