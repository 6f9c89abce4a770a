#include "device_answer.h"

namespace devsim {

namespace {

EventSpec Event(int msgType, unsigned long id, const Json::Value& lpBuffer, int delayMs = 0) {
  EventSpec event;
  event.msgType = msgType;
  event.id = id;
  event.hasPayload = true;
  event.lpBuffer = lpBuffer;
  event.delayMs = delayMs;
  return event;
}

}  // namespace

void DeviceAnswer::Before(int msgType, unsigned long id, const Json::Value& lpBuffer) {
  before.push_back(Event(msgType, id, lpBuffer));
}

void DeviceAnswer::After(int msgType, unsigned long id, const Json::Value& lpBuffer) {
  after.push_back(Event(msgType, id, lpBuffer));
}

void DeviceAnswer::Later(int delayMs, int msgType, unsigned long id, const Json::Value& lpBuffer) {
  later.push_back(Event(msgType, id, lpBuffer, delayMs));
}

}  // namespace devsim
