#include "payloads.h"

#include "idc_payloads.h"
#include "ostrel_records.h"
#include "system_payloads.h"
#include "xfsapi.h"

namespace devsim {

Json::Value DefaultCompletionPayload(const Request& request, const DeviceState& device) {
  // PIN, PTR and CRD services complete without data until their payloads
  // are built here.
  if (FamilyOfCode(request.code) != Family::IDC) return Json::Value();
  if (request.kind == KvSP_CMD_GETINFO) return IdcInfoPayload(request.code, device);
  if (request.kind == KvSP_CMD_EXECUTE) return IdcExecutePayload(request, device);
  return Json::Value();
}

Json::Value DefaultEventPayload(int msgType, unsigned long id, const DeviceState& device) {
  if (msgType == WFS_SYSTEM_EVENT) return SystemEventPayload(id, device);
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
}

Json::Value PinKeyPayload(unsigned long digit, unsigned completion) {
  Json::Value key(Json::objectValue);
  key["wCompletion"] = completion;
  key["ulDigit"] = static_cast<Json::UInt64>(digit);
  return key;
}

}  // namespace devsim
