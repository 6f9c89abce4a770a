// CXFSSPParam, the base of every renderer: the primitives that turn one value
// of an XFS type into trace lines, the layouts of a rendered call and result,
// the common XFS structures and the dispatcher from a type name to its
// renderer.
//
// Every primitive takes the value, the field name and the indent level n and
// returns complete lines, each ending in CR LF: n TABs, the name padded to 15
// characters, " = " and the value. Elements of arrays and fields of
// structures follow at indent n + 1. Hexadecimal is lower case and unpadded;
// negative signed values show as their 64-bit two's complement. A null
// pointer is rendered ("(null)", "{null}", "NULL" or an address of 0 without
// element lines) and never read. Nothing a primitive is given is changed.
#ifndef TRACEFORMAT_XFSSPPARAM_H
#define TRACEFORMAT_XFSSPPARAM_H

#include <QString>

#include "XmlConfig.h"
#include "xfsapi.h"

namespace scrivel {
class Digits;
struct TypeEntry;
class TypeTable;
}

class CXFSSPParam {
 public:
  // iModule: the service class whose names the lookups use (0 for none).
  explicit CXFSSPParam(int iModule);
  CXFSSPParam(const CXFSSPParam&) = delete;
  CXFSSPParam& operator=(const CXFSSPParam&) = delete;

  int Module() const { return m_iModule; }

  // Field name padded with spaces to 15 characters; longer names unchanged.
  virtual QString GetFixedName(const QString& name);
  // n TABs (none for n <= 0).
  virtual QString GetTab(int indent);

  virtual QString GetParamString_CHAR(char value, const QString& name, int indent);
  virtual QString GetParamString_CHAR_N(const char* value, int length, const QString& name,
                                        int indent);
  virtual QString GetParamString_BOOL(int value, const QString& name, int indent);
  virtual QString GetParamString_LPBOOL(const int* value, const QString& name, int indent);
  virtual QString GetParamString_WORD(unsigned short value, const QString& name, int indent);
  virtual QString GetParamString_WORD(unsigned short value, const QString& name, int indent,
                                      XmlConfig::Map map);
  // count -1: every element before the first 0.
  virtual QString GetParamString_WORD_N(const unsigned short* values, int count,
                                        const QString& name, int indent);
  virtual QString GetParamString_LPWORD(const unsigned short* value, const QString& name,
                                        int indent);
  // hide non-zero: "***" in place of the text.
  virtual QString GetParamString_LPSTR(const char* text, const QString& name, int indent,
                                       int hide);
  // A list of strings ended by an empty string.
  virtual QString GetParamString_LPSTR_00(const char* list, const QString& name, int indent);
  virtual QString GetParamString_LPWSTR(const wchar_t* text, const QString& name, int indent);
  virtual QString GetParamString_SHORT(short value, const QString& name, int indent);
  virtual QString GetParamString_USHORT(unsigned short value, const QString& name, int indent);
  // Every element before the first 0; each also writes "play[i]" to the Qt debug log.
  virtual QString GetParamString_LPUSHORT(const unsigned short* values, const QString& name,
                                          int indent);
  virtual QString GetParamString_LPUSHORT(const unsigned short* values, int count,
                                          const QString& name, int indent);
  virtual QString GetParamString_LONG(long value, const QString& name, int indent);
  virtual QString GetParamString_LONG(long value, const QString& name, int indent,
                                      XmlConfig::Map map);
  virtual QString GetParamString_ULONG(unsigned long value, const QString& name, int indent);
  virtual QString GetParamString_LPULONG_N(const ULONG* values, int count, const QString& name,
                                           int indent);
  // Renders nothing.
  virtual QString GetParamString_LPULONG(const ULONG* value, const QString& name, int indent);
  virtual QString GetParamString_LPDWORD(const unsigned int* value, const QString& name,
                                         int indent);
  virtual QString GetParamString_DWORD(unsigned int value, const QString& name, int indent);
  virtual QString GetParamString_DWORD(unsigned int value, const QString& name, int indent,
                                       XmlConfig::Map map);
  // count pointers; each non-null one as the single-pointer LPDWORD.
  virtual QString GetParamString_LPDWORD(const unsigned int* const* values, int count,
                                         const QString& name, int indent);
  virtual QString GetParamString_DWORD_N(const unsigned int* values, int count,
                                         const QString& name, int indent);
  // Upper-case hexadecimal; "***" above 4096 bytes.
  virtual QString GetParamString_LPBYTE(const unsigned char* data, unsigned long length,
                                        const QString& name, int indent);
  virtual QString GetParamString_BYTE(unsigned char value, const QString& name, int indent);
  // Renders nothing.
  virtual QString GetParamString_LPREQUESTID(const ULONG* ids, int count, const QString& name,
                                             int indent);
  virtual QString GetParamString_LPWFSVERSION(const WFSVERSION* version, const QString& name,
                                              int indent);
  virtual QString GetParamString_LPWFSHWERROR(const WFSHWERROR* error, const QString& name,
                                              int indent);
  virtual QString GetParamString_LPWFSVRSNERROR(const WFSVRSNERROR* error, const QString& name,
                                                int indent);
  virtual QString GetParamString_LPWFSDEVSTATUS(const WFSDEVSTATUS* status, const QString& name,
                                                int indent);
  virtual QString GetParamString_LPWFSAPPDISC(const WFSAPPDISC* disconnect, const QString& name,
                                              int indent);
  // The structure of a type name (as the name file gives it) under `name`;
  // empty for a type that no renderer knows. The class renderers' own types
  // come first (OwnTypes), then the common ones.
  virtual QString GetParamString(const QString& type, const void* data, int count,
                                 const QString& name, int indent);
  virtual QString GetParamString_LPUSHORT0(const unsigned short* values, const QString& name,
                                           int indent);
  virtual QString GetParamString_LPVOID(const void* pointer, const QString& name, int indent);
  // A result posted under message uMsg.
  virtual QString GetParamString_LPWFSRESULT(const WFSRESULT* result, int uMsg,
                                             const QString& name, int indent);
  // A WFPGetInfo or WFPExecute call.
  virtual QString GetParamString_GETINFO(unsigned short hService, unsigned int dwCategory,
                                         const void* lpQueryDetails, unsigned int dwTimeOut,
                                         long hWnd, unsigned long ReqID, const QString& name,
                                         int indent);
  virtual QString GetParamString_EXECUTE(unsigned short hService, unsigned int dwCommand,
                                         const void* lpCmdData, unsigned int dwTimeOut,
                                         long hWnd, unsigned long ReqID, const QString& name,
                                         int indent);
  virtual QString GetParamString_HWND(long value, const QString& name, int indent);
  virtual QString GetParamString_SYSTEMTIME(SYSTEMTIME value, const QString& name, int indent);
  virtual ~CXFSSPParam();

  // A list of wide strings ended by an empty one, on one line.
  QString GetParamString_LPWSTR_00(const wchar_t* list, const QString& name, int indent);
  // A secret number: the name and "***".
  QString GetParamString_HIDDEN(const QString& name, int indent);
  // The description of a type name: from this renderer's own table, else
  // the common one; nullptr when neither knows it.
  const scrivel::TypeEntry* DescribeType(const QString& type) const;
  // The type names this renderer knows besides the common ones.
  virtual const scrivel::TypeTable& OwnTypes() const;

  // Cut (side 0: keep the left part) or padded (side 0: on the right) to width.
  static QString KvXFSFixStr(QString text, int width, char fill, int side);
  // Two upper-case hexadecimal digits per byte.
  static QString XFSTransHexToStr(const unsigned char* data, int length);

 protected:
  // Whether a text result of an execute command carries card or PIN data
  // (track data, card data, a PIN offset) and is hidden with the rest.
  virtual bool HidesTextResults() const { return false; }

 private:
  // What differs between a rendered WFPGetInfo and WFPExecute call: the
  // labels of the code, window and data lines, and the code's name map.
  struct CallLabels {
    const char* code;
    XmlConfig::Map map;
    const char* window;
    const char* data;
  };
  QString CallText(const CallLabels& labels, unsigned short hService, unsigned int code,
                   const void* data, unsigned int dwTimeOut, long hWnd, unsigned long ReqID,
                   const QString& name, int indent);
  // The line of a scalar: "<tab><name> = 0x<hex>(<decimal>)<suffix>\r\n".
  QString ScalarLine(const QString& name, int indent, const scrivel::Digits& hex,
                     const scrivel::Digits& decimal, const QString& suffix = QString());
  // The structure of a call or result (line 8 of a call, the buffer of a result).
  QString TypedData(const QString& type, const void* data, const QString& nullName,
                    int indent, int hide);

  int m_iModule;
};

#endif
