// The hand-over registry: a text is acted on only when it carries a message
// posted to that port and not yet taken; everything else is dropped.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "CommonSocketServer.h"
#include "HandOverRegistry.h"
#include "corvid.h"
#include "ostrel.h"
#include "rig.h"
#include "test_support.h"

namespace {

using testsupport::TraceCapture;

const char kDropped[] = "drop a text that was not posted here";

// A receiving end: a server with an open mailbox on its port.
class Receiver {
 public:
  Receiver() {
    m_server.InitSocketServer(0);
    m_port = m_server.GetListenPort();
    CHandOverRegistry::OpenMailbox(m_port);
  }
  ~Receiver() {
    m_server.CloseServer();
    CHandOverRegistry::CloseMailbox(m_port);
  }
  long port() const { return m_port; }
  std::string next() {
    std::string text;
    if (m_server.WaitMessage(rig::kHang) == 1) {
      std::vector<char> buffer(40960, '\0');
      if (m_server.GetHeadMessage(buffer.data()) == 1) text = buffer.data();
    }
    return text;
  }

 private:
  CommonSocketServer m_server;
  long m_port = 0;
};

std::string AddressText(const void* msg) {
  char text[32];
  std::snprintf(text, sizeof text, "%ld", static_cast<long>(reinterpret_cast<intptr_t>(msg)));
  return text;
}

LPCONNECTMSG NewMessage() { return rig::Decoded(rig::Completion(7, 1, 5, 0, 203)); }

class HandOverRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { m_blocks = CorvidLiveBlocks(); }
  void TearDown() override { EXPECT_EQ(CorvidLiveBlocks(), m_blocks) << "result memory left behind"; }
  long m_blocks = 0;
};

TEST_F(HandOverRegistryTest, PostedMessageIsTakenOnceAndOnlyOnItsOwnPort) {
  Receiver receiver;
  Receiver other;
  LPCONNECTMSG msg = NewMessage();
  ASSERT_NE(msg, nullptr);
  ASSERT_EQ(CHandOverRegistry::Post(receiver.port(), msg), 1);
  EXPECT_EQ(CHandOverRegistry::Pending(receiver.port()), 1);
  const std::string text = receiver.next();
  EXPECT_EQ(text, AddressText(msg)) << "the wire carries the address in decimal";

  TraceCapture trace;
  EXPECT_EQ(CHandOverRegistry::Take(other.port(), text.c_str()), nullptr);
  EXPECT_EQ(CHandOverRegistry::Take(receiver.port(), text.c_str()), msg);
  EXPECT_EQ(CHandOverRegistry::Take(receiver.port(), text.c_str()), nullptr)
      << "a replayed text must not yield the message twice";
  EXPECT_EQ(trace.count(kDropped, 3), 2);
  EXPECT_EQ(CHandOverRegistry::Pending(receiver.port()), 0);
  Ostrel::FreeBuffer(msg, 1);
}

TEST_F(HandOverRegistryTest, StrangerTextsAreDroppedWithoutFollowingThem) {
  Receiver receiver;
  LPCONNECTMSG unposted = NewMessage();
  TraceCapture trace;
  // Any number, the address of a live message that was never posted, text
  // that is no number at all, and 0.
  EXPECT_EQ(CHandOverRegistry::Take(receiver.port(), "123456789"), nullptr);
  EXPECT_EQ(CHandOverRegistry::Take(receiver.port(), AddressText(unposted).c_str()), nullptr);
  EXPECT_EQ(CHandOverRegistry::Take(receiver.port(), "-1"), nullptr);
  EXPECT_EQ(CHandOverRegistry::Take(receiver.port(), "0"), nullptr);
  EXPECT_EQ(CHandOverRegistry::Take(receiver.port(), "hello"), nullptr);
  EXPECT_EQ(trace.count(kDropped, 3), 4) << "every stranger text but \"0\" is traced";
  // A posted value with anything around it is not that value.
  LPCONNECTMSG posted = NewMessage();
  ASSERT_EQ(CHandOverRegistry::Post(receiver.port(), posted), 1);
  const std::string text = receiver.next();
  EXPECT_EQ(CHandOverRegistry::Take(receiver.port(), (text + "7").c_str()), nullptr);
  EXPECT_EQ(CHandOverRegistry::Take(receiver.port(), (" " + text).c_str()), nullptr);
  EXPECT_EQ(CHandOverRegistry::Take(receiver.port(), text.c_str()), posted);
  Ostrel::FreeBuffer(posted, 1);
  Ostrel::FreeBuffer(unposted, 1);
}

TEST_F(HandOverRegistryTest, UndeliveredMessageStaysWithTheCaller) {
  // No mailbox on the port: nothing is sent.
  Receiver receiver;
  LPCONNECTMSG msg = NewMessage();
  EXPECT_EQ(CHandOverRegistry::Post(receiver.port() == 1 ? 2 : 1, msg), 0);
  // A mailbox whose port nobody listens on: the send fails.
  const int silent = testsupport::FreePort();
  CHandOverRegistry::OpenMailbox(silent);
  EXPECT_EQ(CHandOverRegistry::Post(silent, msg), 0);
  EXPECT_EQ(CHandOverRegistry::Pending(silent), 0) << "a failed post is withdrawn";
  CHandOverRegistry::CloseMailbox(silent);
  // The caller still owns it and releases it.
  EXPECT_EQ(Ostrel::FreeBuffer(msg, 1), 0);
}

TEST_F(HandOverRegistryTest, ClosingMailboxReleasesMessagesNotTaken) {
  long port = 0;
  {
    Receiver receiver;
    port = receiver.port();
    ASSERT_EQ(CHandOverRegistry::Post(port, NewMessage()), 1);
    ASSERT_EQ(CHandOverRegistry::Post(port, NewMessage()), 1);
    EXPECT_EQ(CHandOverRegistry::Pending(port), 2);
  }
  EXPECT_EQ(CHandOverRegistry::Pending(port), 0);
  // A post after the close is refused and stays with the caller.
  LPCONNECTMSG late = NewMessage();
  EXPECT_EQ(CHandOverRegistry::Post(port, late), 0);
  Ostrel::FreeBuffer(late, 1);
}

}  // namespace
