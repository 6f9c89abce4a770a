// Card reader requests: the "lpDataBuffer" that each get-info and execute
// input becomes, and what happens to input that cannot be formatted.
#include <gtest/gtest.h>

#include <string>

#include "bufferformat_idc.h"
#include "idc_test_support.h"
#include "ostrel.h"
#include "ostrel_test_support.h"
#include "test_support.h"
#include "xfsidc.h"

namespace {

using idctest::Base64Of;
using idctest::Payload;

// The text of a value as it travels: compares values member by member,
// whatever integer type a member was made with.
std::string W(const Json::Value& value) { return ostreltest::Write(value); }

Json::Value Execute(DWORD command, void* data) { return Payload(KvSP_CMD_EXECUTE, command, data); }
Json::Value GetInfo(DWORD category, void* data) {
  return Payload(KvSP_CMD_GETINFO, category, data);
}

// An object from name/value pairs, for comparing a payload as a whole: a
// missing or extra member fails the comparison.
Json::Value Object(std::initializer_list<std::pair<const char*, Json::Value>> members) {
  Json::Value object(Json::objectValue);
  for (const auto& member : members) object[member.first] = member.second;
  return object;
}

const std::string kTrack2 = "4761739001010119=22122011758928889";
const std::string kAbc = "abc";
const std::string kNone;
const std::string kChip("\x00\xA4\x04\x00\x07\xA0\x00\x00\x00\x03\x10\x10", 12);

// The record points into bytes, which must outlive it (hence no temporaries).
WFSIDCCARDDATA CardData(WORD source, const std::string& bytes, WORD writeMethod = WFS_IDC_AUTO);
WFSIDCCARDDATA CardData(WORD, std::string&&, WORD = WFS_IDC_AUTO) = delete;
WFSIDCCARDDATA CardData(WORD source, const std::string& bytes, WORD writeMethod) {
  WFSIDCCARDDATA card;
  std::memset(&card, 0, sizeof card);
  card.wDataSource = source;
  card.wStatus = WFS_IDC_DATAOK;
  card.ulDataLength = static_cast<ULONG>(bytes.size());
  card.lpbData =
      bytes.empty() ? nullptr : reinterpret_cast<LPBYTE>(const_cast<char*>(bytes.data()));
  card.fwWriteMethod = writeMethod;
  return card;
}

Json::Value CardObject(WORD source, const std::string& bytes, WORD writeMethod = WFS_IDC_AUTO) {
  Json::Value object = Object({{"wDataSource", source},
                               {"wStatus", WFS_IDC_DATAOK},
                               {"ulDataLength", static_cast<Json::UInt>(bytes.size())},
                               {"fwWriteMethod", writeMethod}});
  if (!bytes.empty()) object["lpbData"] = Base64Of(bytes);
  return object;
}

TEST(IdcRequest, GetInfoSendsOnlyTheQueryFormName) {
  char form[] = "TRACK2FORM";
  EXPECT_EQ(W(GetInfo(WFS_INF_IDC_QUERY_FORM, form)), W(Json::Value("TRACK2FORM")));
  // The other categories have no input: null, whatever lpQueryDetails holds.
  for (DWORD category : {WFS_INF_IDC_STATUS, WFS_INF_IDC_CAPABILITIES, WFS_INF_IDC_FORM_LIST,
                         WFS_INF_IDC_QUERY_IFM_IDENTIFIER}) {
    EXPECT_TRUE(GetInfo(category, form).isNull()) << category;
  }
  EXPECT_TRUE(GetInfo(WFS_INF_IDC_QUERY_FORM, nullptr).isNull());
}

TEST(IdcRequest, ReadTrackEjectRetainAndResetCount) {
  char form[] = "READFORM";
  EXPECT_EQ(W(Execute(WFS_CMD_IDC_READ_TRACK, form)), W(Json::Value("READFORM")));

  WFSIDCEJECTCARD eject = {WFS_IDC_TRANSPORTPOSITION};
  EXPECT_EQ(W(Execute(WFS_CMD_IDC_EJECT_CARD, &eject)),
            W(Object({{"wEjectPosition", WFS_IDC_TRANSPORTPOSITION}})));
  eject.wEjectPosition = 0xFFFF;  // 16-bit fields are zero-extended
  EXPECT_EQ(W(Execute(WFS_CMD_IDC_EJECT_CARD, &eject)), W(Object({{"wEjectPosition", 65535}})));

  // Retain card and reset count send no input, with or without lpCmdData.
  WORD anything = 7;
  for (DWORD command : {WFS_CMD_IDC_RETAIN_CARD, WFS_CMD_IDC_RESET_COUNT}) {
    EXPECT_TRUE(Execute(command, &anything).isNull()) << command;
    EXPECT_TRUE(Execute(command, nullptr).isNull()) << command;
  }
}

TEST(IdcRequest, WriteTrackWithAndWithoutFormName) {
  testsupport::TraceCapture trace;
  char form[] = "WRITEFORM";
  char data[] = "TRACK3DATA";
  WFSIDCWRITETRACK write = {form, data, WFS_IDC_HICO};
  EXPECT_EQ(W(Execute(WFS_CMD_IDC_WRITE_TRACK, &write)),
            W(Object({{"lpstrFormName", "WRITEFORM"},
                      {"lpstrTrackData", "TRACK3DATA"},
                      {"fwWriteMethod", WFS_IDC_HICO}})));
  EXPECT_EQ(trace.countExact("BufferFormat_IDC::ExeFormat cmd = WFS_CMD_IDC_WRITE_TRACK", 1), 1);
  EXPECT_EQ(trace.countExact("BufferFormat_IDC::FormatWriteTrack ", 1), 1);

  write.lpstrFormName = nullptr;  // optional: null
  Json::Value payload = Execute(WFS_CMD_IDC_WRITE_TRACK, &write);
  ASSERT_TRUE(payload.isMember("lpstrFormName"));
  EXPECT_TRUE(payload["lpstrFormName"].isNull());
  EXPECT_EQ(W(payload["lpstrTrackData"]), W(Json::Value("TRACK3DATA")));
}

TEST(IdcRequest, SetkeySendsTheKeyOnlyWhenItHasALength) {
  std::string key("\x01\x23\x45\x67\x89\xAB\xCD\xEF", 8);
  WFSIDCSETKEY setkey = {8, reinterpret_cast<LPBYTE>(&key[0])};
  EXPECT_EQ(W(Execute(WFS_CMD_IDC_SETKEY, &setkey)),
            W(Object({{"usKeyLen", 8}, {"lpbKeyValue", Base64Of(key)}})));
  setkey.usKeyLen = 0;
  EXPECT_EQ(W(Execute(WFS_CMD_IDC_SETKEY, &setkey)), W(Object({{"usKeyLen", 0}})));
  setkey.lpbKeyValue = nullptr;
  EXPECT_EQ(W(Execute(WFS_CMD_IDC_SETKEY, &setkey)), W(Object({{"usKeyLen", 0}})));
}

TEST(IdcRequest, ReadRawDataResetAndChipPowerSendTheirWords) {
  WORD readData = WFS_IDC_TRACK1 | WFS_IDC_TRACK2 | WFS_IDC_TRACK3 | WFS_IDC_CHIP;
  EXPECT_EQ(W(Execute(WFS_CMD_IDC_READ_RAW_DATA, &readData)), W(Object({{"lpwReadData", 15}})));
  // Reset and chip power send the bare integer.
  WORD resetIn = WFS_IDC_RETAIN;
  EXPECT_EQ(W(Execute(WFS_CMD_IDC_RESET, &resetIn)), W(Json::Value(WFS_IDC_RETAIN)));
  WORD chipPower = WFS_IDC_CHIPPOWERWARM;
  EXPECT_EQ(W(Execute(WFS_CMD_IDC_CHIP_POWER, &chipPower)), W(Json::Value(WFS_IDC_CHIPPOWERWARM)));
  // The exact text: a bare integer inside the envelope.
  std::string text = idctest::RequestText(KvSP_CMD_EXECUTE, WFS_CMD_IDC_CHIP_POWER, &chipPower);
  EXPECT_NE(text.find("\"lpDataBuffer\":4,"), std::string::npos) << text;
}

TEST(IdcRequest, WriteRawDataElementsCarryOnlyTheirOwnMembers) {
  // The first element has data, the second none: its object has no "lpbData".
  WFSIDCCARDDATA first = CardData(WFS_IDC_TRACK1, kAbc, WFS_IDC_LOCO);
  WFSIDCCARDDATA second = CardData(WFS_IDC_TRACK2, kNone);
  LPWFSIDCCARDDATA list[] = {&first, &second, nullptr};
  Json::Value expected(Json::arrayValue);
  expected.append(CardObject(WFS_IDC_TRACK1, "abc", WFS_IDC_LOCO));
  expected.append(CardObject(WFS_IDC_TRACK2, ""));
  Json::Value payload = Execute(WFS_CMD_IDC_WRITE_RAW_DATA, list);
  EXPECT_EQ(W(payload), W(expected));
  ASSERT_EQ(payload.size(), 2u);
  EXPECT_EQ(W(payload[0]["lpbData"]), W(Json::Value("YWJj")));
  EXPECT_FALSE(payload[1].isMember("lpbData"));

  LPWFSIDCCARDDATA none[] = {nullptr};
  EXPECT_EQ(W(Execute(WFS_CMD_IDC_WRITE_RAW_DATA, none)), W(Json::Value(Json::arrayValue)));
}

TEST(IdcRequest, ChipIoAndParseData) {
  WFSIDCCHIPIO chip = {WFS_IDC_CHIPT1, static_cast<ULONG>(kChip.size()),
                       reinterpret_cast<LPBYTE>(const_cast<char*>(kChip.data()))};
  EXPECT_EQ(W(Execute(WFS_CMD_IDC_CHIP_IO, &chip)), W(Object({{"wChipProtocol", WFS_IDC_CHIPT1},
                                                              {"ulChipDataLength", 12},
                                                              {"lpbChipData", Base64Of(kChip)}})));
  chip.ulChipDataLength = 0;
  EXPECT_EQ(W(Execute(WFS_CMD_IDC_CHIP_IO, &chip)),
            W(Object({{"wChipProtocol", WFS_IDC_CHIPT1}, {"ulChipDataLength", 0}})));

  testsupport::TraceCapture trace;
  WFSIDCCARDDATA track2 = CardData(WFS_IDC_TRACK2, kTrack2);
  WFSIDCCARDDATA chipData = CardData(WFS_IDC_CHIP, kChip);
  LPWFSIDCCARDDATA cards[] = {&track2, &chipData, nullptr};
  char form[] = "PARSEFORM";
  WFSIDCPARSEDATA parse = {form, cards};
  Json::Value expectedCards(Json::arrayValue);
  expectedCards.append(CardObject(WFS_IDC_TRACK2, kTrack2));
  expectedCards.append(CardObject(WFS_IDC_CHIP, kChip));
  EXPECT_EQ(W(Execute(WFS_CMD_IDC_PARSE_DATA, &parse)),
            W(Object({{"lpstrFormName", "PARSEFORM"}, {"lppCardData", expectedCards}})));
  EXPECT_EQ(trace.countExact("BufferFormat_IDC::FormatParseData enter!", 1), 1);
}

TEST(IdcRequest, GuidanceLightAndPowerSave) {
  WFSIDCSETGUIDLIGHT light = {WFS_IDC_GUIDANCE_CARDUNIT,
                              0x80000000u | WFS_IDC_GUIDANCE_SLOW_FLASH | WFS_IDC_GUIDANCE_GREEN};
  Json::Value payload = Execute(WFS_CMD_IDC_SET_GUIDANCE_LIGHT, &light);
  // The command word is unsigned: no negative number for the top bit.
  EXPECT_EQ(W(payload), W(Object({{"wGuidLight", 0}, {"dwCommand", Json::UInt(0x80000204u)}})));
  std::string text = idctest::RequestText(KvSP_CMD_EXECUTE, WFS_CMD_IDC_SET_GUIDANCE_LIGHT, &light);
  EXPECT_NE(text.find("\"dwCommand\":2147484164,"), std::string::npos) << text;

  WFSIDCPOWERSAVECONTROL control = {65535};
  EXPECT_EQ(W(Execute(WFS_CMD_IDC_POWER_SAVE_CONTROL, &control)),
            W(Object({{"usMaxPowerSaveRecoveryTime", 65535}})));
}

TEST(IdcRequest, UnknownCodesAndNoInputSendNull) {
  testsupport::TraceCapture trace;
  WORD anything = 1;
  EXPECT_TRUE(Execute(215, &anything).isNull());
  EXPECT_TRUE(Execute(299, &anything).isNull());
  EXPECT_TRUE(GetInfo(206, &anything).isNull());
  EXPECT_EQ(trace.countExact("BufferFormat_IDC::ExeFormat invalid EXE CMD", 4), 2);
  EXPECT_EQ(trace.countExact("BufferFormat_IDC::InfoFormat invalid INFO CMD", 4), 1);
  // No input: null whatever the code, without a line.
  trace.clear();
  for (DWORD command = WFS_CMD_IDC_READ_TRACK; command <= WFS_CMD_IDC_POWER_SAVE_CONTROL;
       ++command) {
    EXPECT_TRUE(Execute(command, nullptr).isNull()) << command;
  }
  EXPECT_TRUE(Execute(215, nullptr).isNull());
  EXPECT_EQ(trace.count("", 4), 0);
}

// A request whose input breaks its structure's rules: the dispatcher's
// caught-fault line, and the request goes out with "lpDataBuffer" null.
class IdcUnformattable : public ::testing::Test {
 protected:
  void ExpectSentWithNullPayload(DWORD command, void* data, const std::string& member) {
    SCOPED_TRACE(command);
    testsupport::TraceCapture trace;
    ostreltest::RequestListener listener;
    _tagDataOption option = idctest::Request(KvSP_CMD_EXECUTE, command, data, listener.port());
    ASSERT_EQ(Ostrel::SendMessage(&option), 1);
    std::string text;
    ASSERT_TRUE(listener.Receive(&text));
    Json::Value root = ostreltest::Parse(text);
    ASSERT_TRUE(root.isMember("lpDataBuffer")) << text;
    EXPECT_TRUE(root["lpDataBuffer"].isNull()) << text;
    EXPECT_EQ(W(root["dwCommand"]), W(Json::Value(command)));
    EXPECT_EQ(trace.count("bufferformat_idc(", 4), 1);
    EXPECT_EQ(trace.count("BufferFormat_IDC::ExeForma catch an Exception", 4), 2);
    EXPECT_TRUE(trace.contains(member + " is NULL", 4));
  }
};

TEST_F(IdcUnformattable, NullTrackDataToWrite) {
  char form[] = "WRITEFORM";
  WFSIDCWRITETRACK write = {form, nullptr, WFS_IDC_AUTO};
  ExpectSentWithNullPayload(WFS_CMD_IDC_WRITE_TRACK, &write, "lpstrTrackData");
}

TEST_F(IdcUnformattable, NullParseFormName) {
  WFSIDCCARDDATA track = CardData(WFS_IDC_TRACK2, kTrack2);
  LPWFSIDCCARDDATA cards[] = {&track, nullptr};
  WFSIDCPARSEDATA parse = {nullptr, cards};
  ExpectSentWithNullPayload(WFS_CMD_IDC_PARSE_DATA, &parse, "lpstrFormName");
}

TEST_F(IdcUnformattable, DataMissingBehindALength) {
  WFSIDCCARDDATA first = CardData(WFS_IDC_TRACK1, kAbc);
  WFSIDCCARDDATA second = CardData(WFS_IDC_TRACK3, kNone);
  second.ulDataLength = 5;  // and lpbData NULL
  LPWFSIDCCARDDATA list[] = {&first, &second, nullptr};
  ExpectSentWithNullPayload(WFS_CMD_IDC_WRITE_RAW_DATA, list, "lpbData");
  WFSIDCSETKEY setkey = {8, nullptr};
  ExpectSentWithNullPayload(WFS_CMD_IDC_SETKEY, &setkey, "lpbKeyValue");
  WFSIDCCHIPIO chip = {WFS_IDC_CHIPT0, 4, nullptr};
  ExpectSentWithNullPayload(WFS_CMD_IDC_CHIP_IO, &chip, "lpbChipData");
}

TEST(IdcRequest, ReadTrackAndQueryFormWithoutNameSendNull) {
  // The form name is the input itself: a NULL one is no input.
  testsupport::TraceCapture trace;
  ostreltest::RequestListener listener;
  _tagDataOption option =
      idctest::Request(KvSP_CMD_EXECUTE, WFS_CMD_IDC_READ_TRACK, nullptr, listener.port());
  ASSERT_EQ(Ostrel::SendMessage(&option), 1);
  std::string text;
  ASSERT_TRUE(listener.Receive(&text));
  EXPECT_NE(text.find("\"lpDataBuffer\":null"), std::string::npos) << text;
  EXPECT_TRUE(GetInfo(WFS_INF_IDC_QUERY_FORM, nullptr).isNull());
  EXPECT_EQ(trace.count("catch an Exception", 4), 0);
}

}  // namespace
