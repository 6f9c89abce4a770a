#include "codec_dispatch.h"

#include "kestrel.h"

namespace codec {

Json::Value FormatByCode(const guard::Site& caught, const char* invalidLine,
                         const FormatEntry* table, size_t count, unsigned int code,
                         unsigned char* data) {
  return guard::call(caught, Json::Value(), [&]() -> Json::Value {
    if (data == nullptr) return Json::Value();
    for (size_t i = 0; i < count; ++i) {
      if (table[i].code != code) continue;
      if (table[i].format == nullptr) return Json::Value();
      if (table[i].note != nullptr) tracelog(1, "Ostrel", "%s", table[i].note);
      return table[i].format(data);
    }
    tracelog(4, "Ostrel", "%s", invalidLine);
    return Json::Value();
  });
}

int UnformatByCode(const guard::Site& caught, const char* invalidLine,
                   const UnformatEntry* table, size_t count, LPWFSRESULT result,
                   Json::Value* value) {
  return guard::call(caught, 0, [&]() -> int {
    if (result == nullptr) return 0;
    DWORD code = result->u.dwCommandCode;
    for (size_t i = 0; i < count; ++i) {
      if (table[i].code != code) continue;
      if (table[i].unformat == nullptr) {
        result->lpBuffer = nullptr;
        return 1;
      }
      return table[i].unformat(result, value);
    }
    tracelog(4, "Ostrel", "%s", invalidLine);
    return 1;
  });
}

}  // namespace codec
