// The printer (PTR) device class: service class number and event filters.
#ifndef PAVANE_KVSPPTRDEVICE_H
#define PAVANE_KVSPPTRDEVICE_H

#include "Device.h"

class CKvSPPTRDevice : public CDevice {
 public:
  explicit CKvSPPTRDevice(const char* logicalName);
  ~CKvSPPTRDevice() override;

  int OnExecuteEvent(WFSRESULT* lpEvent, const _stRegHwndItem* item) override;
  int OnUserEvent(WFSRESULT* lpEvent, const _stRegHwndItem* item) override;
  int OnServiceEvent(WFSRESULT* lpEvent, const _stRegHwndItem* item) override;
  int OnSystemEvent(WFSRESULT* lpEvent, const _stRegHwndItem* item) override;
};

#endif
