// The line primitives, byte for byte.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "XFSCommonSPParam.h"
#include "scrivel_test_support.h"

namespace {

using scriveltest::Hex;
using scriveltest::HexDec;
using scriveltest::Utf8;

class Primitives : public ::testing::Test {
 protected:
  CXFSCommonSPParam r;
};

TEST_F(Primitives, NamesTabsAndFixedWidths) {
  EXPECT_EQ(Utf8(r.GetFixedName("abcdefghijklmn")), "abcdefghijklmn ");
  EXPECT_EQ(Utf8(r.GetFixedName("abcdefghijklmno")), "abcdefghijklmno");
  EXPECT_EQ(Utf8(r.GetParamString_DWORD(1, "u.dwCommandCode", 0)), "u.dwCommandCode = 0x1(1)\r\n");
  EXPECT_EQ(Utf8(r.GetTab(0)) + Utf8(r.GetTab(-2)), "");
  EXPECT_EQ(Utf8(r.GetTab(2)), "\t\t");
  EXPECT_EQ(Utf8(CXFSSPParam::KvXFSFixStr("abcdef", 3, ' ', 0)), "abc");
  EXPECT_EQ(Utf8(CXFSSPParam::KvXFSFixStr("abcdef", 3, ' ', 1)), "def");
  EXPECT_EQ(Utf8(CXFSSPParam::KvXFSFixStr("ab", 4, '*', 0)), "ab**");
  EXPECT_EQ(Utf8(CXFSSPParam::KvXFSFixStr("ab", 4, '*', 1)), "**ab");
  EXPECT_EQ(Utf8(CXFSSPParam::KvXFSFixStr("abcd", 4, '*', 1)), "abcd");
  const unsigned char bytes[] = {0x0a, 0xff, 0x00};
  EXPECT_EQ(Utf8(CXFSSPParam::XFSTransHexToStr(bytes, 3)), "0AFF00");
}

TEST_F(Primitives, Scalars) {
  EXPECT_EQ(Utf8(r.GetParamString_DWORD(255, "dwSize", 1)), "\tdwSize          = 0xff(255)\r\n");
  EXPECT_EQ(Utf8(r.GetParamString_LONG(-22, "hResult", 0)),
            "hResult         = 0xffffffffffffffea(-22)\r\n");
  EXPECT_EQ(Utf8(r.GetParamString_SHORT(-1, "s", 0)), "s               = 0xffffffffffffffff(-1)\r\n");
  EXPECT_EQ(Utf8(r.GetParamString_ULONG(4294967295u, "ul", 0)),
            "ul              = 0xffffffff(4294967295)\r\n");
  EXPECT_EQ(Utf8(r.GetParamString_BYTE(0x2a, "b", 0)), "b               = 0x2a(42)\r\n");
  EXPECT_EQ(Utf8(r.GetParamString_HWND(36000, "hWnd", 0)), "hWnd            = 0x8ca0(36000)\r\n");
  EXPECT_EQ(Utf8(r.GetParamString_BOOL(5, "b", 0)), "b               = TRUE(5)\r\n");
  EXPECT_EQ(Utf8(r.GetParamString_BOOL(0, "b", 0)), "b               = FALSE(0)\r\n");
  EXPECT_EQ(Utf8(r.GetParamString_CHAR('\0', "c", 0)), "c               = ''(0)\r\n");
  EXPECT_EQ(Utf8(r.GetParamString_CHAR('*', "c", 0)), "c               = '*'(42)\r\n");
  const SYSTEMTIME time = {2024, 3, 2, 5, 8, 7, 6, 123};
  EXPECT_EQ(Utf8(r.GetParamString_SYSTEMTIME(time, "t", 0)), "t               = 2024-3-5 8:7:6\r\n");
  int value = 0;
  EXPECT_EQ(Utf8(r.GetParamString_LPVOID(nullptr, "lpBuffer", 1)), "\tlpBuffer        = NULL\r\n");
  EXPECT_EQ(Utf8(r.GetParamString_LPVOID(&value, "p", 0)), "p               = 0x" + Hex(&value) + "\r\n");
  EXPECT_EQ(Utf8(r.GetParamString_HIDDEN("ulDigit", 0)), "ulDigit         = ***\r\n");
}

TEST_F(Primitives, PointersAndArrays) {
  int flag = 5;
  EXPECT_EQ(Utf8(r.GetParamString_LPBOOL(&flag, "b", 0)),
            "b               =  0x" + HexDec(&flag) + "\r\n\tb[0]            = TRUE(5)\r\n");
  EXPECT_EQ(Utf8(r.GetParamString_LPBOOL(nullptr, "b", 0)), "b               =  0x0(0)\r\n");
  unsigned short word = 7;
  EXPECT_EQ(Utf8(r.GetParamString_LPWORD(&word, "w", 0)),
            "w               = " + HexDec(&word) + "\r\n\tw[0]            = 0x7(7)\r\n");
  unsigned int dword = 9;
  EXPECT_EQ(Utf8(r.GetParamString_LPDWORD(&dword, "d", 0)),
            "d               = 0x" + HexDec(&dword) + "\r\n\td[0]            = 0x9(9)\r\n");
  const unsigned short words[] = {5, 7, 0, 9};
  EXPECT_EQ(Utf8(r.GetParamString_WORD_N(words, -1, "w", 0)),
            "w               = 0x" + HexDec(words) +
                "\r\n\tw[0]            = 0x5(5)\r\n\tw[1]            = 0x7(7)\r\n");
  EXPECT_EQ(Utf8(r.GetParamString_WORD_N(words, 0, "w", 0)), "w               = 0x" + HexDec(words) + "\r\n");
  // With a count the first line has no "0x"; ended by 0 it has.
  EXPECT_EQ(Utf8(r.GetParamString_LPUSHORT(words, 1, "u", 0)),
            "u               = " + HexDec(words) + "\r\n\tu[0]            = 0x5(5)\r\n");
  EXPECT_EQ(Utf8(r.GetParamString_LPUSHORT(words, "u", 0)),
            Utf8(r.GetParamString_LPUSHORT0(words, "u", 0)));
  EXPECT_EQ(Utf8(r.GetParamString_LPUSHORT0(words, "u", 0)),
            "u               = 0x" + HexDec(words) +
                "\r\n\tu[0]            = 0x5(5)\r\n\tu[1]            = 0x7(7)\r\n");
  const unsigned int* pointers[] = {&dword, nullptr, &dword};
  EXPECT_EQ(Utf8(r.GetParamString_LPDWORD(pointers, 3, "a", 0)),
            "a               = 0x" + HexDec(pointers) + "\r\n\ta[0]            = 0x" +
                HexDec(&dword) + "\r\n\t\ta[0][0]         = 0x9(9)\r\n\ta[2]            = 0x" +
                HexDec(&dword) + "\r\n\t\ta[2][0]         = 0x9(9)\r\n");
  const ULONG ids[] = {1, 2};
  EXPECT_EQ(Utf8(r.GetParamString_LPULONG(ids, "l", 0)), "");
  EXPECT_EQ(Utf8(r.GetParamString_LPREQUESTID(ids, 2, "l", 0)), "");
  EXPECT_EQ(Utf8(r.GetParamString_LPULONG_N(ids, 2, "l", 0)),
            "l               = 0x" + HexDec(ids) +
                "\r\n\tl[0]            = 0x1(1)\r\n\tl[1]            = 0x2(2)\r\n");
}

TEST_F(Primitives, StringsAndBuffers) {
  EXPECT_EQ(Utf8(r.GetParamString_LPSTR(nullptr, "s", 0, 0)), "s               = (null)\r\n");
  EXPECT_EQ(Utf8(r.GetParamString_LPSTR("ab", "s", 0, 0)), "s               = \"ab\"\r\n");
  EXPECT_EQ(Utf8(r.GetParamString_LPSTR("ab", "s", 0, 1)), "s               = \"***\"\r\n");
  EXPECT_EQ(Utf8(r.GetParamString_LPSTR_00("ab\0cd\0", "l", 0)),
            "l               = \r\n\tl[0] = \"ab\"\r\n\tl[1] = \"cd\"\r\n");
  EXPECT_EQ(Utf8(r.GetParamString_LPSTR_00("\0", "l", 0)), "l               = \r\n");
  EXPECT_EQ(Utf8(r.GetParamString_LPSTR_00(nullptr, "l", 0)), "l               = \"(null)\"\r\n");
  EXPECT_EQ(Utf8(r.GetParamString_LPWSTR(L"w\u00e9", "w", 0)), "w               = L\"w\u00e9\"\r\n");
  EXPECT_EQ(Utf8(r.GetParamString_LPWSTR(nullptr, "w", 0)), "w               = (null)\r\n");
  EXPECT_EQ(Utf8(r.GetParamString_LPWSTR_00(L"ab\0c\0", "w", 0)),
            "w               = L\"ab\\0c\\0\\0\"\r\n");
  EXPECT_EQ(Utf8(r.GetParamString_CHAR_N("a\0b", 3, "c", 0)), "c               = 'a' '\\0' 'b' \r\n");
  EXPECT_EQ(Utf8(r.GetParamString_CHAR_N("a", 0, "c", 0)), "c               = \r\n");

  std::vector<unsigned char> data(4097, 0xAB);
  std::string digits;
  for (int i = 0; i < 4096; ++i) digits += "AB";
  EXPECT_EQ(Utf8(r.GetParamString_LPBYTE(data.data(), 4096, "d", 0)),
            "d               = '" + digits + "'\r\n");
  EXPECT_EQ(Utf8(r.GetParamString_LPBYTE(data.data(), 4097, "d", 0)), "d               = ***\r\n");
  EXPECT_EQ(Utf8(r.GetParamString_LPBYTE(nullptr, 3, "d", 0)), "d               = '{null}'\r\n");
}

TEST_F(Primitives, CommonStructures) {
  unsigned char description[] = {0x01, 0x02};
  WFSHWERROR error = {const_cast<char*>("IDC30"), nullptr, const_cast<char*>("ATM7"),
                      const_cast<char*>("App"), 4, 2, description};
  EXPECT_EQ(Utf8(r.GetParamString_LPWFSHWERROR(&error, "lpBuffer", 1)),
            "\tlpBuffer        = 0x" + Hex(&error) +
                "\r\n\t{\r\n"
                "\t\tlpszLogicalName = \"IDC30\"\r\n"
                "\t\tlpszPhysicalName = (null)\r\n"
                "\t\tlpszWorkstationName = \"ATM7\"\r\n"
                "\t\tlpszAppID       = \"App\"\r\n"
                "\t\tdwAction        = 0x4(4)\r\n"
                "\t\tdwSize          = 0x2(2)\r\n"
                "\t\tlpbDescription  = '0102'\r\n"
                "\t}\r\n");
  EXPECT_EQ(Utf8(r.GetParamString_LPWFSDEVSTATUS(nullptr, "s", 0)), "s               = 0x0\r\n");
  WFSVERSION version = {};
  version.wVersion = 3;
  std::strcpy(version.szDescription, "d");
  const std::string text = Utf8(r.GetParamString_LPWFSVERSION(&version, "v", 0));
  EXPECT_NE(text.find("\tszDescription   = 'd' '\\0' "), std::string::npos);
  EXPECT_EQ(text.size(), text.find("\tszSystemStatus  = ") + 19 + 256 * 5 + 2 + 3);
}

}  // namespace
