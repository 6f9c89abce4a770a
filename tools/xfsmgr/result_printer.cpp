#include "result_printer.h"

#include <cstdio>
#include <cstring>
#include <sstream>

#include "xfs_names.h"
#include "xfsidc.h"
#include "xfspin.h"

namespace xfsmgr {

namespace {

// Longest data block shown; longer ones end in "...".
constexpr ULONG kShownBytes = 64;
constexpr WORD kTrackSources = WFS_IDC_TRACK1 | WFS_IDC_TRACK2 | WFS_IDC_TRACK3 | WFS_IDC_TRACK_WM;

// Reads a T from memory that need not be aligned for it (packed records).
template <typename T>
T readAt(const void* where) {
  T value;
  std::memcpy(&value, where, sizeof value);
  return value;
}

std::string quoted(const char* text) {
  if (text == nullptr) return "NULL";
  return std::string("\"") + text + "\"";
}

// Printable bytes as quoted text, anything else in hexadecimal.
std::string bytes(const BYTE* data, ULONG length) {
  if (data == nullptr) return "NULL";
  ULONG shown = length < kShownBytes ? length : kShownBytes;
  bool printable = true;
  for (ULONG i = 0; i < shown; ++i) printable = printable && data[i] >= 0x20 && data[i] < 0x7f;
  std::string text;
  if (printable) {
    text = "\"" + std::string(reinterpret_cast<const char*>(data), shown) + "\"";
  } else {
    char hex[4];
    for (ULONG i = 0; i < shown; ++i) {
      std::snprintf(hex, sizeof hex, "%02X", data[i]);
      text += hex;
    }
  }
  return shown < length ? text + "..." : text;
}

// Track data shown as receipts show card numbers: the first 6 and the last 4
// characters, the rest masked.
std::string masked(const std::string& text) {
  constexpr size_t kFirst = 6;
  constexpr size_t kLast = 4;
  if (text.size() <= kFirst + kLast) return std::string(text.size(), '*');
  return text.substr(0, kFirst) + std::string(text.size() - kFirst - kLast, '*') +
         text.substr(text.size() - kLast);
}

std::string cardText(const char* text, bool show) {
  if (text == nullptr || show) return quoted(text);
  return "\"" + masked(text) + "\"";
}

std::string trackBytes(const BYTE* data, ULONG length, bool show) {
  if (data == nullptr || show) return bytes(data, length);
  return cardText(std::string(reinterpret_cast<const char*>(data), length).c_str(), false);
}

// "key=value" texts one after another, each ended by NUL, the list by a second NUL.
std::string stringList(const char* list) {
  if (list == nullptr) return "NULL";
  std::string text = "[";
  for (const char* item = list; *item != '\0'; item += std::strlen(item) + 1) {
    if (item != list) text += ", ";
    text += quoted(item);
  }
  return text + "]";
}

std::string named(long value, const std::string& name) {
  return std::to_string(value) + (name.empty() ? "" : " (" + name + ")");
}

// The 32 DWORDs of a packed dwGuidLights array.
std::string guidLights(const void* lights) {
  std::string text;
  for (int i = 0; i < WFS_IDC_GUIDLIGHTS_SIZE; ++i) {
    DWORD light = readAt<DWORD>(static_cast<const BYTE*>(lights) + i * sizeof(DWORD));
    if (light != 0) text += (text.empty() ? "" : " ") + std::to_string(i) + ":" + std::to_string(light);
  }
  return text.empty() ? "all 0" : text;
}

void status(std::ostream& out, const void* buffer) {
  auto s = readAt<WFSIDCSTATUS>(buffer);
  out << "    WFSIDCSTATUS fwDevice=" << s.fwDevice << " fwMedia=" << s.fwMedia
      << " fwRetainBin=" << s.fwRetainBin << " fwSecurity=" << s.fwSecurity
      << " usCards=" << s.usCards << " fwChipPower=" << s.fwChipPower << "\n"
      << "    fwChipModule=" << s.fwChipModule << " fwMagReadModule=" << s.fwMagReadModule
      << " fwMagWriteModule=" << s.fwMagWriteModule
      << " fwFrontImageModule=" << s.fwFrontImageModule
      << " fwBackImageModule=" << s.fwBackImageModule
      << " wDevicePosition=" << s.wDevicePosition
      << " usPowerSaveRecoveryTime=" << s.usPowerSaveRecoveryTime << "\n"
      << "    lpszExtra=" << stringList(s.lpszExtra)
      << " dwGuidLights=" << guidLights(s.dwGuidLights) << "\n";
}

void capabilities(std::ostream& out, const void* buffer) {
  auto c = readAt<WFSIDCCAPS>(buffer);
  out << "    WFSIDCCAPS wClass=" << c.wClass << " fwType=" << c.fwType
      << " bCompound=" << c.bCompound << " fwReadTracks=" << c.fwReadTracks
      << " fwWriteTracks=" << c.fwWriteTracks << " fwChipProtocols=" << c.fwChipProtocols
      << " usCards=" << c.usCards << " fwSecType=" << c.fwSecType << "\n"
      << "    fwPowerOnOption=" << c.fwPowerOnOption << " fwPowerOffOption=" << c.fwPowerOffOption
      << " bFluxSensorProgrammable=" << c.bFluxSensorProgrammable
      << " bReadWriteAccessFollowingEject=" << c.bReadWriteAccessFollowingEject
      << " fwWriteMode=" << c.fwWriteMode << " fwChipPower=" << c.fwChipPower
      << " fwDIPMode=" << c.fwDIPMode << " fwEjectPosition=" << c.fwEjectPosition
      << " bPowerSaveControl=" << c.bPowerSaveControl << "\n"
      << "    lpszExtra=" << stringList(c.lpszExtra) << " lpwMemoryChipProtocols=";
  if (c.lpwMemoryChipProtocols == nullptr) {
    out << "NULL";
  } else {
    out << "[";
    for (const WORD* p = c.lpwMemoryChipProtocols; readAt<WORD>(p) != 0; ++p) {
      out << (p != c.lpwMemoryChipProtocols ? ", " : "") << readAt<WORD>(p);
    }
    out << "]";
  }
  out << " dwGuidLights=" << guidLights(c.dwGuidLights) << "\n";
}

void form(std::ostream& out, const void* buffer) {
  auto f = readAt<WFSIDCFORM>(buffer);
  out << "    WFSIDCFORM lpszFormName=" << quoted(f.lpszFormName)
      << " cFieldSeparatorTrack1=" << static_cast<int>(f.cFieldSeparatorTrack1)
      << " cFieldSeparatorTrack2=" << static_cast<int>(f.cFieldSeparatorTrack2)
      << " cFieldSeparatorTrack3=" << static_cast<int>(f.cFieldSeparatorTrack3)
      << " fwAction=" << f.fwAction << " bSecure=" << f.bSecure << "\n"
      << "    lpszTracks=" << quoted(f.lpszTracks)
      << " lpszTrack1Fields=" << quoted(f.lpszTrack1Fields)
      << " lpszTrack2Fields=" << quoted(f.lpszTrack2Fields)
      << " lpszTrack3Fields=" << quoted(f.lpszTrack3Fields) << "\n";
}

void cardData(std::ostream& out, const void* buffer, bool show) {
  const auto* list = static_cast<const LPWFSIDCCARDDATA*>(buffer);
  int index = 0;
  for (;; ++index) {
    auto element = readAt<LPWFSIDCCARDDATA>(list + index);
    if (element == nullptr) break;
    auto d = readAt<WFSIDCCARDDATA>(element);
    out << "    WFSIDCCARDDATA[" << index << "] wDataSource=" << d.wDataSource
        << " wStatus=" << d.wStatus << " ulDataLength=" << d.ulDataLength
        << " fwWriteMethod=" << d.fwWriteMethod << " lpbData="
        << ((d.wDataSource & kTrackSources) != 0 ? trackBytes(d.lpbData, d.ulDataLength, show)
                                                 : bytes(d.lpbData, d.ulDataLength))
        << "\n";
  }
  out << "    " << index << " card data element(s)\n";
}

void chipIo(std::ostream& out, const void* buffer) {
  auto c = readAt<WFSIDCCHIPIO>(buffer);
  out << "    WFSIDCCHIPIO wChipProtocol=" << c.wChipProtocol
      << " ulChipDataLength=" << c.ulChipDataLength
      << " lpbChipData=" << bytes(c.lpbChipData, c.ulChipDataLength) << "\n";
}

void infoOutput(std::ostream& out, DWORD category, const void* buffer) {
  switch (category) {
    case WFS_INF_IDC_STATUS:
      status(out, buffer);
      return;
    case WFS_INF_IDC_CAPABILITIES:
      capabilities(out, buffer);
      return;
    case WFS_INF_IDC_FORM_LIST:
      out << "    form names " << stringList(static_cast<const char*>(buffer)) << "\n";
      return;
    case WFS_INF_IDC_QUERY_FORM:
      form(out, buffer);
      return;
    case WFS_INF_IDC_QUERY_IFM_IDENTIFIER: {
      auto i = readAt<WFSIDCIFMIDENTIFIER>(buffer);
      out << "    WFSIDCIFMIDENTIFIER wIFMAuthority=" << i.wIFMAuthority
          << " lpszIFMIdentifier=" << quoted(i.lpszIFMIdentifier) << "\n";
      return;
    }
    default:
      out << "    lpBuffer present (not decoded here)\n";
  }
}

void executeOutput(std::ostream& out, DWORD command, const void* buffer, bool show) {
  switch (command) {
    case WFS_CMD_IDC_READ_TRACK:
    case WFS_CMD_IDC_PARSE_DATA:
      out << "    data " << cardText(static_cast<const char*>(buffer), show) << "\n";
      return;
    case WFS_CMD_IDC_EJECT_CARD:
      out << "    wEjectPosition=" << readAt<WORD>(buffer) << "\n";
      return;
    case WFS_CMD_IDC_RETAIN_CARD: {
      auto r = readAt<WFSIDCRETAINCARD>(buffer);
      out << "    WFSIDCRETAINCARD usCount=" << r.usCount << " fwPosition=" << r.fwPosition << "\n";
      return;
    }
    case WFS_CMD_IDC_SETKEY: {
      auto k = readAt<WFSIDCSETKEY>(buffer);
      out << "    WFSIDCSETKEY usKeyLen=" << k.usKeyLen << " lpbKeyValue="
          << (k.lpbKeyValue == nullptr ? "NULL" : "(" + std::to_string(k.usKeyLen) + " bytes)")
          << "\n";
      return;
    }
    case WFS_CMD_IDC_READ_RAW_DATA:
      cardData(out, buffer, show);
      return;
    case WFS_CMD_IDC_CHIP_IO:
      chipIo(out, buffer);
      return;
    case WFS_CMD_IDC_CHIP_POWER: {
      auto p = readAt<WFSIDCCHIPPOWEROUT>(buffer);
      out << "    WFSIDCCHIPPOWEROUT ulChipDataLength=" << p.ulChipDataLength
          << " lpbChipData=" << bytes(p.lpbChipData, p.ulChipDataLength) << "\n";
      return;
    }
    default:
      out << "    lpBuffer present (not decoded here)\n";
  }
}

void cardReaderEvent(std::ostream& out, DWORD eventId, const void* buffer, bool show) {
  switch (eventId) {
    case WFS_EXEE_IDC_INVALIDTRACKDATA: {
      auto t = readAt<WFSIDCTRACKEVENT>(buffer);
      out << "    WFSIDCTRACKEVENT fwStatus=" << t.fwStatus << " lpstrTrack=" << quoted(t.lpstrTrack)
          << " lpstrData=" << cardText(t.lpstrData, show) << "\n";
      return;
    }
    case WFS_SRVE_IDC_CARDACTION: {
      auto a = readAt<WFSIDCCARDACT>(buffer);
      out << "    WFSIDCCARDACT wAction=" << a.wAction << " wPosition=" << a.wPosition << "\n";
      return;
    }
    case WFS_SRVE_IDC_MEDIADETECTED:
      out << "    wResetOut=" << readAt<WORD>(buffer) << "\n";
      return;
    case WFS_SRVE_IDC_DEVICEPOSITION:
      out << "    wPosition=" << readAt<WORD>(buffer) << "\n";
      return;
    case WFS_SRVE_IDC_POWER_SAVE_CHANGE:
      out << "    usPowerSaveRecoveryTime=" << readAt<USHORT>(buffer) << "\n";
      return;
    default:
      out << "    lpBuffer present (not decoded here)\n";
  }
}

void systemEvent(std::ostream& out, DWORD eventId, const void* buffer) {
  switch (eventId) {
    case WFS_SYSE_UNDELIVERABLE_MSG: {
      auto u = readAt<WFSUNDEVMSG>(buffer);
      out << "    WFSUNDEVMSG lpszLogicalName=" << quoted(u.lpszLogicalName)
          << " lpszWorkstationName=" << quoted(u.lpszWorkstationName)
          << " lpszAppID=" << quoted(u.lpszAppID) << " dwMsg=" << u.dwMsg
          << " lpbDescription=" << bytes(u.lpbDescription, u.dwSize) << "\n";
      return;
    }
    case WFS_SYSE_HARDWARE_ERROR:
    case WFS_SYSE_SOFTWARE_ERROR:
    case WFS_SYSE_USER_ERROR: {
      auto h = readAt<WFSHWERROR>(buffer);
      out << "    WFSHWERROR lpszLogicalName=" << quoted(h.lpszLogicalName)
          << " lpszPhysicalName=" << quoted(h.lpszPhysicalName)
          << " lpszWorkstationName=" << quoted(h.lpszWorkstationName)
          << " lpszAppID=" << quoted(h.lpszAppID) << " dwAction=" << h.dwAction
          << " lpbDescription=" << bytes(h.lpbDescription, h.dwSize) << "\n";
      return;
    }
    case WFS_SYSE_VERSION_ERROR: {
      auto v = readAt<WFSVRSNERROR>(buffer);
      out << "    WFSVRSNERROR lpszLogicalName=" << quoted(v.lpszLogicalName)
          << " lpszWorkstationName=" << quoted(v.lpszWorkstationName)
          << " lpszAppID=" << quoted(v.lpszAppID)
          << " lpbDescription=" << bytes(v.lpbDescription, v.dwSize) << "\n";
      return;
    }
    case WFS_SYSE_DEVICE_STATUS: {
      auto d = readAt<WFSDEVSTATUS>(buffer);
      out << "    WFSDEVSTATUS lpszPhysicalName=" << quoted(d.lpszPhysicalName)
          << " lpszWorkstationName=" << quoted(d.lpszWorkstationName) << " dwState=" << d.dwState
          << "\n";
      return;
    }
    case WFS_SYSE_APP_DISCONNECT: {
      auto a = readAt<WFSAPPDISC>(buffer);
      out << "    WFSAPPDISC lpszLogicalName=" << quoted(a.lpszLogicalName)
          << " lpszWorkstationName=" << quoted(a.lpszWorkstationName)
          << " lpszAppID=" << quoted(a.lpszAppID) << "\n";
      return;
    }
    default:
      out << "    lpBuffer present (not decoded here)\n";
  }
}

bool isCardReaderCode(DWORD code) { return code > IDC_SERVICE_OFFSET && code < 300; }

bool isPinCode(DWORD code) { return code > PIN_SERVICE_OFFSET && code < 500; }

// The PIN pad's structures are not printed here; a key shows as * when it
// is a digit (a PIN pad tells no digit of a PIN: 0) and by its value when
// it is a function key.
void pinOutput(std::ostream& out, UINT message, DWORD code, const void* buffer) {
  if (message != WFS_EXECUTE_EVENT || code != WFS_EXEE_PIN_KEY) return;
  auto key = readAt<WFSPINKEY>(buffer);
  ULONG digit = key.ulDigit;
  bool isDigit = digit <= WFS_PIN_FK_9 && (digit & (digit - 1)) == 0;
  char value[16];
  std::snprintf(value, sizeof value, "0x%08X", static_cast<unsigned>(digit));
  out << "    key " << (isDigit ? "*" : value) << " wCompletion=" << key.wCompletion << "\n";
}

void output(std::ostream& out, UINT message, const WFSRESULT& result, bool show) {
  DWORD code = result.u.dwCommandCode;
  if (result.lpBuffer == nullptr) {
    out << "    lpBuffer NULL\n";
  } else if (message == WFS_SYSTEM_EVENT) {
    systemEvent(out, code, result.lpBuffer);
  } else if (isPinCode(code)) {
    pinOutput(out, message, code, result.lpBuffer);
  } else if (!isCardReaderCode(code)) {
    out << "    lpBuffer present (not decoded here)\n";
  } else if (message == WFS_GETINFO_COMPLETE) {
    infoOutput(out, code, result.lpBuffer);
  } else if (message == WFS_EXECUTE_COMPLETE) {
    executeOutput(out, code, result.lpBuffer, show);
  } else if (IsEventMessage(message)) {
    cardReaderEvent(out, code, result.lpBuffer, show);
  } else {
    out << "    lpBuffer present (not decoded here)\n";
  }
}

}  // namespace

std::string ResultText(HRESULT result) { return named(result, ResultName(result)); }

std::string DescribeCall(const std::string& call, HRESULT result) {
  return call + " returned " + ResultText(result);
}

std::string DescribeMessage(const TakenMessage& taken, bool showCardData) {
  std::ostringstream out;
  out << "<- " << MessageName(taken.message) << " (" << taken.message << ")";
  if (!taken.result) {
    out << " without a WFSRESULT\n";
    return out.str();
  }
  const WFSRESULT& r = *taken.result;
  out << " RequestID=" << r.RequestID << " hService=" << r.hService
      << " hResult=" << ResultText(r.hResult);
  if (IsEventMessage(taken.message)) {
    out << " dwEventID=" << named(r.u.dwEventID, EventName(taken.message, r.u.dwEventID));
  } else if (taken.message == WFS_GETINFO_COMPLETE) {
    out << " dwCommandCode=" << named(r.u.dwCommandCode, CategoryName(r.u.dwCommandCode));
  } else if (taken.message == WFS_EXECUTE_COMPLETE) {
    out << " dwCommandCode=" << named(r.u.dwCommandCode, CommandName(r.u.dwCommandCode));
  }
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, " at %04u-%02u-%02u %02u:%02u:%02u.%03u",
                r.tsTimestamp.wYear, r.tsTimestamp.wMonth, r.tsTimestamp.wDay,
                r.tsTimestamp.wHour, r.tsTimestamp.wMinute, r.tsTimestamp.wSecond,
                r.tsTimestamp.wMilliseconds);
  out << stamp << "\n";
  output(out, taken.message, r, showCardData);
  return out.str();
}

}  // namespace xfsmgr
