#include "scenario.h"

#include <climits>
#include <set>

#include "json_util.h"
#include "ostrel_records.h"
#include "xfsapi.h"

namespace devsim {

namespace {

struct EventKindName {
  const char* name;
  int msgType;
};

const EventKindName kEventKinds[] = {
    {"execute", WFS_EXECUTE_EVENT},
    {"service", WFS_SERVICE_EVENT},
    {"user", WFS_USER_EVENT},
    {"system", WFS_SYSTEM_EVENT},
};

// Reads one JSON object of a scenario; every fault names where it is.
class ObjectReader {
 public:
  ObjectReader(const Json::Value& object, std::string path, std::string* error)
      : m_object(object), m_path(std::move(path)), m_error(error) {}

  // False (with the error set) when the value is not an object or has a
  // member not in allowed.
  bool Check(const std::set<std::string>& allowed) {
    if (!m_object.isObject()) {
      return Fail(m_path, std::string("is a JSON ") + JsonTypeName(m_object) + ", not an object");
    }
    for (const std::string& name : m_object.getMemberNames()) {
      if (allowed.count(name) == 0) return Fail(Path(name), "is not a known member");
    }
    return true;
  }

  bool Has(const char* name) const { return m_object.isMember(name); }
  const Json::Value& Get(const char* name) const { return m_object[name]; }
  std::string Path(const std::string& name) const { return m_path + "." + name; }

  bool Integer(const char* name, long low, long high, long* out) {
    if (!Has(name)) return true;
    const Json::Value& value = m_object[name];
    if (!IsJsonInteger(value) || !value.isInt64() || value.asInt64() < low ||
        value.asInt64() > high) {
      return Fail(Path(name), high == LONG_MAX
                                  ? "must be an integer of at least " + std::to_string(low)
                                  : "must be an integer from " + std::to_string(low) + " to " +
                                        std::to_string(high));
    }
    *out = static_cast<long>(value.asInt64());
    return true;
  }

  bool Boolean(const char* name, bool* out) {
    if (!Has(name)) return true;
    if (!m_object[name].isBool()) return Fail(Path(name), "must be true or false");
    *out = m_object[name].asBool();
    return true;
  }

  bool String(const char* name, std::string* out) {
    if (!Has(name)) return true;
    if (!m_object[name].isString()) return Fail(Path(name), "must be a string");
    *out = m_object[name].asString();
    return true;
  }

  bool Fail(const std::string& where, const std::string& what) {
    *m_error = where + " " + what;
    return false;
  }

 private:
  const Json::Value& m_object;
  std::string m_path;
  std::string* m_error;
};

bool ReadEvent(const Json::Value& value, const std::string& path, EventSpec* event,
               std::string* error) {
  ObjectReader reader(value, path, error);
  if (!reader.Check({"kind", "id", "lpBuffer", "delayMs"})) return false;
  event->msgType = EventTypeFromJson(reader.Get("kind"));
  if (event->msgType == 0) {
    return reader.Fail(reader.Path("kind"),
                       "must be execute, service, user or system (or 1044 to 1047)");
  }
  long id = -1;
  if (!reader.Has("id")) return reader.Fail(path, "needs an \"id\"");
  if (!reader.Integer("id", 0, LONG_MAX, &id)) return false;
  event->id = static_cast<unsigned long>(id);
  event->hasPayload = reader.Has("lpBuffer");
  event->lpBuffer = reader.Get("lpBuffer");
  long delay = 0;
  if (!reader.Integer("delayMs", 0, 3600000, &delay)) return false;
  event->delayMs = static_cast<int>(delay);
  return true;
}

bool ReadEvents(const ObjectReader& rule, const char* name, std::vector<EventSpec>* events,
                std::string* error) {
  if (!rule.Has(name)) return true;
  const Json::Value& list = rule.Get(name);
  std::string path = rule.Path(name);
  if (!list.isArray()) {
    *error = path + " must be an array of events";
    return false;
  }
  for (Json::ArrayIndex i = 0; i < list.size(); ++i) {
    EventSpec event;
    if (!ReadEvent(list[i], path + "[" + std::to_string(i) + "]", &event, error)) return false;
    events->push_back(event);
  }
  return true;
}

bool ReadRawFrame(const Json::Value& value, const std::string& path, RawFrameSpec* frame,
                  std::string* error) {
  if (value.isString()) {
    frame->text = value.asString();
    return true;
  }
  ObjectReader reader(value, path, error);
  if (!reader.Check({"text", "reply", "announce", "header", "cut"})) return false;
  if (reader.Has("text") == reader.Has("reply")) {
    return reader.Fail(path, "needs either \"text\" or \"reply\"");
  }
  if (!reader.String("text", &frame->text) || !reader.Boolean("reply", &frame->useReply)) {
    return false;
  }
  if (reader.Has("reply") && !frame->useReply) {
    return reader.Fail(reader.Path("reply"), "can only be true");
  }
  if (reader.Has("announce") && reader.Has("header")) {
    return reader.Fail(path, "takes \"announce\" or \"header\", not both");
  }
  frame->hasAnnounce = reader.Has("announce");
  if (!reader.Integer("announce", 0, 99999999, &frame->announce)) return false;
  frame->hasHeader = reader.Has("header");
  if (!reader.String("header", &frame->header)) return false;
  if (frame->header.size() > 8) return reader.Fail(reader.Path("header"), "has more than 8 bytes");
  return reader.Integer("cut", 0, LONG_MAX, &frame->cut);
}

bool ReadPlan(ObjectReader& rule, const std::string& path, Plan* plan, std::string* error) {
  long number = 0;
  plan->hasHResult = rule.Has("hResult");
  if (!rule.Integer("hResult", INT_MIN, INT_MAX, &number)) return false;
  plan->hResult = static_cast<int>(number);
  plan->hasPayload = rule.Has("lpBuffer");
  plan->lpBuffer = rule.Get("lpBuffer");
  number = 0;
  if (!rule.Integer("delayMs", 0, 3600000, &number)) return false;
  plan->delayMs = static_cast<int>(number);
  if (!rule.Boolean("never", &plan->never)) return false;
  if (!ReadEvents(rule, "eventsBefore", &plan->before, error) ||
      !ReadEvents(rule, "eventsAfter", &plan->after, error)) {
    return false;
  }
  if (rule.Has("raw")) {
    const Json::Value& list = rule.Get("raw");
    std::string rawPath = rule.Path("raw");
    if (!list.isArray() || list.empty()) {
      *error = rawPath + " must be an array of at least one frame";
      return false;
    }
    for (Json::ArrayIndex i = 0; i < list.size(); ++i) {
      RawFrameSpec frame;
      if (!ReadRawFrame(list[i], rawPath + "[" + std::to_string(i) + "]", &frame, error)) {
        return false;
      }
      plan->raw.push_back(frame);
    }
  }
  if (plan->never && (!plan->raw.empty() || plan->hasHResult || plan->hasPayload)) {
    return rule.Fail(path, "is never answered, so it takes no reply, hResult or lpBuffer");
  }
  return true;
}

}  // namespace

int EventTypeFromJson(const Json::Value& kind) {
  for (const EventKindName& entry : kEventKinds) {
    if (kind.isString() && kind.asString() == entry.name) return entry.msgType;
    if (IsJsonInteger(kind) && kind.isInt() && kind.asInt() == entry.msgType) return entry.msgType;
  }
  return 0;
}

bool Scenario::Parse(const Json::Value& root, std::string* error) {
  ObjectReader top(root, "scenario", error);
  if (!top.Check({"rules"})) return false;
  const Json::Value& list = top.Get("rules");
  if (!list.isArray()) return top.Fail("scenario.rules", "must be an array of rules");
  std::vector<Rule> rules;
  for (Json::ArrayIndex i = 0; i < list.size(); ++i) {
    std::string path = "rules[" + std::to_string(i) + "]";
    ObjectReader reader(list[i], path, error);
    if (!reader.Check({"name", "service", "class", "kind", "code", "times", "hResult", "lpBuffer",
                       "delayMs", "never", "eventsBefore", "eventsAfter", "raw"})) {
      return false;
    }
    Rule rule;
    std::string text;
    if (!reader.String("kind", &text)) return false;
    rule.kind = AnsweredKindFromName(text);
    if (rule.kind == 0) {
      return reader.Fail(reader.Path("kind"),
                         "must be open, close, lock, unlock, getinfo or execute");
    }
    if (!reader.String("service", &rule.service)) return false;
    text.clear();
    if (!reader.String("class", &text)) return false;
    if (reader.Has("class")) {
      rule.family = FamilyFromName(text);
      if (rule.family == Family::Unknown) {
        return reader.Fail(reader.Path("class"), "must be IDC, PIN, PTR or CRD");
      }
    }
    rule.hasCode = reader.Has("code");
    if (!reader.Integer("code", 0, LONG_MAX, &rule.code)) return false;
    if (rule.hasCode && rule.kind != KvSP_CMD_EXECUTE && rule.kind != KvSP_CMD_GETINFO) {
      return reader.Fail(reader.Path("code"), "applies to getinfo and execute rules only");
    }
    if (!reader.Integer("times", 1, LONG_MAX, &rule.times)) return false;
    std::string name;
    if (!reader.String("name", &name)) return false;
    rule.plan.rule = name.empty() ? path : name;
    if (!ReadPlan(reader, path, &rule.plan, error)) return false;
    rules.push_back(rule);
  }
  m_rules.swap(rules);
  return true;
}

void Scenario::Clear() { m_rules.clear(); }

Plan Scenario::PlanFor(const std::string& service, Family family, const Request& request) {
  for (Rule& rule : m_rules) {
    if (rule.times == 0 || rule.kind != request.kind) continue;
    if (!rule.service.empty() && rule.service != service) continue;
    if (rule.family != Family::Unknown && rule.family != family) continue;
    if (rule.hasCode && rule.code != request.code) continue;
    if (rule.times > 0) --rule.times;
    return rule.plan;
  }
  return Plan();
}

}  // namespace devsim
