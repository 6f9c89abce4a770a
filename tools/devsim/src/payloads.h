// The built-in "lpBuffer" payloads of completions and events, and what a
// completion or an event changes in the simulated device.
#ifndef DEVSIM_PAYLOADS_H
#define DEVSIM_PAYLOADS_H

#include <json/json.h>

#include <string>
#include <vector>

#include "crd_payloads.h"
#include "device_answer.h"
#include "device_class.h"
#include "pin_state.h"
#include "ptr_payloads.h"
#include "request.h"
#include "scenario.h"
#include "xfspin.h"

namespace devsim {

// What the built-in payloads report about one logical service's device.
struct DeviceState {
  std::string logicalName;
  Family family = Family::Unknown;
  std::string appId;          // of the last request that carried one
  bool mediaPresent = false;  // a card is in the reader
  int retainedCards = 0;      // cards retained since the start
  PinPadState pin;            // a PIN pad's keys and key entry
  // A receipt or a card presented to the customer is taken this long after
  // (0: only from the console).
  int takenAfterMs = 0;
  PrinterState printer;
  DispenserState dispenser;
};

// Built-in payload of the completion of request; null when it carries none.
Json::Value DefaultCompletionPayload(const Request& request, const DeviceState& device);
// Built-in payload of event id sent as message msgType (1044 to 1047).
Json::Value DefaultEventPayload(int msgType, unsigned long id, const DeviceState& device);

// How the device carries out request when it comes to its completion: the
// completion and the events around it, and what it changes. Printers and
// dispensers decide for themselves; the other classes complete with the
// built-in payload.
DeviceAnswer AnswerRequest(const Request& request, DeviceState* device);
// Whether an event the device put off is still due (the receipt it takes
// has not been taken yet).
bool EventStillDue(unsigned long id, const DeviceState& device);

// What taking up a request begins in the device (a PIN pad's key entry),
// and the events the device sends of itself before the completion when
// nothing else is planned (the keys of that entry).
std::vector<EventSpec> BeginRequest(const Request& request, DeviceState* device);

// What a successful completion (hResult 0) or a sent event changes. An
// event may change its own payload (a PIN pad does not tell the digits of
// a PIN); the command whose key entry the event ends, else 0.
void ApplyCompletion(const Request& request, int hResult, DeviceState* device);
long ApplyEvent(int msgType, unsigned long id, Json::Value* payload, DeviceState* device);

// The PIN key event, an execute event.
constexpr unsigned long kPinKeyEvent = WFS_EXEE_PIN_KEY;

// The payload of a PIN key event: the key's "ulDigit" and "wCompletion".
Json::Value PinKeyPayload(unsigned long digit, unsigned completion);

}  // namespace devsim

#endif
