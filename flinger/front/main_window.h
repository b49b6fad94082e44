// The window "Quillnet UDP broadcast".
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "qt/flinger_app.h"

class QMessageBox;

namespace fl {

class MainWindow : public QWidget {
  Q_OBJECT

 public:
  explicit MainWindow(FlingerApp& app);
  ~MainWindow() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void ShowMessage(const std::string& text);
  void FlushTerminal();
  void ShowHelp();
  void FileExchangeClicked(bool on);

  FlingerApp& app_;
  QLineEdit* host_;
  QLineEdit* sendLine_;
  QPlainTextEdit* terminal_;
  QLineEdit* header_;
  QLabel* address_;
  QLineEdit* local_;
  QLineEdit* remote_;
  QLineEdit* bind_;
  QCheckBox* file_;
  QCheckBox* broad_;
  QCheckBox* ctNet_;
  // Appends are gathered and shown about ten times a second, so a storm of
  // datagrams does not repaint the box for each one.
  QString pending_;
  bool clearPending_ = false;
  QTimer flush_;
  QPointer<QMessageBox> message_;
  QPointer<QWidget> help_;
};

}  // namespace fl
