// Replies the application must not see, and texts from strangers: each
// costs only itself, and the pipeline goes on serving.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "corvid.h"
#include "e2e_harness.h"
#include "process_threads.h"
#include "result_printer.h"
#include "xfsidc.h"
#include "xfsspi.h"

namespace e2e {
namespace {

constexpr int kGetInfoComplete = 6;

class RepliesTest : public PipelineTest {
 protected:
  // An execute that the simulator holds until the test lets it answer.
  REQUESTID HeldExecute(DWORD command = WFS_CMD_IDC_RETAIN_CARD) {
    Sim().SetAnswering(false);
    size_t executes = RequestsOfKind(4).size();
    REQUESTID id = NextId();
    EXPECT_EQ(WFPExecute(1, command, nullptr, 0, App().Handle(), id), WFS_SUCCESS);
    EXPECT_TRUE(WaitForRequestsOfKind(4, executes + 1));
    return id;
  }
};

TEST_F(RepliesTest, ConnectionLostOnAnExecuteReachesTheApplicationAsHardwareError) {
  ASSERT_NO_FATAL_FAILURE(Open(1));
  std::string error;
  ASSERT_TRUE(Sim().LoadScenarioText(
      R"({"rules":[{"kind":"execute","hResult":-54},{"kind":"getinfo","hResult":-54}]})", &error))
      << error;
  REQUESTID id = NextId();
  ASSERT_EQ(WFPExecute(1, WFS_CMD_IDC_RETAIN_CARD, nullptr, 0, App().Handle(), id), WFS_SUCCESS);
  auto done = Await(WFS_EXECUTE_COMPLETE, id);
  ASSERT_TRUE(done);
  EXPECT_EQ(HeaderOf(*done).hResult, WFS_ERR_HARDWARE_ERROR);
  EXPECT_EQ(HeaderOf(*done).dwCommandCode, static_cast<DWORD>(WFS_CMD_IDC_RETAIN_CARD));

  // Only executes are changed: a get-info keeps the device service's result.
  id = NextId();
  ASSERT_EQ(WFPGetInfo(1, WFS_INF_IDC_STATUS, nullptr, 0, App().Handle(), id), WFS_SUCCESS);
  auto info = Await(WFS_GETINFO_COMPLETE, id);
  ASSERT_TRUE(info);
  EXPECT_EQ(HeaderOf(*info).hResult, WFS_ERR_CONNECTION_LOST);
}

TEST_F(RepliesTest, AGetInfoCompletionWithAForeignRequestIdIsNotPosted) {
  ASSERT_NO_FATAL_FAILURE(Open(1));
  Sim().SetAnswering(false);
  REQUESTID id = NextId();
  ASSERT_EQ(WFPGetInfo(1, WFS_INF_IDC_STATUS, nullptr, 0, App().Handle(), id), WFS_SUCCESS);
  ASSERT_TRUE(WaitForRequestsOfKind(5, 1));
  long blocks = CorvidLiveBlocks();
  ASSERT_TRUE(SendFrame(ReplyPort(1),
                        ReplyText(kGetInfoComplete, 1, id + 1000, WFS_SUCCESS, WFS_INF_IDC_STATUS)));
  EXPECT_TRUE(testsupport::WaitUntil(
      [&] { return Trace().contains("CreateThreadFunc Can't find Info form CommandData Array", 4); },
      kWaitMs));
  EXPECT_TRUE(testsupport::WaitUntil([&] { return CorvidLiveBlocks() == blocks; }, kWaitMs))
      << "the foreign completion was not freed";
  EXPECT_FALSE(Next(App(), 0)) << "the foreign completion reached the application";

  // The request itself is still pending and completes with its own answer.
  Sim().SetAnswering(true);
  auto info = Await(WFS_GETINFO_COMPLETE, id);
  ASSERT_TRUE(info);
  EXPECT_EQ(HeaderOf(*info).RequestID, id);
  EXPECT_EQ(HeaderOf(*info).hResult, WFS_SUCCESS);
}

TEST_F(RepliesTest, BrokenRepliesCostOnlyThemselves) {
  const int threads = xfsmgr::CountThreads();
  ASSERT_NO_FATAL_FAILURE(Open(1));
  // Each RESET_COUNT gets one broken frame in place of its completion.
  std::string error;
  ASSERT_TRUE(Sim().LoadScenarioText(R"({"rules":[
      {"kind":"execute","code":205,"times":1,"raw":["this is not JSON"]},
      {"kind":"execute","code":205,"times":1,"raw":[{"text":
        "{\"dwMsgType\":7,\"hService\":${hService},\"lpWfsResult\":{\"hService\":\"one\",\"requestID\":[${requestID}],\"hResult\":{\"a\":1}}}"}]},
      {"kind":"execute","code":205,"times":1,"raw":[{"text":
        "{\"dwMsgType\":\"7\",\"hService\":${hService},\"lpWfsResult\":5}"}]},
      {"kind":"execute","code":205,"times":1,"raw":[{"text":
        "{\"dwMsgType\":12,\"hService\":${hService},\"lpWfsResult\":{\"hService\":${hService},\"requestID\":${requestID}}}"}]},
      {"kind":"execute","code":205,"times":1,"raw":[{"reply":true,"cut":20}]},
      {"kind":"execute","code":205,"times":1,"raw":[{"reply":true,"cut":4}]},
      {"kind":"execute","code":205,"times":1,"raw":[{"reply":true,"announce":99999999}]},
      {"kind":"execute","code":205,"times":1,"raw":[{"reply":true,"header":"abcdefgh"}]},
      {"kind":"execute","code":205,"times":1,"raw":[{"reply":true,"header":"-1"}]},
      {"kind":"execute","code":207,"times":1,"lpBuffer":"not card data"}
    ]})",
                                     &error))
      << error;
  long blocks = CorvidLiveBlocks();
  constexpr int kBroken = 9;
  std::vector<REQUESTID> broken;
  for (int i = 0; i < kBroken; ++i) {
    broken.push_back(NextId());
    ASSERT_EQ(WFPExecute(1, WFS_CMD_IDC_RESET_COUNT, nullptr, 0, App().Handle(), broken.back()),
              WFS_SUCCESS);
  }
  ASSERT_TRUE(WaitForRequestsOfKind(4, kBroken));

  // A payload of the wrong type costs only the output structure.
  REQUESTID id = NextId();
  WORD tracks = WFS_IDC_TRACK2;
  ASSERT_EQ(WFPExecute(1, WFS_CMD_IDC_READ_RAW_DATA, &tracks, 0, App().Handle(), id), WFS_SUCCESS);
  auto bare = Await(WFS_EXECUTE_COMPLETE, id);
  ASSERT_TRUE(bare);
  EXPECT_EQ(HeaderOf(*bare).hResult, WFS_SUCCESS);
  EXPECT_EQ(HeaderOf(*bare).lpBuffer, nullptr);
  bare.reset();

  // The pipeline goes on serving.
  id = NextId();
  ASSERT_EQ(WFPExecute(1, WFS_CMD_IDC_READ_RAW_DATA, &tracks, 0, App().Handle(), id), WFS_SUCCESS);
  auto done = Await(WFS_EXECUTE_COMPLETE, id);
  ASSERT_TRUE(done) << "a request after the broken replies did not complete";
  EXPECT_EQ(HeaderOf(*done).hResult, WFS_SUCCESS);
  EXPECT_NE(HeaderOf(*done).lpBuffer, nullptr);
  done.reset();

  // None of the broken frames completed its request, and all they left is freed.
  EXPECT_FALSE(App().WaitFor([](const TakenMessage&) { return true; }, kQuietMs, nullptr))
      << "a broken reply reached the application";
  for (const TakenMessage& other : Others()) {
    ADD_FAILURE() << "a broken reply reached the application: " << xfsmgr::DescribeMessage(other);
  }
  Others().clear();
  EXPECT_TRUE(testsupport::WaitUntil([&] { return CorvidLiveBlocks() == blocks; }, kWaitMs))
      << CorvidLiveBlocks() - blocks << " block(s) of broken replies are still allocated";

  // Closing ends the workers that still wait for the broken requests.
  ASSERT_NO_FATAL_FAILURE(Close(1));
  EXPECT_TRUE(xfsmgr::WaitForThreadCount(threads, kWaitMs))
      << xfsmgr::CountThreads() - threads << " thread(s) left behind";
}

TEST_F(RepliesTest, TextsFromStrangersToThreadPortsAreDropped) {
  ASSERT_NO_FATAL_FAILURE(Open(1));
  REQUESTID id = NextId();
  ASSERT_EQ(WFPRegister(1, SERVICE_EVENTS, App().Handle(), App().Handle(), id), WFS_SUCCESS);
  ASSERT_TRUE(Await(WFS_REGISTER_COMPLETE, id));
  REQUESTID held = HeldExecute();
  std::vector<int> ports = ThreadPorts();
  // Four event threads, the open's worker (gone by now) and the held execute's.
  ASSERT_GE(ports.size(), 6u);

  // Texts that look like what the message window posts, and some that do
  // not: an address this process never posted (it points at bytes that
  // would crash a reader that follows it), small numbers, zero, garbage.
  std::vector<unsigned char> bait(64, 0xA5);
  const std::vector<std::string> texts = {
      std::to_string(reinterpret_cast<unsigned long>(bait.data())), "12345", "0", "-1",
      "18446744073709551615", "not a number", std::string(40000, '7')};
  long blocks = CorvidLiveBlocks();
  for (int port : ports) {
    for (const std::string& text : texts) SendFrame(port, text);
  }
  // The held execute completes normally, and events still arrive.
  Sim().SetAnswering(true);
  auto done = Await(WFS_EXECUTE_COMPLETE, held);
  ASSERT_TRUE(done);
  EXPECT_EQ(HeaderOf(*done).hResult, WFS_SUCCESS);
  done.reset();
  ASSERT_NO_FATAL_FAILURE(SendEvent(kCardReader, WFS_SERVICE_EVENT, WFS_SRVE_IDC_MEDIAREMOVED));
  auto event = Next(App());
  ASSERT_TRUE(event);
  EXPECT_EQ(HeaderOf(*event).dwEventID, static_cast<DWORD>(WFS_SRVE_IDC_MEDIAREMOVED));
  event.reset();
  EXPECT_TRUE(Others().empty());
  EXPECT_TRUE(testsupport::WaitUntil([&] { return CorvidLiveBlocks() == blocks; }, kWaitMs));
  EXPECT_TRUE(std::all_of(bait.begin(), bait.end(), [](unsigned char b) { return b == 0xA5; }));
}

}  // namespace
}  // namespace e2e
