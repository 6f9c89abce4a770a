// A scenario: rules that override the built-in answer to requests of a
// given kind (and service, device class, code).
//
// {"rules": [{"kind": "execute", "code": 201, "class": "IDC", "service": "CardReader",
//             "times": 1, "hResult": -14, "lpBuffer": ..., "delayMs": 200,
//             "never": false, "eventsBefore": [...], "eventsAfter": [...],
//             "raw": [...]}]}
//
// "class" is the device class of the service (IDC, PIN, PTR, CRD), "code"
// the command of an execute or the category of a get-info. The first rule
// that matches a request decides its plan; a rule with "times" serves that
// many requests and then no more.
#ifndef DEVSIM_SCENARIO_H
#define DEVSIM_SCENARIO_H

#include <json/json.h>

#include <string>
#include <vector>

#include "device_class.h"
#include "request.h"

namespace devsim {

// One event of a plan: {"kind": "execute"|"service"|"user"|"system" (or
// 1044 to 1047), "id": N, "lpBuffer": ..., "delayMs": N}; without "lpBuffer"
// the event carries its built-in payload. It goes to the request's reply
// port with the request's service handle and identifier; an event before
// the completion goes delayMs after the one before it (a key after a key).
struct EventSpec {
  int msgType = 0;
  unsigned long id = 0;
  bool hasPayload = false;
  Json::Value lpBuffer;
  int delayMs = 0;
};

// One frame sent in place of the reply: a string, or {"text": "...", or
// "reply": true for the reply itself; "announce": N for a header that
// announces N bytes, or "header": "..." for a header of that text; "cut": N
// to send only the first N bytes of the frame}. In a text, ${requestID},
// ${hService}, ${code} and ${hWnd} stand for the request's values.
struct RawFrameSpec {
  bool useReply = false;
  std::string text;
  bool hasAnnounce = false;
  long announce = 0;
  bool hasHeader = false;
  std::string header;
  long cut = -1;  // -1: the whole frame
};

// How one request is answered.
struct Plan {
  std::string rule;  // which rule made it; empty for the built-in answer
  bool hasHResult = false;
  int hResult = 0;
  bool hasPayload = false;
  Json::Value lpBuffer;
  int delayMs = 0;
  bool never = false;
  std::vector<EventSpec> before;  // sent when the answer starts
  std::vector<EventSpec> after;   // sent after the completion
  std::vector<RawFrameSpec> raw;  // sent instead of the completion
};

class Scenario {
 public:
  // Replaces the rules with those of root; on failure *error says where and
  // what is wrong, and the rules stay as they were.
  bool Parse(const Json::Value& root, std::string* error);
  void Clear();
  size_t RuleCount() const { return m_rules.size(); }
  // The plan for a request of service; uses up one turn of the rule.
  Plan PlanFor(const std::string& service, Family family, const Request& request);

 private:
  struct Rule {
    std::string service;
    Family family = Family::Unknown;  // Unknown: any
    int kind = 0;
    bool hasCode = false;
    long code = 0;
    long times = -1;  // -1: without limit
    Plan plan;
  };
  std::vector<Rule> m_rules;
};

// The message number of an event kind name or number; 0 when unknown.
int EventTypeFromJson(const Json::Value& kind);

}  // namespace devsim

#endif
