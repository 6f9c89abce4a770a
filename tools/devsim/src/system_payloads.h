// System-event payloads: hardware, software and user errors, version
// errors, device status, application disconnect, undeliverable messages.
#ifndef DEVSIM_SYSTEM_PAYLOADS_H
#define DEVSIM_SYSTEM_PAYLOADS_H

#include <json/json.h>

#include "payloads.h"

namespace devsim {

Json::Value SystemEventPayload(unsigned long id, const DeviceState& device);

}  // namespace devsim

#endif
