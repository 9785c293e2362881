#include "app/single_instance.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocalSocket>
#include <QPointer>
#include <cstring>

namespace trelmo::app {

namespace {

QByteArray lengthBytes(uint32_t n) {
  QByteArray b(4, '\0');
  for (int i = 0; i < 4; ++i) b[i] = static_cast<char>((n >> (8 * i)) & 0xFF);
  return b;
}

uint32_t readLength(const QByteArray& b, int at) {
  uint32_t n = 0;
  for (int i = 0; i < 4; ++i) n |= static_cast<uint32_t>(static_cast<uint8_t>(b[at + i])) << (8 * i);
  return n;
}

}  // namespace

QString instanceName() {
  // Tests run editors side by side under names of their own.
  const QString forced = qEnvironmentVariable("TRELMO_INSTANCE_NAME");
  if (!forced.isEmpty()) return forced;
  // One editor per user and display: another display or login has its own.
  QString display = qEnvironmentVariable(QGuiApplication::platformName() == "wayland" ? "WAYLAND_DISPLAY" : "DISPLAY");
  if (display.isEmpty()) display = QGuiApplication::platformName();
  for (QChar& c : display)
    if (!c.isLetterOrNumber() && c != '.' && c != '-') c = '_';
  const QString name = QString("trelmo-%1-%2").arg(static_cast<qulonglong>(getuid())).arg(display);
  // In the user's own runtime folder when there is one (a socket path has
  // room for about a hundred characters).
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  const QString inRuntime = runtime + "/" + name;
  if (!runtime.isEmpty() && QFileInfo(runtime).isDir() && inRuntime.toLocal8Bit().size() < kMaxSocketPath)
    return inRuntime;
  return name;
}

std::string handOffCommandLine(const QStringList& arguments) {
  std::string line;
  for (const QString& a : arguments) {
    if (a.isEmpty()) continue;
    if (!line.empty()) line += ' ';
    if (a.startsWith('-')) {
      line += a.toStdString();
      continue;
    }
    line += '"' + QFileInfo(a).absoluteFilePath().toStdString() + '"';
  }
  return line;
}

HandOff handOff(const QString& name, const std::string& commandLine, int timeoutMs) {
  QLocalSocket socket;
  socket.connectToServer(name);
  if (!socket.waitForConnected(timeoutMs)) return HandOff::NoInstance;
  const size_t length = std::min(commandLine.size(), static_cast<size_t>(kMaxCommandLine));
  QByteArray message(kHandOffMagic, 4);
  message += lengthBytes(static_cast<uint32_t>(length));
  message += QByteArray(commandLine.data(), static_cast<qsizetype>(length));
  socket.write(message);
  if (!socket.waitForBytesWritten(timeoutMs)) return HandOff::Declined;
  QByteArray reply;
  while (reply.size() < 4 && socket.waitForReadyRead(timeoutMs)) reply += socket.read(4 - reply.size());
  return reply.size() == 4 && std::memcmp(reply.constData(), kHandOffMagic, 4) == 0 ? HandOff::Taken
                                                                                    : HandOff::Declined;
}

InstanceServer::InstanceServer(const QString& name, Take take, QObject* parent)
    : QObject(parent), take_(std::move(take)) {
  // The socket is never put over another one: an editor that answers keeps
  // its socket (this is a second window), one left behind by an editor that
  // crashed is removed first.
  if (!server_.listen(name)) {
    QLocalSocket probe;
    probe.connectToServer(name);
    if (probe.waitForConnected(1000)) return;
    QLocalServer::removeServer(name);
    if (!server_.listen(name)) return;
  }
  // Only this user may hand files over.
  QFile::setPermissions(server_.fullServerName(), QFile::ReadOwner | QFile::WriteOwner);
  connect(&server_, &QLocalServer::newConnection, this, &InstanceServer::accept);
}

void InstanceServer::accept() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    auto buffer = std::make_shared<QByteArray>();
    QPointer<QLocalSocket> guard(socket);
    connect(socket, &QLocalSocket::readyRead, this, [this, guard, buffer] {
      if (!guard) return;
      // Bounded: no more than the header and the longest command line.
      *buffer += guard->read(8 + kMaxCommandLine - buffer->size());
      if (buffer->size() < 8) return;
      if (std::memcmp(buffer->constData(), kHandOffMagic, 4) != 0) {
        guard->abort();
        return;
      }
      const uint32_t length = readLength(*buffer, 4);
      if (length > static_cast<uint32_t>(kMaxCommandLine)) {
        guard->write(QByteArray(4, '\0'));
        guard->disconnectFromServer();
        return;
      }
      if (buffer->size() < 8 + static_cast<qsizetype>(length)) return;
      const std::string line(buffer->constData() + 8, length);
      buffer->clear();
      const bool taken = take_ && take_(line);
      guard->write(taken ? QByteArray(kHandOffMagic, 4) : QByteArray(4, '\0'));
      guard->flush();
      guard->disconnectFromServer();
    });
  }
}

}  // namespace trelmo::app
