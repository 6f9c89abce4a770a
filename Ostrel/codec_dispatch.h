// The dispatch that every class codec runs by code: a class lists its codes
// once in a table, and these two functions apply the dispatch rules inside a
// guarded frame.
//
//   Json::Value BufferFormat_XXX::ExeFormat(unsigned int command, unsigned char* data) {
//     static const codec::FormatEntry kTable[] = {
//         {WFS_CMD_XXX_EJECT, &FormatEject, nullptr},
//         {WFS_CMD_XXX_RETAIN, nullptr, nullptr},           // sends no input
//         {WFS_CMD_XXX_WRITE, &FormatWrite, "BufferFormat_XXX::ExeFormat cmd = WFS_CMD_XXX_WRITE"},
//     };
//     return codec::FormatByCode(
//         GUARD_SITE("bufferformat_xxx", "Ostrel", "BufferFormat_XXX::ExeForma catch an Exception"),
//         "BufferFormat_XXX::ExeFormat invalid EXE CMD", kTable, command, data);
//   }
//
//   int JsonUnformat_XXX::UnformatInfo(LPWFSRESULT result, Json::Value* value) {
//     static const codec::UnformatEntry kTable[] = {
//         {WFS_INF_XXX_STATUS, &UnformatStatus},
//         {WFS_INF_XXX_FORM_LIST, nullptr},                 // no output structure
//     };
//     return codec::UnformatByCode(
//         GUARD_SITE("jsonunformat_xxx", "Ostrel", "JsonUnformat_XXX::UnformatInfo catch an exception!"),
//         "JsonUnformat_XXX::UnformatInfo invalid INFO CMD", kTable, result, value);
//   }
#ifndef OSTREL_CODEC_DISPATCH_H
#define OSTREL_CODEC_DISPATCH_H

#include <json/value.h>

#include <cstddef>

#include "exception.h"
#include "xfsapi.h"

namespace codec {

typedef Json::Value (*Formatter)(unsigned char* data);
typedef int (*Unformatter)(LPWFSRESULT result, Json::Value* value);

struct FormatEntry {
  unsigned int code;
  Formatter format;  // NULL: the code sends no input structure
  const char* note;  // logged at level 1 before the formatter runs; may be NULL
};

struct UnformatEntry {
  DWORD code;
  Unformatter unformat;  // NULL: the code has no output structure
};

// Request dispatch: null for NULL data whatever the code; the formatter's
// value for a code listed with one; null for a code listed without one;
// invalidLine at level 4 and null for any other code. A fault caught in the
// formatter logs the site's text and gives null.
Json::Value FormatByCode(const guard::Site& caught, const char* invalidLine,
                         const FormatEntry* table, size_t count, unsigned int code,
                         unsigned char* data);
template <size_t N>
Json::Value FormatByCode(const guard::Site& caught, const char* invalidLine,
                         const FormatEntry (&table)[N], unsigned int code, unsigned char* data) {
  return FormatByCode(caught, invalidLine, table, N, code, data);
}

// Reply dispatch by the result's code (u.dwCommandCode, or u.dwEventID of an
// event): the decoder's result for a code listed with one; lpBuffer NULL and
// 1 for a code listed without one; invalidLine at level 4 and 1 for any
// other code. A fault caught in the decoder logs the site's text and gives 0.
int UnformatByCode(const guard::Site& caught, const char* invalidLine,
                   const UnformatEntry* table, size_t count, LPWFSRESULT result,
                   Json::Value* value);
template <size_t N>
int UnformatByCode(const guard::Site& caught, const char* invalidLine,
                   const UnformatEntry (&table)[N], LPWFSRESULT result, Json::Value* value) {
  return UnformatByCode(caught, invalidLine, table, N, result, value);
}

}  // namespace codec

#endif
