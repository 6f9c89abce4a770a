// Names of XFS values for people reading xfsmgr's output.
#ifndef XFSMGR_XFS_NAMES_H
#define XFSMGR_XFS_NAMES_H

#include <string>

#include "xfsapi.h"

namespace xfsmgr {

// "WFS_SUCCESS", "WFS_ERR_TIMEOUT", "WFS_ERR_IDC_NOMEDIA"...; "unknown result" otherwise.
std::string ResultName(HRESULT result);
// "WFS_OPEN_COMPLETE", ... "WFS_SYSTEM_EVENT"; "unknown message" otherwise.
std::string MessageName(UINT message);
// WFS_EXECUTE_EVENT to WFS_SYSTEM_EVENT.
bool IsEventMessage(UINT message);
// Card-reader and PIN pad get-info categories and execute commands
// ("WFS_INF_IDC_STATUS", "WFS_CMD_PIN_GET_PIN"); empty for codes of other
// classes.
std::string CategoryName(DWORD category);
std::string CommandName(DWORD command);
// Event identifiers of a WFS_*_EVENT message: card-reader and PIN pad
// events and the system events; empty when unknown.
std::string EventName(UINT message, DWORD eventId);

}  // namespace xfsmgr

#endif
