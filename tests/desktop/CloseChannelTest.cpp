#include "ui/CloseChannel.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QSignalSpy>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>

#include <gtest/gtest.h>

#include "tests/desktop/TempDir.h"

namespace linkpanel {
namespace {

using test::RuntimeDirOverride;
using test::TempDir;

void Spin(int ms) {
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// Waits until `count` signals arrived (or 3 s passed), then a little longer so that a
// signal too many would show.
int CountAfter(QSignalSpy& spy, int count) {
    QDeadlineTimer deadline(3000);
    while (spy.count() < count && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    Spin(150);
    return spy.count();
}

class CloseChannelTest : public testing::Test {
protected:
    TempDir dir;
    RuntimeDirOverride runtime{dir.path()};
    QString path = CloseChannelPath(QStringLiteral("TAVO_CONTROL_UTILITY"));
};

TEST_F(CloseChannelTest, EveryConnectionThatSendsCountsOnce) {
    struct {
        const char* what;
        QList<QByteArray> writes;  // one connection per element of `clients`
        int clients;
        int expected;
    } cases[] = {
        {"one byte", {"x"}, 1, 1},
        {"nothing, then hang up", {}, 1, 0},
        {"several writes on one connection", {"hello", " ", "world"}, 1, 1},
        {"two senders", {"x"}, 2, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CloseChannel channel;
        ASSERT_TRUE(channel.Listen(QStringLiteral("TAVO_CONTROL_UTILITY")));
        QSignalSpy spy(&channel, &CloseChannel::received);
        for (int i = 0; i < c.clients; ++i) {
            QLocalSocket client;
            client.connectToServer(path);
            ASSERT_TRUE(client.waitForConnected(2000));
            for (const QByteArray& data : c.writes) {
                client.write(data);
                client.waitForBytesWritten(1000);
                Spin(20);
            }
            client.disconnectFromServer();
        }
        EXPECT_EQ(CountAfter(spy, c.expected), c.expected);
    }
}

TEST_F(CloseChannelTest, SocketIsForThisUserOnly) {
    CloseChannel channel;
    ASSERT_TRUE(channel.Listen(QStringLiteral("TAVO_CONTROL_UTILITY")));
    EXPECT_EQ(path.toStdString(), dir.path() + "/TAVO_CONTROL_UTILITY.sock");
    struct stat st {};
    ASSERT_EQ(lstat(path.toLocal8Bit().constData(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    EXPECT_EQ(st.st_mode & 077, 0u) << std::oct << (st.st_mode & 0777);

    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to try as another user";
    // Another user, here nobody, is refused even with the directory opened up.
    ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
    const pid_t child = fork();
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0)
            _exit(2);
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.toLocal8Bit().constData(), sizeof address.sun_path - 1);
        const bool refused =
            connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0;
        _exit(refused ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 0) << "another user could connect";
}

// A crashed copy leaves its socket file behind; the next copy, having won the guard, takes
// the name over.
TEST_F(CloseChannelTest, TakesOverALeftoverSocketFile) {
    std::ofstream(path.toStdString()) << "stale";
    CloseChannel channel;
    ASSERT_TRUE(channel.Listen(QStringLiteral("TAVO_CONTROL_UTILITY")));
    QSignalSpy spy(&channel, &CloseChannel::received);
    QLocalSocket client;
    client.connectToServer(path);
    ASSERT_TRUE(client.waitForConnected(2000));
    client.write("x");
    client.waitForBytesWritten(1000);
    EXPECT_EQ(CountAfter(spy, 1), 1);
}

}  // namespace
}  // namespace linkpanel
