#include "device_answer.h"

namespace devsim {

namespace {

EventSpec Event(int msgType, unsigned long id, const Json::Value& lpBuffer) {
  EventSpec event;
  event.msgType = msgType;
  event.id = id;
  event.hasPayload = true;
  event.lpBuffer = lpBuffer;
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
  later.push_back(DelayedEvent{delayMs, Event(msgType, id, lpBuffer)});
}

}  // namespace devsim
