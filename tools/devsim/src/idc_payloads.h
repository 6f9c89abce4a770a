// Card-reader payloads: status, capabilities, form list, track and raw data
// reads, eject, retain, chip I/O and chip power, and the card-reader events.
#ifndef DEVSIM_IDC_PAYLOADS_H
#define DEVSIM_IDC_PAYLOADS_H

#include <json/json.h>

#include "payloads.h"

namespace devsim {

Json::Value IdcInfoPayload(long category, const DeviceState& device);
Json::Value IdcExecutePayload(const Request& request, const DeviceState& device);
Json::Value IdcEventPayload(unsigned long id);
void IdcApplyCompletion(const Request& request, DeviceState* device);
void IdcApplyEvent(unsigned long id, DeviceState* device);

}  // namespace devsim

#endif
