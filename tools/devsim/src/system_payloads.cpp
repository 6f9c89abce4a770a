#include "system_payloads.h"

#include <string>

#include "base64.h"
#include "xfsapi.h"
#include "xfsidc.h"

namespace devsim {

namespace {

const char kWorkstation[] = "devsim";

std::string PhysicalName(const DeviceState& device) { return device.logicalName + "_DEVICE"; }

// "dwSize" and the base64 "lpbDescription" of a text.
void SetDescription(Json::Value* payload, const std::string& text) {
  (*payload)["dwSize"] = static_cast<Json::UInt>(text.size());
  (*payload)["lpbDescription"] = Base64Encode(text);
}

Json::Value Names(const DeviceState& device, bool physical) {
  Json::Value payload(Json::objectValue);
  payload["lpszLogicalName"] = device.logicalName;
  if (physical) payload["lpszPhysicalName"] = PhysicalName(device);
  payload["lpszWorkstationName"] = kWorkstation;
  payload["lpszAppID"] = device.appId;
  return payload;
}

Json::Value Error(const DeviceState& device, const std::string& what) {
  Json::Value payload = Names(device, true);
  SetDescription(&payload, what + " reported by the device simulator");
  return payload;
}

Json::Value VersionError(const DeviceState& device) {
  Json::Value payload = Names(device, false);
  SetDescription(&payload, "version mismatch reported by the device simulator");
  Json::Value version(Json::objectValue);
  if (device.family == Family::IDC) {
    version["wVersion"] = WFS_SERVICE_CLASS_VERSION_IDC;
    version["wLowVersion"] = WFS_SERVICE_CLASS_VERSION_IDC;
    version["wHighVersion"] = WFS_SERVICE_CLASS_VERSION_IDC;
  }
  version["szDescription"] = "devsim device service";
  version["szSystemStatus"] = "simulated";
  payload["lpWFSVersion"] = version;
  return payload;
}

Json::Value DeviceStatus(const DeviceState& device) {
  Json::Value payload(Json::objectValue);
  payload["lpszPhysicalName"] = PhysicalName(device);
  payload["lpszWorkstationName"] = kWorkstation;
  return payload;
}

Json::Value Undeliverable(const DeviceState& device) {
  Json::Value payload = Names(device, false);
  SetDescription(&payload, "message could not be delivered");
  payload["dwMsg"] = WFS_EXECUTE_COMPLETE;
  Json::Value result(Json::objectValue);
  result["requestID"] = 0;
  result["hService"] = 0;
  result["hResult"] = WFS_SUCCESS;
  result["dwEventID"] = 0;
  payload["lpWFSResult"] = result;
  return payload;
}

}  // namespace

Json::Value SystemEventPayload(unsigned long id, const DeviceState& device) {
  switch (id) {
    case WFS_SYSE_UNDELIVERABLE_MSG:
      return Undeliverable(device);
    case WFS_SYSE_HARDWARE_ERROR:
      return Error(device, "hardware error");
    case WFS_SYSE_VERSION_ERROR:
      return VersionError(device);
    case WFS_SYSE_DEVICE_STATUS:
      return DeviceStatus(device);
    case WFS_SYSE_APP_DISCONNECT:
      return Names(device, false);
    case WFS_SYSE_SOFTWARE_ERROR:
      return Error(device, "software error");
    case WFS_SYSE_USER_ERROR:
      return Error(device, "user error");
    default:
      return Json::Value();
  }
}

}  // namespace devsim
