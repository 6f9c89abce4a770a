// Text of what the service provider returned and posted: call results with
// their WFS_ERR_* names, and each completion or event with its header and the
// fields of the card reader's output structure below it.
#ifndef XFSMGR_RESULT_PRINTER_H
#define XFSMGR_RESULT_PRINTER_H

#include <string>

#include "result_window.h"
#include "xfsapi.h"

namespace xfsmgr {

// "-42 (WFS_ERR_OUT_OF_MEMORY)".
std::string ResultText(HRESULT result);

// "<call> returned 0 (WFS_SUCCESS)".
std::string DescribeCall(const std::string& call, HRESULT result);

// One line for the message (name and number, RequestID, hService, hResult
// with its name, command code or event identifier with its name, timestamp),
// then one indented line per output structure (card-reader payloads and the
// system events; other payloads are shown as present, not decoded). Unless
// showCardData, track data shows only the first 6 and last 4 digits of the
// card number and its length, chip data only its length.
std::string DescribeMessage(const TakenMessage& taken, bool showCardData = false);

}  // namespace xfsmgr

#endif
