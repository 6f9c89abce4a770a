// The card dispenser (CRD) device class: service class number and event filters.
#ifndef PAVANE_KVSPCRDDEVICE_H
#define PAVANE_KVSPCRDDEVICE_H

#include "Device.h"

class CKvSPCRDDevice : public CDevice {
 public:
  explicit CKvSPCRDDevice(const char* logicalName);
  ~CKvSPCRDDevice() override;

  int OnExecuteEvent(WFSRESULT* lpEvent, const _stRegHwndItem* item) override;
  int OnUserEvent(WFSRESULT* lpEvent, const _stRegHwndItem* item) override;
  int OnServiceEvent(WFSRESULT* lpEvent, const _stRegHwndItem* item) override;
  int OnSystemEvent(WFSRESULT* lpEvent, const _stRegHwndItem* item) override;
};

#endif
