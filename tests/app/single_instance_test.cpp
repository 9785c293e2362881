// Single-instance hand-off: the protocol between two processes and hostile
// messages. The real editor taking files from later starts is tested on a
// real X server (RealKeys.FilesGoToTheFirstWindowEvenAfterASecondOneClosed).
#include "app/single_instance.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QEventLoop>
#include <QLocalSocket>
#include <QProcess>
#include <QUuid>

#include "app_test_support.h"
#include "shell/command_line.h"

namespace trelmo::app {
namespace {

QString uniqueName() { return "trelmo-test-" + QUuid::createUuid().toString(QUuid::Id128).left(12); }

// The client half runs in a second process: this test program started again
// with the filter below and the socket name and line in its environment.
TEST(HandOffChild, Client) {
  const QString name = qEnvironmentVariable("HANDOFF_NAME");
  if (name.isEmpty()) GTEST_SKIP() << "runs only as the second process";
  const HandOff r = handOff(name, qEnvironmentVariable("HANDOFF_LINE").toStdString());
  std::printf("RESULT=%d\n", static_cast<int>(r));
}

HandOff runClient(const QString& name, const QString& line) {
  QProcess child;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("HANDOFF_NAME", name);
  env.insert("HANDOFF_LINE", line);
  child.setProcessEnvironment(env);
  QEventLoop loop;
  QObject::connect(&child, &QProcess::finished, &loop, &QEventLoop::quit);
  child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=HandOffChild.Client"});
  if (!child.waitForStarted(20000)) return HandOff::NoInstance;
  QTimer::singleShot(60000, &loop, &QEventLoop::quit);
  loop.exec();  // the server in this process answers meanwhile
  const QString out = QString::fromUtf8(child.readAllStandardOutput());
  const qsizetype at = out.indexOf("RESULT=");
  EXPECT_GE(at, 0) << out.toStdString();
  return at < 0 ? HandOff::NoInstance : static_cast<HandOff>(out.mid(at + 7, 1).toInt());
}

TEST(HandOff, ARunningEditorTakesALineWithAFileAndDeclinesOneWithout) {
  const QString name = uniqueName();
  std::vector<std::string> received;
  InstanceServer server(name, [&](const std::string& line) {
    received.push_back(line);
    return !parseCommandLine(line).files.empty();
  });
  ASSERT_TRUE(server.listening());
  EXPECT_EQ(runClient(name, "\"/tmp/my board.pcb\""), HandOff::Taken);
  EXPECT_EQ(runClient(name, ""), HandOff::Declined);
  EXPECT_EQ(runClient(name, "-s1"), HandOff::Declined);
  EXPECT_EQ(received, (std::vector<std::string>{"\"/tmp/my board.pcb\"", "", "-s1"}));
}

TEST(HandOff, NobodyListeningMeansNoInstance) {
  EXPECT_EQ(handOff(uniqueName(), "\"a.pcb\"", 2000), HandOff::NoInstance);
}

// Sends raw bytes and returns what the server replied before closing.
QByteArray exchange(const QString& name, const QByteArray& bytes) {
  QLocalSocket socket;
  socket.connectToServer(name);
  EXPECT_TRUE(testing::waitFor([&] { return socket.state() == QLocalSocket::ConnectedState; }));
  socket.write(bytes);
  QByteArray reply;
  testing::waitFor([&] {
    reply += socket.readAll();
    return socket.state() == QLocalSocket::UnconnectedState;
  });
  return reply + socket.readAll();
}

TEST(HandOff, HostileMessagesAreRefusedWithoutReachingTheEditor) {
  const QString name = uniqueName();
  int calls = 0;
  InstanceServer server(name, [&](const std::string&) { return ++calls, true; });
  // Wrong magic: dropped.
  EXPECT_EQ(exchange(name, QByteArray("XXXX\x04\0\0\0abcd", 12)), QByteArray());
  // A length far beyond any command line: refused with zero, nothing read on.
  EXPECT_EQ(exchange(name, QByteArray("89TL\xff\xff\xff\x7f", 8)), QByteArray(4, '\0'));
  EXPECT_EQ(calls, 0);
  // A proper message after them still works.
  EXPECT_EQ(exchange(name, QByteArray("89TL\x05\0\0\0a.pcb", 13)), QByteArray("89TL"));
  EXPECT_EQ(calls, 1);
}

TEST(HandOffLine, NamesAreMadeAbsoluteAndQuotedSoTheyParseBackOneByOne) {
  const std::string line = handOffCommandLine({"my board.pcb", "-s2", "/tmp/x.sch"});
  const CommandLine parsed = parseCommandLine(line);
  ASSERT_EQ(parsed.files.size(), 2u);
  EXPECT_EQ(parsed.files[0], QDir::current().absoluteFilePath("my board.pcb").toStdString());
  EXPECT_EQ(parsed.files[1], "/tmp/x.sch");
  EXPECT_EQ(parsed.screen, 2);
  EXPECT_EQ(handOffCommandLine({}), "");
}

}  // namespace
}  // namespace trelmo::app
