// The card reader (IDC) device class: service class number and event filters.
#ifndef PAVANE_KVSPIDCDEVICE_H
#define PAVANE_KVSPIDCDEVICE_H

#include "Device.h"

class CKvSPIDCDevice : public CDevice {
 public:
  explicit CKvSPIDCDevice(const char* logicalName);
  ~CKvSPIDCDevice() override;

  int OnExecuteEvent(WFSRESULT* lpEvent, const _stRegHwndItem* item) override;
  int OnUserEvent(WFSRESULT* lpEvent, const _stRegHwndItem* item) override;
  int OnServiceEvent(WFSRESULT* lpEvent, const _stRegHwndItem* item) override;
  int OnSystemEvent(WFSRESULT* lpEvent, const _stRegHwndItem* item) override;
};

#endif
