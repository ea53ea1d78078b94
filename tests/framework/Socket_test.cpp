// Sockets with events handed to their objects on the creating thread, and the waiting
// calls of CSocket: a listener on the loopback address, an accepted connection that greets
// and reads a request, a peer on another thread, cancelled and refused calls.
#include "Socket.h"
#include "WinApp.h"
#include "WindowBench.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

class SocketTest : public testing::Test
{
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(AfxSocketInit()); }
};

// Makes the socket listen on an unused port of the loopback address; answers the port, 0 on
// failure.
UINT ListenOnLoopback(CSocket& socket)
{
    CString address;
    UINT port = 0;
    if (!socket.Create(0, SOCK_STREAM, "127.0.0.1") || !socket.Listen() || !socket.GetSockName(address, port) ||
        address != "127.0.0.1")
        return 0;
    return port;
}

// A peer on a thread of its own with plain blocking Winsock calls.
SOCKET ConnectPlain(UINT port)
{
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = ::htons(static_cast<u_short>(port));
    addr.sin_addr.s_addr = ::inet_addr("127.0.0.1");
    if (::connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::closesocket(s);
        return INVALID_SOCKET;
    }
    return s;
}

std::string ReadAll(SOCKET s)
{
    std::string got;
    char buf[256];
    int n;
    while ((n = ::recv(s, buf, sizeof buf, 0)) > 0)
        got.append(buf, static_cast<size_t>(n));
    return got;
}

// A server in the shape of the program's toolbar listener: the listener makes one object
// per connection, which greets and then reads one request with the waiting Receive.
class CServerSocket : public CSocket
{
public:
    CServerSocket* m_pListener = nullptr;
    std::vector<std::unique_ptr<CServerSocket>> m_accepted;
    std::vector<std::string> m_requests;
    int m_nAccepts = 0;
    int m_nCloses = 0;

    void OnAccept(int nErrorCode) override
    {
        ++m_nAccepts;
        auto p = std::make_unique<CServerSocket>();
        p->m_pListener = this;
        if (nErrorCode == 0 && Accept(*p)) {
            p->Send("hello", 5);
            m_accepted.push_back(std::move(p));
        }
    }
    void OnReceive(int) override
    {
        char buf[8];
        int n = Receive(buf, sizeof buf);
        if (n > 0)
            m_pListener->m_requests.emplace_back(buf, static_cast<size_t>(n));
    }
    void OnClose(int) override
    {
        ++m_pListener->m_nCloses;
        Close();
    }
};

TEST_F(SocketTest, ListenerOnLoopbackAcceptsGreetsAndReadsRequests)
{
    CServerSocket server;
    const UINT port = ListenOnLoopback(server);
    ASSERT_NE(0u, port);
    EXPECT_EQ(&server, CAsyncSocket::FromHandle(server.m_hSocket));
    EXPECT_EQ(&server, CSocket::FromHandle(server.m_hSocket));

    // Three peers, one after another: each reads the greeting, sends its request, closes.
    std::atomic<int> greeted{0};
    std::thread peers([&] {
        for (int i = 0; i < 3; ++i) {
            SOCKET s = ConnectPlain(port);
            if (s == INVALID_SOCKET)
                return;
            char hello[5];
            if (::recv(s, hello, 5, MSG_WAITALL) == 5 && std::memcmp(hello, "hello", 5) == 0)
                ++greeted;
            std::string request = "req" + std::to_string(i);
            ::send(s, request.data(), static_cast<int>(request.size()), 0);
            ::shutdown(s, SD_SEND);
            ReadAll(s);
            ::closesocket(s);
        }
    });
    EXPECT_TRUE(testsupport::PumpUntil([&] { return server.m_nCloses == 3; }, 10000));
    peers.join();
    EXPECT_EQ(3, server.m_nAccepts);
    EXPECT_EQ(3, greeted.load());
    EXPECT_EQ((std::vector<std::string>{"req0", "req1", "req2"}), server.m_requests);
    for (auto& p : server.m_accepted)
        EXPECT_EQ(INVALID_SOCKET, p->m_hSocket);
}

TEST_F(SocketTest, EventsOfOtherSocketsWaitUntilTheBlockingCallReturns)
{
    CServerSocket server;
    const UINT port = ListenOnLoopback(server);
    ASSERT_NE(0u, port);

    std::atomic<bool> second{false}, done{false};
    std::thread peers([&] {
        SOCKET first = ConnectPlain(port);
        while (!second)
            ::Sleep(10);
        SOCKET other = ConnectPlain(port);
        ::Sleep(300);
        ::send(first, "abc", 3, 0);
        while (!done)
            ::Sleep(10);
        ::closesocket(other);
        ::closesocket(first);
    });
    ASSERT_TRUE(testsupport::PumpUntil([&] { return server.m_accepted.size() == 1; }));

    // While the first connection's receive waits, the second connection is announced to
    // the listener; its accept runs only after the receive has returned.
    second = true;
    CSocket& conn = *server.m_accepted[0];
    char buf[3] = {};
    int got = 0;
    while (got < 3) {
        int n = conn.Receive(buf + got, 3 - got);
        ASSERT_GT(n, 0);
        got += n;
    }
    EXPECT_EQ(0, std::memcmp(buf, "abc", 3));
    EXPECT_EQ(1, server.m_nAccepts);
    EXPECT_TRUE(testsupport::PumpUntil([&] { return server.m_nAccepts == 2; }));
    done = true;
    peers.join();
}

TEST_F(SocketTest, BlockingReceiveEndsOnPeerCloseOnCancelAndRefusesASecondWait)
{
    CSocket listener;
    const UINT port = ListenOnLoopback(listener);
    ASSERT_NE(0u, port);

    std::atomic<bool> release{false};
    std::thread peer([&] {
        SOCKET s = ConnectPlain(port);
        while (!release)
            ::Sleep(10);
        ::closesocket(s);
    });
    CSocket conn;
    ASSERT_TRUE(listener.Accept(conn));

    // Cancelled from a handler that runs during the wait; a second wait meanwhile is refused.
    int nestedResult = 0, nestedError = 0;
    testsupport::AfterDelay(100, [&] {
        EXPECT_TRUE(conn.IsBlocking());
        char c;
        nestedResult = conn.Receive(&c, 1);
        nestedError = CAsyncSocket::GetLastError();
        conn.CancelBlockingCall();
    });
    char buf[4];
    EXPECT_EQ(SOCKET_ERROR, conn.Receive(buf, sizeof buf));
    EXPECT_EQ(WSAEINTR, CAsyncSocket::GetLastError());
    EXPECT_FALSE(conn.IsBlocking());
    EXPECT_EQ(SOCKET_ERROR, nestedResult);
    EXPECT_EQ(WSAEINPROGRESS, nestedError);

    // The peer goes away: the waiting receive answers 0.
    testsupport::AfterDelay(100, [&] { release = true; });
    EXPECT_EQ(0, conn.Receive(buf, sizeof buf));
    peer.join();
}

TEST_F(SocketTest, FailuresLeaveNoSocketBehind)
{
    CSocket first;
    const UINT port = ListenOnLoopback(first);
    ASSERT_NE(0u, port);

    // The port is taken: Create fails and the object holds nothing.
    CSocket second;
    EXPECT_FALSE(second.Create(port, SOCK_STREAM, "127.0.0.1"));
    EXPECT_EQ(WSAEADDRINUSE, CAsyncSocket::GetLastError());
    EXPECT_EQ(INVALID_SOCKET, second.m_hSocket);
    EXPECT_FALSE(second.Create(0, SOCK_STREAM, "no-such-host.invalid"));
    EXPECT_EQ(INVALID_SOCKET, second.m_hSocket);

    // Nobody listens any more: the waiting connect reports the refusal.
    first.Close();
    EXPECT_EQ(nullptr, CAsyncSocket::FromHandle(first.m_hSocket));
    CSocket client;
    ASSERT_TRUE(client.Create());
    EXPECT_FALSE(client.Connect("127.0.0.1", port));
    EXPECT_EQ(WSAECONNREFUSED, CAsyncSocket::GetLastError());
}

TEST_F(SocketTest, EventsOfASocketClosedMeanwhileReachNoOtherSocket)
{
    CServerSocket server;
    const UINT port = ListenOnLoopback(server);
    ASSERT_NE(0u, port);
    SOCKET first = ConnectPlain(port);
    ASSERT_NE(INVALID_SOCKET, first);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return server.m_accepted.size() == 1; }));

    // A second connection is announced, then data and a close for the first one, which is
    // closed before any of these events is handled. The second connection, accepted first,
    // usually gets the freed handle number (the lowest free one is handed out again) while the
    // first one's events are still queued: they reach neither of the two objects.
    SOCKET second = ConnectPlain(port);
    ASSERT_NE(INVALID_SOCKET, second);
    ::Sleep(100);
    ::send(first, "old", 3, 0);
    ::closesocket(first);
    ::Sleep(100);
    server.m_accepted.clear();
    ASSERT_TRUE(testsupport::PumpUntil([&] { return server.m_accepted.size() == 1; }));
    testsupport::PumpMessages(200);
    EXPECT_TRUE(server.m_requests.empty());
    EXPECT_EQ(0, server.m_nCloses);

    // The second connection's own events still arrive.
    ::send(second, "new", 3, 0);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return !server.m_requests.empty(); }));
    EXPECT_EQ(std::vector<std::string>{"new"}, server.m_requests);
    ::closesocket(second);
    EXPECT_TRUE(testsupport::PumpUntil([&] { return server.m_nCloses == 1; }));
}

} // namespace
