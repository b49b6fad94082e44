#include "flinger_app.h"

#include <QSaveFile>
#include <fstream>

namespace fl {

namespace {

constexpr std::size_t kMaxSettingsBytes = 64 * 1024;

std::optional<std::string> ReadSome(const std::filesystem::path& path, std::size_t limit) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string text(limit, '\0');
  in.read(text.data(), static_cast<std::streamsize>(limit));
  text.resize(static_cast<std::size_t>(in.gcount()));
  return text;
}

}  // namespace

FlingerApp::FlingerApp(std::filesystem::path dataFolder, std::filesystem::path executable)
    : data_(std::move(dataFolder)),
      executable_(std::move(executable)),
      exchange_(data_),
      udp_(),
      poker_(runtime_),
      engine_(terminal_, exchange_, udp_, poker_),
      endpoint_(runtime_, "flinger", "UDP", "Textin") {
  udp_.onDatagram = [this](const std::string& d) { engine_.Receive(d); };
  udp_.onError = [this](const std::string& e) { Message(e); };
  udp_.onSent = [this](const std::string& d) {
    if (onSent) onSent(d);
  };
  poker_.onNote = [this](const std::string& n) { Message(n); };
  endpoint_.onText = [this](const std::string& t) { engine_.TakeTextin(t); };
  poll_.setInterval(1000);
  connect(&poll_, &QTimer::timeout, this, [this] { engine_.PollExchange(); });
}

void FlingerApp::Message(const std::string& text) {
  if (onMessage) onMessage(text);
}

void FlingerApp::Load() {
  if (auto text = ReadSome(data_ / kSettingsFile, kMaxSettingsBytes)) settings_ = ParseSettings(*text);
  Controls& c = engine_.Boxes();
  c.host = settings_.host;
  c.broadcast = settings_.broadcast;
  c.ctNet = settings_.ctNet;
  c.fileExchange = settings_.fileExchange;
  ports_ = {std::to_string(settings_.localPort), std::to_string(settings_.remotePort), settings_.bindAddress};
  exchange_.SetUserFile(settings_.userFile);
  // On at start: the exchange starts empty, without asking for the file again.
  if (c.fileExchange) exchange_.Reset();
}

void FlingerApp::Open() {
  std::string problem = endpoint_.Start();
  if (!problem.empty()) Message(problem);
  OpenSocket();
  poll_.start();
}

void FlingerApp::OpenSocket() {
  bool open = udp_.Open(settings_);
  if (onAddress)
    onAddress(open ? "Your IP: " + udp_.LocalAddressText() + "  port " + std::to_string(udp_.LocalPort())
                   : "Your IP: (no socket)");
}

void FlingerApp::Apply() {
  const Controls& c = engine_.Boxes();
  FlingerSettings s;
  s.host = c.host;
  s.fileExchange = c.fileExchange;
  s.broadcast = c.broadcast;
  s.ctNet = c.ctNet;
  s.bindAddress = ports_.bind;
  s.userFile = exchange_.UserFile();
  // Port boxes of nonsense get the defaults, as a damaged file would.
  s.localPort = ParsePort(Trim(ports_.local), kDefaultPort);
  s.remotePort = ParsePort(Trim(ports_.remote), kDefaultPort);
  FlingerSettings parsed = ParseSettings(FormatSettings(s));
  settings_ = parsed;
  ports_ = {std::to_string(settings_.localPort), std::to_string(settings_.remotePort), settings_.bindAddress};

  QSaveFile file(QString::fromStdString((data_ / kSettingsFile).string()));
  std::string text = FormatSettings(settings_);
  if (!file.open(QIODevice::WriteOnly) || file.write(text.data(), static_cast<qint64>(text.size())) < 0 ||
      !file.commit()) {
    Message("Cannot write " + (data_ / kSettingsFile).string() + ": " + file.errorString().toStdString());
  }
  OpenSocket();
}

void FlingerApp::SwitchFileExchange(bool on, const std::string& userFile) {
  engine_.Boxes().fileExchange = on;
  if (!on) return;
  exchange_.SetUserFile(userFile);
  exchange_.Reset();
}

std::string FlingerApp::HelpText() const {
  std::filesystem::path dir = executable_.parent_path();
  for (const std::filesystem::path& p : {data_ / "flinger.txt", dir / "data" / "flinger.txt",
                                         dir.parent_path() / "share" / "flinger" / "flinger.txt"}) {
    if (auto text = ReadSome(p, 256 * 1024)) return *text;
  }
  return "The help text flinger.txt was not found beside the program.";
}

}  // namespace fl
