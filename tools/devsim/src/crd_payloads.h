// Card-dispenser payloads: a dispenser with two supply units and a retain
// bin. DISPENSE_CARD takes a card from a unit and counts it down; a unit
// that reaches its threshold says so, and an empty one fails the dispense
// with a card-unit error. A card presented at the exit is taken from the
// console ("take") or after a while.
#ifndef DEVSIM_CRD_PAYLOADS_H
#define DEVSIM_CRD_PAYLOADS_H

#include <json/json.h>

#include <string>
#include <vector>

#include "device_answer.h"
#include "request.h"
#include "xfsapi.h"

namespace devsim {

struct CardUnitState {
  USHORT number = 0;
  std::string name;
  USHORT type = 0;  // WFS_CRD_SUPPLYBIN or WFS_CRD_RETAINBIN
  ULONG initialCount = 0;
  ULONG count = 0;
  ULONG retainCount = 0;
  ULONG threshold = 0;
  BOOL hardwareSensor = FALSE;
};

// Where the card last dispensed is.
enum class CardPlace { None, Transport, Exit };

struct DispenserState {
  DispenserState();  // the units the dispenser starts with
  std::vector<CardUnitState> units;
  CardPlace card = CardPlace::None;
};

// A get-info or execute of the dispenser; takenAfterMs > 0: a card
// presented at the exit is taken that much later.
DeviceAnswer CrdAnswer(const Request& request, int takenAfterMs, DispenserState* dispenser);
Json::Value CrdEventPayload(unsigned long id, const DispenserState& dispenser);
void CrdApplyEvent(unsigned long id, DispenserState* dispenser);
bool CrdEventStillDue(unsigned long id, const DispenserState& dispenser);

}  // namespace devsim

#endif
