// Card reader completions and events from reply text to the XFS structures
// below the result, read back byte by byte at the offsets of the 32-bit
// target (shifted by the pointer growth on this one).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "corvid.h"
#include "idc_test_support.h"
#include "ostrel.h"
#include "ostrel_test_support.h"
#include "test_support.h"
#include "xfsidc.h"

namespace {

using idctest::At;
using idctest::Base64Of;
using idctest::BytesAt;
using idctest::PointerAt;
using idctest::Reply;
using idctest::TextAt;
using ostreltest::Decode;
using ostreltest::Field;

const char kTrack2[] = "4761739001010119=22122011758928889";
const std::string kChip("\x3B\x6E\x00\x00\x80\x31\x80\x66\xB0\x84\x12\x01", 12);

// Every test releases what it decoded: Corvid's live blocks return to their
// count at the start.
class IdcReply : public ::testing::Test {
 protected:
  void SetUp() override { m_before = CorvidLiveBlocks(); }
  void TearDown() override {
    Release();
    EXPECT_EQ(CorvidLiveBlocks(), m_before);
  }

  // The lpBuffer of a decoded reply; the reply is kept until the test ends.
  LPVOID Buffer(int msgType, DWORD code, const Json::Value& payload, bool hasPayload = true) {
    m_replies.push_back(Decode(Reply(msgType, code, payload, hasPayload)));
    const ostreltest::Reply& msg = m_replies.back();
    EXPECT_NE(msg, nullptr) << "the reply is delivered";
    if (msg == nullptr) return nullptr;
    EXPECT_EQ(Field(msg->lpWfsResult->u.dwCommandCode), code);
    EXPECT_EQ(Field(msg->lpWfsResult->RequestID), 77u);
    return msg->lpWfsResult->lpBuffer;
  }
  LPVOID Info(DWORD code, const Json::Value& payload) {
    return Buffer(KvSP_GETINFO_COMPLETE, code, payload);
  }
  LPVOID Execute(DWORD code, const Json::Value& payload) {
    return Buffer(KvSP_EXECUTE_COMPLETE, code, payload);
  }
  void Release() { m_replies.clear(); }

  testsupport::TraceCapture m_trace;

 private:
  long m_before = 0;
  std::vector<ostreltest::Reply> m_replies;
};

Json::Value Strings(std::initializer_list<const char*> texts) {
  Json::Value array(Json::arrayValue);
  for (const char* text : texts) array.append(text);
  return array;
}

Json::Value GuidLights(size_t count) {
  Json::Value lights(Json::arrayValue);
  for (size_t i = 0; i < count; ++i) lights.append(Json::UInt(0x100u + i));
  return lights;
}

Json::Value StatusPayload() {
  Json::Value status(Json::objectValue);
  status["fwDevice"] = WFS_IDC_DEVBUSY;
  status["fwMedia"] = WFS_IDC_MEDIALATCHED;
  status["fwRetainBin"] = WFS_IDC_RETAINBINHIGH;
  status["fwSecurity"] = WFS_IDC_SECOPEN;
  status["usCards"] = 12;
  status["fwChipPower"] = WFS_IDC_CHIPBUSY;
  status["lpszExtra"] = Strings({"a=1", "b=2"});
  Json::Value lights = GuidLights(32);
  lights[31] = Json::UInt(0x80000001u);
  status["dwGuidLights"] = lights;
  status["fwChipModule"] = 1;
  status["fwMagReadModule"] = 2;
  status["fwMagWriteModule"] = 3;
  status["fwFrontImageModule"] = 4;
  status["fwBackImageModule"] = 5;
  status["wDevicePosition"] = WFS_IDC_DEVICEPOSUNKNOWN;
  status["usPowerSaveRecoveryTime"] = 40000;
  return status;
}

TEST_F(IdcReply, StatusAtItsOffsets) {
  LPVOID status = Info(WFS_INF_IDC_STATUS, StatusPayload());
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(At<WORD>(status, 0), WFS_IDC_DEVBUSY);
  EXPECT_EQ(At<WORD>(status, 2), WFS_IDC_MEDIALATCHED);
  EXPECT_EQ(At<WORD>(status, 4), WFS_IDC_RETAINBINHIGH);
  EXPECT_EQ(At<WORD>(status, 6), WFS_IDC_SECOPEN);
  EXPECT_EQ(At<USHORT>(status, 8), 12);
  EXPECT_EQ(At<WORD>(status, 10), WFS_IDC_CHIPBUSY);
  EXPECT_EQ(BytesAt(status, 12, 0, 9), std::string("a=1\0b=2\0\0", 9));
  for (size_t i = 0; i < 31; ++i) EXPECT_EQ(At<DWORD>(status, 16 + 4 * i, 1), 0x100u + i) << i;
  EXPECT_EQ(At<DWORD>(status, 16 + 4 * 31, 1), 0x80000001u);
  EXPECT_EQ(At<WORD>(status, 144, 1), 1);
  EXPECT_EQ(At<WORD>(status, 146, 1), 2);
  EXPECT_EQ(At<WORD>(status, 148, 1), 3);
  EXPECT_EQ(At<WORD>(status, 150, 1), 4);
  EXPECT_EQ(At<WORD>(status, 152, 1), 5);
  EXPECT_EQ(At<WORD>(status, 154, 1), WFS_IDC_DEVICEPOSUNKNOWN);
  EXPECT_EQ(At<USHORT>(status, 156, 1), 40000);
}

TEST_F(IdcReply, StatusWithoutOptionalMembers) {
  LPVOID status = Info(WFS_INF_IDC_STATUS, Json::Value(Json::objectValue));
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(PointerAt(status, 12, 0), nullptr);
  for (size_t i = 0; i < 32; ++i) EXPECT_EQ(At<DWORD>(status, 16 + 4 * i, 1), 0u) << i;

  Json::Value sparse(Json::objectValue);
  sparse["lpszExtra"] = Json::Value(Json::arrayValue);
  sparse["dwGuidLights"] = GuidLights(3);
  status = Info(WFS_INF_IDC_STATUS, sparse);
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(PointerAt(status, 12, 0), nullptr) << "an empty extra list is NULL";
  for (size_t i = 0; i < 3; ++i) EXPECT_EQ(At<DWORD>(status, 16 + 4 * i, 1), 0x100u + i);
  for (size_t i = 3; i < 32; ++i) EXPECT_EQ(At<DWORD>(status, 16 + 4 * i, 1), 0u) << i;

  sparse["lpszExtra"] = Json::Value();
  sparse["dwGuidLights"] = Json::Value();
  status = Info(WFS_INF_IDC_STATUS, sparse);
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(PointerAt(status, 12, 0), nullptr);
}

Json::Value CapsPayload() {
  Json::Value caps(Json::objectValue);
  caps["wClass"] = WFS_SERVICE_CLASS_IDC;
  caps["fwType"] = WFS_IDC_TYPEMOTOR;
  caps["bCompound"] = true;
  caps["fwReadTracks"] = WFS_IDC_TRACK1 | WFS_IDC_TRACK2 | WFS_IDC_TRACK3;
  caps["fwWriteTracks"] = WFS_IDC_TRACK3;
  caps["fwChipProtocols"] = WFS_IDC_CHIPT0 | WFS_IDC_CHIPT1;
  caps["usCards"] = 50;
  caps["fwSecType"] = 1;
  caps["fwPowerOnOption"] = WFS_IDC_EJECT;
  caps["fwPowerOffOption"] = WFS_IDC_RETAIN;
  caps["bFluxSensorProgrammable"] = false;
  caps["bReadWriteAccessFollowingEject"] = true;
  caps["fwWriteMode"] = WFS_IDC_LOCO | WFS_IDC_HICO;
  caps["fwChipPower"] = WFS_IDC_CHIPPOWERCOLD | WFS_IDC_CHIPPOWERWARM;
  caps["lpszExtra"] = Strings({"vendor=X"});
  caps["fwDIPMode"] = 2;
  Json::Value protocols(Json::arrayValue);
  protocols.append(0x0001);
  protocols.append(0x0102);
  caps["lpwMemoryChipProtocols"] = protocols;
  caps["dwGuidLights"] = GuidLights(32);
  caps["fwEjectPosition"] = WFS_IDC_EXITPOSITION | WFS_IDC_TRANSPORTPOSITION;
  caps["bPowerSaveControl"] = 1;
  return caps;
}

TEST_F(IdcReply, CapabilitiesAtTheirOffsets) {
  LPVOID caps = Info(WFS_INF_IDC_CAPABILITIES, CapsPayload());
  ASSERT_NE(caps, nullptr);
  EXPECT_EQ(At<WORD>(caps, 0), WFS_SERVICE_CLASS_IDC);
  EXPECT_EQ(At<WORD>(caps, 2), WFS_IDC_TYPEMOTOR);
  EXPECT_EQ(At<BOOL>(caps, 4), TRUE);
  EXPECT_EQ(At<WORD>(caps, 8), 7);
  EXPECT_EQ(At<WORD>(caps, 10), WFS_IDC_TRACK3);
  EXPECT_EQ(At<WORD>(caps, 12), 3);
  EXPECT_EQ(At<USHORT>(caps, 14), 50);
  EXPECT_EQ(At<WORD>(caps, 16), 1);
  EXPECT_EQ(At<WORD>(caps, 18), WFS_IDC_EJECT);
  EXPECT_EQ(At<WORD>(caps, 20), WFS_IDC_RETAIN);
  EXPECT_EQ(At<BOOL>(caps, 22), FALSE);
  EXPECT_EQ(At<BOOL>(caps, 26), TRUE);
  EXPECT_EQ(At<WORD>(caps, 30), WFS_IDC_LOCO | WFS_IDC_HICO);
  EXPECT_EQ(At<WORD>(caps, 32), WFS_IDC_CHIPPOWERCOLD | WFS_IDC_CHIPPOWERWARM);
  EXPECT_EQ(BytesAt(caps, 34, 0, 10), std::string("vendor=X\0\0", 10));
  EXPECT_EQ(At<WORD>(caps, 38, 1), 2);
  const void* protocols = PointerAt(caps, 40, 1);
  ASSERT_NE(protocols, nullptr);
  EXPECT_EQ(At<WORD>(protocols, 0), 0x0001);
  EXPECT_EQ(At<WORD>(protocols, 2), 0x0102);
  EXPECT_EQ(At<WORD>(protocols, 4), 0) << "the list ends in 0";
  for (size_t i = 0; i < 32; ++i) EXPECT_EQ(At<DWORD>(caps, 44 + 4 * i, 2), 0x100u + i) << i;
  EXPECT_EQ(At<WORD>(caps, 172, 2), 3);
  EXPECT_EQ(At<BOOL>(caps, 174, 2), 1);
}

TEST_F(IdcReply, CapabilitiesWithoutOptionalMembers) {
  Json::Value caps = CapsPayload();
  caps.removeMember("lpszExtra");
  caps["lpwMemoryChipProtocols"] = Json::Value();
  caps.removeMember("dwGuidLights");
  LPVOID decoded = Info(WFS_INF_IDC_CAPABILITIES, caps);
  ASSERT_NE(decoded, nullptr);
  EXPECT_EQ(PointerAt(decoded, 34, 0), nullptr);
  EXPECT_EQ(PointerAt(decoded, 40, 1), nullptr);
  for (size_t i = 0; i < 32; ++i) EXPECT_EQ(At<DWORD>(decoded, 44 + 4 * i, 2), 0u) << i;
  EXPECT_EQ(At<WORD>(decoded, 172, 2), 3);

  caps["lpwMemoryChipProtocols"] = Json::Value(Json::arrayValue);
  decoded = Info(WFS_INF_IDC_CAPABILITIES, caps);
  ASSERT_NE(decoded, nullptr);
  EXPECT_EQ(PointerAt(decoded, 40, 1), nullptr) << "an empty list is NULL";
}

TEST_F(IdcReply, FormListAndItsEmptyError) {
  LPVOID list = Info(WFS_INF_IDC_FORM_LIST, Strings({"FORM1", "TRACK2ONLY"}));
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(std::string(static_cast<const char*>(list), 18),
            std::string("FORM1\0TRACK2ONLY\0\0", 18));

  EXPECT_EQ(Info(WFS_INF_IDC_FORM_LIST, Json::Value(Json::arrayValue)), nullptr);
  EXPECT_EQ(m_trace.countExact("JsonUnformat_IDC::UnformatFormList size <= 0", 4), 1);
}

Json::Value FormPayload() {
  Json::Value form(Json::objectValue);
  form["lpszFormName"] = "FORM1";
  form["cFieldSeparatorTrack1"] = Base64Of("^");
  form["cFieldSeparatorTrack2"] = Base64Of("=");
  form["cFieldSeparatorTrack3"] = Base64Of("|x");
  form["fwAction"] = WFS_IDC_ACTIONREAD | WFS_IDC_ACTIONWRITE;
  form["lpszTracks"] = "TRACK1 & TRACK2";
  form["bSecure"] = true;
  form["lpszTrack1Fields"] = "PAN,NAME";
  form["lpszTrack2Fields"] = "PAN,EXPIRY";
  form["lpszTrack3Fields"] = "ALL";
  return form;
}

TEST_F(IdcReply, QueryFormAtItsOffsets) {
  LPVOID form = Info(WFS_INF_IDC_QUERY_FORM, FormPayload());
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(TextAt(form, 0, 0), "FORM1");
  EXPECT_EQ(At<CHAR>(form, 4, 1), '^');
  EXPECT_EQ(At<CHAR>(form, 5, 1), '=');
  EXPECT_EQ(At<CHAR>(form, 6, 1), '|') << "the first decoded byte";
  EXPECT_EQ(At<WORD>(form, 7, 1), 3);
  EXPECT_EQ(TextAt(form, 9, 1), "TRACK1 & TRACK2");
  EXPECT_EQ(At<BOOL>(form, 13, 2), TRUE);
  EXPECT_EQ(TextAt(form, 17, 2), "PAN,NAME");
  EXPECT_EQ(TextAt(form, 21, 3), "PAN,EXPIRY");
  EXPECT_EQ(TextAt(form, 25, 4), "ALL");
}

TEST_F(IdcReply, QueryFormWithoutOptionalMembers) {
  Json::Value form(Json::objectValue);
  form["fwAction"] = WFS_IDC_ACTIONREAD;
  form["cFieldSeparatorTrack1"] = Json::Value();
  form["cFieldSeparatorTrack2"] = "";  // decodes to no byte
  LPVOID decoded = Info(WFS_INF_IDC_QUERY_FORM, form);
  ASSERT_NE(decoded, nullptr);
  EXPECT_EQ(TextAt(decoded, 0, 0), "") << "the form name is always there";
  EXPECT_EQ(At<CHAR>(decoded, 4, 1), 0);
  EXPECT_EQ(At<CHAR>(decoded, 5, 1), 0);
  EXPECT_EQ(At<CHAR>(decoded, 6, 1), 0);
  EXPECT_EQ(At<WORD>(decoded, 7, 1), WFS_IDC_ACTIONREAD);
  EXPECT_EQ(PointerAt(decoded, 9, 1), nullptr);
  EXPECT_EQ(At<BOOL>(decoded, 13, 2), FALSE);
  EXPECT_EQ(PointerAt(decoded, 17, 2), nullptr);
  EXPECT_EQ(PointerAt(decoded, 21, 3), nullptr);
  EXPECT_EQ(PointerAt(decoded, 25, 4), nullptr);
}

TEST_F(IdcReply, IfmIdentifier) {
  Json::Value identifier(Json::objectValue);
  identifier["wIFMAuthority"] = 2;
  identifier["lpszIFMIdentifier"] = "IFM-0042";
  LPVOID decoded = Info(WFS_INF_IDC_QUERY_IFM_IDENTIFIER, identifier);
  ASSERT_NE(decoded, nullptr);
  EXPECT_EQ(At<WORD>(decoded, 0), 2);
  EXPECT_EQ(TextAt(decoded, 2, 0), "IFM-0042");

  identifier["lpszIFMIdentifier"] = Json::Value();
  decoded = Info(WFS_INF_IDC_QUERY_IFM_IDENTIFIER, identifier);
  ASSERT_NE(decoded, nullptr);
  EXPECT_EQ(PointerAt(decoded, 2, 0), nullptr);
}

TEST_F(IdcReply, ReadTrackAndParseDataAreTheirTexts) {
  for (DWORD code : {WFS_CMD_IDC_READ_TRACK, WFS_CMD_IDC_PARSE_DATA}) {
    LPVOID text = Execute(code, kTrack2);
    ASSERT_NE(text, nullptr) << code;
    EXPECT_STREQ(static_cast<const char*>(text), kTrack2);
  }
  EXPECT_EQ(Execute(WFS_CMD_IDC_READ_TRACK, Json::Value(17)), nullptr);
  EXPECT_EQ(m_trace.countExact(
                "JsonUnformat_IDC::UnformatReadTrack member \"lpBuffer\" has a wrong JSON type", 4),
            1);
}

TEST_F(IdcReply, EjectAndRetainCard) {
  Json::Value eject(Json::objectValue);
  eject["wEjectPosition"] = WFS_IDC_TRANSPORTPOSITION;
  LPVOID position = Execute(WFS_CMD_IDC_EJECT_CARD, eject);
  ASSERT_NE(position, nullptr);
  EXPECT_EQ(At<WORD>(position, 0), WFS_IDC_TRANSPORTPOSITION);

  Json::Value retain(Json::objectValue);
  retain["usCount"] = 65535;
  retain["fwPosition"] = WFS_IDC_MEDIAPRESENT;
  LPVOID retained = Execute(WFS_CMD_IDC_RETAIN_CARD, retain);
  ASSERT_NE(retained, nullptr);
  EXPECT_EQ(At<USHORT>(retained, 0), 65535);
  EXPECT_EQ(At<WORD>(retained, 2), WFS_IDC_MEDIAPRESENT);

  retained = Execute(WFS_CMD_IDC_RETAIN_CARD, Json::Value(Json::objectValue));
  ASSERT_NE(retained, nullptr);
  EXPECT_EQ(At<DWORD>(retained, 0), 0u);
}

TEST_F(IdcReply, SetkeyTakesOnlyAKeyOfTheDeclaredLength) {
  std::string key("\x10\x32\x54\x76\x98\xBA\xDC\xFE", 8);
  Json::Value setkey(Json::objectValue);
  setkey["usKeyLen"] = 8;
  setkey["lpbKeyValue"] = Base64Of(key);
  LPVOID decoded = Execute(WFS_CMD_IDC_SETKEY, setkey);
  ASSERT_NE(decoded, nullptr);
  EXPECT_EQ(At<USHORT>(decoded, 0), 8);
  EXPECT_EQ(BytesAt(decoded, 2, 0, 8), key);

  setkey["lpbKeyValue"] = Json::Value();
  decoded = Execute(WFS_CMD_IDC_SETKEY, setkey);
  ASSERT_NE(decoded, nullptr);
  EXPECT_EQ(PointerAt(decoded, 2, 0), nullptr);
  EXPECT_EQ(m_trace.count("UnformatSetkey", 4), 0);

  setkey["lpbKeyValue"] = Base64Of(key.substr(0, 6));
  decoded = Execute(WFS_CMD_IDC_SETKEY, setkey);
  ASSERT_NE(decoded, nullptr) << "the structure stays, with the result";
  EXPECT_EQ(At<USHORT>(decoded, 0), 8);
  EXPECT_EQ(
      m_trace.countExact("JsonUnformat_IDC::UnformatSetkey vect.size() !=lpBuffer->usKeyLen!", 4),
      1);
}

Json::Value CardObject(WORD source, WORD status, const std::string& bytes, WORD writeMethod) {
  Json::Value card(Json::objectValue);
  card["wDataSource"] = source;
  card["wStatus"] = status;
  card["ulDataLength"] = static_cast<Json::UInt>(bytes.size());
  card["lpbData"] = Base64Of(bytes);
  card["fwWriteMethod"] = writeMethod;
  return card;
}

// Entry i of a NULL-terminated pointer array.
const void* Entry(const void* list, size_t i) { return PointerAt(list, 4 * i, i); }

void ExpectCard(const void* card, WORD source, WORD status, ULONG length, const std::string& data,
                WORD writeMethod) {
  ASSERT_NE(card, nullptr);
  EXPECT_EQ(At<WORD>(card, 0), source);
  EXPECT_EQ(At<WORD>(card, 2), status);
  EXPECT_EQ(At<ULONG>(card, 4), length);
  EXPECT_EQ(BytesAt(card, 8, 0, length), data);
  EXPECT_EQ(At<WORD>(card, 12, 1), writeMethod);
}

const std::string kTrack1("%B4761739001010119^CARDHOLDER/A^2212?", 37);
const std::string kTrack3(";011234567890123445=724724100000000000030300XXXX?", 49);

TEST_F(IdcReply, ReadRawDataOfThreeTracksAndAChip) {
  Json::Value cards(Json::arrayValue);
  cards.append(CardObject(WFS_IDC_TRACK1, WFS_IDC_DATAOK, kTrack1, 0));
  cards.append(CardObject(WFS_IDC_TRACK2, WFS_IDC_DATAOK, kTrack2, 0));
  cards.append(CardObject(WFS_IDC_TRACK3, WFS_IDC_DATAOK, kTrack3, WFS_IDC_LOCO));
  cards.append(CardObject(WFS_IDC_CHIP, WFS_IDC_DATAOK, kChip, 0));
  LPVOID list = Execute(WFS_CMD_IDC_READ_RAW_DATA, cards);
  ASSERT_NE(list, nullptr);
  ExpectCard(Entry(list, 0), WFS_IDC_TRACK1, WFS_IDC_DATAOK, 37, kTrack1, 0);
  ExpectCard(Entry(list, 1), WFS_IDC_TRACK2, WFS_IDC_DATAOK, 34, kTrack2, 0);
  ExpectCard(Entry(list, 2), WFS_IDC_TRACK3, WFS_IDC_DATAOK, 49, kTrack3, WFS_IDC_LOCO);
  ExpectCard(Entry(list, 3), WFS_IDC_CHIP, WFS_IDC_DATAOK, 12, kChip, 0);
  EXPECT_EQ(Entry(list, 4), nullptr) << "the array ends in NULL";
}

TEST_F(IdcReply, ReadRawDataWithoutDataAndWithShortData) {
  Json::Value cards(Json::arrayValue);
  cards.append(CardObject(WFS_IDC_TRACK1, WFS_IDC_DATAOK, kTrack1, 0));
  Json::Value missing = CardObject(WFS_IDC_TRACK2, WFS_IDC_DATAMISSING, "", 0);
  missing["ulDataLength"] = 0;
  missing.removeMember("lpbData");
  cards.append(missing);
  Json::Value shortData = CardObject(WFS_IDC_TRACK3, WFS_IDC_DATAOK, kTrack3, 0);
  shortData["ulDataLength"] = 60;  // the data decodes to 49 bytes
  cards.append(shortData);
  Json::Value chip = CardObject(WFS_IDC_CHIP, WFS_IDC_DATAINVALID, kChip, 0);
  chip["lpbData"] = Json::Value();  // a length, and no data
  cards.append(chip);
  LPVOID list = Execute(WFS_CMD_IDC_READ_RAW_DATA, cards);
  ASSERT_NE(list, nullptr);
  ExpectCard(Entry(list, 0), WFS_IDC_TRACK1, WFS_IDC_DATAOK, 37, kTrack1, 0);
  ExpectCard(Entry(list, 1), WFS_IDC_TRACK2, WFS_IDC_DATAMISSING, 0, "<NULL>", 0);
  ExpectCard(Entry(list, 2), WFS_IDC_TRACK3, WFS_IDC_DATAOK, 60, std::string(60, '\0'), 0);
  const void* chipCard = Entry(list, 3);
  ASSERT_NE(chipCard, nullptr);
  EXPECT_EQ(At<ULONG>(chipCard, 4), 12u);
  EXPECT_EQ(PointerAt(chipCard, 8, 0), nullptr);
  EXPECT_EQ(Entry(list, 4), nullptr);
  EXPECT_EQ(m_trace.count("UnformatReadRawData", 4), 0) << "short data is no failure";

  list = Execute(WFS_CMD_IDC_READ_RAW_DATA, Json::Value(Json::arrayValue));
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(Entry(list, 0), nullptr);
}

TEST_F(IdcReply, ChipIoFillsItsBlockOnlyWithMatchingData) {
  Json::Value chip(Json::objectValue);
  chip["wChipProtocol"] = WFS_IDC_CHIPT1;
  chip["ulChipDataLength"] = 12;
  chip["lpbChipData"] = Base64Of(kChip);
  LPVOID decoded = Execute(WFS_CMD_IDC_CHIP_IO, chip);
  ASSERT_NE(decoded, nullptr);
  EXPECT_EQ(At<WORD>(decoded, 0), WFS_IDC_CHIPT1);
  EXPECT_EQ(At<ULONG>(decoded, 2), 12u);
  EXPECT_EQ(BytesAt(decoded, 6, 0, 12), kChip);

  chip["ulChipDataLength"] = 14;
  decoded = Execute(WFS_CMD_IDC_CHIP_IO, chip);
  ASSERT_NE(decoded, nullptr);
  EXPECT_EQ(BytesAt(decoded, 6, 0, 14), std::string(14, '\0'));

  chip["lpbChipData"] = Json::Value();
  decoded = Execute(WFS_CMD_IDC_CHIP_IO, chip);
  ASSERT_NE(decoded, nullptr);
  EXPECT_EQ(At<ULONG>(decoded, 2), 14u);
  EXPECT_EQ(PointerAt(decoded, 6, 0), nullptr);

  // No reply could carry 4 GB of data: the length alone takes no block.
  chip["ulChipDataLength"] = Json::UInt(0xFFFFFFFFu);
  chip["lpbChipData"] = Base64Of(kChip);
  decoded = Execute(WFS_CMD_IDC_CHIP_IO, chip);
  ASSERT_NE(decoded, nullptr);
  EXPECT_EQ(At<ULONG>(decoded, 2), 0xFFFFFFFFu);
  EXPECT_EQ(PointerAt(decoded, 6, 0), nullptr);
  EXPECT_EQ(m_trace.count("", 4), 0);
}

TEST_F(IdcReply, ChipPowerWithAndWithoutData) {
  Json::Value power(Json::objectValue);
  power["ulChipDataLength"] = 12;
  power["lpbChipData"] = Base64Of(kChip);
  LPVOID decoded = Execute(WFS_CMD_IDC_CHIP_POWER, power);
  ASSERT_NE(decoded, nullptr);
  EXPECT_EQ(At<ULONG>(decoded, 0), 12u);
  EXPECT_EQ(BytesAt(decoded, 4, 0, 12), kChip);

  // A length without data gives its block, zero-filled.
  power.removeMember("lpbChipData");
  power["ulChipDataLength"] = 3;
  decoded = Execute(WFS_CMD_IDC_CHIP_POWER, power);
  ASSERT_NE(decoded, nullptr);
  EXPECT_EQ(BytesAt(decoded, 4, 0, 3), std::string(3, '\0'));

  decoded = Execute(WFS_CMD_IDC_CHIP_POWER, Json::Value(Json::objectValue));
  ASSERT_NE(decoded, nullptr);
  EXPECT_EQ(At<ULONG>(decoded, 0), 0u);
  EXPECT_EQ(PointerAt(decoded, 4, 0), nullptr);

  // No data at all is no failure here.
  EXPECT_EQ(Buffer(KvSP_EXECUTE_COMPLETE, WFS_CMD_IDC_CHIP_POWER, Json::Value(), false), nullptr);
  EXPECT_EQ(Execute(WFS_CMD_IDC_CHIP_POWER, Json::Value(0)), nullptr);
  EXPECT_EQ(m_trace.count("", 4), 0);
}

TEST_F(IdcReply, NoInputIsLoggedAndDelivered) {
  struct Case {
    int msgType;
    DWORD code;
    const char* decoder;
  };
  const Case cases[] = {
      {KvSP_GETINFO_COMPLETE, WFS_INF_IDC_STATUS, "JsonUnformat_IDC::UnformatStatus"},
      {KvSP_GETINFO_COMPLETE, WFS_INF_IDC_CAPABILITIES, "JsonUnformat_IDC::UnformatCapabilities"},
      {KvSP_GETINFO_COMPLETE, WFS_INF_IDC_FORM_LIST, "JsonUnformat_IDC::UnformatFormList"},
      {KvSP_GETINFO_COMPLETE, WFS_INF_IDC_QUERY_FORM, "JsonUnformat_IDC::UnformatQueryForm"},
      {KvSP_GETINFO_COMPLETE, WFS_INF_IDC_QUERY_IFM_IDENTIFIER,
       "JsonUnformat_IDC::UnformatQueryIfmIdentifier"},
      {KvSP_EXECUTE_COMPLETE, WFS_CMD_IDC_READ_TRACK, "JsonUnformat_IDC::UnformatReadTrack"},
      {KvSP_EXECUTE_COMPLETE, WFS_CMD_IDC_EJECT_CARD, "JsonUnformat_IDC::UnformatEjectCard"},
      {KvSP_EXECUTE_COMPLETE, WFS_CMD_IDC_RETAIN_CARD, "JsonUnformat_IDC::UnformatRetainCard"},
      {KvSP_EXECUTE_COMPLETE, WFS_CMD_IDC_SETKEY, "JsonUnformat_IDC::UnformatSetkey"},
      {KvSP_EXECUTE_COMPLETE, WFS_CMD_IDC_READ_RAW_DATA, "JsonUnformat_IDC::UnformatReadRawData"},
      {KvSP_EXECUTE_COMPLETE, WFS_CMD_IDC_CHIP_IO, "JsonUnformat_IDC::UnformatChipIO"},
      {KvSP_EXECUTE_COMPLETE, WFS_CMD_IDC_PARSE_DATA, "JsonUnformat_IDC::UnformatParseData"},
      {WFS_EXECUTE_EVENT, WFS_EXEE_IDC_INVALIDTRACKDATA,
       "JsonUnformatEvent_Execute_IDC::UnformatInvalidTrackData"},
      {WFS_SERVICE_EVENT, WFS_SRVE_IDC_CARDACTION,
       "JsonUnformatEvent_Execute_IDC::UnformatCardAction"},
      {WFS_SERVICE_EVENT, WFS_SRVE_IDC_MEDIADETECTED,
       "JsonUnformatEvent_Execute_IDC::UnformatMediaDetected"},
      {WFS_SERVICE_EVENT, WFS_SRVE_IDC_DEVICEPOSITION,
       "JsonUnformatEvent_Execute_IDC::UnformatDevicePosition"},
      {WFS_SERVICE_EVENT, WFS_SRVE_IDC_POWER_SAVE_CHANGE,
       "JsonUnformatEvent_Execute_IDC::UnformatPowerSaveChange"},
  };
  for (const Case& item : cases) {
    SCOPED_TRACE(item.decoder);
    m_trace.clear();
    // Absent, null and the integer 0 are all no input.
    EXPECT_EQ(Buffer(item.msgType, item.code, Json::Value(), false), nullptr);
    EXPECT_EQ(Buffer(item.msgType, item.code, Json::Value()), nullptr);
    EXPECT_EQ(Buffer(item.msgType, item.code, Json::Value(0)), nullptr);
    EXPECT_EQ(m_trace.countExact(std::string(item.decoder) + " input Data is NULL", 4), 3);
    Release();
  }
}

TEST_F(IdcReply, CodesWithoutOutputAndUnknownCodes) {
  Json::Value something(Json::objectValue);
  something["wEjectPosition"] = 1;
  for (DWORD code :
       {WFS_CMD_IDC_WRITE_TRACK, WFS_CMD_IDC_RESET_COUNT, WFS_CMD_IDC_WRITE_RAW_DATA,
        WFS_CMD_IDC_RESET, WFS_CMD_IDC_SET_GUIDANCE_LIGHT, WFS_CMD_IDC_POWER_SAVE_CONTROL}) {
    EXPECT_EQ(Execute(code, something), nullptr) << code;
  }
  EXPECT_EQ(m_trace.count("", 4), 0);

  EXPECT_EQ(Info(206, something), nullptr);
  EXPECT_EQ(Execute(215, something), nullptr);
  EXPECT_EQ(m_trace.countExact("JsonUnformat_IDC::UnformatInfo invalid INFO CMD", 4), 1);
  EXPECT_EQ(m_trace.countExact("JsonUnformat_IDC::UnformatExecute invalid EXE CMD", 4), 1);
}

TEST_F(IdcReply, InvalidTrackDataEvent) {
  Json::Value track(Json::objectValue);
  track["fwStatus"] = WFS_IDC_DATAINVALID;
  track["lpstrTrack"] = "TRACK2";
  track["lpstrData"] = kTrack2;
  LPVOID event = Buffer(WFS_EXECUTE_EVENT, WFS_EXEE_IDC_INVALIDTRACKDATA, track);
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(At<WORD>(event, 0), WFS_IDC_DATAINVALID);
  EXPECT_EQ(TextAt(event, 2, 0), "TRACK2");
  EXPECT_EQ(TextAt(event, 6, 1), kTrack2);

  track["lpstrTrack"] = Json::Value();
  track.removeMember("lpstrData");
  event = Buffer(WFS_EXECUTE_EVENT, WFS_EXEE_IDC_INVALIDTRACKDATA, track);
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(PointerAt(event, 2, 0), nullptr);
  EXPECT_EQ(PointerAt(event, 6, 1), nullptr);
}

TEST_F(IdcReply, ServiceEvents) {
  Json::Value action(Json::objectValue);
  action["wAction"] = WFS_IDC_CARDEJECTED;
  action["wPosition"] = WFS_IDC_MEDIAENTERING;
  LPVOID event = Buffer(WFS_SERVICE_EVENT, WFS_SRVE_IDC_CARDACTION, action);
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(At<WORD>(event, 0), WFS_IDC_CARDEJECTED);
  EXPECT_EQ(At<WORD>(event, 2), WFS_IDC_MEDIAENTERING);

  event = Buffer(WFS_SERVICE_EVENT, WFS_SRVE_IDC_MEDIADETECTED, Json::Value(WFS_IDC_RETAIN));
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(At<WORD>(event, 0), WFS_IDC_RETAIN);

  Json::Value position(Json::objectValue);
  position["wPosition"] = WFS_IDC_DEVICENOTINPOSITION;
  event = Buffer(WFS_SERVICE_EVENT, WFS_SRVE_IDC_DEVICEPOSITION, position);
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(At<WORD>(event, 0), WFS_IDC_DEVICENOTINPOSITION);

  Json::Value change(Json::objectValue);
  change["usPowerSaveRecoveryTime"] = 65000;
  event = Buffer(WFS_SERVICE_EVENT, WFS_SRVE_IDC_POWER_SAVE_CHANGE, change);
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(At<USHORT>(event, 0), 65000);
}

TEST_F(IdcReply, EventsWithoutPayloadAndUnknownEvents) {
  Json::Value something(Json::objectValue);
  something["wAction"] = 1;
  for (DWORD id : {WFS_EXEE_IDC_MEDIAINSERTED, WFS_EXEE_IDC_INVALIDMEDIA,
                   WFS_EXEE_IDC_MEDIARETAINED, WFS_EXEE_IDC_INSERTCARD}) {
    EXPECT_EQ(Buffer(WFS_EXECUTE_EVENT, id, something), nullptr) << id;
  }
  for (DWORD id :
       {WFS_SRVE_IDC_MEDIAREMOVED, WFS_SRVE_IDC_RETAINBININSERTED, WFS_SRVE_IDC_RETAINBINREMOVED}) {
    EXPECT_EQ(Buffer(WFS_SERVICE_EVENT, id, something), nullptr) << id;
  }
  // The card reader decodes no user event.
  EXPECT_EQ(Buffer(WFS_USER_EVENT, WFS_USRE_IDC_RETAINBINTHRESHOLD, something), nullptr);
  EXPECT_EQ(m_trace.count("", 4), 0);

  EXPECT_EQ(Buffer(WFS_EXECUTE_EVENT, WFS_SRVE_IDC_CARDACTION, something), nullptr);
  EXPECT_EQ(Buffer(WFS_SERVICE_EVENT, WFS_EXEE_IDC_INVALIDTRACKDATA, something), nullptr);
  EXPECT_EQ(m_trace.countExact(
                "JsonUnformatEvent_Execute_IDC::UnformatExecute invalid ExecuteEvent ID", 4),
            1);
  EXPECT_EQ(
      m_trace.countExact("JsonUnformatEvent_Execute_IDC::UnformatServer invalid ServerEvent ID", 4),
      1);
}

// Card data goes to the device service and back to the application, never
// to the trace: not the tracks, not the chip data, not their base64 form,
// whatever the decoders and formatters log on the way.
TEST_F(IdcReply, CardDataNeverReachesTheTrace) {
  std::vector<std::string> secrets = {
      kTrack1,           kTrack2,           kTrack3,        "4761739001010119",
      Base64Of(kTrack1), Base64Of(kTrack2), Base64Of(kChip)};
  Json::Value cards(Json::arrayValue);
  cards.append(CardObject(WFS_IDC_TRACK1, WFS_IDC_DATAOK, kTrack1, 0));
  cards.append(CardObject(WFS_IDC_TRACK2, WFS_IDC_DATAOK, kTrack2, 0));
  cards.append(CardObject(WFS_IDC_CHIP, WFS_IDC_DATAOK, kChip, 0));
  Execute(WFS_CMD_IDC_READ_RAW_DATA, cards);
  cards[1]["lpbData"] = 12;  // a wrong type fails the run with a line
  Execute(WFS_CMD_IDC_READ_RAW_DATA, cards);
  Execute(WFS_CMD_IDC_READ_TRACK, kTrack2);
  Execute(WFS_CMD_IDC_PARSE_DATA, kTrack3);
  Json::Value chip(Json::objectValue);
  chip["ulChipDataLength"] = 5;  // and data of another length
  chip["lpbChipData"] = Base64Of(kChip);
  Execute(WFS_CMD_IDC_CHIP_IO, chip);
  Json::Value track(Json::objectValue);
  track["lpstrData"] = kTrack2;
  Buffer(WFS_EXECUTE_EVENT, WFS_EXEE_IDC_INVALIDTRACKDATA, track);
  track["lpstrTrack"] = Json::Value(Json::objectValue);
  Buffer(WFS_EXECUTE_EVENT, WFS_EXEE_IDC_INVALIDTRACKDATA, track);

  // Requests, formatted and refused.
  std::string track2(kTrack2);
  char form[] = "F";
  WFSIDCWRITETRACK write = {form, &track2[0], WFS_IDC_AUTO};
  idctest::RequestText(KvSP_CMD_EXECUTE, WFS_CMD_IDC_WRITE_TRACK, &write);
  WFSIDCCARDDATA card = {WFS_IDC_TRACK1, 0, static_cast<ULONG>(kTrack1.size()),
                         reinterpret_cast<LPBYTE>(const_cast<char*>(kTrack1.data())), 0};
  WFSIDCCARDDATA broken = {WFS_IDC_TRACK2, 0, 9, nullptr, 0};
  LPWFSIDCCARDDATA list[] = {&card, &broken, nullptr};
  idctest::RequestText(KvSP_CMD_EXECUTE, WFS_CMD_IDC_WRITE_RAW_DATA, list);

  ASSERT_FALSE(m_trace.lines().empty());
  for (const testsupport::TraceLine& line : m_trace.lines()) {
    for (const std::string& secret : secrets) {
      EXPECT_EQ(line.text.find(secret), std::string::npos) << line.text;
    }
  }
}

}  // namespace
