// Every request kind through the whole pipeline: the completion message the
// application receives and the fields of its result.
#include <cstring>
#include <ostream>
#include <string>

#include "e2e_harness.h"
#include "xfsidc.h"
#include "xfsspi.h"

namespace e2e {
namespace {

using RequestsTest = PipelineTest;

// The header every completion of service 1 carries.
void expectCompletion(const TakenMessage& taken, UINT message, REQUESTID id) {
  EXPECT_EQ(taken.message, message);
  ASSERT_TRUE(taken.result);
  EXPECT_EQ(HeaderOf(taken).RequestID, id);
  EXPECT_EQ(HeaderOf(taken).hService, 1);
  EXPECT_EQ(HeaderOf(taken).hResult, WFS_SUCCESS);
  EXPECT_GE(HeaderOf(taken).wYear, 2020);
}

TEST_F(RequestsTest, EveryKindCompletesWithItsMessageAndFields) {
  HWND app = App().Handle();
  REQUESTID id = NextId();
  char name[] = "CardReader";
  char appId[] = "E2E";
  WFSVERSION spiVersion{}, serviceVersion{};
  ASSERT_EQ(WFPOpen(1, name, nullptr, appId, 0, 0, app, id, nullptr, 0, &spiVersion, 0,
                    &serviceVersion),
            WFS_SUCCESS);
  m_opened.push_back(1);
  auto open = Await(WFS_OPEN_COMPLETE, id);
  ASSERT_TRUE(open);
  expectCompletion(*open, WFS_OPEN_COMPLETE, id);
  EXPECT_EQ(HeaderOf(*open).lpBuffer, nullptr);

  // Register and deregister complete before the call returns.
  id = NextId();
  ASSERT_EQ(WFPRegister(1, SERVICE_EVENTS | EXECUTE_EVENTS, app, app, id), WFS_SUCCESS);
  auto registered = Next(App(), 0);
  ASSERT_TRUE(registered);
  expectCompletion(*registered, WFS_REGISTER_COMPLETE, id);
  EXPECT_EQ(HeaderOf(*registered).dwCommandCode, 0u);
  EXPECT_EQ(HeaderOf(*registered).lpBuffer, nullptr);

  id = NextId();
  ASSERT_EQ(WFPLock(1, 0, app, id), WFS_SUCCESS);
  auto locked = Await(WFS_LOCK_COMPLETE, id);
  ASSERT_TRUE(locked);
  expectCompletion(*locked, WFS_LOCK_COMPLETE, id);
  EXPECT_EQ(HeaderOf(*locked).lpBuffer, nullptr);

  id = NextId();
  ASSERT_EQ(WFPUnlock(1, app, id), WFS_SUCCESS);
  auto unlocked = Await(WFS_UNLOCK_COMPLETE, id);
  ASSERT_TRUE(unlocked);
  expectCompletion(*unlocked, WFS_UNLOCK_COMPLETE, id);

  id = NextId();
  ASSERT_EQ(WFPGetInfo(1, WFS_INF_IDC_STATUS, nullptr, 0, app, id), WFS_SUCCESS);
  auto status = Await(WFS_GETINFO_COMPLETE, id);
  ASSERT_TRUE(status);
  expectCompletion(*status, WFS_GETINFO_COMPLETE, id);
  EXPECT_EQ(HeaderOf(*status).dwCommandCode, static_cast<DWORD>(WFS_INF_IDC_STATUS));
  ASSERT_NE(HeaderOf(*status).lpBuffer, nullptr);

  id = NextId();
  ASSERT_EQ(WFPGetInfo(1, WFS_INF_IDC_CAPABILITIES, nullptr, 0, app, id), WFS_SUCCESS);
  auto caps = Await(WFS_GETINFO_COMPLETE, id);
  ASSERT_TRUE(caps);
  expectCompletion(*caps, WFS_GETINFO_COMPLETE, id);
  ASSERT_NE(HeaderOf(*caps).lpBuffer, nullptr);
  WFSIDCCAPS capabilities;
  std::memcpy(&capabilities, HeaderOf(*caps).lpBuffer, sizeof capabilities);
  EXPECT_EQ(capabilities.wClass, WFS_SERVICE_CLASS_IDC);

  id = NextId();
  WORD tracks = WFS_IDC_TRACK1 | WFS_IDC_TRACK2 | WFS_IDC_TRACK3;
  ASSERT_EQ(WFPExecute(1, WFS_CMD_IDC_READ_RAW_DATA, &tracks, 0, app, id), WFS_SUCCESS);
  auto read = Await(WFS_EXECUTE_COMPLETE, id);
  ASSERT_TRUE(read);
  expectCompletion(*read, WFS_EXECUTE_COMPLETE, id);
  EXPECT_EQ(HeaderOf(*read).dwCommandCode, static_cast<DWORD>(WFS_CMD_IDC_READ_RAW_DATA));
  ASSERT_NE(HeaderOf(*read).lpBuffer, nullptr);
  auto* cards = static_cast<LPWFSIDCCARDDATA*>(HeaderOf(*read).lpBuffer);
  ASSERT_NE(cards[0], nullptr);
  EXPECT_EQ(cards[0]->wStatus, WFS_IDC_DATAOK);
  EXPECT_GT(cards[0]->ulDataLength, 0u);
  EXPECT_NE(cards[0]->lpbData, nullptr);

  id = NextId();
  WFSIDCEJECTCARD eject{WFS_IDC_EXITPOSITION};
  ASSERT_EQ(WFPExecute(1, WFS_CMD_IDC_EJECT_CARD, &eject, 5000, app, id), WFS_SUCCESS);
  auto ejected = Await(WFS_EXECUTE_COMPLETE, id);
  ASSERT_TRUE(ejected);
  expectCompletion(*ejected, WFS_EXECUTE_COMPLETE, id);
  EXPECT_EQ(HeaderOf(*ejected).dwCommandCode, static_cast<DWORD>(WFS_CMD_IDC_EJECT_CARD));

  id = NextId();
  ASSERT_EQ(WFPDeregister(1, SERVICE_EVENTS | EXECUTE_EVENTS, app, app, id), WFS_SUCCESS);
  auto deregistered = Next(App(), 0);
  ASSERT_TRUE(deregistered);
  expectCompletion(*deregistered, WFS_DEREGISTER_COMPLETE, id);

  id = NextId();
  ASSERT_EQ(WFPClose(1, app, id), WFS_SUCCESS);
  auto closed = Await(WFS_CLOSE_COMPLETE, id);
  ASSERT_TRUE(closed);
  m_opened.clear();
  expectCompletion(*closed, WFS_CLOSE_COMPLETE, id);
  EXPECT_EQ(HeaderOf(*closed).lpBuffer, nullptr);
  EXPECT_TRUE(Others().empty()) << Others().size() << " unexpected message(s)";

  // What the device service was sent: every kind that leaves the service
  // provider, all naming the same reply window and the card-reader class.
  int replyPort = ReplyPort(1);
  EXPECT_GT(replyPort, 0);
  for (int kind : {7, 6, 11, 5, 4, 2}) {
    std::vector<Json::Value> requests = RequestsOfKind(kind);
    ASSERT_FALSE(requests.empty()) << "no request of kind " << kind;
    for (const Json::Value& request : requests) {
      EXPECT_EQ(request["hService"].asInt(), 1);
      EXPECT_EQ(request["hWnd"].asInt(), replyPort);
      EXPECT_EQ(request["lType"].asInt(), WFS_SERVICE_CLASS_IDC);
      EXPECT_EQ(request["lpAppId"].asString(), "E2E");
    }
  }
  EXPECT_EQ(RequestsOfKind(4)[0]["lpDataBuffer"]["lpwReadData"].asInt(), tracks);
  EXPECT_EQ(RequestsOfKind(4)[1]["lpDataBuffer"]["wEjectPosition"].asInt(), WFS_IDC_EXITPOSITION);
}

// Each device class goes out with its service class number and completes.
struct ClassCase {
  const char* service;
  int serviceClass;
  DWORD command;
};

void PrintTo(const ClassCase& c, std::ostream* out) { *out << c.service; }

class DeviceClassTest : public PipelineTest, public ::testing::WithParamInterface<ClassCase> {};

TEST_P(DeviceClassTest, OpensExecutesAndClosesWithItsServiceClass) {
  const ClassCase& c = GetParam();
  ASSERT_NO_FATAL_FAILURE(Open(1, c.service));
  REQUESTID id = NextId();
  ASSERT_EQ(WFPExecute(1, c.command, nullptr, 0, App().Handle(), id), WFS_SUCCESS);
  auto done = Await(WFS_EXECUTE_COMPLETE, id);
  ASSERT_TRUE(done);
  EXPECT_EQ(HeaderOf(*done).dwCommandCode, c.command);
  ASSERT_NO_FATAL_FAILURE(Close(1));
  std::vector<Json::Value> executes = RequestsOfKind(4);
  ASSERT_EQ(executes.size(), 1u);
  EXPECT_EQ(executes[0]["lType"].asInt(), c.serviceClass);
  EXPECT_EQ(executes[0]["dwCommand"].asUInt(), c.command);
}

INSTANTIATE_TEST_SUITE_P(FourClasses, DeviceClassTest,
                         ::testing::Values(ClassCase{kCardReader, WFS_SERVICE_CLASS_IDC, 205},
                                           ClassCase{kPinPad, WFS_SERVICE_CLASS_PIN, 404},
                                           ClassCase{kPrinter, WFS_SERVICE_CLASS_PTR, 105},
                                           ClassCase{kDispenser, WFS_SERVICE_CLASS_CRD, 1405}),
                         [](const ::testing::TestParamInfo<ClassCase>& param) {
                           return std::string(param.param.service);
                         });

}  // namespace
}  // namespace e2e
