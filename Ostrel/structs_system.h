// The system events' structures as the codec carries them.
#ifndef OSTREL_STRUCTS_SYSTEM_H
#define OSTREL_STRUCTS_SYSTEM_H

#include "structdesc.h"

namespace codec {
namespace systemevents {

extern const Description kUndeliverableMsg;  // WFSUNDEVMSG
extern const Description kUndelivered;       // the WFSRESULT an undeliverable message carries
extern const Description kHardwareError;     // WFSHWERROR (software and user errors too)
extern const Description kVersionError;      // WFSVRSNERROR
extern const Description kVersion;           // WFSVERSION
extern const Description kDeviceStatus;      // WFSDEVSTATUS
extern const Description kAppDisconnect;     // WFSAPPDISC


// All of the above.
Descriptions All();

}  // namespace systemevents
}  // namespace codec

#endif
