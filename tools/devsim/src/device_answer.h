// What a device makes of a request that it carries out itself: the
// completion's result and payload, and the events it sends around it.
#ifndef DEVSIM_DEVICE_ANSWER_H
#define DEVSIM_DEVICE_ANSWER_H

#include <json/json.h>

#include <vector>

#include "scenario.h"

namespace devsim {

struct DeviceAnswer {
  int hResult = 0;                // WFS_SUCCESS
  Json::Value payload;            // the completion's lpBuffer; null for none
  std::vector<EventSpec> before;  // sent before the completion
  std::vector<EventSpec> after;   // sent right after it
  // Put off: each sent its delayMs after the completion, when still due
  // then (a receipt taken a while after it was presented).
  std::vector<EventSpec> later;

  void Before(int msgType, unsigned long id, const Json::Value& lpBuffer);
  void After(int msgType, unsigned long id, const Json::Value& lpBuffer);
  void Later(int delayMs, int msgType, unsigned long id, const Json::Value& lpBuffer);
};

}  // namespace devsim

#endif
