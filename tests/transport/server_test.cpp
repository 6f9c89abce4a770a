// The socket server end to end: real loopback connections, the serve
// thread, the queue and its consumer.
#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "CommonSocketClient.h"
#include "CommonSocketServer.h"
#include "frame.h"
#include "test_support.h"
#include "wire.h"
#include "wiredump.h"

namespace {

using Clock = std::chrono::steady_clock;

long msSince(Clock::time_point start) {
  return static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

// A started server on a port the system chose.
struct Started {
  CommonSocketServer server;
  int port = 0;
  Started() {
    EXPECT_EQ(server.InitSocketServer(0), 1);
    port = server.GetListenPort();
    EXPECT_GT(port, 0);
  }
};

TEST(SocketServer, ManySendersEachTextArrivesExactlyOnce) {
  constexpr int kSenders = 8;
  constexpr int kPerSender = 500;
  Started started;
  std::map<std::string, int> seen;
  std::thread consumer([&] {
    std::string text;
    auto start = Clock::now();
    while (static_cast<int>(seen.size()) < kSenders * kPerSender && msSince(start) < 120000) {
      if (wire::Take(started.server, &text, 100)) ++seen[text];
    }
  });
  std::atomic<int> failed{0};
  std::vector<std::thread> senders;
  for (int s = 0; s < kSenders; ++s) {
    senders.emplace_back([&, s] {
      for (int i = 0; i < kPerSender; ++i) {
        std::string text = "sender " + std::to_string(s) + " message " + std::to_string(i);
        CommonSocketClient client;
        if (client.PostTextMessage(started.port, text.data(), static_cast<int>(text.size())) != 1) {
          failed.fetch_add(1);
        }
      }
    });
  }
  for (std::thread& sender : senders) sender.join();
  consumer.join();
  EXPECT_EQ(failed.load(), 0);
  ASSERT_EQ(static_cast<int>(seen.size()), kSenders * kPerSender);
  for (const auto& entry : seen) EXPECT_EQ(entry.second, 1) << entry.first;
  EXPECT_EQ(started.server.GetMessageSize(), 0);
}

TEST(SocketServer, TwoServersKeepSeparateQueues) {
  Started first;
  Started second;
  CommonSocketClient client;
  ASSERT_EQ(client.PostTextMessage(first.port, "to first", 8), 1);
  ASSERT_EQ(client.PostTextMessage(second.port, "to second", 9), 1);
  std::string text;
  ASSERT_TRUE(wire::Take(first.server, &text));
  EXPECT_EQ(text, "to first");
  ASSERT_TRUE(wire::Take(second.server, &text));
  EXPECT_EQ(text, "to second");
  EXPECT_EQ(first.server.GetMessageSize(), 0);
  EXPECT_EQ(second.server.GetMessageSize(), 0);
}

TEST(SocketServer, NulPaddedHeaderQueuesExactlyItsText) {
  Started started;
  ASSERT_TRUE(wire::SendAndAwaitClose(started.port, wire::Header("12") + "hello world!"));
  std::vector<char> buffer(transport::kTextBufferSize, '\0');
  ASSERT_TRUE(started.server.WaitMessage(10000));
  ASSERT_EQ(started.server.GetHeadMessage(buffer.data()), 1);
  EXPECT_EQ(std::string(buffer.data(), 13), std::string("hello world!\0", 13));
}

TEST(SocketServer, FrameWrittenInPiecesIsReadWhole) {
  wire::DebugCapture debug;
  Started started;
  int fd = wire::Connect(started.port);
  ASSERT_GE(fd, 0);
  wire::WriteAll(fd, wire::Header("30"));
  // Each piece goes out only once the reader has taken what came before it.
  ASSERT_TRUE(debug.waitFor("nNeedReadLen =[30]", 10000));
  wire::WriteAll(fd, "0123456789");
  ASSERT_TRUE(debug.waitFor("read2 nReadLen=[10]", 10000, 1));
  wire::WriteAll(fd, "abcdefghij");
  ASSERT_TRUE(debug.waitFor("read2 nReadLen=[10]", 10000, 2));
  wire::WriteAll(fd, "ABCDEFGHIJ");
  ASSERT_TRUE(wire::AwaitServerClose(fd));
  std::string text;
  ASSERT_TRUE(wire::Take(started.server, &text));
  EXPECT_EQ(text, "0123456789abcdefghijABCDEFGHIJ");
}

TEST(SocketServer, HeaderInTwoPiecesIsRefused) {
  wire::DebugCapture debug;
  Started started;
  int fd = wire::Connect(started.port);
  ASSERT_GE(fd, 0);
  wire::WriteAll(fd, std::string("5\0\0\0", 4));
  ASSERT_TRUE(debug.waitFor("read1 nReadLen=[4]", 10000));
  wire::WriteAll(fd, std::string("\0\0\0\0hello", 9));
  ASSERT_TRUE(wire::AwaitServerClose(fd));
  EXPECT_EQ(started.server.GetMessageSize(), 0);
}

TEST(SocketServer, BadHeadersQueueNothingAndTheServerServesTheNextConnection) {
  testsupport::TraceCapture trace;
  Started started;
  const std::vector<std::string> refused = {
      "1234",                                                        // fewer than 8 bytes
      wire::Header("-5") + "hello",                                  // negative
      wire::Header("40960") + std::string(transport::kTextBufferSize, 'x'),  // one too many
      wire::Header("99999999") + "hello",                            // far too many
  };
  for (const std::string& bytes : refused) {
    ASSERT_TRUE(wire::SendAndAwaitClose(started.port, bytes));
    EXPECT_EQ(started.server.GetMessageSize(), 0);
  }
  EXPECT_EQ(trace.count("CommonSocketServer::ReadFromClient refused frame length=", 3), 3);

  CommonSocketClient client;
  ASSERT_EQ(client.PostTextMessage(started.port, "next", 4), 1);
  std::string text;
  ASSERT_TRUE(wire::Take(started.server, &text));
  EXPECT_EQ(text, "next");
}

TEST(SocketServer, LongestPayloadFitsTheArray) {
  Started started;
  std::string longest(transport::kMaxPayload, 'p');
  ASSERT_TRUE(wire::SendAndAwaitClose(started.port, wire::Frame(longest)));
  std::string text;
  ASSERT_TRUE(wire::Take(started.server, &text));
  EXPECT_EQ(text, longest);
}

TEST(SocketServer, ZeroOrNonNumericHeaderQueuesAnEmptyText) {
  Started started;
  for (const std::string& header : {wire::Header("0"), std::string("abcdefgh")}) {
    ASSERT_TRUE(wire::SendAndAwaitClose(started.port, header));
    std::string text = "not taken";
    ASSERT_TRUE(wire::Take(started.server, &text)) << header;
    EXPECT_EQ(text, "");
  }
}

TEST(SocketServer, ConnectionWithoutDataQueuesNothing) {
  Started started;
  int fd = wire::Connect(started.port);
  ASSERT_GE(fd, 0);
  ASSERT_TRUE(wire::AwaitServerClose(fd));
  EXPECT_EQ(started.server.GetMessageSize(), 0);
}

TEST(SocketServer, PeerClosingMidPayloadQueuesTheBytesThatArrived) {
  Started started;
  ASSERT_TRUE(wire::SendAndAwaitClose(started.port, wire::Header("20") + "partial"));
  std::string text;
  ASSERT_TRUE(wire::Take(started.server, &text));
  EXPECT_EQ(text, "partial");
}

TEST(SocketServer, GetHeadMessageOnAnEmptyQueueLeavesDstUntouched) {
  CommonSocketServer server;
  std::vector<char> buffer(transport::kTextBufferSize, 'x');
  EXPECT_EQ(server.GetHeadMessage(buffer.data()), 0);
  EXPECT_EQ(std::string(buffer.begin(), buffer.end()),
            std::string(transport::kTextBufferSize, 'x'));
}

TEST(SocketServer, AppendedTextsComeOutInOrderAndAStoppedServerFreesThem) {
  CommonSocketServer server;
  for (const char* word : {"one", "two"}) {
    char* text = new char[transport::kTextBufferSize]();
    std::strcpy(text, word);
    EXPECT_EQ(server.AppendMessage(text), 1);
  }
  EXPECT_EQ(server.GetMessageSize(), 2);
  std::string text;
  ASSERT_TRUE(wire::Take(server, &text, 0));
  EXPECT_EQ(text, "one");
  server.DestoryServer();
  EXPECT_EQ(server.GetMessageSize(), 0);
  // After the stop a text is freed at once, never queued (the leak check
  // of the sanitizer build watches both).
  EXPECT_EQ(server.AppendMessage(new char[transport::kTextBufferSize]()), 1);
  EXPECT_EQ(server.GetMessageSize(), 0);
}

TEST(SocketServer, WaitingConsumerTakesATextPromptlyAndReturnsWhenNothingComes) {
  Started started;
  // Nothing comes: the wait ends after its bound (loose upper limit only).
  auto start = Clock::now();
  EXPECT_EQ(started.server.WaitMessage(50), 0);
  EXPECT_GE(msSince(start), 40);
  EXPECT_LT(msSince(start), 5000);

  // A text comes while the consumer waits with a long bound: it is woken.
  std::atomic<long> wokenAfterPostMs{-1};
  std::atomic<bool> posted{false};
  Clock::time_point postedAt;
  std::thread consumer([&] {
    int got = started.server.WaitMessage(60000);
    if (got == 1 && posted.load()) wokenAfterPostMs.store(msSince(postedAt));
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  postedAt = Clock::now();
  posted.store(true);
  CommonSocketClient client;
  ASSERT_EQ(client.PostTextMessage(started.port, "wake", 4), 1);
  consumer.join();
  EXPECT_GE(wokenAfterPostMs.load(), 0);
  EXPECT_LT(wokenAfterPostMs.load(), 5000);
}

TEST(SocketServer, ListensOnTheLoopbackAddressOnly) {
  Started started;
  int fd = wire::Connect(started.port, "127.0.0.2");
  EXPECT_LT(fd, 0);
  if (fd >= 0) ::close(fd);
  fd = wire::Connect(started.port, "127.0.0.1");
  EXPECT_GE(fd, 0);
  if (fd >= 0) wire::AwaitServerClose(fd);
}

TEST(SocketServer, PortCanBeBoundAgainAtOnceAfterDestruction) {
  auto server = std::make_unique<CommonSocketServer>();
  ASSERT_EQ(server->InitSocketServer(0), 1);
  int port = server->GetListenPort();
  // A served connection leaves the server's end of it waiting to expire.
  CommonSocketClient client;
  ASSERT_EQ(client.PostTextMessage(port, "first", 5), 1);
  std::string text;
  ASSERT_TRUE(wire::Take(*server, &text));
  server.reset();

  CommonSocketServer again;
  ASSERT_EQ(again.InitSocketServer(port), 1);
  ASSERT_EQ(client.PostTextMessage(port, "second", 6), 1);
  ASSERT_TRUE(wire::Take(again, &text));
  EXPECT_EQ(text, "second");
  again.DestoryServer();

  CommonSocketServer third;
  EXPECT_EQ(third.InitSocketServer(port), 1);
}

TEST(SocketServer, FailedStartLeavesNothingOpenAndMayBeRetried) {
  testsupport::TraceCapture trace;
  Started occupant;
  int descriptors = wire::OpenDescriptors();
  CommonSocketServer server;
  EXPECT_EQ(server.InitSocketServer(occupant.port), 0);
  EXPECT_EQ(trace.count("CommonSocketServer::InitSocketServer bind socket error", 4), 1);
  EXPECT_EQ(server.InitSocketServer(70000), 0);
  EXPECT_EQ(trace.count("CommonSocketServer::InitSocketServer bind socket error", 4), 2);
  EXPECT_EQ(wire::OpenDescriptors(), descriptors);
  EXPECT_EQ(server.InitSocketServer(0), 1);
  EXPECT_EQ(server.InitSocketServer(0), 0);  // already listening
}

TEST(SocketServer, StopWakesTheBlockedAcceptAndReceiveThreads) {
  Started started;
  CommonSocketClient client;
  ASSERT_EQ(client.PostTextMessage(started.port, "left in the queue", 17), 1);
  ASSERT_TRUE(testsupport::WaitUntil([&] { return started.server.GetMessageSize() == 1; }, 10000));
  // A peer that sends half a frame and then nothing keeps its receive
  // thread blocked in a read.
  int idle = wire::Connect(started.port);
  ASSERT_GE(idle, 0);
  wire::WriteAll(idle, wire::Header("10") + "half");
  std::this_thread::sleep_for(std::chrono::milliseconds(50));

  auto start = Clock::now();
  started.server.DestoryServer();
  EXPECT_LT(msSince(start), 5000);
  EXPECT_EQ(started.server.GetMessageSize(), 0);
  // The blocked read was woken and its connection closed.
  EXPECT_TRUE(wire::AwaitServerClose(idle, 5000));
  // Nothing listens any more.
  EXPECT_EQ(client.PostTextMessage(started.port, "late", 4), 0);
}

TEST(SocketServer, DestroyingWhileConnectionsKeepArrivingIsClean) {
  const int port = testsupport::FreePort();
  std::atomic<bool> done{false};
  std::vector<std::thread> peers;
  for (int p = 0; p < 3; ++p) {
    peers.emplace_back([&] {
      while (!done.load()) {
        CommonSocketClient client;
        if (client.PostTextMessage(port, "keep coming", 11) == 0) {
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
      }
    });
  }
  peers.emplace_back([&] {
    // Half frames: connections still being read at teardown.
    while (!done.load()) {
      int fd = wire::Connect(port);
      if (fd < 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        continue;
      }
      wire::WriteAll(fd, wire::Header("100") + "half");
      wire::AwaitServerClose(fd, 2000);
    }
  });
  int started = 0;
  for (int round = 0; round < 20; ++round) {
    auto server = std::make_unique<CommonSocketServer>();
    if (server->InitSocketServer(port) == 1) ++started;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (round % 2 == 0) server->DestoryServer();
    server.reset();
  }
  done.store(true);
  for (std::thread& peer : peers) peer.join();
  EXPECT_GT(started, 0);
}

TEST(SocketServer, ReceiveDebugLineShowsLengthAndFirstBytesOnly) {
  wire::DebugCapture debug;
  Started started;
  const std::string track = "TRACK2=4111111111111111D2512";
  CommonSocketClient client;
  ASSERT_EQ(client.PostTextMessage(started.port, track.data(), static_cast<int>(track.size())), 1);
  std::string text;
  ASSERT_TRUE(wire::Take(started.server, &text));
  ASSERT_TRUE(debug.waitFor("Thread len=28 data = ", 10000));
  int withText = 0;
  for (const std::string& line : debug.lines()) {
    if (line.find("4111111111111111") != std::string::npos) ++withText;
  }
  if (transport::kRawWireDump) {
    EXPECT_EQ(withText, 1);
  } else {
    EXPECT_EQ(withText, 0);
    EXPECT_EQ(debug.count("Thread len=28 data = [84 82 65 67] "), 1);
  }
}

namespace ordering {

using wire::DebugCapture;

// Texts one peer sends one connection after the other arrive in that order,
// whatever the serve thread is doing meanwhile.
TEST(SocketServerOrder, TextsOfOneSenderAreQueuedInTheOrderItSentThem) {
  constexpr int kTexts = 2000;
  Started started;
  std::thread sender([&] {
    CommonSocketClient client;
    for (int i = 0; i < kTexts; ++i) {
      std::string text = std::to_string(i);
      client.PostTextMessage(started.port, text.data(), static_cast<int>(text.size()));
    }
  });
  std::vector<int> received;
  std::string text;
  while (static_cast<int>(received.size()) < kTexts && wire::Take(started.server, &text)) {
    received.push_back(std::stoi(text));
  }
  sender.join();
  ASSERT_EQ(static_cast<int>(received.size()), kTexts);
  for (int i = 0; i < kTexts; ++i) ASSERT_EQ(received[i], i) << "out of order at " << i;
}

TEST(SocketServerOrder, AFrameUnderWayHoldsItsPlaceAndAnIdleConnectionDoesNot) {
  DebugCapture debug;
  Started started;
  int idle = wire::Connect(started.port);  // connects and sends nothing
  ASSERT_GE(idle, 0);
  int first = wire::Connect(started.port);
  ASSERT_GE(first, 0);
  wire::WriteAll(first, wire::Header("11") + "first");
  ASSERT_TRUE(debug.waitFor("read2 nReadLen=[5]", 10000));
  CommonSocketClient client;
  ASSERT_EQ(client.PostTextMessage(started.port, "second", 6), 1);
  ASSERT_TRUE(debug.waitFor("Thread len=6 data", 10000));
  // The second text is read, but waits for the frame that began before it.
  EXPECT_EQ(started.server.GetMessageSize(), 0);
  wire::WriteAll(first, " text");
  ASSERT_TRUE(debug.waitFor("read2 nReadLen=[5]", 10000, 2));
  EXPECT_EQ(started.server.GetMessageSize(), 0);
  wire::WriteAll(first, "!");
  std::string text;
  ASSERT_TRUE(wire::Take(started.server, &text));
  EXPECT_EQ(text, "first text!");
  ASSERT_TRUE(wire::Take(started.server, &text));
  EXPECT_EQ(text, "second");
  // The idle connection, accepted before both, held neither back; when it
  // sends at last, its text comes after them.
  wire::WriteAll(idle, wire::Frame("late"));
  ASSERT_TRUE(wire::AwaitServerClose(idle));
  ASSERT_TRUE(wire::Take(started.server, &text));
  EXPECT_EQ(text, "late");
  ::close(first);
}

TEST(SocketServerLimits, AConnectionWithoutACompleteFrameIsClosedAtItsDeadline) {
  testsupport::TraceCapture trace;
  CommonSocketServer server;
  server.SetLimits(200, CommonSocketServer::kMaxConnections);
  ASSERT_EQ(server.InitSocketServer(0), 1);
  const int port = server.GetListenPort();
  int idle = wire::Connect(port);
  int partial = wire::Connect(port);
  ASSERT_GE(idle, 0);
  ASSERT_GE(partial, 0);
  wire::WriteAll(partial, wire::Header("10") + "half");
  CommonSocketClient client;
  ASSERT_EQ(client.PostTextMessage(port, "after", 5), 1);
  EXPECT_TRUE(wire::ServerClosed(idle));
  EXPECT_TRUE(wire::ServerClosed(partial));
  EXPECT_EQ(trace.count("no complete frame within [200] ms, connection closed", 3), 2);
  // The text held behind the partial frame is queued once that one is gone.
  std::string text;
  ASSERT_TRUE(wire::Take(server, &text));
  EXPECT_EQ(text, "after");
  EXPECT_EQ(server.GetMessageSize(), 0);
}

TEST(SocketServerLimits, ConnectionsBeyondTheBoundAreClosedAtOnce) {
  testsupport::TraceCapture trace;
  constexpr int kBound = 4;
  CommonSocketServer server;
  server.SetLimits(60000, kBound);
  ASSERT_EQ(server.InitSocketServer(0), 1);
  const int port = server.GetListenPort();
  std::vector<int> idle;
  for (int i = 0; i < kBound; ++i) {
    idle.push_back(wire::Connect(port));
    ASSERT_GE(idle.back(), 0);
  }
  int beyond = wire::Connect(port);
  ASSERT_GE(beyond, 0);
  EXPECT_TRUE(wire::ServerClosed(beyond));
  EXPECT_TRUE(trace.contains("CommonSocketServer::AcceptClient [4] connections open, a new one is "
                             "closed", 4));
  // A place that frees up serves the next peer.
  ASSERT_TRUE(wire::AwaitServerClose(idle.back()));
  idle.pop_back();
  CommonSocketClient client;
  ASSERT_EQ(client.PostTextMessage(port, "served", 6), 1);
  std::string text;
  ASSERT_TRUE(wire::Take(server, &text));
  EXPECT_EQ(text, "served");
  for (int fd : idle) ::close(fd);
}

TEST(SocketServerLimits, AFrameGetsThroughWhileHundredsOfIdleConnectionsAreOpen) {
  Started started;
  std::vector<int> idle;
  for (int i = 0; i < 300; ++i) {
    idle.push_back(wire::Connect(started.port));
    ASSERT_GE(idle.back(), 0);
  }
  CommonSocketClient client;
  ASSERT_EQ(client.PostTextMessage(started.port, "through", 7), 1);
  std::string text;
  // Well before any idle connection reaches its deadline.
  ASSERT_TRUE(wire::Take(started.server, &text, 1000));
  EXPECT_EQ(text, "through");
  for (int fd : idle) ::close(fd);
}

TEST(SocketServerLimits, AConnectionThatFailsIsTracedAsAnError) {
  testsupport::TraceCapture trace;
  Started started;
  int fd = wire::Connect(started.port);
  ASSERT_GE(fd, 0);
  wire::WriteAll(fd, wire::Header("10") + "half");
  // A reset instead of an orderly close: the read fails.
  linger abort = {1, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
  ::close(fd);
  EXPECT_TRUE(testsupport::WaitUntil(
      [&] { return trace.contains("CommonSocketServer::ReadFromClient read failed", 4); }, 10000));
  EXPECT_EQ(started.server.GetMessageSize(), 0);
}

}  // namespace ordering

}  // namespace
