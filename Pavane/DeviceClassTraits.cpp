// The event filter and destructor trace shared by the four device classes.
#include "DeviceClassTraits.h"

#include <QByteArray>

#include "Device.h"
#include "WFPCommonFunc.h"
#include "corvid.h"
#include "kestrel.h"

namespace {

const char kModule[] = "WFPX";

const char* const kOperationNames[kDeviceEventKinds] = {"OnExecuteEvent", "OnUserEvent",
                                                        "OnServiceEvent", "OnSystemEvent"};
const unsigned short kEventMessages[kDeviceEventKinds] = {WFS_EXECUTE_EVENT, WFS_USER_EVENT,
                                                          WFS_SERVICE_EVENT, WFS_SYSTEM_EVENT};

// "<class>::<operation> catch an exception", with "!" where the class writes one.
QByteArray FaultText(const DeviceClassTraits& traits, const char* operation) {
  QByteArray text = QByteArray(traits.className) + "::" + operation + " catch an exception";
  if (traits.exclaimedFaults) text += '!';
  return text;
}

}  // namespace

int CDevice::FilterEvent(const DeviceClassTraits& traits, int kind, WFSRESULT* lpEvent,
                         const _stRegHwndItem* item) {
  const char* operation = kOperationNames[kind];
  CFunctionTraceScope trace(operation, traits.className);
  try {
    if (lpEvent == nullptr) {
      tracelog(4, kModule, "lpEvent = NULL");
      return -1;
    }
    if (!traits.events[kind].Contains(lpEvent->u.dwEventID)) {
      tracelog(4, kModule, "%s::%s not support event [%d]", traits.className, operation,
               lpEvent->u.dwEventID);
      WFMFreeBuffer(lpEvent);
    } else if (PollingSendMsg(lpEvent, item, kEventMessages[kind]) == 0) {
      WFMFreeBuffer(lpEvent);
    }
    return 0;
  } catch (...) {
    tracelogException(traits.sourceName, traits.faultLines[kind], kModule,
                      FaultText(traits, operation).constData());
    return -1;
  }
}

void TraceDeviceClassDestructor(const DeviceClassTraits& traits, const char* destructorName,
                                bool entry) {
  try {
    if (entry)
      CWFPCommonFunc::FunctionTraceBegin(destructorName, traits.className);
    else
      CWFPCommonFunc::FunctionTraceEnd(destructorName, traits.className);
  } catch (...) {
    tracelogException(traits.sourceName, traits.destructorFaultLine, kModule,
                      FaultText(traits, destructorName).constData());
  }
}
