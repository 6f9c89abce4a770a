#include "service.h"

#include "Device.h"
#include "DeviceExecuteThread.h"
#include "KvSPIDCDevice.h"
#include "WFPCommonFunc.h"

namespace rig {

OpenedService::OpenedService(HSERVICE handle, const char* appId) : hService(handle) {
  device = new CKvSPIDCDevice("CardReader");
  device->SetSPWnd(peer.port());
  _stServiceItem item{};
  CWFPCommonFunc::AppendService(hService, "CardReader", device, item);
  _stRequestData open = request(KvSP_CMD_OPEN, 1);
  open.lpszAppID = const_cast<LPSTR>(appId);
  device->ImmediateOpen(&open);
  Json::Value sent;
  if (peer.waitForRequest(KvSP_CMD_OPEN, &sent)) replyPort = sent["hWnd"].asInt();
}

OpenedService::~OpenedService() {
  if (m_closed) return;
  device->StopAllThread();
  delete device;
}

_stRequestData OpenedService::request(LONG kind, REQUESTID id) const {
  _stRequestData data{};
  data.hService = hService;
  data.ReqID = id;
  data.hWnd = app.hwnd();
  data.nCmdType = kind;
  return data;
}

bool OpenedService::completeOpen() {
  if (!reply(Completion(KvSP_OPEN_COMPLETE, hService, 1, 0))) return false;
  UINT msg = 0;
  WFSRESULT* result = nullptr;
  return app.take(&msg, &result) && msg == WFS_OPEN_COMPLETE;
}

int OpenedService::execute(REQUESTID id, DWORD command, DWORD timeOut) {
  _stRequestData data = request(KvSP_CMD_EXECUTE, id);
  data.dwCommand = command;
  data.dwTimeOut = timeOut;
  return device->ExecuteRequestProcess(&data);
}

int OpenedService::getInfo(REQUESTID id, DWORD category) {
  _stRequestData data = request(KvSP_CMD_GETINFO, id);
  data.dwCategory = category;
  return device->ImmediateGetInfo(&data);
}

int OpenedService::lock(REQUESTID id) {
  _stRequestData data = request(KvSP_CMD_LOCK, id);
  return device->ImmediateLock(&data);
}

int OpenedService::close(REQUESTID id) {
  _stRequestData data = request(KvSP_CMD_CLOSE, id);
  return device->ImmediateClose(&data);
}

void OpenedService::registerFor(DWORD classes, HWND hWnd) {
  CWFPCommonFunc::SetServiceRegEvent(hService, 0, classes, hWnd != 0 ? hWnd : app.hwnd());
}

long OpenedService::takeWorkerPort(REQUESTID id) {
  long port = 0;
  return device->GetThreadIDAndRemoveCommandData(hService, id, port) == 1 ? port : 0;
}

}  // namespace rig
