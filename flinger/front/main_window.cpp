#include "main_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace fl {

namespace {

QString Latin1(const std::string& s) {
  return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}
std::string Bytes(const QString& s) { return s.toLatin1().toStdString(); }

QLineEdit* Box(QWidget* parent, const char* name, const std::string& text) {
  auto* e = new QLineEdit(Latin1(text), parent);
  e->setObjectName(name);
  return e;
}

}  // namespace

MainWindow::MainWindow(FlingerApp& app) : app_(app) {
  setWindowTitle("Quillnet UDP broadcast");
  setObjectName("Form1");
  const Controls& c = app_.Boxes();
  host_ = Box(this, "HostName", c.host);
  sendLine_ = Box(this, "Text1", "");
  header_ = Box(this, "Txtheader", c.header);
  header_->setMaximumWidth(60);
  local_ = Box(this, "Txtlocal", app_.Ports().local);
  remote_ = Box(this, "Txtremote", app_.Ports().remote);
  bind_ = Box(this, "Txtbind", app_.Ports().bind);
  terminal_ = new QPlainTextEdit(this);
  terminal_->setObjectName("Text2");
  terminal_->setReadOnly(true);
  terminal_->setFont(QFont("Monospace"));
  terminal_->setMinimumSize(560, 240);
  terminal_->setPlainText(Latin1(app_.Term().Text()));
  address_ = new QLabel(this);
  address_->setObjectName("Label2");
  file_ = new QCheckBox("File exchange", this);
  file_->setObjectName("Chkfile");
  file_->setChecked(c.fileExchange);
  broad_ = new QCheckBox("Broadcast", this);
  broad_->setObjectName("Chkbroad");
  broad_->setChecked(c.broadcast);
  ctNet_ = new QCheckBox("CT net protocol", this);
  ctNet_->setObjectName("Chkadd");
  ctNet_->setChecked(c.ctNet);

  auto* form = new QGridLayout;
  form->addWidget(new QLabel("Send to", this), 0, 0);
  form->addWidget(host_, 0, 1);
  form->addWidget(new QLabel("Header", this), 0, 2);
  form->addWidget(header_, 0, 3);
  form->addWidget(new QLabel("Local Port", this), 1, 0);
  form->addWidget(local_, 1, 1);
  form->addWidget(new QLabel("Remote Port", this), 1, 2);
  form->addWidget(remote_, 1, 3);
  form->addWidget(new QLabel("Bind address:", this), 2, 0);
  form->addWidget(bind_, 2, 1);
  form->addWidget(address_, 2, 2, 1, 2);
  auto* checks = new QHBoxLayout;
  checks->addWidget(file_);
  checks->addWidget(broad_);
  checks->addWidget(ctNet_);
  checks->addStretch();
  auto* sendRow = new QHBoxLayout;
  sendRow->addWidget(new QLabel("Send string:", this));
  sendRow->addWidget(sendLine_);
  auto* buttons = new QHBoxLayout;
  auto button = [&](const char* name, const char* text) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(name);
    b->setAutoDefault(false);
    buttons->addWidget(b);
    return b;
  };
  QPushButton* close = button("Command1", "Close");
  QPushButton* test = button("Command2", "Send test spot");
  QPushButton* apply = button("Command3", "Apply");
  QPushButton* help = button("Command4", "Help");
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(checks);
  layout->addLayout(sendRow);
  layout->addWidget(terminal_, 1);
  layout->addLayout(buttons);

  Controls& boxes = app_.Boxes();
  connect(host_, &QLineEdit::textChanged, this, [&boxes](const QString& t) { boxes.host = Bytes(t); });
  connect(header_, &QLineEdit::textChanged, this, [&boxes](const QString& t) { boxes.header = Bytes(t); });
  connect(local_, &QLineEdit::textChanged, this, [this](const QString& t) { app_.Ports().local = Bytes(t); });
  connect(remote_, &QLineEdit::textChanged, this,
          [this](const QString& t) { app_.Ports().remote = Bytes(t); });
  connect(bind_, &QLineEdit::textChanged, this, [this](const QString& t) { app_.Ports().bind = Bytes(t); });
  connect(broad_, &QCheckBox::toggled, this, [&boxes](bool on) { boxes.broadcast = on; });
  connect(ctNet_, &QCheckBox::toggled, this, [&boxes](bool on) { boxes.ctNet = on; });
  // Clicked, not toggled: only the user's own tick asks for the file.
  connect(file_, &QCheckBox::clicked, this, [this](bool on) { FileExchangeClicked(on); });
  connect(sendLine_, &QLineEdit::returnPressed, this, [this] {
    app_.Engine().SendTyped(Bytes(sendLine_->text()));
    sendLine_->clear();
  });
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  connect(test, &QPushButton::clicked, this, [this] { app_.Engine().SendTestSpot(); });
  connect(apply, &QPushButton::clicked, this, [this] {
    app_.Apply();
    local_->setText(Latin1(app_.Ports().local));
    remote_->setText(Latin1(app_.Ports().remote));
  });
  connect(help, &QPushButton::clicked, this, [this] { ShowHelp(); });

  flush_.setInterval(100);
  flush_.setSingleShot(true);
  connect(&flush_, &QTimer::timeout, this, [this] { FlushTerminal(); });
  app_.Term().SetListener({[this] {
                             pending_.clear();
                             clearPending_ = true;
                             if (!flush_.isActive()) flush_.start();
                           },
                           [this](const std::string& text) {
                             pending_ += Latin1(text);
                             if (!flush_.isActive()) flush_.start();
                           }});
  app_.onMessage = [this](const std::string& m) { ShowMessage(m); };
  app_.onAddress = [this](const std::string& a) { address_->setText(Latin1(a)); };
}

MainWindow::~MainWindow() {
  app_.Term().SetListener({});
  app_.onMessage = nullptr;
  app_.onAddress = nullptr;
  delete help_;
}

void MainWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  QCoreApplication::quit();
}

void MainWindow::FlushTerminal() {
  if (clearPending_) terminal_->clear();
  clearPending_ = false;
  if (pending_.isEmpty()) return;
  QTextCursor cursor(terminal_->document());
  cursor.movePosition(QTextCursor::End);
  QString text = pending_;
  text.replace("\r\n", "\n");
  cursor.insertText(text);
  pending_.clear();
  terminal_->ensureCursorVisible();
}

// Errors come as they come (a host that cannot be reached fails every send):
// one box at a time, showing the latest.
void MainWindow::ShowMessage(const std::string& text) {
  if (message_) {
    message_->setText(Latin1(text));
    return;
  }
  message_ = new QMessageBox(QMessageBox::Warning, windowTitle(), Latin1(text), QMessageBox::Ok, this);
  message_->setAttribute(Qt::WA_DeleteOnClose);
  message_->show();
}

void MainWindow::FileExchangeClicked(bool on) {
  if (!on) return app_.SwitchFileExchange(false);
  bool ok = false;
  QString file = QInputDialog::getText(this, "File Path", kUserFilePrompt, QLineEdit::Normal,
                                       Latin1(app_.UserFile()), &ok);
  app_.SwitchFileExchange(true, ok ? Bytes(file) : "");
}

void MainWindow::ShowHelp() {
  if (help_) {
    help_->raise();
    help_->activateWindow();
    return;
  }
  auto* view = new QPlainTextEdit;
  view->setAttribute(Qt::WA_DeleteOnClose);
  view->setWindowTitle("flinger help");
  view->setReadOnly(true);
  view->setFont(QFont("Monospace"));
  view->setPlainText(Latin1(app_.HelpText()));
  view->resize(640, 480);
  view->show();
  help_ = view;
}

}  // namespace fl
