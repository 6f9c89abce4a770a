// The live workers of each device, so that a device that stops can end the
// workers whose completion can no longer come.
//
// A worker is on the roster from its hand-over until someone takes it off:
// the worker itself once its completion has been handled, or the device's
// reclaim when the device stops. Whoever takes a worker off owns its
// destruction, so a worker is destroyed exactly once. All members take the
// roster lock for one change only.
#ifndef PAVANE_WORKERROSTER_H
#define PAVANE_WORKERROSTER_H

#include <vector>

class CDevice;
class CDeviceExecuteThread;

class CWorkerRoster {
 public:
  static void Enlist(CDevice* device, CDeviceExecuteThread* worker);
  // True when worker was on the roster and the caller now owns it.
  static bool Withdraw(CDeviceExecuteThread* worker);
  // Takes every worker of device off the roster; the caller owns them.
  static std::vector<CDeviceExecuteThread*> WithdrawAll(CDevice* device);

  // The close of device begins on worker: true for the first caller, which
  // is taken off the roster and alone may destroy the device. False for a
  // second close of the same device (it stays on the roster, so the first
  // one reclaims it before the device goes) and for a worker that a reclaim
  // has already taken (that reclaim is stopping the device).
  static bool BeginDeviceClose(CDevice* device, CDeviceExecuteThread* worker);
  // The device of a successful BeginDeviceClose has been destroyed.
  static void EndDeviceClose(CDevice* device);

  // Workers on the roster for device (all devices for NULL).
  static int Count(CDevice* device);
};

#endif
