// The PIN pad (PIN) device class: service class number and event filters.
#ifndef PAVANE_KVSPPINDEVICE_H
#define PAVANE_KVSPPINDEVICE_H

#include "Device.h"

class CKvSPPINDevice : public CDevice {
 public:
  explicit CKvSPPINDevice(const char* logicalName);
  ~CKvSPPINDevice() override;

  int OnExecuteEvent(WFSRESULT* lpEvent, const _stRegHwndItem* item) override;
  int OnUserEvent(WFSRESULT* lpEvent, const _stRegHwndItem* item) override;
  int OnServiceEvent(WFSRESULT* lpEvent, const _stRegHwndItem* item) override;
  int OnSystemEvent(WFSRESULT* lpEvent, const _stRegHwndItem* item) override;
};

#endif
