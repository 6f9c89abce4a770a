// System events from reply text to the XFS structure below the result.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "BASE64_API.h"
#include "corvid.h"
#include "jsonunformatevent_system.h"
#include "ostrel_test_support.h"
#include "test_support.h"

namespace {

using ostreltest::Field;
using ostreltest::Decode;
using ostreltest::SystemEvent;

const char kPrefix[] = "JsonUnformatEvent_System::";

std::string Base64Of(const std::string& bytes) {
  return base64_encode(reinterpret_cast<const unsigned char*>(bytes.data()),
                       static_cast<unsigned int>(bytes.size()));
}

Json::Value ErrorPayload() {
  Json::Value error(Json::objectValue);
  error["lpszLogicalName"] = "IDC30";
  error["lpszPhysicalName"] = "CardReader1";
  error["lpszWorkstationName"] = "ATM7";
  error["lpszAppID"] = "App";
  error["dwAction"] = 4;
  error["dwSize"] = 5;
  error["lpbDescription"] = Base64Of("jam!!");
  return error;
}

Json::Value UndeliverablePayload() {
  Json::Value message(Json::objectValue);
  message["lpszLogicalName"] = "PIN30";
  message["lpszWorkstationName"] = "ATM7";
  message["lpszAppID"] = "App";
  message["dwSize"] = 3;
  message["lpbDescription"] = Base64Of("abc");
  message["dwMsg"] = 1032;
  message["lpWFSResult"]["requestID"] = 41;
  message["lpWFSResult"]["hService"] = 6;
  message["lpWFSResult"]["hResult"] = -48;
  message["lpWFSResult"]["dwEventID"] = 205;
  return message;
}

Json::Value VersionPayload() {
  Json::Value error(Json::objectValue);
  error["lpszLogicalName"] = "PTR30";
  error["lpszWorkstationName"] = "ATM7";
  error["lpszAppID"] = "App";
  error["dwSize"] = 2;
  error["lpbDescription"] = Base64Of("v!");
  error["lpWFSVersion"]["wVersion"] = 0x0303;
  error["lpWFSVersion"]["wLowVersion"] = 0x0002;
  error["lpWFSVersion"]["wHighVersion"] = 0x0A03;
  error["lpWFSVersion"]["szDescription"] = "service";
  error["lpWFSVersion"]["szSystemStatus"] = "ok";
  return error;
}

Json::Value DeviceStatusPayload() {
  Json::Value status(Json::objectValue);
  status["lpszPhysicalName"] = "Printer1";
  status["lpszWorkstationName"] = "ATM7";
  status["dwState"] = 2;
  return status;
}

Json::Value DisconnectPayload() {
  Json::Value disconnect(Json::objectValue);
  disconnect["lpszLogicalName"] = "CRD30";
  disconnect["lpszWorkstationName"] = "ATM7";
  disconnect["lpszAppID"] = "App";
  return disconnect;
}

std::string Text(LPSTR text) { return text != nullptr ? std::string(text) : "<NULL>"; }

void ExpectError(LPVOID buffer) {
  ASSERT_NE(buffer, nullptr);
  const WFSHWERROR* error = static_cast<const WFSHWERROR*>(buffer);
  EXPECT_EQ(Text(error->lpszLogicalName), "IDC30");
  EXPECT_EQ(Text(error->lpszPhysicalName), "CardReader1");
  EXPECT_EQ(Text(error->lpszWorkstationName), "ATM7");
  EXPECT_EQ(Text(error->lpszAppID), "App");
  EXPECT_EQ(Field(error->dwAction), 4u);
  EXPECT_EQ(Field(error->dwSize), 5u);
  ASSERT_NE(Field(error->lpbDescription), nullptr);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(error->lpbDescription), 5), "jam!!");
}

TEST(SystemEvents, HardwareSoftwareAndUserErrorsShareTheirStructure) {
  long before = CorvidLiveBlocks();
  for (int id : {WFS_SYSE_HARDWARE_ERROR, WFS_SYSE_SOFTWARE_ERROR, WFS_SYSE_USER_ERROR}) {
    SCOPED_TRACE(id);
    ostreltest::Reply msg = Decode(SystemEvent(id, ErrorPayload()));
    ASSERT_NE(msg, nullptr);
    EXPECT_EQ(Field(msg->dwMsgType), static_cast<DWORD>(WFS_SYSTEM_EVENT));
    EXPECT_EQ(Field(msg->lpWfsResult->u.dwEventID), static_cast<DWORD>(id));
    ExpectError(msg->lpWfsResult->lpBuffer);
  }
  EXPECT_EQ(CorvidLiveBlocks(), before);
}

TEST(SystemEvents, DescriptionOfAnotherSizeIsDropped) {
  Json::Value error = ErrorPayload();
  error["dwSize"] = 4;
  error["lpbDescription"] = Base64Of("abc");
  ostreltest::Reply msg = Decode(SystemEvent(WFS_SYSE_HARDWARE_ERROR, error));
  ASSERT_NE(msg, nullptr);
  const WFSHWERROR* decoded = static_cast<const WFSHWERROR*>(msg->lpWfsResult->lpBuffer);
  ASSERT_NE(decoded, nullptr);
  EXPECT_EQ(Field(decoded->dwSize), 4u);
  EXPECT_EQ(Field(decoded->lpbDescription), nullptr);
  EXPECT_EQ(Text(decoded->lpszAppID), "App");
}

TEST(SystemEvents, UndeliverableMessageCarriesItsResult) {
  ostreltest::Reply msg = Decode(SystemEvent(WFS_SYSE_UNDELIVERABLE_MSG, UndeliverablePayload()));
  ASSERT_NE(msg, nullptr);
  const WFSUNDEVMSG* message = static_cast<const WFSUNDEVMSG*>(msg->lpWfsResult->lpBuffer);
  ASSERT_NE(message, nullptr);
  EXPECT_EQ(Text(message->lpszLogicalName), "PIN30");
  EXPECT_EQ(Text(message->lpszWorkstationName), "ATM7");
  EXPECT_EQ(Text(message->lpszAppID), "App");
  EXPECT_EQ(Field(message->dwSize), 3u);
  ASSERT_NE(Field(message->lpbDescription), nullptr);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(message->lpbDescription), 3), "abc");
  EXPECT_EQ(Field(message->dwMsg), 1032u);
  ASSERT_NE(Field(message->lpWFSResult), nullptr);
  EXPECT_EQ(Field(message->lpWFSResult->RequestID), 41u);
  EXPECT_EQ(Field(message->lpWFSResult->hService), 6);
  EXPECT_EQ(Field(message->lpWFSResult->hResult), -48);
  EXPECT_EQ(Field(message->lpWFSResult->u.dwEventID), 205u);
  EXPECT_EQ(Field(message->lpWFSResult->lpBuffer), nullptr);
  EXPECT_EQ(Field(message->lpWFSResult->tsTimestamp.wYear), 0);

  Json::Value without = UndeliverablePayload();
  without.removeMember("lpWFSResult");
  msg = Decode(SystemEvent(WFS_SYSE_UNDELIVERABLE_MSG, without));
  ASSERT_NE(msg, nullptr);
  message = static_cast<const WFSUNDEVMSG*>(msg->lpWfsResult->lpBuffer);
  ASSERT_NE(message, nullptr);
  EXPECT_EQ(Field(message->lpWFSResult), nullptr);
  EXPECT_EQ(Field(message->dwMsg), 1032u);
}

TEST(SystemEvents, VersionErrorCopiesAndCutsItsTexts) {
  ostreltest::Reply msg = Decode(SystemEvent(WFS_SYSE_VERSION_ERROR, VersionPayload()));
  ASSERT_NE(msg, nullptr);
  const WFSVRSNERROR* error = static_cast<const WFSVRSNERROR*>(msg->lpWfsResult->lpBuffer);
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(Text(error->lpszLogicalName), "PTR30");
  EXPECT_EQ(Field(error->dwSize), 2u);
  ASSERT_NE(Field(error->lpbDescription), nullptr);
  ASSERT_NE(Field(error->lpWFSVersion), nullptr);
  EXPECT_EQ(Field(error->lpWFSVersion->wVersion), 0x0303);
  EXPECT_EQ(Field(error->lpWFSVersion->wLowVersion), 0x0002);
  EXPECT_EQ(Field(error->lpWFSVersion->wHighVersion), 0x0A03);
  EXPECT_STREQ(error->lpWFSVersion->szDescription, "service");
  EXPECT_STREQ(error->lpWFSVersion->szSystemStatus, "ok");

  Json::Value longer = VersionPayload();
  std::string description;
  for (int i = 0; i < 300; ++i) description += static_cast<char>('a' + i % 26);
  longer["lpWFSVersion"]["szDescription"] = description;
  longer["lpWFSVersion"]["szSystemStatus"] = Json::Value();
  msg = Decode(SystemEvent(WFS_SYSE_VERSION_ERROR, longer));
  ASSERT_NE(msg, nullptr);
  error = static_cast<const WFSVRSNERROR*>(msg->lpWfsResult->lpBuffer);
  ASSERT_NE(Field(error->lpWFSVersion), nullptr);
  EXPECT_EQ(std::string(error->lpWFSVersion->szDescription), description.substr(0, 256));
  EXPECT_STREQ(error->lpWFSVersion->szSystemStatus, "");
}

TEST(SystemEvents, DeviceStatusAndApplicationDisconnect) {
  ostreltest::Reply msg = Decode(SystemEvent(WFS_SYSE_DEVICE_STATUS, DeviceStatusPayload()));
  ASSERT_NE(msg, nullptr);
  const WFSDEVSTATUS* status = static_cast<const WFSDEVSTATUS*>(msg->lpWfsResult->lpBuffer);
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(Text(status->lpszPhysicalName), "Printer1");
  EXPECT_EQ(Text(status->lpszWorkstationName), "ATM7");
  EXPECT_EQ(Field(status->dwState), 2u);

  msg = Decode(SystemEvent(WFS_SYSE_APP_DISCONNECT, DisconnectPayload()));
  ASSERT_NE(msg, nullptr);
  const WFSAPPDISC* disconnect = static_cast<const WFSAPPDISC*>(msg->lpWfsResult->lpBuffer);
  ASSERT_NE(disconnect, nullptr);
  EXPECT_EQ(Text(disconnect->lpszLogicalName), "CRD30");
  EXPECT_EQ(Text(disconnect->lpszWorkstationName), "ATM7");
  EXPECT_EQ(Text(disconnect->lpszAppID), "App");
}

TEST(SystemEvents, MissingOptionalMembersStayNull) {
  Json::Value sparse(Json::objectValue);
  sparse["dwState"] = 1;
  sparse["lpszWorkstationName"] = Json::Value();
  ostreltest::Reply msg = Decode(SystemEvent(WFS_SYSE_DEVICE_STATUS, sparse));
  ASSERT_NE(msg, nullptr);
  const WFSDEVSTATUS* status = static_cast<const WFSDEVSTATUS*>(msg->lpWfsResult->lpBuffer);
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(Field(status->lpszPhysicalName), nullptr);
  EXPECT_EQ(Field(status->lpszWorkstationName), nullptr);
  EXPECT_EQ(Field(status->dwState), 1u);
}

TEST(SystemEvents, NoPayloadIsDeliveredWithoutBuffer) {
  testsupport::TraceCapture trace;
  ostreltest::Reply msg = Decode(SystemEvent(WFS_SYSE_DEVICE_STATUS, Json::Value()));
  ASSERT_NE(msg, nullptr);
  EXPECT_EQ(Field(msg->lpWfsResult->lpBuffer), nullptr);
  EXPECT_EQ(Field(msg->lpWfsResult->u.dwEventID), 4u);
  EXPECT_EQ(trace.countExact("JsonUnformatEvent_System::UnformatDeviceStatus input Data is NULL", 4),
            1);
  msg = Decode(SystemEvent(WFS_SYSE_HARDWARE_ERROR, Json::Value(0)));
  ASSERT_NE(msg, nullptr);
  EXPECT_EQ(Field(msg->lpWfsResult->lpBuffer), nullptr);
  EXPECT_EQ(trace.countExact("JsonUnformatEvent_System::UnformatHardwareError input Data is NULL",
                             4),
            1);
}

TEST(SystemEvents, LockRequestAndUnknownEventsCarryNoBuffer) {
  testsupport::TraceCapture trace;
  for (int id : {WFS_SYSE_LOCK_REQUESTED, 9, 0, 100}) {
    ostreltest::Reply msg = Decode(SystemEvent(id, ErrorPayload()));
    ASSERT_NE(msg, nullptr) << id;
    EXPECT_EQ(Field(msg->lpWfsResult->lpBuffer), nullptr);
    EXPECT_EQ(Field(msg->lpWfsResult->u.dwEventID), static_cast<DWORD>(id));
  }
  EXPECT_EQ(trace.countExact("JsonUnformatEvent_System::UnformatSystem invalid SystemEvent ID", 4),
            3);
}

// One decoder with its allocation points, in order, and the pointer field
// each point fills.
struct EventCase {
  int id;
  const char* decoder;
  std::function<Json::Value()> payload;
  std::function<std::vector<const void*>(LPVOID)> points;
};

std::vector<const void*> ErrorPoints(LPVOID buffer) {
  const WFSHWERROR* error = static_cast<const WFSHWERROR*>(buffer);
  return {error->lpszLogicalName, error->lpszPhysicalName, error->lpszWorkstationName,
          error->lpszAppID, error->lpbDescription};
}

std::vector<EventCase> Events() {
  return {
      {WFS_SYSE_UNDELIVERABLE_MSG, "UnformatUndeliverableMsg", UndeliverablePayload,
       [](LPVOID buffer) -> std::vector<const void*> {
         const WFSUNDEVMSG* m = static_cast<const WFSUNDEVMSG*>(buffer);
         return {m->lpszLogicalName, m->lpszWorkstationName, m->lpszAppID, m->lpbDescription,
                 m->lpWFSResult};
       }},
      {WFS_SYSE_HARDWARE_ERROR, "UnformatHardwareError", ErrorPayload, ErrorPoints},
      {WFS_SYSE_SOFTWARE_ERROR, "UnformatSoftwareError", ErrorPayload, ErrorPoints},
      {WFS_SYSE_USER_ERROR, "UnformatUserError", ErrorPayload, ErrorPoints},
      {WFS_SYSE_VERSION_ERROR, "UnformatVersionError", VersionPayload,
       [](LPVOID buffer) -> std::vector<const void*> {
         const WFSVRSNERROR* e = static_cast<const WFSVRSNERROR*>(buffer);
         return {e->lpszLogicalName, e->lpszWorkstationName, e->lpszAppID, e->lpbDescription,
                 e->lpWFSVersion};
       }},
      {WFS_SYSE_DEVICE_STATUS, "UnformatDeviceStatus", DeviceStatusPayload,
       [](LPVOID buffer) -> std::vector<const void*> {
         const WFSDEVSTATUS* s = static_cast<const WFSDEVSTATUS*>(buffer);
         return {s->lpszPhysicalName, s->lpszWorkstationName};
       }},
      {WFS_SYSE_APP_DISCONNECT, "UnformatAppDisconnect", DisconnectPayload,
       [](LPVOID buffer) -> std::vector<const void*> {
         const WFSAPPDISC* d = static_cast<const WFSAPPDISC*>(buffer);
         return {d->lpszLogicalName, d->lpszWorkstationName, d->lpszAppID};
       }},
  };
}

TEST(SystemEvents, EveryAllocationPointFailsWithItsOwnLine) {
  for (const EventCase& event : Events()) {
    std::string text = SystemEvent(event.id, event.payload());
    size_t pointCount = 0;
    {
      ostreltest::Reply full = Decode(text);
      ASSERT_NE(full, nullptr);
      std::vector<const void*> filled = event.points(full->lpWfsResult->lpBuffer);
      pointCount = filled.size();
      for (const void* pointer : filled) EXPECT_NE(pointer, nullptr) << event.decoder;
    }
    std::string name = std::string(kPrefix) + event.decoder;
    // Point 0 is the structure; the result itself is the allocation before it.
    for (size_t point = 0; point <= pointCount; ++point) {
      SCOPED_TRACE(name + " point " + std::to_string(point));
      testsupport::TraceCapture trace;
      long before = CorvidLiveBlocks();
      CorvidFailAllocations(static_cast<long>(1 + point));
      LPCONNECTMSG msg = Decode(text).release();
      CorvidFailAllocations(-1);
      ASSERT_NE(msg, nullptr) << "the event is delivered";
      EXPECT_EQ(Field(msg->lpWfsResult->u.dwEventID), static_cast<DWORD>(event.id));
      std::string line = point == 0 ? name + " allocate buffer failed!"
                                    : name + " allocate buffer failed " + std::to_string(point) + "!";
      EXPECT_EQ(trace.countExact(line, 4), 1);
      EXPECT_EQ(trace.count("allocate buffer failed", 4), 1);
      if (point == 0) {
        EXPECT_EQ(Field(msg->lpWfsResult->lpBuffer), nullptr);
      } else {
        ASSERT_NE(Field(msg->lpWfsResult->lpBuffer), nullptr);
        std::vector<const void*> filled = event.points(msg->lpWfsResult->lpBuffer);
        for (size_t i = 0; i + 1 < point; ++i) EXPECT_NE(filled[i], nullptr) << i;
        for (size_t i = point - 1; i < filled.size(); ++i) EXPECT_EQ(filled[i], nullptr) << i;
      }
      EXPECT_EQ(Ostrel::FreeBuffer(msg, 1), 0);
      EXPECT_EQ(CorvidLiveBlocks(), before);
    }
  }
}

// Sets member (a "parent.child" path reaches into a nested object).
void SetMember(Json::Value& payload, const std::string& path, const Json::Value& value) {
  size_t dot = path.find('.');
  if (dot == std::string::npos) {
    payload[path] = value;
  } else {
    payload[path.substr(0, dot)][path.substr(dot + 1)] = value;
  }
}

TEST(SystemEvents, WrongJsonTypesFailTheDecoderAndStillDeliver) {
  const Json::Value forNumbers[] = {Json::Value("12"), Json::Value(Json::arrayValue),
                                    Json::Value(Json::objectValue)};
  const Json::Value forTexts[] = {Json::Value(12), Json::Value(true),
                                  Json::Value(Json::arrayValue), Json::Value(Json::objectValue)};
  const Json::Value forObjects[] = {Json::Value(12), Json::Value("x"),
                                    Json::Value(Json::arrayValue)};
  struct Member {
    const char* path;
    const Json::Value* wrong;
    size_t count;
  };
  const std::vector<std::pair<int, std::vector<Member>>> cases = {
      {WFS_SYSE_UNDELIVERABLE_MSG,
       {{"lpszLogicalName", forTexts, 4}, {"lpszWorkstationName", forTexts, 4},
        {"lpszAppID", forTexts, 4}, {"dwSize", forNumbers, 3}, {"lpbDescription", forTexts, 4},
        {"dwMsg", forNumbers, 3}, {"lpWFSResult", forObjects, 3},
        {"lpWFSResult.requestID", forNumbers, 3}, {"lpWFSResult.hService", forNumbers, 3},
        {"lpWFSResult.hResult", forNumbers, 3}, {"lpWFSResult.dwEventID", forNumbers, 3}}},
      {WFS_SYSE_HARDWARE_ERROR,
       {{"lpszLogicalName", forTexts, 4}, {"lpszPhysicalName", forTexts, 4},
        {"lpszWorkstationName", forTexts, 4}, {"lpszAppID", forTexts, 4},
        {"dwAction", forNumbers, 3}, {"dwSize", forNumbers, 3}, {"lpbDescription", forTexts, 4}}},
      {WFS_SYSE_VERSION_ERROR,
       {{"lpszLogicalName", forTexts, 4}, {"lpszWorkstationName", forTexts, 4},
        {"lpszAppID", forTexts, 4}, {"dwSize", forNumbers, 3}, {"lpbDescription", forTexts, 4},
        {"lpWFSVersion", forObjects, 3}, {"lpWFSVersion.wVersion", forNumbers, 3},
        {"lpWFSVersion.wLowVersion", forNumbers, 3}, {"lpWFSVersion.wHighVersion", forNumbers, 3},
        {"lpWFSVersion.szDescription", forTexts, 4},
        {"lpWFSVersion.szSystemStatus", forTexts, 4}}},
      {WFS_SYSE_DEVICE_STATUS,
       {{"lpszPhysicalName", forTexts, 4}, {"lpszWorkstationName", forTexts, 4},
        {"dwState", forNumbers, 3}}},
      {WFS_SYSE_APP_DISCONNECT,
       {{"lpszLogicalName", forTexts, 4}, {"lpszWorkstationName", forTexts, 4},
        {"lpszAppID", forTexts, 4}}},
  };
  std::vector<EventCase> events = Events();
  long before = CorvidLiveBlocks();
  testsupport::TraceCapture trace;
  for (const auto& entry : cases) {
    const EventCase* event = nullptr;
    for (const EventCase& candidate : events) {
      if (candidate.id == entry.first) event = &candidate;
    }
    ASSERT_NE(event, nullptr);
    std::string name = std::string(kPrefix) + event->decoder;
    for (const Member& member : entry.second) {
      for (size_t i = 0; i < member.count; ++i) {
        Json::Value payload = event->payload();
        SetMember(payload, member.path, member.wrong[i]);
        trace.clear();
        ostreltest::Reply msg = Decode(SystemEvent(event->id, payload));
        ASSERT_NE(msg, nullptr) << member.path;
        EXPECT_EQ(Field(msg->lpWfsResult->u.dwEventID), static_cast<DWORD>(event->id));
        std::string leaf = member.path;
        leaf = leaf.substr(leaf.find('.') + 1);
        EXPECT_EQ(trace.countExact(name + " member \"" + leaf + "\" has a wrong JSON type", 4), 1)
            << member.path << " = " << ostreltest::Write(member.wrong[i]);
      }
    }
  }
  // A payload that is no object at all.
  for (const Json::Value& payload : forObjects) {
    trace.clear();
    ostreltest::Reply msg = Decode(SystemEvent(WFS_SYSE_APP_DISCONNECT, payload));
    ASSERT_NE(msg, nullptr);
    EXPECT_EQ(Field(msg->lpWfsResult->lpBuffer), nullptr);
    EXPECT_EQ(trace.countExact(std::string(kPrefix) +
                                   "UnformatAppDisconnect member \"lpBuffer\" has a wrong JSON type",
                               4),
              1);
  }
  EXPECT_EQ(CorvidLiveBlocks(), before);
}

}  // namespace
