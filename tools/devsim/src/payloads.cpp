#include "payloads.h"

#include "idc_payloads.h"
#include "ostrel_records.h"
#include "pin_payloads.h"
#include "system_payloads.h"
#include "xfsapi.h"

namespace devsim {

Json::Value DefaultCompletionPayload(const Request& request, const DeviceState& device) {
  // Printers and dispensers answer through AnswerRequest.
  Family family = FamilyOfCode(request.code);
  if (family == Family::PIN) {
    if (request.kind == KvSP_CMD_GETINFO) return PinInfoPayload(request, device);
    if (request.kind == KvSP_CMD_EXECUTE) return PinExecutePayload(request, device);
  }
  if (family != Family::IDC) return Json::Value();
  if (request.kind == KvSP_CMD_GETINFO) return IdcInfoPayload(request.code, device);
  if (request.kind == KvSP_CMD_EXECUTE) return IdcExecutePayload(request, device);
  return Json::Value();
}

DeviceAnswer AnswerRequest(const Request& request, DeviceState* device) {
  bool carriedOut = request.kind == KvSP_CMD_GETINFO || request.kind == KvSP_CMD_EXECUTE;
  Family family = FamilyOfCode(request.code);
  if (carriedOut && family == Family::PTR) {
    return PtrAnswer(request, device->takenAfterMs, &device->printer);
  }
  if (carriedOut && family == Family::CRD) {
    return CrdAnswer(request, device->takenAfterMs, &device->dispenser);
  }
  DeviceAnswer answer;
  answer.payload = DefaultCompletionPayload(request, *device);
  ApplyCompletion(request, WFS_SUCCESS, device);
  return answer;
}

bool EventStillDue(unsigned long id, const DeviceState& device) {
  switch (FamilyOfCode(static_cast<long>(id))) {
    case Family::PTR:
      return PtrEventStillDue(id, device.printer);
    case Family::CRD:
      return CrdEventStillDue(id, device.dispenser);
    default:
      return true;
  }
}

Json::Value DefaultEventPayload(int msgType, unsigned long id, const DeviceState& device) {
  if (msgType == WFS_SYSTEM_EVENT) return SystemEventPayload(id, device);
  if (FamilyOfCode(static_cast<long>(id)) == Family::PTR) return PtrEventPayload(id);
  if (FamilyOfCode(static_cast<long>(id)) == Family::CRD) {
    return CrdEventPayload(id, device.dispenser);
  }
  if (FamilyOfCode(static_cast<long>(id)) == Family::IDC && msgType != WFS_USER_EVENT) {
    return IdcEventPayload(id);
  }
  // A key event without its key: a zero key.
  if (msgType == WFS_EXECUTE_EVENT && id == kPinKeyEvent) {
    return PinKeyPayload(0, 0);
  }
  return Json::Value();
}

std::vector<EventSpec> BeginRequest(const Request& request, DeviceState* device) {
  if (FamilyOfCode(request.code) == Family::PIN) return PinBeginRequest(request, device);
  return {};
}

void ApplyCompletion(const Request& request, int hResult, DeviceState* device) {
  if (hResult != WFS_SUCCESS || request.kind != KvSP_CMD_EXECUTE) return;
  Family family = FamilyOfCode(request.code);
  if (family == Family::IDC) IdcApplyCompletion(request, device);
  if (family == Family::PIN) PinApplyCompletion(request, device);
}

long ApplyEvent(int msgType, unsigned long id, Json::Value* payload, DeviceState* device) {
  if (msgType == WFS_SYSTEM_EVENT) return 0;
  Family family = FamilyOfCode(static_cast<long>(id));
  if (family == Family::IDC) IdcApplyEvent(id, device);
  if (family == Family::PTR) PtrApplyEvent(id, &device->printer);
  if (family == Family::CRD) CrdApplyEvent(id, &device->dispenser);
  if (family == Family::PIN) return PinApplyEvent(msgType, id, payload, device);
  return 0;
}

Json::Value PinKeyPayload(unsigned long digit, unsigned completion) {
  Json::Value key(Json::objectValue);
  key["wCompletion"] = completion;
  key["ulDigit"] = static_cast<Json::UInt64>(digit);
  return key;
}

}  // namespace devsim
