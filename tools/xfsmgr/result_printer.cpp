#include "result_printer.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "card_data.h"
#include "name_file.h"
#include "packed_copy.h"
#include "scrivel.h"
#include "xfsidc.h"
#include "xfspin.h"

namespace xfsmgr {

namespace {

std::string hex(const BYTE* data, ULONG length) {
  std::string text;
  char digits[4];
  for (ULONG i = 0; i < length; ++i) {
    std::snprintf(digits, sizeof digits, "%02X", data[i]);
    text += digits;
  }
  return text;
}

std::string named(long value, const std::string& name) {
  return std::to_string(value) + (name.empty() ? "" : " (" + name + ")");
}

// A magnetic track, masked unless shown.
std::string track(const char* text, size_t length, bool show) {
  std::string data(text, length);
  return show ? "\"" + data + "\"" : MaskedTrack(data);
}

// One element of a card read: its source and its data as xfsmgr may show
// it: a track masked, chip data and anything else by its length.
std::string cardData(const WFSIDCCARDDATA& data, bool show) {
  struct Source {
    WORD source;
    const char* name;
    bool track;
  };
  const Source kSources[] = {{WFS_IDC_TRACK1, "track 1", true},
                             {WFS_IDC_TRACK2, "track 2", true},
                             {WFS_IDC_TRACK3, "track 3", true},
                             {WFS_IDC_TRACK_WM, "watermark", true},
                             {WFS_IDC_CHIP, "chip", false},
                             {WFS_IDC_MEMORY_CHIP, "memory chip", false}};
  std::string name = "source " + std::to_string(data.wDataSource);
  bool isTrack = false;
  for (const Source& known : kSources) {
    if (data.wDataSource != known.source) continue;
    name = known.name;
    isTrack = known.track;
  }
  if (data.lpbData == nullptr) return name + " none";
  if (isTrack) {
    return name + " " + track(reinterpret_cast<const char*>(data.lpbData), data.ulDataLength, show);
  }
  return name + " " +
         (show ? hex(data.lpbData, data.ulDataLength)
               : "<" + std::to_string(data.ulDataLength) + " bytes>");
}

std::string cardRead(const void* buffer, bool show) {
  std::string text = "card data:";
  std::vector<WFSIDCCARDDATA> list = CardDataList(buffer);
  for (size_t i = 0; i < list.size(); ++i) text += (i == 0 ? " " : ", ") + cardData(list[i], show);
  return text;
}

// A PIN key: * for a digit (a PIN pad tells no digit of a PIN: 0), the key's
// value for a function key.
std::string pinKey(const void* buffer) {
  auto key = CopyOut<WFSPINKEY>(buffer);
  ULONG digit = key.ulDigit;
  bool isDigit = digit <= WFS_PIN_FK_9 && (digit & (digit - 1)) == 0;
  char value[16];
  std::snprintf(value, sizeof value, "0x%08X", static_cast<unsigned>(digit));
  return std::string("key ") + (isDigit ? "*" : value) +
         " wCompletion=" + std::to_string(key.wCompletion);
}

// What the summary adds for a card read or a PIN key; empty otherwise.
std::string summaryData(UINT message, const WFSRESULT& result, bool show) {
  if (result.lpBuffer == nullptr) return std::string();
  DWORD code = result.u.dwCommandCode;
  if (message == WFS_EXECUTE_COMPLETE && code == WFS_CMD_IDC_READ_RAW_DATA) {
    return cardRead(result.lpBuffer, show);
  }
  if (message == WFS_EXECUTE_COMPLETE && code == WFS_CMD_IDC_READ_TRACK) {
    const char* text = static_cast<const char*>(result.lpBuffer);
    return "card data: " + track(text, std::strlen(text), show);
  }
  if (message == WFS_EXECUTE_EVENT && code == WFS_EXEE_PIN_KEY) return pinKey(result.lpBuffer);
  return std::string();
}

// The trace formatter's text of the record, with LF line ends.
std::string rendered(const TakenMessage& taken) {
  std::string text = WFSResultFormat(taken.result.get(), static_cast<int>(taken.message))
                         .toStdString();
  std::string lines;
  for (char c : text) {
    if (c != '\r') lines += c;
  }
  return lines;
}

}  // namespace

std::string ResultText(HRESULT result, DWORD code) { return named(result, ResultName(result, code)); }

std::string MessageText(UINT message) {
  std::string name = MessageName(message);
  return (name.empty() ? "message" : name) + " (" + std::to_string(message) + ")";
}

std::string DescribeCall(const std::string& call, HRESULT result) {
  return call + " returned " + ResultText(result);
}

std::string DescribeMessage(const TakenMessage& taken, bool showCardData) {
  std::string text = "<- " + MessageText(taken.message);
  if (!taken.result) return text + " without a WFSRESULT\n";
  const WFSRESULT& r = *taken.result;
  DWORD code = r.u.dwCommandCode;
  // The code's name; its class names its own errors.
  std::string codeText;
  if (IsEventMessage(taken.message)) {
    codeText = " dwEventID=" + named(code, EventName(code));
  } else if (taken.message == WFS_GETINFO_COMPLETE) {
    codeText = " dwCommandCode=" + named(code, CategoryName(code));
  } else if (taken.message == WFS_EXECUTE_COMPLETE) {
    codeText = " dwCommandCode=" + named(code, CommandName(code));
  }
  text += " RequestID=" + std::to_string(r.RequestID) + " hService=" +
          std::to_string(r.hService) +
          " hResult=" + ResultText(r.hResult, codeText.empty() ? 0 : code) + codeText;
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, " at %04u-%02u-%02u %02u:%02u:%02u.%03u",
                r.tsTimestamp.wYear, r.tsTimestamp.wMonth, r.tsTimestamp.wDay,
                r.tsTimestamp.wHour, r.tsTimestamp.wMinute, r.tsTimestamp.wSecond,
                r.tsTimestamp.wMilliseconds);
  text += stamp;
  std::string data = summaryData(taken.message, r, showCardData);
  if (!data.empty()) text += "; " + data;
  // Without a structure the rendering would repeat the summary.
  return text + "\n" + (r.lpBuffer != nullptr ? rendered(taken) : std::string());
}

}  // namespace xfsmgr
