// One logical service opened through the real device object, against the
// stand-in device service, with an application window for its completions.
#ifndef TESTS_MESSAGING_SERVICE_H
#define TESTS_MESSAGING_SERVICE_H

#include "rig.h"
#include "WFPRecords.h"

class CDevice;

namespace rig {

class OpenedService {
 public:
  // Opens the card reader "CardReader" under hService (application
  // identifier appId, may be NULL) and waits for the open request.
  explicit OpenedService(HSERVICE hService, const char* appId = "APP1");
  // Stops the service as an unload does, unless it was closed.
  ~OpenedService();
  OpenedService(const OpenedService&) = delete;
  OpenedService& operator=(const OpenedService&) = delete;

  // Sends the open completion and takes WFS_OPEN_COMPLETE from the window.
  bool completeOpen();
  // Requests of the device with the application window as completion window.
  int execute(REQUESTID id, DWORD command, DWORD timeOut);
  int getInfo(REQUESTID id, DWORD category);
  int lock(REQUESTID id);
  int close(REQUESTID id);
  // Registers the application window (or hWnd) for the event classes.
  void registerFor(DWORD classes, HWND hWnd = 0);
  // Sends a text of the device service to the message window.
  bool reply(const std::string& text) { return SendText(replyPort, text); }
  // Takes the pending entry of (hService, id) off the device's list, as the
  // message window does: the port of the worker waiting for it, 0 if none.
  long takeWorkerPort(REQUESTID id);
  // The device was destroyed by its close completion.
  void closed() { m_closed = true; }

  HSERVICE hService;
  PeerService peer;
  AppWindow app;
  CDevice* device = nullptr;
  long replyPort = 0;  // the message window's port, as the open request named it

 private:
  _stRequestData request(LONG kind, REQUESTID id) const;
  bool m_closed = false;
};

}  // namespace rig

#endif
