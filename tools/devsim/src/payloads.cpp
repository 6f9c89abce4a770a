#include "payloads.h"

#include "idc_payloads.h"
#include "ostrel_records.h"
#include "system_payloads.h"
#include "xfsapi.h"

namespace devsim {

Json::Value DefaultCompletionPayload(const Request& request, const DeviceState& device) {
  // PIN services complete without data until their payloads are built
  // here; printers and dispensers answer through AnswerRequest.
  if (FamilyOfCode(request.code) != Family::IDC) return Json::Value();
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
  // Key values arrive with the PIN payloads; until then a zero key.
  if (msgType == WFS_EXECUTE_EVENT && id == kPinKeyEvent) {
    return PinKeyPayload(0, 0);
  }
  return Json::Value();
}

void ApplyCompletion(const Request& request, int hResult, DeviceState* device) {
  if (hResult != WFS_SUCCESS || request.kind != KvSP_CMD_EXECUTE) return;
  if (FamilyOfCode(request.code) == Family::IDC) IdcApplyCompletion(request, device);
}

void ApplyEvent(int msgType, unsigned long id, DeviceState* device) {
  if (msgType == WFS_SYSTEM_EVENT) return;
  if (FamilyOfCode(static_cast<long>(id)) == Family::IDC) IdcApplyEvent(id, device);
  if (FamilyOfCode(static_cast<long>(id)) == Family::PTR) PtrApplyEvent(id, &device->printer);
  if (FamilyOfCode(static_cast<long>(id)) == Family::CRD) {
    CrdApplyEvent(id, &device->dispenser);
  }
}

Json::Value PinKeyPayload(unsigned long digit, unsigned completion) {
  Json::Value key(Json::objectValue);
  key["wCompletion"] = completion;
  key["ulDigit"] = static_cast<Json::UInt64>(digit);
  return key;
}

}  // namespace devsim
