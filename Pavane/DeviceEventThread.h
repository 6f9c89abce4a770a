// The four per-device event threads. Each takes one kind of event from the
// message window, finds the first registration of the event's service and
// hands both to the device's event operation of that kind, which decides
// whether the event reaches the application.
#ifndef PAVANE_DEVICEEVENTTHREAD_H
#define PAVANE_DEVICEEVENTTHREAD_H

#include "WFPThread.h"

struct _stRegHwndItem;

// What the four threads share: the device and the delivery rule.
class CDeviceEventThread : public CWFPThread {
  Q_OBJECT

 public:
  // Ends the loop before the thread's own parts go.
  ~CDeviceEventThread() override;

  // Stores the device (not owned); called before StartThread.
  void SetInitThread(CDevice* device) override;

  // The device; null until SetInitThread. Written before the loop starts.
  CDevice* m_pDevice = nullptr;

 protected:
  // Texts and device operation of one event kind (DeviceEventThread.cpp).
  struct Kind;
  // Looks up the first registration of lpEvent's service and calls the
  // kind's device operation with a copy of it; frees lpEvent when there is
  // none. Takes ownership of lpEvent.
  void Deliver(_wfs_result* lpEvent, const Kind& kind);
};

class CDeviceExecuteEventThread : public CDeviceEventThread {
  Q_OBJECT

 public:
  void OnExecuteEvent(_wfs_result* lpEvent) override;
};

class CDeviceServiceEventThread : public CDeviceEventThread {
  Q_OBJECT

 public:
  void OnServiceEvent(_wfs_result* lpEvent) override;
};

class CDeviceUserEventThread : public CDeviceEventThread {
  Q_OBJECT

 public:
  void OnUserEvent(_wfs_result* lpEvent) override;
};

class CDeviceSystemEventThread : public CDeviceEventThread {
  Q_OBJECT

 public:
  void OnSystemEvent(_wfs_result* lpEvent) override;
};

#endif
