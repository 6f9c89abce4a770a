// The card dispenser's structures (CRD) as the codec carries them.
#ifndef OSTREL_STRUCTS_CRD_H
#define OSTREL_STRUCTS_CRD_H

#include "structcodec.h"
#include "structdesc.h"

namespace codec {
namespace crd {

// Replies and events.
extern const Description kStatus;         // WFSCRDSTATUS
extern const Description kCapabilities;   // WFSCRDCAPS
extern const Description kCardUnitError;  // WFSCRDCUERROR
extern const Description kMediaDetected;  // WFSCRDMEDIADETECTED
// Both ways.
extern const Description kCardUnitInfo;  // WFSCRDCUINFO
extern const Description kCardUnit;      // WFSCRDCARDUNIT
// Requests.
extern const Description kDispense;    // WFSCRDDISPENSE
extern const Description kRetainCard;  // WFSCRDRETAINCARD
extern const Description kReset;       // WFSCRDRESET

// All of the above.
Descriptions All();

// How the events read a card unit (the unit itself, or the one of a
// card-unit error): bHardwareSensor as an integer, and every block on the
// decoder's "allocate buffer failed!" line.
UnformatOptions CardUnitEventOptions();

}  // namespace crd
}  // namespace codec

#endif
