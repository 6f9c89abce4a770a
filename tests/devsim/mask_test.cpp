// What the log may show of requests, replies and events.
#include <gtest/gtest.h>

#include "log_mask.h"
#include "ostrel_records.h"
#include "xfsapi.h"
#include "xfsidc.h"

namespace {

Json::Value Parse(const std::string& text) {
  Json::Value value;
  Json::CharReaderBuilder builder;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  std::string errors;
  EXPECT_TRUE(reader->parse(text.data(), text.data() + text.size(), &value, &errors)) << text;
  return value;
}

Json::Value Masked(const Json::Value& json) { return Parse(devsim::MaskedText(json)); }

Json::Value Request(int kind, long code, const Json::Value& data) {
  Json::Value request(Json::objectValue);
  request["nCmdType"] = kind;
  request[kind == KvSP_CMD_EXECUTE ? "dwCommand" : "dwCategory"] = static_cast<Json::Int64>(code);
  request["lpDataBuffer"] = data;
  return request;
}

Json::Value Envelope(int msgType, const char* codeMember, long code, const Json::Value& data) {
  Json::Value envelope(Json::objectValue);
  envelope["dwMsgType"] = msgType;
  envelope["lpWfsResult"][codeMember] = static_cast<Json::Int64>(code);
  envelope["lpWfsResult"]["lpBuffer"] = data;
  return envelope;
}

TEST(DevsimLogMask, CardDataInRequestsIsMaskedAndTheRestKept) {
  Json::Value write(Json::objectValue);
  write["lpstrFormName"] = "ISO_TRACK2";
  write["lpstrTrackData"] = "4000001234567899=2512";
  Json::Value masked = Masked(Request(KvSP_CMD_EXECUTE, WFS_CMD_IDC_WRITE_TRACK, write));
  EXPECT_EQ(masked["lpDataBuffer"]["lpstrFormName"].asString(), "ISO_TRACK2");
  EXPECT_EQ(masked["lpDataBuffer"]["lpstrTrackData"].asString(), "<masked 21 chars>");

  Json::Value cards(Json::arrayValue);
  cards[0]["wDataSource"] = WFS_IDC_TRACK1;
  cards[0]["lpbData"] = "QUJD";
  masked = Masked(Request(KvSP_CMD_EXECUTE, WFS_CMD_IDC_WRITE_RAW_DATA, cards));
  EXPECT_EQ(masked["lpDataBuffer"][0]["wDataSource"].asInt(), WFS_IDC_TRACK1);
  EXPECT_EQ(masked["lpDataBuffer"][0]["lpbData"].asString(), "<masked 4 chars>");

  Json::Value chip(Json::objectValue);
  chip["ulChipDataLength"] = 3;
  chip["lpbChipData"] = "AAEC";
  masked = Masked(Request(KvSP_CMD_EXECUTE, WFS_CMD_IDC_CHIP_IO, chip));
  EXPECT_EQ(masked["lpDataBuffer"]["ulChipDataLength"].asInt(), 3);
  EXPECT_EQ(masked["lpDataBuffer"]["lpbChipData"].asString(), "<masked 4 chars>");
  // A form name is no card data.
  EXPECT_EQ(Masked(Request(KvSP_CMD_EXECUTE, WFS_CMD_IDC_READ_TRACK, "ISO_TRACK2"))["lpDataBuffer"],
            "ISO_TRACK2");
}

TEST(DevsimLogMask, PrintedDataIsMasked) {
  Json::Value raw(Json::objectValue);
  raw["ulSize"] = 3;
  raw["lpbData"] = "YWJj";
  Json::Value masked = Masked(Request(KvSP_CMD_EXECUTE, 104, raw));
  EXPECT_EQ(masked["lpDataBuffer"]["ulSize"].asInt(), 3);
  EXPECT_EQ(masked["lpDataBuffer"]["lpbData"].asString(), "<masked 4 chars>");
}

TEST(DevsimLogMask, PinExecutesAreMaskedWholeButPinStatusIsNot) {
  Json::Value crypt(Json::objectValue);
  crypt["lpsKey"] = "MASTER";
  crypt["wMode"] = 1;
  Json::Value masked = Masked(Request(KvSP_CMD_EXECUTE, 401, crypt));
  EXPECT_EQ(masked["lpDataBuffer"]["lpsKey"].asString(), "<masked 6 chars>");
  EXPECT_EQ(masked["lpDataBuffer"]["wMode"].asString(), "<masked>");

  Json::Value key(Json::objectValue);
  key["ulDigit"] = 5;
  masked = Masked(Envelope(WFS_EXECUTE_EVENT, "dwEventID", 401, key));
  EXPECT_EQ(masked["lpWfsResult"]["lpBuffer"]["ulDigit"].asString(), "<masked>");

  Json::Value status(Json::objectValue);
  status["fwDevice"] = 0;
  masked = Masked(Envelope(KvSP_GETINFO_COMPLETE, "dwCommandCode", 401, status));
  EXPECT_EQ(masked["lpWfsResult"]["lpBuffer"]["fwDevice"].asInt(), 0);
}

TEST(DevsimLogMask, TrackTextsOfRepliesAndEventsAreMasked) {
  Json::Value masked =
      Masked(Envelope(KvSP_EXECUTE_COMPLETE, "dwCommandCode", WFS_CMD_IDC_READ_TRACK, "4000=25"));
  EXPECT_EQ(masked["lpWfsResult"]["lpBuffer"].asString(), "<masked 7 chars>");
  Json::Value forms(Json::arrayValue);
  forms.append("ISO_TRACK1");
  masked = Masked(Envelope(KvSP_GETINFO_COMPLETE, "dwCommandCode", WFS_INF_IDC_FORM_LIST, forms));
  EXPECT_EQ(masked["lpWfsResult"]["lpBuffer"][0].asString(), "ISO_TRACK1");

  Json::Value track(Json::objectValue);
  track["lpstrTrack"] = "TRACK3";
  track["lpstrData"] = "0112";
  masked = Masked(Envelope(WFS_EXECUTE_EVENT, "dwEventID", WFS_EXEE_IDC_INVALIDTRACKDATA, track));
  EXPECT_EQ(masked["lpWfsResult"]["lpBuffer"]["lpstrTrack"].asString(), "TRACK3");
  EXPECT_EQ(masked["lpWfsResult"]["lpBuffer"]["lpstrData"].asString(), "<masked 4 chars>");
}

}  // namespace
