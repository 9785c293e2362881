// Hands the command line of a second start to the editor that is already
// running. The message is "89TL", a 32-bit little-endian length and the
// command line; the running editor replies "89TL" when it takes a file and
// four zero bytes when the line names none (a second window then starts).
#pragma once
#include <QLocalServer>
#include <QObject>
#include <QString>
#include <functional>
#include <string>

namespace trelmo::app {

inline constexpr char kHandOffMagic[4] = {'8', '9', 'T', 'L'};
constexpr int kMaxCommandLine = 65536;
constexpr int kMaxSocketPath = 100;

// The socket name of this user's editor on this display, in
// $XDG_RUNTIME_DIR when set (TRELMO_INSTANCE_NAME overrides it).
QString instanceName();

enum class HandOff { NoInstance, Taken, Declined };

// Sends `commandLine` to the running editor, if there is one, and waits for
// its reply (generously: a busy editor answers late, never wrongly).
HandOff handOff(const QString& name, const std::string& commandLine, int timeoutMs = 10000);

// Listens for later starts; `take` receives each command line and returns
// true when it names a file (the reply is sent before any file is opened).
class InstanceServer : public QObject {
 public:
  using Take = std::function<bool(const std::string& commandLine)>;
  InstanceServer(const QString& name, Take take, QObject* parent = nullptr);
  bool listening() const { return server_.isListening(); }

 private:
  void accept();
  QLocalServer server_;
  Take take_;
};

// The command line sent for the arguments of this start: every file name
// made absolute (the running editor has its own working folder) and quoted,
// options as given.
std::string handOffCommandLine(const QStringList& arguments);

}  // namespace trelmo::app
