#include "idc_payloads.h"

#include <string>

#include "base64.h"
#include "json_util.h"
#include "xfsidc.h"

namespace devsim {

namespace {

// The simulated card: a test card with magnetic stripe and chip.
const char kTrack1[] = "B4000001234567899^DEVSIM/TEST CARD^25121010000000000000";
const char kTrack2[] = "4000001234567899=25121010000000000000";
const char kTrack3[] = "011234567899=000000000000000000000000000000000000=00000000";
// Answer to reset of the chip.
const unsigned char kAtr[] = {0x3B, 0x6E, 0x00, 0x00, 0x80, 0x31, 0x80, 0x66, 0xB0,
                              0x84, 0x12, 0x01, 0x6E, 0x01, 0x83, 0x00, 0x90, 0x00};
// Response of the chip to a command: the payment system environment, then
// status 90 00.
const unsigned char kChipResponse[] = {0x6F, 0x1A, 0x84, 0x0E, 0x31, 0x50, 0x41, 0x59, 0x2E, 0x53,
                                       0x59, 0x53, 0x2E, 0x44, 0x44, 0x46, 0x30, 0x31, 0xA5, 0x08,
                                       0x88, 0x01, 0x01, 0x5F, 0x2D, 0x02, 0x65, 0x6E, 0x90, 0x00};

const char* const kForms[] = {"ISO_TRACK1", "ISO_TRACK2", "ISO_TRACK3"};

constexpr int kRetainBinCapacity = 50;
constexpr int kPowerSaveRecoveryTime = 5;

template <size_t N>
std::string Bytes(const unsigned char (&data)[N]) {
  return std::string(reinterpret_cast<const char*>(data), N);
}

// "ulDataLength"-style length and base64 data members.
void SetBinary(Json::Value* object, const char* lengthName, const char* dataName,
               const std::string& bytes) {
  (*object)[lengthName] = static_cast<Json::UInt>(bytes.size());
  if (!bytes.empty()) (*object)[dataName] = Base64Encode(bytes);
}

Json::Value GuidLightsOff() {
  Json::Value lights(Json::arrayValue);
  for (int i = 0; i < WFS_IDC_GUIDLIGHTS_SIZE; ++i) lights.append(0);
  return lights;
}

Json::Value Status(const DeviceState& device) {
  Json::Value status(Json::objectValue);
  status["fwDevice"] = WFS_IDC_DEVONLINE;
  status["fwMedia"] = device.mediaPresent ? WFS_IDC_MEDIAPRESENT : WFS_IDC_MEDIANOTPRESENT;
  status["fwRetainBin"] =
      device.retainedCards >= kRetainBinCapacity ? WFS_IDC_RETAINBINFULL : WFS_IDC_RETAINBINOK;
  status["fwSecurity"] = WFS_IDC_SECNOTSUPP;
  status["usCards"] = device.retainedCards;
  status["fwChipPower"] = device.mediaPresent ? WFS_IDC_CHIPPOWEREDOFF : WFS_IDC_CHIPNOCARD;
  Json::Value extra(Json::arrayValue);
  extra.append("Simulator=devsim");
  extra.append("LogicalName=" + device.logicalName);
  status["lpszExtra"] = extra;
  status["dwGuidLights"] = GuidLightsOff();
  status["usPowerSaveRecoveryTime"] = 0;
  return status;
}

Json::Value Capabilities() {
  Json::Value caps(Json::objectValue);
  caps["wClass"] = WFS_SERVICE_CLASS_IDC;
  caps["fwType"] = WFS_IDC_TYPEMOTOR;
  caps["bCompound"] = false;
  caps["fwReadTracks"] = WFS_IDC_TRACK1 | WFS_IDC_TRACK2 | WFS_IDC_TRACK3;
  caps["fwWriteTracks"] = WFS_IDC_TRACK1 | WFS_IDC_TRACK2 | WFS_IDC_TRACK3;
  caps["fwChipProtocols"] = WFS_IDC_CHIPT0 | WFS_IDC_CHIPT1;
  caps["usCards"] = kRetainBinCapacity;
  caps["fwSecType"] = WFS_IDC_SECNOTSUPP;
  caps["bFluxSensorProgrammable"] = false;
  caps["bReadWriteAccessFollowingEject"] = false;
  caps["fwWriteMode"] = WFS_IDC_LOCO | WFS_IDC_HICO | WFS_IDC_AUTO;
  caps["fwChipPower"] = WFS_IDC_CHIPPOWERCOLD | WFS_IDC_CHIPPOWERWARM | WFS_IDC_CHIPPOWEROFF;
  caps["lpszExtra"] = Json::Value(Json::arrayValue);
  caps["lpwMemoryChipProtocols"] = Json::Value();
  caps["dwGuidLights"] = GuidLightsOff();
  caps["fwEjectPosition"] = WFS_IDC_EXITPOSITION;
  caps["bPowerSaveControl"] = false;
  return caps;
}

Json::Value FormList() {
  Json::Value forms(Json::arrayValue);
  for (const char* form : kForms) forms.append(form);
  return forms;
}

Json::Value CardData(WORD source, WORD status, const std::string& bytes) {
  Json::Value data(Json::objectValue);
  data["wDataSource"] = source;
  data["wStatus"] = status;
  SetBinary(&data, "ulDataLength", "lpbData", bytes);
  return data;
}

// One card-data object per source asked for, in the order of the sources;
// sources this reader does not have are reported as not supported.
Json::Value RawData(const Json::Value& payload) {
  const WORD readable[] = {WFS_IDC_TRACK1, WFS_IDC_TRACK2, WFS_IDC_TRACK3, WFS_IDC_CHIP};
  const std::string contents[] = {kTrack1, kTrack2, kTrack3, Bytes(kAtr)};
  const WORD unsupported[] = {WFS_IDC_SECURITY, WFS_IDC_MEMORY_CHIP, WFS_IDC_FRONTIMAGE,
                              WFS_IDC_BACKIMAGE};
  unsigned asked = WFS_IDC_TRACK1 | WFS_IDC_TRACK2 | WFS_IDC_TRACK3 | WFS_IDC_CHIP;
  const Json::Value& flags = payload.isObject() ? payload["lpwReadData"] : payload;
  if (IsJsonInteger(flags)) asked = flags.asUInt();
  Json::Value list(Json::arrayValue);
  for (size_t i = 0; i < sizeof readable / sizeof readable[0]; ++i) {
    if ((asked & readable[i]) != 0) list.append(CardData(readable[i], WFS_IDC_DATAOK, contents[i]));
  }
  for (WORD source : unsupported) {
    if ((asked & source) != 0) list.append(CardData(source, WFS_IDC_DATASRCNOTSUPP, ""));
  }
  return list;
}

Json::Value ChipIo(const Json::Value& payload) {
  Json::Value io(Json::objectValue);
  const Json::Value& protocol = payload.isObject() ? payload["wChipProtocol"] : Json::Value();
  io["wChipProtocol"] = IsJsonInteger(protocol) ? protocol.asUInt() : WFS_IDC_CHIPT0;
  SetBinary(&io, "ulChipDataLength", "lpbChipData", Bytes(kChipResponse));
  return io;
}

Json::Value ChipPower(const Json::Value& payload) {
  Json::Value power(Json::objectValue);
  bool off = IsJsonInteger(payload) && payload.asUInt() == WFS_IDC_CHIPPOWEROFF;
  SetBinary(&power, "ulChipDataLength", "lpbChipData", off ? std::string() : Bytes(kAtr));
  return power;
}

Json::Value Eject(const Json::Value& payload) {
  Json::Value eject(Json::objectValue);
  const Json::Value& position = payload.isObject() ? payload["wEjectPosition"] : Json::Value();
  eject["wEjectPosition"] = IsJsonInteger(position) ? position.asUInt() : WFS_IDC_EXITPOSITION;
  return eject;
}

Json::Value Retain(const DeviceState& device) {
  Json::Value retain(Json::objectValue);
  retain["usCount"] = device.retainedCards + 1;
  retain["fwPosition"] = WFS_IDC_MEDIAUNKNOWN;
  return retain;
}

}  // namespace

Json::Value IdcInfoPayload(long category, const DeviceState& device) {
  switch (category) {
    case WFS_INF_IDC_STATUS:
      return Status(device);
    case WFS_INF_IDC_CAPABILITIES:
      return Capabilities();
    case WFS_INF_IDC_FORM_LIST:
      return FormList();
    default:
      return Json::Value();
  }
}

Json::Value IdcExecutePayload(const Request& request, const DeviceState& device) {
  switch (request.code) {
    case WFS_CMD_IDC_READ_TRACK:
      return Json::Value(kTrack2);
    case WFS_CMD_IDC_READ_RAW_DATA:
      return RawData(request.payload);
    case WFS_CMD_IDC_EJECT_CARD:
      return Eject(request.payload);
    case WFS_CMD_IDC_RETAIN_CARD:
      return Retain(device);
    case WFS_CMD_IDC_CHIP_IO:
      return ChipIo(request.payload);
    case WFS_CMD_IDC_CHIP_POWER:
      return ChipPower(request.payload);
    default:
      return Json::Value();
  }
}

Json::Value IdcEventPayload(unsigned long id) {
  switch (id) {
    case WFS_EXEE_IDC_INVALIDTRACKDATA: {
      Json::Value track(Json::objectValue);
      track["fwStatus"] = WFS_IDC_DATAINVALID;
      track["lpstrTrack"] = "TRACK3";
      track["lpstrData"] = kTrack3;
      return track;
    }
    case WFS_SRVE_IDC_CARDACTION: {
      Json::Value action(Json::objectValue);
      action["wAction"] = WFS_IDC_CARDRETAINED;
      action["wPosition"] = WFS_IDC_MEDIAPRESENT;
      return action;
    }
    case WFS_SRVE_IDC_MEDIADETECTED:
      return Json::Value(WFS_IDC_CARDRETAINED);
    case WFS_SRVE_IDC_POWER_SAVE_CHANGE: {
      Json::Value change(Json::objectValue);
      change["usPowerSaveRecoveryTime"] = kPowerSaveRecoveryTime;
      return change;
    }
    default:
      return Json::Value();
  }
}

void IdcApplyCompletion(const Request& request, DeviceState* device) {
  if (request.code == WFS_CMD_IDC_EJECT_CARD) device->mediaPresent = false;
  if (request.code == WFS_CMD_IDC_RETAIN_CARD) {
    device->mediaPresent = false;
    ++device->retainedCards;
  }
}

void IdcApplyEvent(unsigned long id, DeviceState* device) {
  if (id == WFS_EXEE_IDC_MEDIAINSERTED) device->mediaPresent = true;
  if (id == WFS_SRVE_IDC_MEDIAREMOVED) device->mediaPresent = false;
}

}  // namespace devsim
