#include "crd_payloads.h"

#include "json_util.h"
#include "ostrel_records.h"
#include "structcodec.h"
#include "structs_crd.h"
#include "xfscrd.h"

namespace devsim {

namespace {

// An XFS extra list: its strings, and the empty one that ends it.
char kExtra[] = "Simulator=devsim\0";

USHORT StatusOf(const CardUnitState& unit) {
  if (unit.type == WFS_CRD_RETAINBIN) {
    return unit.threshold > 0 && unit.count >= unit.threshold ? WFS_CRD_STATCUHIGH
                                                               : WFS_CRD_STATCUOK;
  }
  if (unit.count == 0) return WFS_CRD_STATCUEMPTY;
  return unit.count <= unit.threshold ? WFS_CRD_STATCULOW : WFS_CRD_STATCUOK;
}

// The unit as the XFS structure; its name stays the unit's.
WFSCRDCARDUNIT Xfs(const CardUnitState& unit) {
  WFSCRDCARDUNIT xfs{};
  xfs.usNumber = unit.number;
  xfs.lpszCardName = const_cast<char*>(unit.name.c_str());
  xfs.usType = unit.type;
  xfs.ulInitialCount = unit.initialCount;
  xfs.ulCount = unit.count;
  xfs.ulRetainCount = unit.retainCount;
  xfs.ulThreshold = unit.threshold;
  xfs.usStatus = StatusOf(unit);
  xfs.bHardwareSensor = unit.hardwareSensor;
  return xfs;
}

Json::Value Unit(const CardUnitState& unit) {
  WFSCRDCARDUNIT xfs = Xfs(unit);
  return codec::Format(codec::crd::kCardUnit, &xfs);
}

Json::Value UnitError(WORD failure, const CardUnitState& unit) {
  WFSCRDCARDUNIT xfs = Xfs(unit);
  WFSCRDCUERROR error{failure, &xfs};
  return codec::Format(codec::crd::kCardUnitError, &error);
}

Json::Value MediaDetected(WORD position, USHORT unit) {
  WFSCRDMEDIADETECTED detected{position, unit};
  return codec::Format(codec::crd::kMediaDetected, &detected);
}

Json::Value UnitInfo(const DispenserState& dispenser) {
  std::vector<WFSCRDCARDUNIT> units;
  for (const CardUnitState& unit : dispenser.units) units.push_back(Xfs(unit));
  std::vector<LPWFSCRDCARDUNIT> list;
  for (WFSCRDCARDUNIT& unit : units) list.push_back(&unit);
  list.push_back(nullptr);
  WFSCRDCUINFO info{static_cast<USHORT>(units.size()), list.data()};
  return codec::Format(codec::crd::kCardUnitInfo, &info);
}

Json::Value Status(const DispenserState& dispenser) {
  size_t supplies = 0;
  size_t empty = 0;
  size_t short_ = 0;
  for (const CardUnitState& unit : dispenser.units) {
    if (unit.type != WFS_CRD_SUPPLYBIN) continue;
    ++supplies;
    if (StatusOf(unit) == WFS_CRD_STATCUEMPTY) ++empty;
    if (StatusOf(unit) != WFS_CRD_STATCUOK) ++short_;
  }
  WFSCRDSTATUS status{};
  status.fwDevice = WFS_CRD_DEVONLINE;
  status.fwDispenser = empty == supplies ? WFS_CRD_DISPCUSTOP
                       : short_ > 0      ? WFS_CRD_DISPCUSTATE
                                         : WFS_CRD_DISPCUOK;
  status.fwTransport = WFS_CRD_TPOK;
  status.fwMedia = dispenser.card == CardPlace::None        ? WFS_CRD_MEDIANOTPRESENT
                   : dispenser.card == CardPlace::Transport ? WFS_CRD_MEDIAPRESENT
                                                            : WFS_CRD_MEDIAEXITING;
  status.fwShutter = WFS_CRD_SHTNOTSUPPORTED;
  status.lpszExtra = kExtra;
  status.wDevicePosition = WFS_CRD_DEVICEINPOSITION;
  return codec::Format(codec::crd::kStatus, &status);
}

Json::Value Capabilities() {
  WFSCRDCAPS caps{};
  caps.wClass = WFS_SERVICE_CLASS_CRD;
  caps.fwPowerOnOption = WFS_CRD_NOACTION;
  caps.fwPowerOffOption = WFS_CRD_NOACTION;
  caps.bCardTakenSensor = TRUE;
  caps.fwDispenseTo = WFS_CRD_DISPTO_CONSUMER | WFS_CRD_DISPTO_TRANSPORT;
  caps.lpszExtra = kExtra;
  return codec::Format(codec::crd::kCapabilities, &caps);
}

CardUnitState* Find(DispenserState* dispenser, long long number) {
  for (CardUnitState& unit : dispenser->units) {
    if (unit.number == number) return &unit;
  }
  return nullptr;
}

// A count that reaches the unit's threshold is reported.
void Counted(const CardUnitState& unit, DeviceAnswer* answer) {
  if (unit.count == unit.threshold) {
    answer->Before(WFS_USER_EVENT, WFS_USRE_CRD_CARDUNITTHRESHOLD, Unit(unit));
  }
}

// The card goes to the exit, where the customer takes it.
void Present(int takenAfterMs, DispenserState* dispenser, DeviceAnswer* answer) {
  dispenser->card = CardPlace::Exit;
  if (takenAfterMs > 0) {
    answer->Later(takenAfterMs, WFS_SERVICE_EVENT, WFS_SRVE_CRD_MEDIAREMOVED, Json::Value());
  }
}

// The card goes into the retain bin.
void Retain(CardUnitState* bin, DispenserState* dispenser, DeviceAnswer* answer) {
  dispenser->card = CardPlace::None;
  ++bin->count;
  ++bin->retainCount;
  answer->After(WFS_SERVICE_EVENT, WFS_SRVE_CRD_CARDUNITINFOCHANGED, Unit(*bin));
  Counted(*bin, answer);
}

void Dispense(const Request& request, int takenAfterMs, DispenserState* dispenser,
              DeviceAnswer* answer) {
  CardUnitState* unit = Find(dispenser, IntegerMember(request.payload, "usNumber", -1));
  if (unit == nullptr || unit->type != WFS_CRD_SUPPLYBIN) {
    answer->hResult = WFS_ERR_CRD_INVALIDCARDUNIT;
    return;
  }
  if (unit->count == 0) {
    answer->Before(WFS_EXECUTE_EVENT, WFS_EXEE_CRD_CARDUNITERROR,
                   UnitError(WFS_CRD_CARDUNITEMPTY, *unit));
    answer->hResult = WFS_ERR_CRD_CARDUNITERROR;
    return;
  }
  --unit->count;
  bool present = IntegerMember(request.payload, "bPresent", FALSE) != FALSE;
  answer->Before(WFS_SERVICE_EVENT, WFS_SRVE_CRD_MEDIADETECTED,
                 MediaDetected(present ? WFS_CRD_EXIT : WFS_CRD_TRANSPORT, unit->number));
  Counted(*unit, answer);
  dispenser->card = CardPlace::Transport;
  if (present) Present(takenAfterMs, dispenser, answer);
}

void Eject(int takenAfterMs, DispenserState* dispenser, DeviceAnswer* answer) {
  if (dispenser->card == CardPlace::None) {
    answer->hResult = WFS_ERR_CRD_NOMEDIA;
  } else if (dispenser->card == CardPlace::Transport) {
    Present(takenAfterMs, dispenser, answer);
  }
}

void RetainCard(const Request& request, DispenserState* dispenser, DeviceAnswer* answer) {
  CardUnitState* bin = Find(dispenser, IntegerMember(request.payload, "usNumber", -1));
  if (bin == nullptr || bin->type != WFS_CRD_RETAINBIN) {
    answer->hResult = WFS_ERR_CRD_INVALIDRETAINBIN;
  } else if (dispenser->card == CardPlace::None) {
    answer->hResult = WFS_ERR_CRD_NOMEDIA;
  } else {
    Retain(bin, dispenser, answer);
  }
}

// A card found in the transport is ejected or retained as the reset asks.
void Reset(const Request& request, int takenAfterMs, DispenserState* dispenser,
           DeviceAnswer* answer) {
  if (dispenser->card != CardPlace::Transport) return;
  long long action = IntegerMember(request.payload, "usAction", WFS_CRD_NOACTION);
  CardUnitState* bin = nullptr;
  for (CardUnitState& unit : dispenser->units) {
    if (bin == nullptr && unit.type == WFS_CRD_RETAINBIN) bin = &unit;
  }
  if (action == WFS_CRD_EJECT) {
    Present(takenAfterMs, dispenser, answer);
    answer->After(WFS_SERVICE_EVENT, WFS_SRVE_CRD_MEDIADETECTED, MediaDetected(WFS_CRD_EXIT, 0));
  } else if (action == WFS_CRD_RETAIN && bin != nullptr) {
    Retain(bin, dispenser, answer);
    answer->After(WFS_SERVICE_EVENT, WFS_SRVE_CRD_MEDIADETECTED,
                  MediaDetected(WFS_CRD_CARDUNIT, bin->number));
  } else {
    answer->After(WFS_SERVICE_EVENT, WFS_SRVE_CRD_MEDIADETECTED,
                  MediaDetected(WFS_CRD_TRANSPORT, 0));
  }
}

// The units named in the list take its values; a list that names a unit
// the dispenser does not have changes nothing.
void SetUnits(const Request& request, DispenserState* dispenser, DeviceAnswer* answer) {
  const Json::Value& list =
      request.payload.isObject() ? request.payload["lppList"] : Json::Value();
  if (!list.isArray()) {
    answer->hResult = WFS_ERR_INVALID_DATA;
    return;
  }
  for (const Json::Value& item : list) {
    if (Find(dispenser, IntegerMember(item, "usNumber", -1)) == nullptr) {
      answer->hResult = WFS_ERR_CRD_INVALIDCARDUNIT;
      return;
    }
  }
  for (const Json::Value& item : list) {
    CardUnitState* unit = Find(dispenser, IntegerMember(item, "usNumber", -1));
    if (item["lpszCardName"].isString()) unit->name = item["lpszCardName"].asString();
    unit->type = static_cast<USHORT>(IntegerMember(item, "usType", unit->type));
    unit->initialCount = static_cast<ULONG>(IntegerMember(item, "ulInitialCount", unit->initialCount));
    unit->count = static_cast<ULONG>(IntegerMember(item, "ulCount", unit->count));
    unit->retainCount = static_cast<ULONG>(IntegerMember(item, "ulRetainCount", unit->retainCount));
    unit->threshold = static_cast<ULONG>(IntegerMember(item, "ulThreshold", unit->threshold));
    unit->hardwareSensor = static_cast<BOOL>(IntegerMember(item, "bHardwareSensor", unit->hardwareSensor));
    answer->After(WFS_SERVICE_EVENT, WFS_SRVE_CRD_CARDUNITINFOCHANGED, Unit(*unit));
  }
}

}  // namespace

DispenserState::DispenserState()
    : units{{1, "DEBIT", WFS_CRD_SUPPLYBIN, 50, 50, 0, 5, TRUE},
            {2, "GIFT", WFS_CRD_SUPPLYBIN, 3, 3, 0, 1, TRUE},
            {3, "RETAIN", WFS_CRD_RETAINBIN, 0, 0, 0, 15, FALSE}} {}

DeviceAnswer CrdAnswer(const Request& request, int takenAfterMs, DispenserState* dispenser) {
  DeviceAnswer answer;
  if (request.kind == KvSP_CMD_GETINFO) {
    if (request.code == WFS_INF_CRD_STATUS) answer.payload = Status(*dispenser);
    if (request.code == WFS_INF_CRD_CAPABILITIES) answer.payload = Capabilities();
    if (request.code == WFS_INF_CRD_CARD_UNIT_INFO) answer.payload = UnitInfo(*dispenser);
    return answer;
  }
  switch (request.code) {
    case WFS_CMD_CRD_DISPENSE_CARD:
      Dispense(request, takenAfterMs, dispenser, &answer);
      break;
    case WFS_CMD_CRD_EJECT_CARD:
      Eject(takenAfterMs, dispenser, &answer);
      break;
    case WFS_CMD_CRD_RETAIN_CARD:
      RetainCard(request, dispenser, &answer);
      break;
    case WFS_CMD_CRD_RESET:
      Reset(request, takenAfterMs, dispenser, &answer);
      break;
    case WFS_CMD_CRD_SET_CARD_UNIT_INFO:
      SetUnits(request, dispenser, &answer);
      break;
    default:
      break;
  }
  return answer;
}

Json::Value CrdEventPayload(unsigned long id, const DispenserState& dispenser) {
  const CardUnitState& unit = dispenser.units.front();
  switch (id) {
    case WFS_SRVE_CRD_CARDUNITINFOCHANGED:
    case WFS_USRE_CRD_CARDUNITTHRESHOLD:
      return Unit(unit);
    case WFS_SRVE_CRD_MEDIADETECTED:
      return MediaDetected(WFS_CRD_TRANSPORT, unit.number);
    case WFS_EXEE_CRD_CARDUNITERROR:
      return UnitError(WFS_CRD_CARDUNITERROR, unit);
    default:
      return Json::Value();
  }
}

void CrdApplyEvent(unsigned long id, DispenserState* dispenser) {
  if (id == WFS_SRVE_CRD_MEDIAREMOVED) dispenser->card = CardPlace::None;
}

bool CrdEventStillDue(unsigned long id, const DispenserState& dispenser) {
  return id != WFS_SRVE_CRD_MEDIAREMOVED || dispenser.card == CardPlace::Exit;
}

}  // namespace devsim
