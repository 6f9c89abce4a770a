#include "XFSSPParam.h"

#include <QLoggingCategory>

#include "digits.h"
#include "scrivel.h"
#include "structtable.h"

namespace {

Q_LOGGING_CATEGORY(lcScrivel, "scrivel")

const QLatin1String kEquals(" = ");
const QLatin1String kLineEnd("\r\n");

using scrivel::Digits;

Digits Hex(quint64 value) { return Digits::Hex(value); }
// Negative values as their 64-bit two's complement.
Digits SignedHex(qint64 value) { return Digits::Hex(static_cast<quint64>(value)); }
Digits Dec(quint64 value) { return Digits::Decimal(value); }
Digits SignedDec(qint64 value) { return Digits::SignedDecimal(value); }
Digits Address(const void* pointer) { return Digits::Address(pointer); }
Digits AddressDec(const void* pointer) { return Digits::AddressDecimal(pointer); }

QString Element(const QString& name, int index) {
  return name % QLatin1Char('[') % Dec(static_cast<quint64>(index)).text() % QLatin1Char(']');
}
// Local 8-bit text, as the trace is written.
QString Text(const char* text) { return QString::fromLocal8Bit(text); }

// The common XFS structures.
SV_TABLE(kVersion, WFSVERSION, SV(WFSVERSION, wVersion).Word(),
         SV(WFSVERSION, wLowVersion).Word(), SV(WFSVERSION, wHighVersion).Word(),
         SV(WFSVERSION, szDescription).Chars<WFSDDESCRIPTION_LEN>(),
         SV(WFSVERSION, szSystemStatus).Chars<WFSDSYSSTATUS_LEN>());

SV_TABLE(kHwError, WFSHWERROR, SV(WFSHWERROR, lpszLogicalName).Text(),
         SV(WFSHWERROR, lpszPhysicalName).Text(), SV(WFSHWERROR, lpszWorkstationName).Text(),
         SV(WFSHWERROR, lpszAppID).Text(), SV(WFSHWERROR, dwAction).Dword(),
         SV(WFSHWERROR, dwSize).Dword(),
         SV(WFSHWERROR, lpbDescription).Bytes(SV_LENGTH(WFSHWERROR, dwSize)));

SV_TABLE(kVrsnError, WFSVRSNERROR, SV(WFSVRSNERROR, lpszLogicalName).Text(),
         SV(WFSVRSNERROR, lpszWorkstationName).Text(), SV(WFSVRSNERROR, lpszAppID).Text(),
         SV(WFSVRSNERROR, dwSize).Dword(),
         SV(WFSVRSNERROR, lpbDescription).Bytes(SV_LENGTH(WFSVRSNERROR, dwSize)),
         SV(WFSVRSNERROR, lpWFSVersion).Record<WFSVERSION>(kVersion));

SV_TABLE(kDevStatus, WFSDEVSTATUS, SV(WFSDEVSTATUS, lpszPhysicalName).Text(),
         SV(WFSDEVSTATUS, lpszWorkstationName).Text(), SV(WFSDEVSTATUS, dwState).Dword());

SV_TABLE(kAppDisc, WFSAPPDISC, SV(WFSAPPDISC, lpszLogicalName).Text(),
         SV(WFSAPPDISC, lpszWorkstationName).Text(), SV(WFSAPPDISC, lpszAppID).Text());

// The common type names.
using scrivel::Shape;
using scrivel::TypeEntry;

QString RenderLpdword(CXFSSPParam& r, const void* data, int, const QString& name, int n) {
  return r.GetParamString_LPDWORD(static_cast<const unsigned int*>(data), name, n);
}
QString RenderLpushort(CXFSSPParam& r, const void* data, int, const QString& name, int n) {
  return r.GetParamString_LPUSHORT(static_cast<const unsigned short*>(data), name, n);
}
QString RenderLpulong(CXFSSPParam& r, const void* data, int, const QString& name, int n) {
  return r.GetParamString_LPULONG(static_cast<const ULONG*>(data), name, n);
}
QString RenderLpstr(CXFSSPParam& r, const void* data, int, const QString& name, int n) {
  return r.GetParamString_LPSTR(static_cast<const char*>(data), name, n, 0);
}
QString RenderLpbool(CXFSSPParam& r, const void* data, int, const QString& name, int n) {
  return r.GetParamString_LPBOOL(static_cast<const int*>(data), name, n);
}
QString RenderLpword(CXFSSPParam& r, const void* data, int, const QString& name, int n) {
  return r.GetParamString_LPWORD(static_cast<const unsigned short*>(data), name, n);
}
QString RenderHwError(CXFSSPParam& r, const void* data, int, const QString& name, int n) {
  return r.GetParamString_LPWFSHWERROR(static_cast<const WFSHWERROR*>(data), name, n);
}
QString RenderVrsnError(CXFSSPParam& r, const void* data, int, const QString& name, int n) {
  return r.GetParamString_LPWFSVRSNERROR(static_cast<const WFSVRSNERROR*>(data), name, n);
}
QString RenderDevStatus(CXFSSPParam& r, const void* data, int, const QString& name, int n) {
  return r.GetParamString_LPWFSDEVSTATUS(static_cast<const WFSDEVSTATUS*>(data), name, n);
}
QString RenderAppDisc(CXFSSPParam& r, const void* data, int, const QString& name, int n) {
  return r.GetParamString_LPWFSAPPDISC(static_cast<const WFSAPPDISC*>(data), name, n);
}

const TypeEntry kCommonTypes[] = {
    {"LPDWORD", &RenderLpdword, Shape::Value, nullptr},
    {"LPUSHORT", &RenderLpushort, Shape::Value, nullptr},
    {"LPULONG", &RenderLpulong, Shape::Value, nullptr},
    {"LPSTR", &RenderLpstr, Shape::Value, nullptr},
    {"LPBOOL", &RenderLpbool, Shape::Value, nullptr},
    {"LPWORD", &RenderLpword, Shape::Value, nullptr},
    {"LPXFSHWERROR", &RenderHwError, Shape::Record, &kHwError},
    {"LPXFSVRSNERROR", &RenderVrsnError, Shape::Record, &kVrsnError},
    {"LPXFSDEVSTATUS", &RenderDevStatus, Shape::Record, &kDevStatus},
    {"LPXFSAPPDISC", &RenderAppDisc, Shape::Record, &kAppDisc},
};

const scrivel::TypeTable& CommonTypes() {
  static const scrivel::TypeTable table(kCommonTypes);
  return table;
}

// Result messages that carry a command code or an event identifier.
bool IsEvent(int uMsg) { return uMsg >= WFS_EXECUTE_EVENT && uMsg <= WFS_SYSTEM_EVENT; }

}  // namespace

CXFSSPParam::CXFSSPParam(int iModule) : m_iModule(iModule) {}

CXFSSPParam::~CXFSSPParam() = default;

QString CXFSSPParam::KvXFSFixStr(QString text, int width, char fill, int side) {
  if (width < 0) width = 0;
  if (side == 0) return text.leftJustified(width, QLatin1Char(fill), true);
  if (text.size() > width) return text.right(width);
  return text.rightJustified(width, QLatin1Char(fill));
}

QString CXFSSPParam::XFSTransHexToStr(const unsigned char* data, int length) {
  static const char kDigits[] = "0123456789ABCDEF";
  if (data == nullptr || length <= 0) return QString();
  QString text(2 * length, Qt::Uninitialized);
  QChar* out = text.data();
  for (int i = 0; i < length; ++i) {
    *out++ = QLatin1Char(kDigits[data[i] >> 4]);
    *out++ = QLatin1Char(kDigits[data[i] & 0x0F]);
  }
  return text;
}

QString CXFSSPParam::GetFixedName(const QString& name) {
  static const int kWidth = 15;
  return name.size() < kWidth ? KvXFSFixStr(name, kWidth, ' ', 0) : name;
}

QString CXFSSPParam::GetTab(int indent) {
  // The usual depths are shared, not built again for every line.
  static const QString kTabs[] = {QString(),        QStringLiteral("\t"),
                                  QStringLiteral("\t\t"), QStringLiteral("\t\t\t"),
                                  QStringLiteral("\t\t\t\t"), QStringLiteral("\t\t\t\t\t")};
  if (indent <= 0) return QString();
  if (indent < static_cast<int>(sizeof kTabs / sizeof kTabs[0])) return kTabs[indent];
  return QString(indent, QLatin1Char('\t'));
}

QString CXFSSPParam::ScalarLine(const QString& name, int indent, const scrivel::Digits& hex,
                                const scrivel::Digits& decimal, const QString& suffix) {
  return GetTab(indent) + GetFixedName(name) + QLatin1String(" = 0x") + hex.text() +
         QLatin1Char('(') + decimal.text() + QLatin1Char(')') + suffix + kLineEnd;
}

QString CXFSSPParam::GetParamString_CHAR(char value, const QString& name, int indent) {
  const QString head = GetTab(indent) + GetFixedName(name) + kEquals;
  if (value == '\0') return head + QLatin1String("''(0)") + kLineEnd;
  const unsigned char code = static_cast<unsigned char>(value);
  return head + QLatin1Char('\'') + QLatin1Char(value) + QLatin1String("'(") +
         Dec(code).text() + QLatin1Char(')') + kLineEnd;
}

QString CXFSSPParam::GetParamString_CHAR_N(const char* value, int length, const QString& name,
                                           int indent) {
  QString text = GetTab(indent) + GetFixedName(name) + kEquals;
  for (int i = 0; value != nullptr && i < length; ++i) {
    text += QLatin1Char('\'');
    if (value[i] == '\0') {
      text += QLatin1String("\\0");
    } else {
      text += QLatin1Char(value[i]);
    }
    text += QLatin1String("' ");
  }
  return text + kLineEnd;
}

QString CXFSSPParam::GetParamString_BOOL(int value, const QString& name, int indent) {
  return GetTab(indent) + GetFixedName(name) +
         QLatin1String(value != 0 ? " = TRUE(" : " = FALSE(") + SignedDec(value).text() +
         QLatin1Char(')') + kLineEnd;
}

QString CXFSSPParam::GetParamString_LPBOOL(const int* value, const QString& name, int indent) {
  QString text = GetTab(indent) + GetFixedName(name) + QLatin1String(" =  0x") + Address(value).text() +
                 QLatin1Char('(') + AddressDec(value).text() + QLatin1Char(')') + kLineEnd;
  if (value != nullptr) text += GetParamString_BOOL(*value, Element(name, 0), indent + 1);
  return text;
}

QString CXFSSPParam::GetParamString_WORD(unsigned short value, const QString& name, int indent) {
  return ScalarLine(name, indent, Hex(value), Dec(value));
}

QString CXFSSPParam::GetParamString_WORD(unsigned short value, const QString& name, int indent,
                                         XmlConfig::Map map) {
  return ScalarLine(name, indent, Hex(value), Dec(value),
                    XmlConfig::GetNameByValue(m_iModule, map, static_cast<unsigned long>(value)));
}

QString CXFSSPParam::GetParamString_WORD_N(const unsigned short* values, int count,
                                           const QString& name, int indent) {
  QString text = ScalarLine(name, indent, Address(values), AddressDec(values));
  for (int i = 0; values != nullptr && (count < 0 ? values[i] != 0 : i < count); ++i) {
    text += GetParamString_WORD(values[i], Element(name, i), indent + 1);
  }
  return text;
}

QString CXFSSPParam::GetParamString_LPWORD(const unsigned short* value, const QString& name,
                                           int indent) {
  QString text = GetTab(indent) + GetFixedName(name) + kEquals + Address(value).text() +
                 QLatin1Char('(') + AddressDec(value).text() + QLatin1Char(')') + kLineEnd;
  if (value != nullptr) text += GetParamString_WORD(*value, Element(name, 0), indent + 1);
  return text;
}

QString CXFSSPParam::GetParamString_LPSTR(const char* text, const QString& name, int indent,
                                          int hide) {
  const QString head = GetTab(indent) + GetFixedName(name) + kEquals;
  if (text == nullptr) return head + QLatin1String("(null)") + kLineEnd;
  return head + QLatin1Char('"') + (hide != 0 ? QStringLiteral("***") : Text(text)) +
         QLatin1Char('"') + kLineEnd;
}

QString CXFSSPParam::GetParamString_LPSTR_00(const char* list, const QString& name, int indent) {
  QString text = GetTab(indent) + GetFixedName(name) + kEquals;
  if (list == nullptr) return text + QLatin1String("\"(null)\"") + kLineEnd;
  text += kLineEnd;
  const QString tab = GetTab(indent + 1);
  int index = 0;
  for (const char* item = list; *item != '\0'; item += qstrlen(item) + 1) {
    text += tab + Element(name, index++) + QLatin1String(" = \"") + Text(item) +
            QLatin1Char('"') + kLineEnd;
  }
  return text;
}

QString CXFSSPParam::GetParamString_LPWSTR(const wchar_t* text, const QString& name, int indent) {
  const QString head = GetTab(indent) + GetFixedName(name) + kEquals;
  if (text == nullptr) return head + QLatin1String("(null)") + kLineEnd;
  return head + QLatin1String("L\"") + QString::fromWCharArray(text) + QLatin1Char('"') +
         kLineEnd;
}

QString CXFSSPParam::GetParamString_LPWSTR_00(const wchar_t* list, const QString& name,
                                              int indent) {
  QString text = GetTab(indent) + GetFixedName(name) + kEquals;
  if (list == nullptr) return text + QLatin1String("(null)") + kLineEnd;
  text += QLatin1String("L\"");
  for (const wchar_t* item = list; *item != L'\0'; item += wcslen(item) + 1) {
    text += QString::fromWCharArray(item) + QLatin1String("\\0");
  }
  return text + QLatin1String("\\0\"") + kLineEnd;
}

QString CXFSSPParam::GetParamString_SHORT(short value, const QString& name, int indent) {
  return ScalarLine(name, indent, SignedHex(value), SignedDec(value));
}

QString CXFSSPParam::GetParamString_USHORT(unsigned short value, const QString& name,
                                           int indent) {
  return ScalarLine(name, indent, Hex(value), Dec(value));
}

QString CXFSSPParam::GetParamString_LPUSHORT(const unsigned short* values, const QString& name,
                                             int indent) {
  QString text = ScalarLine(name, indent, Address(values), AddressDec(values));
  for (int i = 0; values != nullptr && values[i] != 0; ++i) {
    qCDebug(lcScrivel, "play[%d]", i);
    text += GetParamString_USHORT(values[i], Element(name, i), indent + 1);
  }
  return text;
}

QString CXFSSPParam::GetParamString_LPUSHORT(const unsigned short* values, int count,
                                             const QString& name, int indent) {
  QString text = GetTab(indent) + GetFixedName(name) + kEquals + Address(values).text() +
                 QLatin1Char('(') + AddressDec(values).text() + QLatin1Char(')') + kLineEnd;
  for (int i = 0; values != nullptr && i < count; ++i) {
    text += GetParamString_USHORT(values[i], Element(name, i), indent + 1);
  }
  return text;
}

QString CXFSSPParam::GetParamString_LONG(long value, const QString& name, int indent) {
  return ScalarLine(name, indent, SignedHex(value), SignedDec(value));
}

QString CXFSSPParam::GetParamString_LONG(long value, const QString& name, int indent,
                                         XmlConfig::Map map) {
  return ScalarLine(name, indent, SignedHex(value), SignedDec(value),
                    XmlConfig::GetNameByValue(m_iModule, map, static_cast<unsigned long>(value)));
}

QString CXFSSPParam::GetParamString_ULONG(unsigned long value, const QString& name, int indent) {
  return ScalarLine(name, indent, Hex(value), Dec(value));
}

QString CXFSSPParam::GetParamString_LPULONG_N(const ULONG* values, int count, const QString& name,
                                              int indent) {
  QString text = ScalarLine(name, indent, Address(values), AddressDec(values));
  for (int i = 0; values != nullptr && i < count; ++i) {
    text += GetParamString_ULONG(values[i], Element(name, i), indent + 1);
  }
  return text;
}

QString CXFSSPParam::GetParamString_LPULONG(const ULONG*, const QString&, int) {
  return QString();
}

QString CXFSSPParam::GetParamString_LPDWORD(const unsigned int* value, const QString& name,
                                            int indent) {
  QString text = ScalarLine(name, indent, Address(value), AddressDec(value));
  if (value != nullptr) text += GetParamString_DWORD(*value, Element(name, 0), indent + 1);
  return text;
}

QString CXFSSPParam::GetParamString_DWORD(unsigned int value, const QString& name, int indent) {
  return ScalarLine(name, indent, Hex(value), Dec(value));
}

QString CXFSSPParam::GetParamString_DWORD(unsigned int value, const QString& name, int indent,
                                          XmlConfig::Map map) {
  return ScalarLine(name, indent, Hex(value), Dec(value),
                    XmlConfig::GetNameByValue(m_iModule, map, static_cast<unsigned long>(value)));
}

QString CXFSSPParam::GetParamString_LPDWORD(const unsigned int* const* values, int count,
                                            const QString& name, int indent) {
  QString text = ScalarLine(name, indent, Address(values), AddressDec(values));
  for (int i = 0; values != nullptr && i < count; ++i) {
    if (values[i] != nullptr) text += GetParamString_LPDWORD(values[i], Element(name, i), indent + 1);
  }
  return text;
}

QString CXFSSPParam::GetParamString_DWORD_N(const unsigned int* values, int count,
                                            const QString& name, int indent) {
  QString text = ScalarLine(name, indent, Address(values), AddressDec(values));
  for (int i = 0; values != nullptr && (count < 0 ? values[i] != 0 : i < count); ++i) {
    text += GetParamString_DWORD(values[i], Element(name, i), indent + 1);
  }
  return text;
}

QString CXFSSPParam::GetParamString_LPBYTE(const unsigned char* data, unsigned long length,
                                           const QString& name, int indent) {
  static const unsigned long kLargestDump = 4096;
  const QString head = GetTab(indent) + GetFixedName(name) + kEquals;
  if (data == nullptr) return head + QLatin1String("'{null}'") + kLineEnd;
  if (length > kLargestDump) return head + QLatin1String("***") + kLineEnd;
  return head + QLatin1Char('\'') + XFSTransHexToStr(data, static_cast<int>(length)) +
         QLatin1Char('\'') + kLineEnd;
}

QString CXFSSPParam::GetParamString_BYTE(unsigned char value, const QString& name, int indent) {
  return ScalarLine(name, indent, Hex(value), Dec(value));
}

QString CXFSSPParam::GetParamString_LPREQUESTID(const ULONG*, int, const QString&, int) {
  return QString();
}

QString CXFSSPParam::GetParamString_LPWFSVERSION(const WFSVERSION* version, const QString& name,
                                                 int indent) {
  return scrivel::RenderRecord(*this, kVersion, version, name, indent, 0);
}

QString CXFSSPParam::GetParamString_LPWFSHWERROR(const WFSHWERROR* error, const QString& name,
                                                 int indent) {
  return scrivel::RenderRecord(*this, kHwError, error, name, indent, 0);
}

QString CXFSSPParam::GetParamString_LPWFSVRSNERROR(const WFSVRSNERROR* error,
                                                   const QString& name, int indent) {
  return scrivel::RenderRecord(*this, kVrsnError, error, name, indent, 0);
}

QString CXFSSPParam::GetParamString_LPWFSDEVSTATUS(const WFSDEVSTATUS* status,
                                                   const QString& name, int indent) {
  return scrivel::RenderRecord(*this, kDevStatus, status, name, indent, 0);
}

QString CXFSSPParam::GetParamString_LPWFSAPPDISC(const WFSAPPDISC* disconnect,
                                                 const QString& name, int indent) {
  return scrivel::RenderRecord(*this, kAppDisc, disconnect, name, indent, 0);
}

const scrivel::TypeTable& CXFSSPParam::OwnTypes() const { return CommonTypes(); }

const scrivel::TypeEntry* CXFSSPParam::DescribeType(const QString& type) const {
  const TypeEntry* entry = OwnTypes().Find(type);
  return entry != nullptr ? entry : CommonTypes().Find(type);
}

QString CXFSSPParam::GetParamString(const QString& type, const void* data, int count,
                                    const QString& name, int indent) {
  const TypeEntry* entry = DescribeType(type);
  return entry != nullptr ? entry->render(*this, data, count, name, indent) : QString();
}

QString CXFSSPParam::GetParamString_LPUSHORT0(const unsigned short* values, const QString& name,
                                              int indent) {
  QString text = ScalarLine(name, indent, Address(values), AddressDec(values));
  for (int i = 0; values != nullptr && values[i] != 0; ++i) {
    text += GetParamString_USHORT(values[i], Element(name, i), indent + 1);
  }
  return text;
}

QString CXFSSPParam::GetParamString_LPVOID(const void* pointer, const QString& name, int indent) {
  const QString head = GetTab(indent) + GetFixedName(name);
  if (pointer == nullptr) return head + QLatin1String(" = NULL") + kLineEnd;
  return head + QLatin1String(" = 0x") + Address(pointer).text() + kLineEnd;
}

QString CXFSSPParam::GetParamString_HIDDEN(const QString& name, int indent) {
  return GetTab(indent) + GetFixedName(name) + QLatin1String(" = ***") + kLineEnd;
}

QString CXFSSPParam::TypedData(const QString& type, const void* data, const QString& nullName,
                               int indent, int hide) {
  if (type.isEmpty()) return GetParamString_LPVOID(nullptr, nullName, indent);
  if (hide != 0 && type == QLatin1String("LPSTR")) {
    return GetParamString_LPSTR(static_cast<const char*>(data), type, indent, hide);
  }
  return GetParamString(type, data, 0, type, indent);
}

QString CXFSSPParam::GetParamString_LPWFSRESULT(const WFSRESULT* result, int uMsg,
                                                const QString& name, int indent) {
  const QString tab = GetTab(indent);
  QString text = tab + QLatin1Char('[') + SignedDec(uMsg).text() + QLatin1Char(']') +
                 XmlConfig::GetNameByValue(m_iModule, XmlConfig::MAP_MESSAGE_NO,
                                           static_cast<unsigned long>(uMsg)) +
                 GetFixedName(name) + QLatin1String(" = 0x") + Address(result).text() + kLineEnd;
  if (result == nullptr) return text;
  const int m = indent + 1;
  text += tab + QLatin1String("{\r\n");
  text += GetParamString_ULONG(result->RequestID, QStringLiteral("requestID"), m);
  text += GetParamString_USHORT(result->hService, QStringLiteral("hService"), m);
  text += GetParamString_SYSTEMTIME(result->tsTimestamp, QStringLiteral("tsTimestamp"), m);
  text += GetParamString_LONG(result->hResult, QStringLiteral("hResult"), m,
                              XmlConfig::MAP_XFSERRORS);
  const DWORD code = result->u.dwCommandCode;
  QString type;
  int hide = 0;
  if (IsEvent(uMsg)) {
    text += GetParamString_DWORD(code, QStringLiteral("u.dwEventID"), m, XmlConfig::MAP_MESSAGE);
    type = XmlConfig::GetOutputParamByValue(m_iModule, XmlConfig::MAP_MESSAGE, code);
  } else if (uMsg == WFS_EXECUTE_COMPLETE) {
    text += GetParamString_DWORD(code, QStringLiteral("u.dwCommandCode"), m,
                                 XmlConfig::MAP_EXECMD);
    type = XmlConfig::GetOutputParamByValue(m_iModule, XmlConfig::MAP_EXECMD, code);
    if (HidesTextResults()) hide = g_bHidenLog;
  } else if (uMsg == WFS_GETINFO_COMPLETE) {
    text += GetParamString_DWORD(code, QStringLiteral("u.dwCommandCode"), m,
                                 XmlConfig::MAP_INFCMD);
    type = XmlConfig::GetOutputParamByValue(m_iModule, XmlConfig::MAP_INFCMD, code);
  }
  text += TypedData(type, result->lpBuffer, QStringLiteral("lpBuffer"), m, hide);
  return text + tab + QLatin1String("}\r\n");
}

QString CXFSSPParam::GetParamString_GETINFO(unsigned short hService, unsigned int dwCategory,
                                            const void* lpQueryDetails, unsigned int dwTimeOut,
                                            long hWnd, unsigned long ReqID, const QString& name,
                                            int indent) {
  static const CallLabels kGetInfo = {"dwCategory", XmlConfig::MAP_INFCMD, "hWnd",
                                      "lpQueryDetails"};
  return CallText(kGetInfo, hService, dwCategory, lpQueryDetails, dwTimeOut, hWnd, ReqID, name,
                  indent);
}

QString CXFSSPParam::GetParamString_EXECUTE(unsigned short hService, unsigned int dwCommand,
                                            const void* lpCmdData, unsigned int dwTimeOut,
                                            long hWnd, unsigned long ReqID, const QString& name,
                                            int indent) {
  static const CallLabels kExecute = {"dwCommand", XmlConfig::MAP_EXECMD, "hWNd", "lpCmdData"};
  return CallText(kExecute, hService, dwCommand, lpCmdData, dwTimeOut, hWnd, ReqID, name, indent);
}

QString CXFSSPParam::CallText(const CallLabels& labels, unsigned short hService, unsigned int code,
                              const void* data, unsigned int dwTimeOut, long hWnd,
                              unsigned long ReqID, const QString& name, int indent) {
  const QString tab = GetTab(indent);
  const int m = indent + 1;
  QString text = tab + GetFixedName(name) + QLatin1String(" = \r\n") + tab +
                 QLatin1String("{\r\n");
  text += GetParamString_USHORT(hService, QStringLiteral("hService"), m);
  text += GetParamString_DWORD(code, QLatin1String(labels.code), m, labels.map);
  text += GetParamString_DWORD(dwTimeOut, QStringLiteral("dwTimeOut"), m);
  text += GetParamString_HWND(hWnd, QLatin1String(labels.window), m);
  text += GetParamString_ULONG(ReqID, QStringLiteral("ReqID"), m);
  text += TypedData(XmlConfig::GetInputParamByValue(m_iModule, labels.map, code), data,
                    QLatin1String(labels.data), m, 0);
  return text + tab + QLatin1String("}\r\n");
}

QString CXFSSPParam::GetParamString_HWND(long value, const QString& name, int indent) {
  return ScalarLine(name, indent, SignedHex(value), SignedDec(value));
}

QString CXFSSPParam::GetParamString_SYSTEMTIME(SYSTEMTIME value, const QString& name,
                                               int indent) {
  const QLatin1Char dash('-');
  const QLatin1Char colon(':');
  return GetTab(indent) + GetFixedName(name) + kEquals + Dec(value.wYear).text() + dash +
         Dec(value.wMonth).text() + dash + Dec(value.wDay).text() + QLatin1Char(' ') +
         Dec(value.wHour).text() + colon + Dec(value.wMinute).text() + colon +
         Dec(value.wSecond).text() + kLineEnd;
}
