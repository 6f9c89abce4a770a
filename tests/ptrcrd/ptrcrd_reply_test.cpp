// Printer and card-dispenser completions and events from reply text to the
// XFS structures below the result, read back at the offsets of the 32-bit
// target (shifted by the pointer growth on this one), and the lines of their
// decoders.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "corvid.h"
#include "idc_test_support.h"
#include "ostrel_test_support.h"
#include "test_support.h"
#include "xfscrd.h"
#include "xfsptr.h"

namespace {

using idctest::At;
using idctest::BytesAt;
using idctest::PointerAt;
using ostreltest::Field;

class PtrCrdReply : public ::testing::Test {
 protected:
  void SetUp() override { m_blocks = CorvidLiveBlocks(); }
  void TearDown() override {
    m_kept.clear();
    EXPECT_EQ(CorvidLiveBlocks(), m_blocks) << "everything decoded is released with its result";
  }

  // The lpBuffer of the reply of msgType for code whose "lpBuffer" is the
  // JSON text payload; the reply is kept until the test ends.
  const void* Decoded(int msgType, DWORD code, const std::string& payload) {
    m_kept.push_back(ostreltest::Decode(
        idctest::Reply(msgType, code, ostreltest::Parse(payload))));
    EXPECT_NE(m_kept.back(), nullptr) << "the reply is delivered";
    return m_kept.back() ? Field(m_kept.back()->lpWfsResult->lpBuffer) : nullptr;
  }

  testsupport::TraceCapture m_trace;

 private:
  long m_blocks = 0;
  std::vector<ostreltest::Reply> m_kept;
};

TEST_F(PtrCrdReply, PrinterEdges) {
  // An empty retract-bin list is a block holding only its NULL.
  const void* status = Decoded(KvSP_GETINFO_COMPLETE, WFS_INF_PTR_STATUS,
                               R"({"fwPaper":[2],"lppRetractBins":[],"usMediaOnStacker":4})");
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(At<WORD>(status, 4), WFS_PTR_PAPEROUT);
  ASSERT_NE(PointerAt(status, 42, 0), nullptr);
  EXPECT_EQ(At<const void*>(PointerAt(status, 42, 0), 0), nullptr);
  EXPECT_EQ(At<USHORT>(status, 46, 1), 4);

  // The retract maxima take room for usRetractBins entries only.
  const void* caps = Decoded(KvSP_GETINFO_COMPLETE, WFS_INF_PTR_CAPABILITIES,
                             R"({"usRetractBins":2,"lpusMaxRetract":[7,8,9]})");
  ASSERT_NE(PointerAt(caps, 36, 0), nullptr);
  EXPECT_EQ(At<USHORT>(PointerAt(caps, 36, 0), 0), 7);
  EXPECT_EQ(At<USHORT>(PointerAt(caps, 36, 0), 2), 8);

  // Raw data arrive only when they match their size; a mismatch is no failure.
  const void* mismatch =
      Decoded(KvSP_EXECUTE_COMPLETE, WFS_CMD_PTR_RAW_DATA, R"({"ulSize":5,"lpbData":"YWJj"})");
  EXPECT_EQ(At<ULONG>(mismatch, 0), 5u);
  EXPECT_EQ(PointerAt(mismatch, 4, 0), nullptr);
  const void* printed = Decoded(KvSP_EXECUTE_COMPLETE, WFS_CMD_PTR_RAW_DATA, R"({"ulSize":0})");
  EXPECT_EQ(At<ULONG>(printed, 0), 0u);
  EXPECT_EQ(PointerAt(printed, 4, 0), nullptr);
  const void* data =
      Decoded(KvSP_EXECUTE_COMPLETE, WFS_CMD_PTR_RAW_DATA, R"({"ulSize":3,"lpbData":"YWJj"})");
  EXPECT_EQ(BytesAt(data, 4, 0, 3), "abc");

  const void* ink = Decoded(WFS_USER_EVENT, WFS_USRE_PTR_INKTHRESHOLD, R"({"lpwInkThreshold":1})");
  EXPECT_EQ(At<WORD>(ink, 0), WFS_PTR_INKLOW);
  EXPECT_EQ(m_trace.count("", 4), 0);
}

TEST_F(PtrCrdReply, DispenserStatusHas31GuideLightsAndItsPositionAt138) {
  std::string lights;
  for (int i = 0; i < 32; ++i) lights += (i > 0 ? "," : "") + std::to_string(0x100 + i);
  const void* status =
      Decoded(KvSP_GETINFO_COMPLETE, WFS_INF_CRD_STATUS,
              R"({"dwGuidLights":[)" + lights +
                  R"(],"wDevicePosition":1,"usPowerSaveRecoveryTime":7})");
  ASSERT_NE(status, nullptr);
  for (size_t i = 0; i < WFS_CRD_STATUS_GUIDLIGHTS_SIZE; ++i) {
    EXPECT_EQ(At<DWORD>(status, 14 + 4 * i, 1), 0x100 + i) << i;
  }
  EXPECT_EQ(At<WORD>(status, 138, 1), 1);
  EXPECT_EQ(At<USHORT>(status, 140, 1), 7);
}

TEST_F(PtrCrdReply, CardUnitListOfAnotherLengthThanItsCountIsNoList) {
  const void* info =
      Decoded(KvSP_GETINFO_COMPLETE, WFS_INF_CRD_CARD_UNIT_INFO,
              R"({"usCount":3,"lppList":[{"usNumber":1},{"usNumber":2}]})");
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(At<USHORT>(info, 0), 3);
  EXPECT_EQ(PointerAt(info, 2, 0), nullptr);
  EXPECT_EQ(m_trace.count("", 4), 0) << "and the decoder succeeds";
}

TEST_F(PtrCrdReply, HardwareSensorIsABooleanInTheInformationAndAnIntegerInEvents) {
  const char kUnit[] = R"({"usNumber":2,"lpszCardName":"GOLD","bHardwareSensor":5})";
  const void* info = Decoded(KvSP_GETINFO_COMPLETE, WFS_INF_CRD_CARD_UNIT_INFO,
                             std::string(R"({"usCount":1,"lppList":[)") + kUnit + "]}");
  const void* unit = At<const void*>(PointerAt(info, 2, 0), 0);
  ASSERT_NE(unit, nullptr);
  EXPECT_EQ(idctest::TextAt(unit, 2, 0), "GOLD");
  EXPECT_EQ(At<BOOL>(unit, 26, 1), 1);
  EXPECT_EQ(At<BOOL>(Decoded(WFS_USER_EVENT, WFS_USRE_CRD_CARDUNITTHRESHOLD, kUnit), 26, 1), 5);
  EXPECT_EQ(At<BOOL>(Decoded(WFS_SERVICE_EVENT, WFS_SRVE_CRD_CARDUNITINFOCHANGED, kUnit), 26, 1),
            5);
  const void* error = Decoded(WFS_EXECUTE_EVENT, WFS_EXEE_CRD_CARDUNITERROR,
                              std::string(R"({"wFailure":1,"lpCardUnit":)") + kUnit + "}");
  EXPECT_EQ(At<BOOL>(PointerAt(error, 2, 0), 26, 1), 5);
}

TEST_F(PtrCrdReply, CardUnitErrorWithoutItsUnitStillHasOne) {
  const void* error = Decoded(WFS_EXECUTE_EVENT, WFS_EXEE_CRD_CARDUNITERROR, R"({"wFailure":1})");
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(At<WORD>(error, 0), WFS_CRD_CARDUNITEMPTY);
  ASSERT_NE(PointerAt(error, 2, 0), nullptr);
  EXPECT_EQ(BytesAt(error, 2, 0, sizeof(WFSCRDCARDUNIT)), std::string(sizeof(WFSCRDCARDUNIT), '\0'));
}

TEST_F(PtrCrdReply, CodesWithoutPayloadAndUnknownCodes) {
  struct Case {
    int msgType;
    DWORD code;
    const char* line;  // NULL: a known code without payload
  };
  const Case cases[] = {
      {KvSP_EXECUTE_COMPLETE, WFS_CMD_CRD_DISPENSE_CARD, nullptr},
      {KvSP_EXECUTE_COMPLETE, WFS_CMD_PTR_RESET, nullptr},
      {WFS_SERVICE_EVENT, WFS_SRVE_PTR_MEDIATAKEN, nullptr},
      {WFS_SERVICE_EVENT, WFS_SRVE_CRD_MEDIAREMOVED, nullptr},
      {KvSP_EXECUTE_COMPLETE, WFS_CMD_CRD_SET_GUIDANCE_LIGHT,
       "JsonUnformat_CRD::UnformatExecute invalid EXE CMD"},
      {KvSP_GETINFO_COMPLETE, 1404, "JsonUnformat_CRD::UnformatInfo invalid INFO CMD"},
      {WFS_EXECUTE_EVENT, WFS_SRVE_CRD_MEDIAREMOVED,
       "JsonUnformatEvent_Execute_CRD::UnformatExecute invalid ExecuteEvent ID"},
      {WFS_SERVICE_EVENT, WFS_SRVE_CRD_DEVICEPOSITION,
       "JsonUnformatEvent_Server_CRD::UnformatServer invalid ServerEvent ID"},
      {WFS_USER_EVENT, WFS_EXEE_CRD_CARDUNITERROR,
       "JsonUnformatEvent_User_CRD::UnformatUser invalid ExecuteEvent ID"},
      {KvSP_GETINFO_COMPLETE, WFS_INF_PTR_FORM_LIST, "JsonUnformat_PTR::UnformatInfo invalid INFO CMD"},
      {KvSP_EXECUTE_COMPLETE, WFS_CMD_PTR_PRINT_FORM,
       "JsonUnformat_PTR::UnformatExecute invalid EXE CMD"},
      {WFS_SERVICE_EVENT, WFS_SRVE_PTR_MEDIAINSERTED,
       "JsonUnformatEvent_Server_PTR::UnformatServer invalided ServerEvent ID"},
      {WFS_USER_EVENT, WFS_USRE_PTR_PAPERTHRESHOLD,
       "JsonUnformatEvent_User_PTR::UnformatUser invalid ExecuteEvent ID"},
  };
  for (const Case& item : cases) {
    SCOPED_TRACE(std::to_string(item.msgType) + " " + std::to_string(item.code));
    m_trace.clear();
    EXPECT_EQ(Decoded(item.msgType, item.code, R"({"usNumber":1,"wPosition":2})"), nullptr);
    EXPECT_EQ(m_trace.count("", 4), item.line != nullptr ? 1 : 0);
    if (item.line != nullptr) {
      EXPECT_EQ(m_trace.countExact(item.line, 4), 1);
    }
  }
}

// Every decoder: its no-input line, and the line of each allocation point.
TEST(PtrCrdDecoders, InputAndAllocationLines) {
  using idctest::kFirst;
  using idctest::Numbered;
  const std::string kBlank = " allocate buffer failed !";
  const Json::Value kNamedUnit = ostreltest::Parse(R"({"lpszCardName":"GOLD"})");
  const std::vector<idctest::DecoderCase> cases = {
      {"JsonUnformat_PTR::UnformatStatus", KvSP_GETINFO_COMPLETE, WFS_INF_PTR_STATUS,
       ostreltest::Parse(
           R"({"lppRetractBins":[{"wRetractBin":1,"usRetractCount":5}],"lpszExtra":["a=1"]})"),
       {kFirst, " allocate buffer failed 1 !", " allocate buffer failed 2 !", Numbered(3)}},
      {"JsonUnformat_PTR::UnformatCapabilities", KvSP_GETINFO_COMPLETE, WFS_INF_PTR_CAPABILITIES,
       ostreltest::Parse(R"({"usRetractBins":1,"lpusMaxRetract":[5],"lpszExtra":["a=1"],)"
                         R"("lpszWindowsPrinter":"P"})"),
       {kFirst, kFirst, Numbered(3), Numbered(4)}},
      {"JsonUnformat_PTR::UnformatRawData", KvSP_EXECUTE_COMPLETE, WFS_CMD_PTR_RAW_DATA,
       ostreltest::Parse(R"({"ulSize":3,"lpbData":"YWJj"})"), {kFirst, Numbered(1)}},
      {"JsonUnformatEvent_Server_PTR::UnformatMediaPresented", WFS_SERVICE_EVENT,
       WFS_SRVE_PTR_MEDIAPRESENTED, ostreltest::Parse(R"({"usWadIndex":1,"usTotalWads":1})"),
       {kFirst}},
      {"JsonUnformatEvent_User_PTR::UnformatInkThreshold", WFS_USER_EVENT,
       WFS_USRE_PTR_INKTHRESHOLD, ostreltest::Parse(R"({"lpwInkThreshold":2})"), {kFirst}},
      {"JsonUnformat_CRD::UnformatStatus", KvSP_GETINFO_COMPLETE, WFS_INF_CRD_STATUS,
       ostreltest::Parse(R"({"lpszExtra":["a=1"]})"), {kBlank, Numbered(1)}},
      {"JsonUnformat_CRD::UnformatCapabilities", KvSP_GETINFO_COMPLETE, WFS_INF_CRD_CAPABILITIES,
       ostreltest::Parse(R"({"lpszExtra":["a=1"]})"), {kBlank, Numbered(1)}},
      {"JsonUnformat_CRD::UnformatCardUnitInfo", KvSP_GETINFO_COMPLETE, WFS_INF_CRD_CARD_UNIT_INFO,
       ostreltest::Parse(R"({"usCount":2,"lppList":[{"lpszCardName":"A"},{"lpszCardName":"B"}]})"),
       {kBlank, kBlank, kBlank, kBlank, kBlank, kBlank}},
      {"JsonUnformatEvent_Execute_CRD::UnformatCardUnitError", WFS_EXECUTE_EVENT,
       WFS_EXEE_CRD_CARDUNITERROR,
       ostreltest::Parse(R"({"wFailure":1,"lpCardUnit":{"lpszCardName":"GOLD"}})"),
       {kFirst, kFirst, kFirst}},
      {"JsonUnformatEvent_Server_CRD::UnformatCardUnitInfoChanged", WFS_SERVICE_EVENT,
       WFS_SRVE_CRD_CARDUNITINFOCHANGED, kNamedUnit, {kFirst, kFirst}},
      {"JsonUnformatEvent_Server_CRD::UnformatMediaDeteted", WFS_SERVICE_EVENT,
       WFS_SRVE_CRD_MEDIADETECTED, ostreltest::Parse(R"({"wPosition":1,"usNumber":2})"), {kFirst}},
      {"JsonUnformatEvent_User_CRD::UnformatCardUnitthreshold", WFS_USER_EVENT,
       WFS_USRE_CRD_CARDUNITTHRESHOLD, kNamedUnit, {kFirst, kFirst}},
  };
  for (const idctest::DecoderCase& item : cases) {
    SCOPED_TRACE(item.decoder);
    {
      testsupport::TraceCapture trace;
      // The integer 0 is no input, as a null "lpBuffer" is.
      ostreltest::Reply msg = ostreltest::Decode(idctest::Reply(item.msgType, item.code, 0));
      ASSERT_NE(msg, nullptr);
      EXPECT_EQ(Field(msg->lpWfsResult->lpBuffer), nullptr);
      EXPECT_EQ(trace.countExact(std::string(item.decoder) + " input Data is NULL", 4), 1);
    }
    idctest::ExpectEveryPointFails(item);
  }
}

}  // namespace
