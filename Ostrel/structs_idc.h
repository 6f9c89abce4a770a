// The card reader's structures (IDC) as the codec carries them.
#ifndef OSTREL_STRUCTS_IDC_H
#define OSTREL_STRUCTS_IDC_H

#include "structdesc.h"

namespace codec {
namespace idc {

// Replies and events.
extern const Description kStatus;           // WFSIDCSTATUS
extern const Description kCapabilities;     // WFSIDCCAPS
extern const Description kForm;             // WFSIDCFORM
extern const Description kIfmIdentifier;    // WFSIDCIFMIDENTIFIER
extern const Description kRetainCard;       // WFSIDCRETAINCARD
extern const Description kTrackEvent;       // WFSIDCTRACKEVENT
extern const Description kCardAction;       // WFSIDCCARDACT
extern const Description kDevicePosition;   // WFSIDCDEVICEPOSITION
extern const Description kPowerSaveChange;  // WFSIDCPOWERSAVECHANGE
// Both ways.
extern const Description kEjectCard;  // WFSIDCEJECTCARD
extern const Description kSetkey;     // WFSIDCSETKEY
extern const Description kCardData;   // WFSIDCCARDDATA
extern const Description kChipIo;     // WFSIDCCHIPIO
// Requests.
extern const Description kWriteTrack;        // WFSIDCWRITETRACK
extern const Description kReadData;          // the read-data flags (an LPWORD)
extern const Description kParseData;         // WFSIDCPARSEDATA
extern const Description kSetGuidanceLight;  // WFSIDCSETGUIDLIGHT
extern const Description kPowerSaveControl;  // WFSIDCPOWERSAVECONTROL

// All of the above.
Descriptions All();

}  // namespace idc
}  // namespace codec

#endif
