// The socket client: unframed requests, pointer hand-overs and failures.
#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <string>
#include <thread>

#include "CommonSocketClient.h"
#include "CommonSocketServer.h"
#include "frame.h"
#include "test_support.h"
#include "wire.h"

namespace {

TEST(SocketClient, PointerValueComesBackAtFullWidth) {
  CommonSocketServer server;
  ASSERT_EQ(server.InitSocketServer(0), 1);
  int port = server.GetListenPort();
  int local = 0;
  const unsigned long values[] = {
      0UL, 1UL, 0x7fffffffUL, 0x100000000UL, 0x7fffffffffffffffUL, 0x8000000000000000UL,
      0xFEDCBA9876543210UL, ULONG_MAX, static_cast<unsigned long>(reinterpret_cast<uintptr_t>(&local))};
  for (unsigned long value : values) {
    CommonSocketClient client;
    ASSERT_EQ(client.PostPointerMessage(port, value), 1);
    std::string text;
    ASSERT_TRUE(wire::Take(server, &text));
    EXPECT_EQ(text, std::to_string(static_cast<long>(value)));
    EXPECT_EQ(transport::PointerFromPayload(text.c_str()), value) << text;
  }
}

TEST(SocketClient, PostToAPortNobodyListensOnFails) {
  wire::DebugCapture debug;
  CommonSocketClient client;
  EXPECT_EQ(client.PostPointerMessage(testsupport::FreePort(), 42), 0);
  EXPECT_EQ(debug.count("connect error: Connection refused(errno: 111)"), 1);
  EXPECT_EQ(debug.count("write error"), 1);
}

TEST(SocketClient, PortOutsideTheRangeIsNotWrappedOntoAnother) {
  CommonSocketServer server;
  ASSERT_EQ(server.InitSocketServer(0), 1);
  int port = server.GetListenPort();
  CommonSocketClient client;
  EXPECT_EQ(client.PostTextMessage(65536L + port, "wrapped", 7), 0);
  EXPECT_EQ(client.PostTextMessage(0x100000000L + port, "wrapped", 7), 0);
  EXPECT_EQ(client.PostTextMessage(port, "direct", 6), 1);
  std::string text;
  ASSERT_TRUE(wire::Take(server, &text));
  EXPECT_EQ(text, "direct");
  EXPECT_EQ(server.GetMessageSize(), 0);
}

TEST(SocketClient, TextLongerThanAFrameHoldsIsNotSent) {
  CommonSocketServer server;
  ASSERT_EQ(server.InitSocketServer(0), 1);
  int port = server.GetListenPort();
  std::string tooLong(transport::kTextBufferSize, 'x');
  CommonSocketClient client;
  EXPECT_EQ(client.PostTextMessage(port, tooLong.data(), static_cast<int>(tooLong.size())), 0);
  EXPECT_EQ(client.PostTextMessage(port, nullptr, 4), 0);
  EXPECT_EQ(client.PostTextMessage(port, "x", -1), 0);
  ASSERT_EQ(client.PostTextMessage(port, "fits", 4), 1);
  std::string text;
  ASSERT_TRUE(wire::Take(server, &text));
  EXPECT_EQ(text, "fits");
}

TEST(SocketClient, SendDataWritesTheTextUnframedAndCloses) {
  int listener = ::socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(listener, 0);
  int port = testsupport::FreePort();
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(::listen(listener, 1), 0);

  std::string received;
  std::thread reader([&] {
    int fd = ::accept(listener, nullptr, nullptr);
    char chunk[256];
    ssize_t n;
    while ((n = ::read(fd, chunk, sizeof chunk)) > 0) received.append(chunk, static_cast<size_t>(n));
    ::close(fd);
  });
  std::string request = "{\"RequestID\":7}";
  CommonSocketClient client;
  ASSERT_EQ(client.InitSocketClient(), 1);
  ASSERT_EQ(client.ConnectServer(port), 1);
  EXPECT_EQ(client.SendData(&request[0], static_cast<int>(request.size())), 1);
  reader.join();  // ends only because the client closed after its write
  ::close(listener);
  EXPECT_EQ(received, request);
}

TEST(SocketClient, SendWithoutAConnectionFails) {
  wire::DebugCapture debug;
  CommonSocketClient client;
  char text[] = "lost";
  EXPECT_EQ(client.SendData(text, 4), 0);
  ASSERT_EQ(client.InitSocketClient(), 1);
  EXPECT_EQ(client.SendData(static_cast<void*>(text), 4), 0);
  EXPECT_EQ(debug.count("write error"), 2);
}

}  // namespace
