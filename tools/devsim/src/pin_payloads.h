// PIN pad payloads: status, capabilities, key details, function keys, the
// key entry of GET_PIN, GET_DATA and GET_PIN_EX with its key events, PIN
// blocks, key check values and encryption. The data is made up but
// deterministic: a PIN block follows from the digits and the customer
// data, a check value from the key; nothing is real cryptography.
#ifndef DEVSIM_PIN_PAYLOADS_H
#define DEVSIM_PIN_PAYLOADS_H

#include <json/json.h>

#include <vector>

#include "payloads.h"

namespace devsim {

Json::Value PinInfoPayload(const Request& request, const DeviceState& device);
Json::Value PinExecutePayload(const Request& request, const DeviceState& device);

// A key entry opens with its request; its keys, unless a scenario gives
// them or the operator types them: four digits and ENTER (as many digits
// as the entry takes when it ends by itself).
std::vector<EventSpec> PinBeginRequest(const Request& request, DeviceState* device);
// A key event goes into the open entry; the digits of a PIN leave the
// event as 0. The entry's command when the key ends it, else 0.
long PinApplyEvent(int msgType, unsigned long id, Json::Value* payload, DeviceState* device);
// An entry's completion closes it (a PIN's digits stay for the PIN block);
// IMPORT_KEY loads its key.
void PinApplyCompletion(const Request& request, DeviceState* device);

}  // namespace devsim

#endif
