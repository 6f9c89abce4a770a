// Allocation failure at every allocation point of every card reader decoder:
// the point's own line, the reply still delivered, nothing left behind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "idc_test_support.h"
#include "xfsidc.h"

namespace {

using idctest::Base64Of;
using idctest::DecoderCase;
using idctest::kFirst;
using idctest::Members;
using idctest::Numbered;

Json::Value Texts(std::initializer_list<const char*> texts) {
  Json::Value array(Json::arrayValue);
  for (const char* text : texts) array.append(text);
  return array;
}

Json::Value Card(const std::string& data) {
  return Members({{"wDataSource", WFS_IDC_TRACK2},
                  {"wStatus", WFS_IDC_DATAOK},
                  {"ulDataLength", static_cast<Json::UInt>(data.size())},
                  {"lpbData", Base64Of(data)},
                  {"fwWriteMethod", 0}});
}

std::vector<DecoderCase> Decoders() {
  Json::Value cards(Json::arrayValue);
  cards.append(Card(";4761739001010119=2212?"));
  cards.append(Card(std::string("\x9F\x26\x08", 3)));
  Json::Value protocols(Json::arrayValue);
  protocols.append(1);
  return {
      {"JsonUnformat_IDC::UnformatStatus",
       KvSP_GETINFO_COMPLETE,
       WFS_INF_IDC_STATUS,
       Members({{"fwDevice", 0}, {"lpszExtra", Texts({"a=1"})}}),
       {kFirst, Numbered(1)}},
      {"JsonUnformat_IDC::UnformatCapabilities",
       KvSP_GETINFO_COMPLETE,
       WFS_INF_IDC_CAPABILITIES,
       Members({{"lpszExtra", Texts({"a=1"})}, {"lpwMemoryChipProtocols", protocols}}),
       {kFirst, Numbered(1), Numbered(2)}},
      {"JsonUnformat_IDC::UnformatFormList",
       KvSP_GETINFO_COMPLETE,
       WFS_INF_IDC_FORM_LIST,
       Texts({"FORM1", "FORM2"}),
       {Numbered(1)}},
      {"JsonUnformat_IDC::UnformatQueryForm",
       KvSP_GETINFO_COMPLETE,
       WFS_INF_IDC_QUERY_FORM,
       Members({{"lpszFormName", "F"},
                {"lpszTracks", "1"},
                {"lpszTrack1Fields", "a"},
                {"lpszTrack2Fields", "b"},
                {"lpszTrack3Fields", "c"}}),
       {kFirst, Numbered(1), Numbered(2), Numbered(3), Numbered(4), Numbered(5)}},
      {"JsonUnformat_IDC::UnformatQueryIfmIdentifier",
       KvSP_GETINFO_COMPLETE,
       WFS_INF_IDC_QUERY_IFM_IDENTIFIER,
       Members({{"lpszIFMIdentifier", "IFM"}}),
       {kFirst, Numbered(5)}},
      {"JsonUnformat_IDC::UnformatReadTrack",
       KvSP_EXECUTE_COMPLETE,
       WFS_CMD_IDC_READ_TRACK,
       Json::Value("4761739001010119=2212"),
       {Numbered(0)}},
      {"JsonUnformat_IDC::UnformatEjectCard",
       KvSP_EXECUTE_COMPLETE,
       WFS_CMD_IDC_EJECT_CARD,
       Members({{"wEjectPosition", 1}}),
       {kFirst}},
      {"JsonUnformat_IDC::UnformatRetainCard",
       KvSP_EXECUTE_COMPLETE,
       WFS_CMD_IDC_RETAIN_CARD,
       Members({{"usCount", 1}}),
       {kFirst}},
      {"JsonUnformat_IDC::UnformatSetkey",
       KvSP_EXECUTE_COMPLETE,
       WFS_CMD_IDC_SETKEY,
       Members({{"usKeyLen", 3}, {"lpbKeyValue", Base64Of("key")}}),
       {kFirst, Numbered(1)}},
      {"JsonUnformat_IDC::UnformatReadRawData",
       KvSP_EXECUTE_COMPLETE,
       WFS_CMD_IDC_READ_RAW_DATA,
       cards,
       {kFirst, " allocate buffer failed1!", kFirst, " allocate buffer failed1!", kFirst}},
      {"JsonUnformat_IDC::UnformatChipIO",
       KvSP_EXECUTE_COMPLETE,
       WFS_CMD_IDC_CHIP_IO,
       Members({{"ulChipDataLength", 3}, {"lpbChipData", Base64Of("abc")}}),
       {kFirst, Numbered(1)}},
      {"JsonUnformat_IDC::UnformatChipPower",
       KvSP_EXECUTE_COMPLETE,
       WFS_CMD_IDC_CHIP_POWER,
       Members({{"ulChipDataLength", 3}, {"lpbChipData", Base64Of("abc")}}),
       {kFirst, Numbered(1)}},
      {"JsonUnformat_IDC::UnformatParseData",
       KvSP_EXECUTE_COMPLETE,
       WFS_CMD_IDC_PARSE_DATA,
       Json::Value("PAN=4761739001010119"),
       {kFirst}},
      {"JsonUnformatEvent_Execute_IDC::UnformatInvalidTrackData",
       WFS_EXECUTE_EVENT,
       WFS_EXEE_IDC_INVALIDTRACKDATA,
       Members({{"lpstrTrack", "2"}, {"lpstrData", "x"}}),
       {kFirst, Numbered(1), Numbered(2)}},
      {"JsonUnformatEvent_Execute_IDC::UnformatCardAction",
       WFS_SERVICE_EVENT,
       WFS_SRVE_IDC_CARDACTION,
       Members({{"wAction", 1}}),
       {kFirst}},
      {"JsonUnformatEvent_Execute_IDC::UnformatMediaDetected",
       WFS_SERVICE_EVENT,
       WFS_SRVE_IDC_MEDIADETECTED,
       Json::Value(2),
       {kFirst}},
      {"JsonUnformatEvent_Execute_IDC::UnformatDevicePosition",
       WFS_SERVICE_EVENT,
       WFS_SRVE_IDC_DEVICEPOSITION,
       Members({{"wPosition", 1}}),
       {kFirst}},
      {"JsonUnformatEvent_Execute_IDC::UnformatPowerSaveChange",
       WFS_SERVICE_EVENT,
       WFS_SRVE_IDC_POWER_SAVE_CHANGE,
       Members({{"usPowerSaveRecoveryTime", 5}}),
       {kFirst}},
  };
}

TEST(IdcAllocation, EveryPointFailsWithItsOwnLineAndLeaksNothing) {
  for (const DecoderCase& item : Decoders()) idctest::ExpectEveryPointFails(item);
}

}  // namespace
