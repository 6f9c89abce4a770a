// Names of XFS values for xfsmgr's output, taken from the name file
// WFSConfig.xml through the trace formatter's name maps: the console names
// what the trace names, from the same file.
#ifndef XFSMGR_NAME_FILE_H
#define XFSMGR_NAME_FILE_H

#include <string>

#include "xfsapi.h"

namespace xfsmgr {

// Makes the name maps hold a name file: the one the trace formatter finds
// itself (in the configuration directory, else in the current directory),
// else the copy the build leaves beside this program. The service provider
// in this process renders its trace with the same maps. Call it before the
// service provider renders anything: no other thread may look up a name
// meanwhile. Returns a line saying where the names come from.
std::string UseNameFile();

// The names, empty when the name file has none. An error code is looked up
// among the common ones, then among those of the class that `code` (a
// category, command or event) belongs to.
std::string ResultName(HRESULT result, DWORD code = 0);
std::string MessageName(UINT message);
std::string CategoryName(DWORD category);
std::string CommandName(DWORD command);
std::string EventName(DWORD eventId);

}  // namespace xfsmgr

#endif
