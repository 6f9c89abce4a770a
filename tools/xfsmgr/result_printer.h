// Text of what the service provider returned and posted: call results with
// their names, and each completion or event as a one-line summary over its
// record as the trace formatter renders it (the same text as the trace, in
// which card data, PIN data and key values are hidden). Names come from the
// name file (name_file.h).
#ifndef XFSMGR_RESULT_PRINTER_H
#define XFSMGR_RESULT_PRINTER_H

#include <string>

#include "result_window.h"
#include "xfsapi.h"

namespace xfsmgr {

// "-22 (WFS_ERR_INVALID_HSERVICE)"; the number alone when it has no name.
// code: the category, command or event whose class may name the error.
std::string ResultText(HRESULT result, DWORD code = 0);

// "WFS_OPEN_COMPLETE (1025)"; "message 1025" when it has no name.
std::string MessageText(UINT message);

// "<call> returned 0 (WFS_SUCCESS)".
std::string DescribeCall(const std::string& call, HRESULT result);

// The summary: the message with its name and number, RequestID, hService,
// hResult, the command code or event identifier with its name, the
// timestamp; for a card read its card data, masked unless showCardData (of a
// track the first 6 and last 4 digits of the card number and its length, of
// a chip its length); for a PIN key "key *" when it is a digit. Then, when
// the record carries a structure, the record as the trace formatter renders
// it, lines ended by LF.
std::string DescribeMessage(const TakenMessage& taken, bool showCardData = false);

}  // namespace xfsmgr

#endif
