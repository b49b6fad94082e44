#pragma once
// Pieces every dialog of the program shares.
#include <QBoxLayout>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <initializer_list>
#include <string>

namespace qn::ui {

// A push button with the object name the rest of the program looks it up by.
QPushButton* NamedButton(QWidget* parent, const char* caption, const char* name);

// A labelled line edit added to a form, named for the tests that look it up.
QLineEdit* AddFormField(QWidget* frame, QFormLayout* form, const char* caption, const char* name,
                        const std::string& value, int minWidth);

// The body above, the buttons right-aligned in a row below it.
void LayOutWithButtons(QWidget* dialog, QLayout* body, std::initializer_list<QPushButton*> buttons);

// A multi-line box shows lines; the files it edits end them with CR LF.
QString FileTextToBox(const std::string& text);
std::string BoxToFileText(const QString& text);

}  // namespace qn::ui
