// The life of a service: the close completion ends the device, unloading is
// refused while a device is open, and many cycles leave nothing behind.
#include "corvid.h"
#include "e2e_harness.h"
#include "process_threads.h"
#include "xfsidc.h"
#include "xfsspi.h"

namespace e2e {
namespace {

using LifecycleTest = PipelineTest;

TEST_F(LifecycleTest, TheCloseCompletionRemovesTheHandle) {
  ASSERT_NO_FATAL_FAILURE(Open(1));
  ASSERT_NO_FATAL_FAILURE(Open(2));
  EXPECT_EQ(WFPUnloadService(), WFS_ERR_NOT_OK_TO_UNLOAD);

  // Closing one of two leaves the other open: unloading is still refused.
  ASSERT_NO_FATAL_FAILURE(Close(1, false));
  // The device stops right after posting the completion; a cancel of
  // nothing is the harmless probe.
  EXPECT_TRUE(testsupport::WaitUntil(
      [] { return WFPCancelAsyncRequest(1, 0) == WFS_ERR_INVALID_HSERVICE; }, kWaitMs));
  EXPECT_EQ(WFPExecute(1, WFS_CMD_IDC_RESET_COUNT, nullptr, 0, App().Handle(), NextId()),
            WFS_ERR_INVALID_HSERVICE);
  EXPECT_EQ(WFPUnloadService(), WFS_ERR_NOT_OK_TO_UNLOAD);
  EXPECT_EQ(WFPGetInfo(1, WFS_INF_IDC_STATUS, nullptr, 0, App().Handle(), NextId()),
            WFS_ERR_INVALID_HSERVICE);

  // The other service still works.
  REQUESTID id = NextId();
  ASSERT_EQ(WFPExecute(2, WFS_CMD_IDC_RESET_COUNT, nullptr, 0, App().Handle(), id), WFS_SUCCESS);
  ASSERT_TRUE(Await(WFS_EXECUTE_COMPLETE, id));

  ASSERT_NO_FATAL_FAILURE(Close(2));
  EXPECT_EQ(WFPUnloadService(), WFS_SUCCESS);
  EXPECT_EQ(WFPExecute(2, WFS_CMD_IDC_RESET_COUNT, nullptr, 0, App().Handle(), NextId()),
            WFS_ERR_INVALID_HSERVICE);
  // A closed handle can be opened again.
  ASSERT_NO_FATAL_FAILURE(Open(1));
  ASSERT_NO_FATAL_FAILURE(Close(1));
}

TEST_F(LifecycleTest, ManyCyclesLeaveNoThreadPortOrBlockBehind) {
  // One cycle first, so that whatever is made once per process exists.
  ASSERT_NO_FATAL_FAILURE(Open(1));
  ASSERT_NO_FATAL_FAILURE(Close(1));
  ASSERT_TRUE(Others().empty());
  Trace().clear();
  const int threads = xfsmgr::CountThreads();
  const int listening = CountListeningSockets();
  const long blocks = CorvidLiveBlocks();
  ASSERT_GT(threads, 0);
  ASSERT_GT(listening, 0) << "the simulator's listeners are not counted";

  constexpr int kCycles = 200;
  for (int cycle = 0; cycle < kCycles; ++cycle) {
    // A new handle each time: the previous device may still be stopping.
    HSERVICE hService = static_cast<HSERVICE>(cycle + 10);
    ASSERT_NO_FATAL_FAILURE(Open(hService));
    REQUESTID id = NextId();
    WORD tracks = WFS_IDC_TRACK2;
    ASSERT_EQ(WFPExecute(hService, WFS_CMD_IDC_READ_RAW_DATA, &tracks, 1000, App().Handle(), id),
              WFS_SUCCESS);
    auto done = Await(WFS_EXECUTE_COMPLETE, id);
    ASSERT_TRUE(done) << "cycle " << cycle;
    EXPECT_EQ(HeaderOf(*done).hResult, WFS_SUCCESS);
    done.reset();
    ASSERT_NO_FATAL_FAILURE(Close(hService, false)) << "cycle " << cycle;
  }
  EXPECT_TRUE(Others().empty());
  EXPECT_TRUE(testsupport::WaitUntil([] { return WFPUnloadService() == WFS_SUCCESS; }, 30000));
  EXPECT_TRUE(xfsmgr::WaitForThreadCount(threads, 30000))
      << xfsmgr::CountThreads() - threads << " thread(s) left behind";
  EXPECT_TRUE(testsupport::WaitUntil([&] { return CountListeningSockets() <= listening; }, 30000))
      << CountListeningSockets() - listening << " listening port(s) left behind";
  EXPECT_EQ(CorvidLiveBlocks(), blocks);
}

}  // namespace
}  // namespace e2e
