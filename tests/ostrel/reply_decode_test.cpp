// Reply texts as the message window hands them over: FormatResData builds
// the record and its WFSRESULT, FreeBuffer releases them.
#include <gtest/gtest.h>

#include <string>

#include "corvid.h"
#include "ostrel.h"
#include "ostrel_test_support.h"
#include "test_support.h"
#include "unformatjsondata.h"

namespace {

using ostreltest::Field;
using ostreltest::Decode;
using ostreltest::Envelope;
using ostreltest::Write;

Json::Value Timestamp() {
  Json::Value time(Json::objectValue);
  time["year"] = 2024;
  time["month"] = 5;
  time["day_of_week"] = 3;
  time["day"] = 15;
  time["hour"] = 13;
  time["minute"] = 45;
  time["second"] = 30;
  time["milli_seconds"] = 250;
  return time;
}

Json::Value Result() {
  Json::Value result(Json::objectValue);
  result["hResult"] = -14;
  result["hService"] = 7;
  result["requestID"] = 99;
  result["dwCommandCode"] = 999;
  result["dwEventID"] = 999;
  result["tsTimestamp"] = Timestamp();
  result["lpBuffer"] = Json::Value(Json::objectValue);
  result["lpBuffer"]["wEjectPosition"] = 1;
  return result;
}

TEST(ReplyDecode, EveryMessageTypeFillsTheResultHeader) {
  struct Kind {
    int msgType;
    bool hasCode;
  };
  const Kind kinds[] = {{5, false},   {6, true},    {7, true},    {8, false},   {11, true},
                        {13, true},   {1044, true}, {1045, true}, {1046, true}, {1047, true}};
  long before = CorvidLiveBlocks();
  for (const Kind& kind : kinds) {
    SCOPED_TRACE(kind.msgType);
    ostreltest::Reply msg = Decode(Write(Envelope(kind.msgType, Result(), 0x12345)));
    ASSERT_NE(msg, nullptr);
    EXPECT_EQ(Field(msg->dwMsgType), static_cast<DWORD>(kind.msgType));
    EXPECT_EQ(Field(msg->hService), 0x2345) << "low 16 bits of the top-level hService";
    LPWFSRESULT result = msg->lpWfsResult;
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(Field(result->hResult), -14);
    EXPECT_EQ(Field(result->hService), 7);
    EXPECT_EQ(Field(result->RequestID), 99u);
    EXPECT_EQ(Field(result->u.dwCommandCode), kind.hasCode ? 999u : 0u);
    EXPECT_EQ(Field(result->tsTimestamp.wYear), 2024);
    EXPECT_EQ(Field(result->tsTimestamp.wMonth), 5);
    EXPECT_EQ(Field(result->tsTimestamp.wDayOfWeek), 3);
    EXPECT_EQ(Field(result->tsTimestamp.wDay), 15);
    EXPECT_EQ(Field(result->tsTimestamp.wHour), 13);
    EXPECT_EQ(Field(result->tsTimestamp.wMinute), 45);
    EXPECT_EQ(Field(result->tsTimestamp.wSecond), 30);
    EXPECT_EQ(Field(result->tsTimestamp.wMilliseconds), 250);
    EXPECT_EQ(Field(result->lpBuffer), nullptr);
  }
  EXPECT_EQ(CorvidLiveBlocks(), before);
}

TEST(ReplyDecode, CodesOfTheClassRangesDecodeWithoutPayloadUntilTheirCodecExists) {
  // The card reader's and the PIN pad's codes decode through their codecs
  // (tests/idc, tests/pin); 103 and 1406 have no payload as a reply or an
  // event of the printer and the dispenser.
  const int codes[] = {103, 1406, 305, 999};
  for (int msgType : {6, 7, 1044, 1045, 1046}) {
    for (int code : codes) {
      Json::Value result = Result();
      result["dwCommandCode"] = code;
      result["dwEventID"] = code;
      ostreltest::Reply msg = Decode(Write(Envelope(msgType, result)));
      ASSERT_NE(msg, nullptr) << msgType << " " << code;
      EXPECT_EQ(Field(msg->lpWfsResult->u.dwCommandCode), static_cast<DWORD>(code));
      EXPECT_EQ(Field(msg->lpWfsResult->lpBuffer), nullptr);
    }
  }
}

TEST(ReplyDecode, UnknownMessageTypesAreRejectedAndReleased) {
  testsupport::TraceCapture trace;
  long before = CorvidLiveBlocks();
  for (int msgType : {0, 1, 9, 10, 12, 14, 1043, 1048, -7}) {
    EXPECT_EQ(Decode(Write(Envelope(msgType, Result()))), nullptr) << msgType;
  }
  Json::Value noType = Envelope(7, Result());
  noType.removeMember("dwMsgType");
  EXPECT_EQ(Decode(Write(noType)), nullptr);
  EXPECT_EQ(trace.countExact("Ostrel::FormatResData invalida Msg Type", 4), 10);
  EXPECT_EQ(trace.countExact("Ostrel::FormatResData FormatJsonData Failed", 4), 10);
  EXPECT_EQ(trace.countExact("Ostrel::FormatResData FormatJsonData dwMsgType=9, hService=1", 2), 1);
  EXPECT_EQ(CorvidLiveBlocks(), before);
}

TEST(ReplyDecode, TextsThatAreNoReplyAllocateNothing) {
  testsupport::TraceCapture trace;
  long before = CorvidLiveBlocks();
  const char* const texts[] = {"", "{", "not json", "{\"dwMsgType\":5", "[5]", "5", "null",
                               "\"text\"", "{\"a\":1 /* open comment"};
  for (const char* text : texts) EXPECT_EQ(Decode(text), nullptr) << text;
  EXPECT_EQ(Ostrel::FormatResData(nullptr), nullptr);
  EXPECT_EQ(trace.countExact("Ostrel::FormatResData Input data msg is invalided!", 4), 10);
  // Nesting deeper than the reader allows is refused the same way.
  std::string deep(5000, '[');
  EXPECT_EQ(Decode(deep + std::string(5000, ']')), nullptr);
  EXPECT_EQ(trace.countExact("Ostrel::FormatResData Input data msg is invalided!", 4), 11);
  EXPECT_EQ(CorvidLiveBlocks(), before);
}

TEST(ReplyDecode, MissingResultFailsTheDecodeAndReleasesEverything) {
  testsupport::TraceCapture trace;
  long before = CorvidLiveBlocks();
  Json::Value absent = Envelope(5, Result());
  absent.removeMember("lpWfsResult");
  EXPECT_EQ(Decode(Write(absent)), nullptr);
  EXPECT_EQ(Decode(Write(Envelope(7, Json::Value()))), nullptr);
  EXPECT_EQ(Decode(Write(Envelope(1046, Json::Value()))), nullptr);
  EXPECT_EQ(trace.countExact("UnformatJsonData::UnformatOpenComplete wfsResult == NULL", 4), 1);
  EXPECT_EQ(trace.countExact("UnformatJsonData::UnformatExecuteComplete wfsResult == NULL", 4), 1);
  EXPECT_EQ(trace.countExact("UnformatJsonData::UnformatUserEvent wfsResult == NULL", 4), 1);
  EXPECT_EQ(trace.countExact("Ostrel::FormatResData FormatJsonData Failed", 4), 3);
  EXPECT_EQ(CorvidLiveBlocks(), before);
}

TEST(ReplyDecode, AbsentHeaderMembersStayZero) {
  Json::Value result(Json::objectValue);
  result["requestID"] = 4;
  Json::Value time(Json::objectValue);
  time["year"] = 2030;
  Json::Value partial = Result();
  partial["tsTimestamp"] = time;
  for (const Json::Value& member : {result, partial}) {
    ostreltest::Reply msg = Decode(Write(Envelope(7, member)));
    ASSERT_NE(msg, nullptr);
    EXPECT_EQ(Field(msg->lpWfsResult->tsTimestamp.wMonth), 0);
    EXPECT_EQ(Field(msg->lpWfsResult->tsTimestamp.wMilliseconds), 0);
  }
  ostreltest::Reply msg = Decode(Write(Envelope(7, result)));
  EXPECT_EQ(Field(msg->lpWfsResult->RequestID), 4u);
  EXPECT_EQ(Field(msg->lpWfsResult->hResult), 0);
  EXPECT_EQ(Field(msg->lpWfsResult->tsTimestamp.wYear), 0);
  EXPECT_EQ(Field(msg->hService), 1);
}

TEST(ReplyDecode, NumbersKeepTheirLowBits) {
  Json::Value result = Result();
  result["requestID"] = Json::UInt(4294967295u);
  result["hResult"] = Json::UInt(4294967295u);
  result["hService"] = 65536 + 9;
  result["dwCommandCode"] = -1;
  result["tsTimestamp"]["year"] = 70000;
  result["tsTimestamp"]["month"] = 4.9;
  ostreltest::Reply msg = Decode(Write(Envelope(7, result)));
  ASSERT_NE(msg, nullptr);
  EXPECT_EQ(Field(msg->lpWfsResult->RequestID), 4294967295u);
  EXPECT_EQ(Field(msg->lpWfsResult->hResult), -1);
  EXPECT_EQ(Field(msg->lpWfsResult->hService), 9);
  EXPECT_EQ(Field(msg->lpWfsResult->u.dwCommandCode), 0xFFFFFFFFu);
  EXPECT_EQ(Field(msg->lpWfsResult->tsTimestamp.wYear), 70000 & 0xFFFF);
  EXPECT_EQ(Field(msg->lpWfsResult->tsTimestamp.wMonth), 4);
}

TEST(ReplyDecode, TextAfterTheRootObjectIsAccepted) {
  std::string text = Write(Envelope(8, Result()));
  text.pop_back();
  ostreltest::Reply msg = Decode(text + " trailing words");
  ASSERT_NE(msg, nullptr);
  EXPECT_EQ(Field(msg->dwMsgType), 8u);
}

// Every member position of the envelope, each given values of wrong types.
TEST(ReplyDecode, WrongJsonTypesInTheEnvelopeGiveNullAndLeakNothing) {
  // "x" at the top level, "r.x" in lpWfsResult, "t.x" in tsTimestamp.
  const char* const positions[] = {"dwMsgType",       "hService",     "lpWfsResult",
                                   "r.hResult",       "r.hService",   "r.requestID",
                                   "r.dwCommandCode", "r.dwEventID",  "r.tsTimestamp",
                                   "t.year",          "t.month",      "t.day_of_week",
                                   "t.day",           "t.hour",       "t.minute",
                                   "t.second",        "t.milli_seconds"};
  const Json::Value wrong[] = {Json::Value("7"), Json::Value(Json::arrayValue),
                               Json::Value(Json::objectValue), Json::Value(1e12),
                               Json::Value(Json::Int64(-3000000000LL))};
  long before = CorvidLiveBlocks();
  testsupport::TraceCapture trace;
  for (const char* position : positions) {
    for (const Json::Value& value : wrong) {
      std::string path = position;
      bool objectFits = path == "lpWfsResult" || path == "r.tsTimestamp";
      if (objectFits && value.isObject()) continue;
      for (int msgType : {7, 1044, 1047}) {
        // Each decoder reads one code member and ignores the other.
        bool isEvent = msgType != 7;
        if ((path == "r.dwCommandCode" && isEvent) || (path == "r.dwEventID" && !isEvent)) continue;
        Json::Value root = Envelope(msgType, Result());
        if (path.compare(0, 2, "r.") == 0) {
          root["lpWfsResult"][path.substr(2)] = value;
        } else if (path.compare(0, 2, "t.") == 0) {
          root["lpWfsResult"]["tsTimestamp"][path.substr(2)] = value;
        } else {
          root[path] = value;
        }
        trace.clear();
        EXPECT_EQ(Decode(Write(root)), nullptr) << path << " = " << Write(value);
        EXPECT_EQ(trace.count("has a wrong JSON type", 4), 1) << path << " = " << Write(value);
      }
    }
  }
  EXPECT_EQ(CorvidLiveBlocks(), before);
}

TEST(ReplyDecode, FreeBufferKeepsOrReleasesTheResult) {
  testsupport::TraceCapture trace;
  long before = CorvidLiveBlocks();
  std::string text = Write(Envelope(7, Result()));

  LPCONNECTMSG kept = Decode(text).release();
  ASSERT_NE(kept, nullptr);
  LPWFSRESULT result = kept->lpWfsResult;
  EXPECT_EQ(Ostrel::FreeBuffer(kept, 0), 0);
  EXPECT_EQ(Field(result->RequestID), 99u) << "still the application's";
  EXPECT_EQ(WFMFreeBuffer(result), WFS_SUCCESS);

  LPCONNECTMSG discarded = Decode(text).release();
  ASSERT_NE(discarded, nullptr);
  EXPECT_EQ(Ostrel::FreeBuffer(discarded, 1), 0);
  EXPECT_EQ(CorvidLiveBlocks(), before);

  EXPECT_EQ(Ostrel::FreeBuffer(nullptr, 1), 1);
  LPCONNECTMSG empty = new _connect_msg();
  EXPECT_EQ(Ostrel::FreeBuffer(empty, 1), 1);  // released all the same
  EXPECT_EQ(trace.countExact("Ostrel::FreeBuffer pointer is NULL!", 3), 2);
}

TEST(ReplyDecode, AFailedResultAllocationIsReported) {
  testsupport::TraceCapture trace;
  long before = CorvidLiveBlocks();
  CorvidFailAllocations(0);
  EXPECT_EQ(Decode(Write(Envelope(5, Result()))), nullptr);
  CorvidFailAllocations(-1);
  EXPECT_EQ(trace.countExact("Ostrel::FormatResData allocate buffer failed!", 4), 1);
  EXPECT_EQ(CorvidLiveBlocks(), before);
}

TEST(ReplyDecode, EnvelopeDecodersParseTheirOwnText) {
  testsupport::TraceCapture trace;
  ostreltest::Result owner = ostreltest::NewResult();
  LPWFSRESULT result = owner.get();
  ASSERT_NE(result, nullptr);
  char bad[] = "{oops";
  typedef int (*EnvelopeDecoder)(LPWFSRESULT, char*);
  struct Decoder {
    EnvelopeDecoder decode;
    const char* name;
  };
  const Decoder decoders[] = {
      {&UnformatJsonData::UnformatOpenComplete, "UnformatOpenComplete"},
      {&UnformatJsonData::UnformatCloseComplete, "UnformatCloseComplete"},
      {&UnformatJsonData::UnformatGetInfoComplete, "UnformatGetInfoComplete"},
      {&UnformatJsonData::UnformatExecuteComplete, "UnformatExecuteComplete"},
      {&UnformatJsonData::UnformatLockComplete, "UnformatLockComplete"},
      {&UnformatJsonData::UnformatUnlockComplete, "UnformatUnlockComplete"},
      {&UnformatJsonData::UnformatExecuteEvent, "UnformatExecuteEvent"},
      {&UnformatJsonData::UnformatServiceEvent, "UnformatServiceEvent"},
      {&UnformatJsonData::UnformatUserEvent, "UnformatUserEvent"},
      {&UnformatJsonData::UnformatSystemEvent, "UnformatSystemEvent"},
  };
  std::string good = Write(Envelope(7, Result()));
  for (const Decoder& decoder : decoders) {
    EXPECT_EQ(decoder.decode(result, bad), 0);
    EXPECT_EQ(trace.countExact(std::string("Ostrel::") + decoder.name +
                                   " Input data msg is invalided!",
                               4),
              1)
        << decoder.name;
    EXPECT_EQ(decoder.decode(result, &good[0]), 1) << decoder.name;
    EXPECT_EQ(Field(result->RequestID), 99u);
  }
}

}  // namespace
