#include "net/Socket.h"

#include <arpa/inet.h>
#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace lumavine;

namespace {

// A listening socket on an ephemeral port of 127.0.0.1, standing in for the
// far end of one connection.
class Peer {
public:
    Peer()
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(m_listener, 4);
        socklen_t length = sizeof address;
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
    }
    ~Peer()
    {
        if (m_connection >= 0)
            ::close(m_connection);
        ::close(m_listener);
    }
    int port() const { return m_port; }
    void accept() { m_connection = ::accept(m_listener, nullptr, nullptr); }
    void send(const std::string& bytes) { ::send(m_connection, bytes.data(), bytes.size(), 0); }
    void closeConnection()
    {
        ::close(m_connection);
        m_connection = -1;
    }
    std::string receive(size_t count)
    {
        std::string bytes;
        char block[256];
        while (bytes.size() < count) {
            ssize_t got = ::recv(m_connection, block, std::min(sizeof block, count - bytes.size()), 0);
            if (got <= 0)
                break;
            bytes.append(block, static_cast<size_t>(got));
        }
        return bytes;
    }

private:
    int m_listener = -1;
    int m_connection = -1;
    int m_port = 0;
};

}

TEST(Socket, ParsesLocations)
{
    Socket socket;
    String host;
    int port = 0;

    ASSERT_TRUE(socket.parseLocation(u"server:8080/a/b.html?x=1", host, port));
    EXPECT_EQ(host, u"server");
    EXPECT_EQ(port, 8080);
    EXPECT_EQ(socket.path(), u"/a/b.html");
    EXPECT_EQ(socket.query(), u"x=1");
    EXPECT_EQ(socket.scheme(), u"http");

    ASSERT_TRUE(socket.parseLocation(u"http://host", host, port));
    EXPECT_EQ(host, u"host");
    EXPECT_EQ(port, 80);
    EXPECT_EQ(socket.path(), u"/");
    EXPECT_TRUE(socket.query().empty());

    ASSERT_TRUE(socket.parseLocation(u"HTTP://Host:81/p?a?b", host, port));
    EXPECT_EQ(host, u"Host");
    EXPECT_EQ(port, 81);
    EXPECT_EQ(socket.query(), u"b");
    EXPECT_EQ(socket.path(), u"/p?a");

    ASSERT_TRUE(socket.parseLocation(u"file:/tmp/x.xml", host, port));
    EXPECT_EQ(socket.path(), u"/tmp/x.xml");
    EXPECT_EQ(socket.scheme(), u"file");

    EXPECT_FALSE(socket.parseLocation(u"ftp://host/file", host, port));
    EXPECT_FALSE(socket.parseLocation(u"http://host:99999/", host, port));
    EXPECT_FALSE(socket.parseLocation(u"http://host:port/", host, port));
    EXPECT_FALSE(socket.parseLocation(u"http:///nohost", host, port));
}

TEST(Socket, RefusesWhatCannotConnect)
{
    Socket socket;
    EXPECT_FALSE(socket.connect(String(), 21));
    EXPECT_FALSE(socket.connect(u"127.0.0.1", 0));
    EXPECT_FALSE(socket.isConnected());
    EXPECT_EQ(socket.handle(), -1);

    // A file location connects nothing, whether or not the file exists.
    EXPECT_FALSE(socket.openLocation(u"file:/tmp/x.xml"));
    EXPECT_FALSE(socket.isConnected());

    // Nothing listens on a port just given up.
    int freePort;
    {
        Peer peer;
        freePort = peer.port();
    }
    EXPECT_FALSE(socket.connect(u"127.0.0.1", freePort));
    EXPECT_FALSE(socket.isConnected());

    std::string line;
    EXPECT_FALSE(socket.waitReadable(0));
    EXPECT_FALSE(socket.readLine(line));
    EXPECT_LT(socket.writeBytes("x", 1), 0);
}

TEST(Socket, ReadsLinesAsTheyEnd)
{
    Peer peer;
    Socket socket;
    ASSERT_TRUE(socket.connect(u"127.0.0.1", peer.port()));
    peer.accept();
    EXPECT_TRUE(socket.isConnected());
    EXPECT_EQ(socket.peerAddress(), u"127.0.0.1");

    EXPECT_FALSE(socket.waitReadable(0));
    peer.send("220 ready\r\nsecond\n");
    ASSERT_TRUE(socket.waitReadable(5000));
    std::string line;
    ASSERT_TRUE(socket.readLine(line));
    EXPECT_EQ(line, "220 ready");
    // Bytes already received count as readable.
    EXPECT_TRUE(socket.waitReadable(0));
    ASSERT_TRUE(socket.readLine(line));
    EXPECT_EQ(line, "");
    ASSERT_TRUE(socket.readLine(line));
    EXPECT_EQ(line, "second");

    peer.send("abc");
    peer.closeConnection();
    ASSERT_TRUE(socket.readLine(line));
    EXPECT_EQ(line, "abc");
    EXPECT_FALSE(socket.readLine(line));
}

TEST(Socket, JoinsCarriageReturnAndLineFeedWhenAsked)
{
    Peer peer;
    Socket socket;
    ASSERT_TRUE(socket.connect(u"127.0.0.1", peer.port()));
    peer.accept();
    peer.send("one\r\n\r\ntwo\nthree\r");
    peer.closeConnection();
    std::string line;
    std::vector<std::string> lines;
    while (socket.readLineJoiningCrLf(line))
        lines.push_back(line);
    EXPECT_EQ(lines, (std::vector<std::string> { "one", "", "two", "three" }));
}

TEST(Socket, SendsTextAndBytes)
{
    Peer peer;
    Socket socket;
    ASSERT_TRUE(socket.connect(u"localhost", peer.port()));
    peer.accept();
    EXPECT_EQ(socket.host(), u"localhost");

    EXPECT_TRUE(socket.sendText(u"USER ann\r\n"));
    EXPECT_EQ(socket.sendBuffer(), "USER ann\r\n");
    EXPECT_EQ(peer.receive(10), "USER ann\r\n");

    std::string big(3 * 1024 * 1024, 'z');
    big[12345] = 'q';
    std::string received;
    std::thread reader([&] { received = peer.receive(big.size()); });
    EXPECT_EQ(socket.writeBytes(big.data(), big.size()), static_cast<long>(big.size()));
    reader.join();
    EXPECT_EQ(received, big);

    socket.close();
    EXPECT_FALSE(socket.isConnected());
    EXPECT_EQ(peer.receive(1), "");
    EXPECT_FALSE(socket.sendText(u"PWD\r\n"));
}

TEST(Socket, ReconnectsToTheSamePlace)
{
    Peer peer;
    Socket socket;
    ASSERT_TRUE(socket.openLocation(u"http://127.0.0.1:" + String::number(peer.port()) + u"/index.html"));
    peer.accept();
    EXPECT_EQ(socket.port(), peer.port());
    EXPECT_EQ(socket.path(), u"/index.html");
    peer.closeConnection();

    ASSERT_TRUE(socket.reconnect());
    peer.accept();
    peer.send("again\n");
    std::string line;
    ASSERT_TRUE(socket.readLine(line));
    EXPECT_EQ(line, "again");
}

TEST(Socket, KeepsTheListOfLiveSockets)
{
    size_t before = Socket::liveSocketCount();
    {
        Socket first;
        auto second = std::make_unique<Socket>();
        EXPECT_EQ(Socket::liveSocketCount(), before + 2);
        second.reset();
        EXPECT_EQ(Socket::liveSocketCount(), before + 1);
    }
    EXPECT_EQ(Socket::liveSocketCount(), before);
}

TEST(Socket, ResolvesNamesAndAddresses)
{
    EXPECT_EQ(Socket::resolve(u"10.1.2.3"), u"10.1.2.3");
    EXPECT_EQ(Socket::resolve(u"localhost"), u"127.0.0.1");
}

TEST(Socket, LimitsTheTimeOfAWholeLine)
{
    Peer peer;
    Socket socket;
    ASSERT_TRUE(socket.connect(u"127.0.0.1", peer.port()));
    peer.accept();

    // The first byte comes at once, the line end never: the limit holds for
    // the whole line, not only for its start.
    peer.send("220 rea");
    std::string line;
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(socket.readLine(line, 300));
    auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_TRUE(socket.timedOut());
    EXPECT_FALSE(socket.lastLineEnded());
    EXPECT_EQ(line, "220 rea");
    EXPECT_GE(waited, std::chrono::milliseconds(250));
    EXPECT_LT(waited, std::chrono::seconds(3));

    // Bytes that trickle in, each within the limit, do not stretch it.
    std::thread trickle([&] {
        for (int i = 0; i < 20; ++i) {
            peer.send("x");
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        peer.send("\n");
    });
    start = std::chrono::steady_clock::now();
    EXPECT_FALSE(socket.readLine(line, 300));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(900));
    trickle.join();

    // With time enough, the line comes whole; a line the close cuts off
    // comes too, but without its end.
    peer.send("y\r\ncut");
    peer.closeConnection();
    ASSERT_TRUE(socket.readLineJoiningCrLf(line, 2000));
    EXPECT_EQ(line.find_first_not_of('x'), std::string::npos);
    ASSERT_TRUE(socket.readLineJoiningCrLf(line, 2000));
    EXPECT_EQ(line, "y");
    EXPECT_TRUE(socket.lastLineEnded());
    EXPECT_FALSE(socket.timedOut());
    ASSERT_TRUE(socket.readLineJoiningCrLf(line, 2000));
    EXPECT_EQ(line, "cut");
    EXPECT_FALSE(socket.lastLineEnded());
    EXPECT_FALSE(socket.readLineJoiningCrLf(line, 2000));
}

TEST(Socket, ReceivesBytesWithinALimit)
{
    Peer peer;
    Socket socket;
    ASSERT_TRUE(socket.connect(u"127.0.0.1", peer.port()));
    peer.accept();
    peer.send("head\nbody bytes");
    std::string line;
    ASSERT_TRUE(socket.readLine(line, 2000));
    EXPECT_EQ(line, "head");
    // The bytes read ahead of the line come first.
    std::string received;
    char block[64];
    while (received.size() < 10) {
        long got = socket.receive(block, sizeof block, 2000);
        ASSERT_GT(got, 0);
        received.append(block, static_cast<size_t>(got));
    }
    EXPECT_EQ(received, "body bytes");

    EXPECT_LT(socket.receive(block, sizeof block, 200), 0);
    EXPECT_TRUE(socket.timedOut());
    peer.closeConnection();
    EXPECT_EQ(socket.receive(block, sizeof block, 2000), 0);
    EXPECT_FALSE(socket.timedOut());
}
