// Card data as xfsmgr may show it: of a magnetic track only the first 6 and
// the last 4 digits of the card number (PAN), and the track's length.
#ifndef XFSMGR_CARD_DATA_H
#define XFSMGR_CARD_DATA_H

#include <string>
#include <vector>

#include "xfsidc.h"

namespace xfsmgr {

// The elements of a card read's NULL-ended list (READ_RAW_DATA's output),
// copied out of the packed records; their data stays where it is.
std::vector<WFSIDCCARDDATA> CardDataList(const void* buffer);

// The card number of a track: its first run of digits (empty when none).
std::string PanOf(const std::string& track);

// "<PAN 400000******7899, 37 chars>": the PAN masked but for its first 6 and
// last 4 digits (left out when it has no more than 10), and the length.
std::string MaskedTrack(const std::string& track);

}  // namespace xfsmgr

#endif
