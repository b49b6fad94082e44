// One running flinger: the settings file, the rules, the UDP socket, the
// local-link endpoint and client, and the one-second exchange poll. Both the
// window and the console drive it.
#pragma once

#include <QObject>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "core/flinger.h"
#include "core/settings.h"
#include "ipc_endpoint.h"
#include "ipc_poker.h"
#include "runtime_folder.h"
#include "udp_link.h"

namespace fl {

inline constexpr const char* kAppTitle = "Quillnet UDP Broadcast Utility";
inline constexpr const char* kSettingsFile = "FLINGER.CFG";
inline constexpr const char* kUserFilePrompt = "Enter The full file exchange path\\filename";

// The text boxes that "Apply" takes into the settings.
struct PortBoxes {
  std::string local;
  std::string remote;
  std::string bind;
};

class FlingerApp : public QObject {
  Q_OBJECT

 public:
  FlingerApp(std::filesystem::path dataFolder, std::filesystem::path executable);

  // Front-end hooks: a message box, the "Your IP:" label, a datagram that left.
  std::function<void(const std::string&)> onMessage;
  std::function<void(const std::string&)> onAddress;
  std::function<void(const std::string&)> onSent;

  // Reads FLINGER.CFG into the boxes; then Open starts the links and the socket.
  void Load();
  void Open();
  void Apply();
  // The user ticked or cleared "File exchange"; switching it on, the front
  // end has asked for the user exchange file (kUserFilePrompt, "File Path",
  // UserFile() as the default; an empty text when cancelled).
  void SwitchFileExchange(bool on, const std::string& userFile = "");
  const std::string& UserFile() const { return exchange_.UserFile(); }

  Flinger& Engine() { return engine_; }
  Terminal& Term() { return terminal_; }
  Controls& Boxes() { return engine_.Boxes(); }
  PortBoxes& Ports() { return ports_; }
  const FlingerSettings& Stored() const { return settings_; }
  // The help text shipped as flinger.txt (the data folder's copy first).
  std::string HelpText() const;

 private:
  void OpenSocket();
  void Message(const std::string& text);

  std::filesystem::path data_, executable_;
  FlingerSettings settings_;
  PortBoxes ports_;
  Terminal terminal_;
  ExchangeFolders exchange_;
  RuntimeFolder runtime_;
  UdpLink udp_;
  IpcPoker poker_;
  Flinger engine_;
  IpcEndpoint endpoint_;
  QTimer poll_;
};

}  // namespace fl
