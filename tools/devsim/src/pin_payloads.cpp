#include "pin_payloads.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "BASE64_API.h"
#include "json_util.h"
#include "ostrel_records.h"
#include "structcodec.h"
#include "structs_pin.h"

namespace devsim {

namespace {

namespace pin = codec::pin;

constexpr size_t kPinBlockLength = 8;
constexpr size_t kCheckValueLength = 3;
constexpr size_t kKeyLength = 16;
constexpr unsigned kDefaultDigits = 4;
constexpr size_t kLongestPin = 12;
// A customer's pace: a key every tenth of a second.
constexpr int kKeyIntervalMs = 100;

// The keys the pad holds from the factory.
struct BuiltInKey {
  const char* name;
  WORD use;
};

const BuiltInKey kBuiltInKeys[] = {
    {"MASTERKEY", WFS_PIN_USEKEYENCKEY},
    {"PINKEY", WFS_PIN_USEFUNCTION},
    {"MACKEY", WFS_PIN_USEMACING},
    {"DATAKEY", WFS_PIN_USECRYPT},
};

// The pad's keys: the ten digits, ENTER, CANCEL, CLEAR and BACKSPACE, and
// eight function descriptor keys beside the screen, four a side.
constexpr ULONG kDigitKeys = 0x3FF;
constexpr ULONG kFunctionKeys =
    kDigitKeys | WFS_PIN_FK_ENTER | WFS_PIN_FK_CANCEL | WFS_PIN_FK_CLEAR | WFS_PIN_FK_BACKSPACE;
constexpr unsigned kFdkCount = 8;

// ---- The request's members -----------------------------------------------------

const Json::Value& Member(const Json::Value& payload, const char* name) {
  static const Json::Value kNull;
  return payload.isObject() ? payload[name] : kNull;
}

std::string Text(const Json::Value& payload, const char* name) {
  const Json::Value& value = Member(payload, name);
  return value.isString() ? value.asString() : std::string();
}

// An unsigned integer (or a boolean); 0 for anything else.
unsigned long Number(const Json::Value& value) {
  if (value.isBool()) return value.asBool() ? 1 : 0;
  return IsJsonInteger(value) && value.isUInt() ? value.asUInt() : 0;
}

unsigned long Number(const Json::Value& payload, const char* name) {
  return Number(Member(payload, name));
}

// The data of an lpx member.
std::string Data(const Json::Value& payload, const char* name) {
  const Json::Value& data = Member(Member(payload, name), "lpbData");
  if (!data.isString()) return std::string();
  std::vector<unsigned char> bytes = base64_decode(data.asString());
  return std::string(bytes.begin(), bytes.end());
}

// ---- Made-up cryptography ------------------------------------------------------

// Bytes that follow from seed and from nothing else.
std::string Stream(const std::string& seed, size_t length) {
  uint32_t state = 2166136261u;
  for (unsigned char c : seed) state = (state ^ c) * 16777619u;
  std::string bytes(length, '\0');
  for (char& byte : bytes) {
    state = state * 1664525u + 1013904223u;
    byte = static_cast<char>(state >> 24);
  }
  return bytes;
}

// data "enciphered" under key; the same again deciphers it.
std::string Scramble(std::string data, const std::string& key) {
  std::string stream = Stream(key, data.size());
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(data[i] ^ stream[i]);
  return data;
}

std::string KeyValue(const PinPadState& pad, const std::string& name) {
  for (const PinPadKey& key : pad.imported) {
    if (key.name == name) return key.value;
  }
  return Stream("built-in key " + name, kKeyLength);
}

std::string CheckValue(const std::string& name, const std::string& value) {
  return Scramble(std::string(kPinBlockLength, '\0'), name + value).substr(0, kCheckValueLength);
}

// A block shaped as ISO format 0: the PIN field (0, the length, the digits,
// F padding) over the account field (the last twelve digits of the customer
// data before its check digit), enciphered under the key.
std::string PinBlock(std::string digits, const std::string& customerData,
                     const std::string& keyValue) {
  if (digits.size() > kLongestPin) digits.resize(kLongestPin);
  std::string account;
  for (char c : customerData) {
    if (c >= '0' && c <= '9') account += c;
  }
  if (!account.empty()) account.pop_back();
  if (account.size() > 12) account.erase(0, account.size() - 12);
  account.insert(0, 2 * kPinBlockLength - account.size(), '0');
  std::string block(kPinBlockLength, '\0');
  for (size_t i = 0; i < 2 * kPinBlockLength; ++i) {
    unsigned pinNibble = i == 0                  ? 0
                         : i == 1                ? static_cast<unsigned>(digits.size())
                         : i - 2 < digits.size() ? static_cast<unsigned>(digits[i - 2] - '0')
                                                 : 0xF;
    unsigned nibble = pinNibble ^ static_cast<unsigned>(account[i] - '0');
    block[i / 2] = static_cast<char>(block[i / 2] | (i % 2 == 0 ? nibble << 4 : nibble));
  }
  return Scramble(block, keyValue);
}

// ---- Payloads, rendered through the codec's descriptions ---------------------

LPSTR Chars(const std::string& text) { return const_cast<LPSTR>(text.c_str()); }

Json::Value XData(std::string bytes) {
  WFSXDATA data = {static_cast<USHORT>(bytes.size()),
                   bytes.empty() ? nullptr : reinterpret_cast<LPBYTE>(&bytes[0])};
  return codec::Format(pin::kXData, &data);
}

// A NULL-terminated list of pointers to items.
template <typename T>
std::vector<T*> PointerList(std::vector<T>& items) {
  std::vector<T*> list;
  for (T& item : items) list.push_back(&item);
  list.push_back(nullptr);
  return list;
}

Json::Value Status(const DeviceState& device) {
  std::string extra =
      std::string("Simulator=devsim") + '\0' + "LogicalName=" + device.logicalName + '\0' + '\0';
  WFSPINSTATUS status = {};
  status.fwDevice = WFS_PIN_DEVONLINE;
  status.fwEncStat = WFS_PIN_ENCREADY;
  status.lpszExtra = &extra[0];
  status.fwAutoBeepMode = WFS_PIN_BEEP_ON_ACTIVE;
  status.dwCertificateState = WFS_PIN_CERT_PRIMARY;
  status.wDevicePosition = WFS_PIN_DEVICEINPOSITION;
  return codec::Format(pin::kStatus, &status);
}

Json::Value Capabilities() {
  std::string extra = std::string("Simulator=devsim") + '\0' + '\0';
  WORD emvSchemes[] = {WFS_PIN_EMV_IMPORT_PLAIN_CA, WFS_PIN_EMV_IMPORT_CHKSUM_CA, 0};
  WFSPINCAPS caps = {};
  caps.wClass = WFS_SERVICE_CLASS_PIN;
  caps.fwType = WFS_PIN_TYPEEPP;
  caps.usKeyNum = 64;
  caps.fwAlgorithms = WFS_PIN_CRYPTDESECB | WFS_PIN_CRYPTDESCBC | WFS_PIN_CRYPTDESMAC |
                      WFS_PIN_CRYPTTRIDESECB | WFS_PIN_CRYPTTRIDESCBC | WFS_PIN_CRYPTTRIDESMAC;
  caps.fwPinFormats = WFS_PIN_FORMISO0 | WFS_PIN_FORMISO1 | WFS_PIN_FORMISO3 | WFS_PIN_FORMANSI;
  caps.fwDisplay = WFS_PIN_DISPNONE;
  caps.fwValidationAlgorithms = WFS_PIN_DES | WFS_PIN_VISA;
  caps.fwKeyCheckModes = WFS_PIN_KCVSELF | WFS_PIN_KCVZERO;
  caps.lpszExtra = &extra[0];
  caps.fwAutoBeep = WFS_PIN_BEEP_ON_ACTIVE;
  caps.dwRSAAuthenticationScheme = WFS_PIN_RSA_AUTH_2PARTY_SIG;
  caps.dwRSASignatureAlgorithm = WFS_PIN_SIGN_RSASSA_PKCS1_V1_5;
  caps.dwRSACryptAlgorithm = WFS_PIN_CRYPT_RSAES_PKCS1_V1_5;
  caps.dwRSAKeyCheckMode = WFS_PIN_RSA_KCV_SHA256;
  caps.lpwEMVImportSchemes = emvSchemes;
  caps.fwEMVHashAlgorithm = WFS_PIN_HASH_SHA1_DIGEST;
  caps.fwKeyBlockImportFormats = WFS_PIN_ANSTR31KEYBLOCK;
  caps.wDESKeyLength = WFS_PIN_KEYSINGLE | WFS_PIN_KEYDOUBLE | WFS_PIN_KEYTRIPLE;
  return codec::Format(pin::kCapabilities, &caps);
}

// Puts key among keys, in place of one of its name.
void Load(const PinPadKey& key, std::vector<PinPadKey>* keys) {
  auto same = [&](const PinPadKey& other) { return other.name == key.name; };
  auto found = std::find_if(keys->begin(), keys->end(), same);
  if (found != keys->end()) {
    *found = key;
  } else {
    keys->push_back(key);
  }
}

// The pad's keys, built in and loaded since (a loaded key of a built-in
// name replaces it); only the one named when only is not empty.
std::vector<PinPadKey> Keys(const PinPadState& pad, const std::string& only) {
  std::vector<PinPadKey> keys;
  for (const BuiltInKey& key : kBuiltInKeys) {
    keys.push_back(PinPadKey{key.name, key.use, std::string()});
  }
  for (const PinPadKey& loaded : pad.imported) Load(loaded, &keys);
  std::vector<PinPadKey> chosen;
  for (const PinPadKey& key : keys) {
    if (only.empty() || key.name == only) chosen.push_back(key);
  }
  return chosen;
}

// One detail structure per key, made by detail(key), as an array.
template <typename Detail, typename MakeDetail>
Json::Value KeyList(const codec::Description& element, const std::vector<PinPadKey>& keys,
                    MakeDetail detail) {
  std::vector<Detail> details;
  for (const PinPadKey& key : keys) details.push_back(detail(key));
  return codec::FormatArray(element, PointerList(details).data());
}

Json::Value KeyDetails(const std::vector<PinPadKey>& keys) {
  return KeyList<WFSPINKEYDETAIL>(pin::kKeyDetail, keys, [](const PinPadKey& key) {
    return WFSPINKEYDETAIL{Chars(key.name), static_cast<WORD>(key.use), TRUE, nullptr};
  });
}

Json::Value KeyDetailsEx(const std::vector<PinPadKey>& keys) {
  return KeyList<WFSPINKEYDETAILEX>(pin::kKeyDetailEx, keys, [](const PinPadKey& key) {
    // First of its generation and version, loaded on 1 January 2024 and
    // valid to the end of 2034 (dates in BCD).
    WFSPINKEYDETAILEX detail = {Chars(key.name), key.use, 1, 1, {0x20, 0x24, 0x01, 0x01},
                                {0x20, 0x34, 0x12, 0x31}, TRUE, nullptr};
    return detail;
  });
}

// The function descriptor keys of mask (every one when the request has none).
Json::Value FunctionKeys(const Json::Value& payload) {
  ULONG asked = IsJsonInteger(payload) ? static_cast<ULONG>(payload.asLargestUInt()) : ~0u;
  std::vector<WFSPINFDK> fdks;
  for (unsigned i = 0; i < kFdkCount; ++i) {
    ULONG fdk = 1u << i;
    if ((asked & fdk) == 0) continue;
    fdks.push_back(WFSPINFDK{fdk, static_cast<USHORT>(i < kFdkCount / 2 ? 0 : 640),
                             static_cast<USHORT>(100 + (i % (kFdkCount / 2)) * 80)});
  }
  std::vector<WFSPINFDK*> list = PointerList(fdks);
  WFSPINFUNCKEYDETAIL detail = {kFunctionKeys, static_cast<USHORT>(fdks.size()), list.data()};
  return codec::Format(pin::kFuncKeyDetail, &detail);
}

// ---- The key entry -------------------------------------------------------------

bool IsEntry(const Request& request) {
  return request.kind == KvSP_CMD_EXECUTE &&
         (request.code == WFS_CMD_PIN_GET_PIN || request.code == WFS_CMD_PIN_GET_DATA ||
          request.code == WFS_CMD_PIN_GET_PIN_EX);
}

// A PIN's digits stay in the pad; the data of GET_DATA is no secret.
bool IsPinEntry(long command) { return command != WFS_CMD_PIN_GET_DATA; }

// The digit of a digit key (WFS_PIN_FK_0 to WFS_PIN_FK_9), else -1.
int DigitOf(unsigned long key) {
  for (int digit = 0; digit <= 9; ++digit) {
    if (key == 1ul << digit) return digit;
  }
  return -1;
}

void End(PinEntry* entry, unsigned completion) {
  entry->ended = true;
  entry->completion = completion;
}

EventSpec KeyEvent(unsigned long key, unsigned completion) {
  EventSpec event;
  event.msgType = WFS_EXECUTE_EVENT;
  event.id = kPinKeyEvent;
  event.hasPayload = true;
  event.lpBuffer = PinKeyPayload(key, completion);
  event.delayMs = kKeyIntervalMs;
  return event;
}

Json::Value EntryOf(const PinEntry& entry) {
  WFSPINENTRY out = {static_cast<USHORT>(entry.digits.size()), static_cast<WORD>(entry.completion)};
  return codec::Format(pin::kEntry, &out);
}

Json::Value DataOf(const PinEntry& entry) {
  std::vector<WFSPINKEY> keys;
  for (const PinPadPress& press : entry.presses) {
    keys.push_back(WFSPINKEY{static_cast<WORD>(press.completion), static_cast<ULONG>(press.digit)});
  }
  std::vector<WFSPINKEY*> list = PointerList(keys);
  WFSPINDATA data = {static_cast<USHORT>(keys.size()), list.data(),
                     static_cast<WORD>(entry.completion)};
  return codec::Format(pin::kData, &data);
}

std::string PinBlockOf(const std::string& digits, const Json::Value& payload,
                       const PinPadState& pad) {
  return PinBlock(digits, Text(payload, "lpsCustomerData"), KeyValue(pad, Text(payload, "lpsKey")));
}

Json::Value PinExOf(const Json::Value& payload, const PinPadState& pad) {
  std::string block = PinBlockOf(pad.entry.digits, payload, pad);
  WFSPINGETPINEXOUT out = {static_cast<USHORT>(pad.entry.digits.size()),
                           static_cast<WORD>(pad.entry.completion),
                           static_cast<USHORT>(block.size()), reinterpret_cast<LPBYTE>(&block[0])};
  return codec::Format(pin::kGetPinExOutput, &out);
}

// ---- Keys ----------------------------------------------------------------------

Json::Value ImportedCheckValue(const Json::Value& payload) {
  return XData(CheckValue(Text(payload, "lpsKey"), Data(payload, "lpxValue")));
}

Json::Value GeneratedCheckValue(const Json::Value& payload, const PinPadState& pad) {
  std::string name = Text(payload, "lpsKey");
  std::string kcv = CheckValue(name, KeyValue(pad, name));
  WFSXDATA data = {static_cast<USHORT>(kcv.size()), reinterpret_cast<LPBYTE>(&kcv[0])};
  WFSPINKCV out = {&data};
  return codec::Format(pin::kKcv, &out);
}

// Data of the input's length: enciphered or deciphered under the key, or
// random bytes.
Json::Value Crypt(const Json::Value& payload, const PinPadState& pad) {
  std::string key = KeyValue(pad, Text(payload, "lpsKey"));
  if (Number(payload, "wMode") == WFS_PIN_MODERANDOM) {
    return XData(Stream(key + "random", kPinBlockLength));
  }
  return XData(Scramble(Data(payload, "lpxCryptData"), key));
}

}  // namespace

Json::Value PinInfoPayload(const Request& request, const DeviceState& device) {
  switch (request.code) {
    case WFS_INF_PIN_STATUS:
      return Status(device);
    case WFS_INF_PIN_CAPABILITIES:
      return Capabilities();
    case WFS_INF_PIN_KEY_DETAIL:
      return KeyDetails(Keys(device.pin, Text(request.payload, "keyName")));
    case WFS_INF_PIN_FUNCKEY_DETAIL:
      return FunctionKeys(request.payload);
    case WFS_INF_PIN_KEY_DETAIL_EX:
      return KeyDetailsEx(
          Keys(device.pin, request.payload.isString() ? request.payload.asString() : ""));
    default:
      return Json::Value();
  }
}

Json::Value PinExecutePayload(const Request& request, const DeviceState& device) {
  const PinPadState& pad = device.pin;
  switch (request.code) {
    case WFS_CMD_PIN_GET_PIN:
      return EntryOf(pad.entry);
    case WFS_CMD_PIN_GET_DATA:
      return DataOf(pad.entry);
    case WFS_CMD_PIN_GET_PINBLOCK:
    case WFS_CMD_PIN_GET_PINBLOCK_EX:
      return XData(PinBlockOf(pad.lastPin, request.payload, pad));
    case WFS_CMD_PIN_GET_PIN_EX:
      return PinExOf(request.payload, pad);
    case WFS_CMD_PIN_IMPORT_KEY:
      return ImportedCheckValue(request.payload);
    case WFS_CMD_PIN_GENERATE_KCV:
      return GeneratedCheckValue(request.payload, pad);
    case WFS_CMD_PIN_CRYPT:
      return Crypt(request.payload, pad);
    default:
      return Json::Value();
  }
}

std::vector<EventSpec> PinBeginRequest(const Request& request, DeviceState* device) {
  if (!IsEntry(request)) return {};
  PinEntry& entry = device->pin.entry;
  entry = PinEntry();
  entry.command = request.code;
  entry.maxLength = static_cast<unsigned>(Number(request.payload, "usMaxLen"));
  entry.autoEnd = Number(request.payload, "bAutoEnd") != 0;
  unsigned count =
      entry.maxLength > 0 && entry.maxLength < kDefaultDigits ? entry.maxLength : kDefaultDigits;
  bool endsItself = entry.autoEnd && count == entry.maxLength;
  std::vector<EventSpec> keys;
  for (unsigned digit = 1; digit <= count; ++digit) {
    bool last = digit == count;
    keys.push_back(
        KeyEvent(1ul << digit, last && endsItself ? WFS_PIN_COMPAUTO : WFS_PIN_COMPCONTINUE));
  }
  if (!endsItself) keys.push_back(KeyEvent(WFS_PIN_FK_ENTER, WFS_PIN_COMPENTER));
  return keys;
}

long PinApplyEvent(int msgType, unsigned long id, Json::Value* payload, DeviceState* device) {
  PinEntry& entry = device->pin.entry;
  if (msgType != WFS_EXECUTE_EVENT || id != kPinKeyEvent || entry.command == 0 || entry.ended ||
      !payload->isObject()) {
    return 0;
  }
  unsigned long key = Number(*payload, "ulDigit");
  int digit = DigitOf(key);
  if (IsPinEntry(entry.command)) {
    if (digit >= 0) (*payload)["ulDigit"] = 0;
  } else {
    entry.presses.push_back(
        PinPadPress{static_cast<unsigned>(Number(*payload, "wCompletion")), key});
  }
  if (digit >= 0) {
    entry.digits += static_cast<char>('0' + digit);
    if (entry.autoEnd && entry.maxLength > 0 && entry.digits.size() >= entry.maxLength) {
      End(&entry, WFS_PIN_COMPAUTO);
    }
  } else if (key == WFS_PIN_FK_ENTER) {
    End(&entry, WFS_PIN_COMPENTER);
  } else if (key == WFS_PIN_FK_CANCEL) {
    End(&entry, WFS_PIN_COMPCANCEL);
  } else if (key == WFS_PIN_FK_CLEAR) {
    entry.digits.clear();
  } else if (key == WFS_PIN_FK_BACKSPACE && !entry.digits.empty()) {
    entry.digits.pop_back();
  }
  return entry.ended ? entry.command : 0;
}

void PinApplyCompletion(const Request& request, DeviceState* device) {
  PinPadState& pad = device->pin;
  if (request.code == pad.entry.command) {
    if (IsPinEntry(pad.entry.command)) pad.lastPin = pad.entry.digits;
    pad.entry = PinEntry();
  }
  std::string name = Text(request.payload, "lpsKey");
  if (request.code != WFS_CMD_PIN_IMPORT_KEY || name.empty()) return;
  Load(PinPadKey{name, static_cast<unsigned>(Number(request.payload, "fwUse")),
                 Data(request.payload, "lpxValue")},
       &pad.imported);
}

}  // namespace devsim
