// The printer's structures (PTR) as the codec carries them.
#ifndef OSTREL_STRUCTS_PTR_H
#define OSTREL_STRUCTS_PTR_H

#include "structdesc.h"

namespace codec {
namespace ptr {

// Replies and events.
extern const Description kStatus;          // WFSPTRSTATUS
extern const Description kRetractBins;     // WFSPTRRETRACTBINS
extern const Description kCapabilities;    // WFSPTRCAPS
extern const Description kRawDataIn;       // WFSPTRRAWDATAIN
extern const Description kMediaPresented;  // WFSPTRMEDIAPRESENTED
extern const Description kInkThreshold;    // the ink threshold (a WORD)
// Requests.
extern const Description kMediaControl;  // the media-control word (an LPDWORD)
extern const Description kRawData;       // WFSPTRRAWDATA
extern const Description kReset;         // WFSPTRRESET

// All of the above.
Descriptions All();

}  // namespace ptr
}  // namespace codec

#endif
