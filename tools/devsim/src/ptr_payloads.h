// Printer payloads: a receipt printer with one paper supply and one retract
// bin. RAW_DATA prints a receipt and presents it; the customer takes it
// from the console ("take") or after a while.
#ifndef DEVSIM_PTR_PAYLOADS_H
#define DEVSIM_PTR_PAYLOADS_H

#include <json/json.h>

#include "device_answer.h"
#include "request.h"
#include "xfsapi.h"

namespace devsim {

struct PrinterState {
  bool receiptPresented = false;  // printed and waiting at the exit
  unsigned long printed = 0;      // receipts printed since the start
  unsigned retracted = 0;         // receipts in the retract bin
};

// A get-info or execute of the printer; takenAfterMs > 0: a presented
// receipt is taken that much later.
DeviceAnswer PtrAnswer(const Request& request, int takenAfterMs, PrinterState* printer);
Json::Value PtrEventPayload(unsigned long id);
// The payload of an ink-threshold event: "lpwInkThreshold", an ink state.
Json::Value InkThresholdPayload(WORD level);
void PtrApplyEvent(unsigned long id, PrinterState* printer);
bool PtrEventStillDue(unsigned long id, const PrinterState& printer);

}  // namespace devsim

#endif
