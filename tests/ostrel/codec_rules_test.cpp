// The shared codec rules, exactly: base64, the request-side helpers, the
// reply-side decoder and the dispatch by code.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "BASE64_API.h"
#include "codec_dispatch.h"
#include "codec_reply.h"
#include "codec_request.h"
#include "corvid.h"
#include "ostrel_test_support.h"
#include "test_support.h"

namespace {

using ostreltest::Field;
std::string Encode(const std::string& bytes) {
  return base64_encode(reinterpret_cast<const unsigned char*>(bytes.data()),
                       static_cast<unsigned int>(bytes.size()));
}

std::string DecodeText(const std::string& text) {
  std::vector<unsigned char> bytes = base64_decode(text);
  return std::string(bytes.begin(), bytes.end());
}

TEST(Base64, StandardVectors) {
  EXPECT_EQ(base64_chars, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/");
  const std::pair<const char*, const char*> vectors[] = {
      {"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},        {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"}, {"abc", "YWJj"}};
  for (const auto& vector : vectors) {
    EXPECT_EQ(Encode(vector.first), vector.second);
    EXPECT_EQ(DecodeText(vector.second), vector.first);
  }
  EXPECT_EQ(DecodeText("YWI="), "ab");
  EXPECT_EQ(base64_encode(nullptr, 4), "");
}

TEST(Base64, DecodingStopsAtTheFirstCharacterOutsideTheAlphabet) {
  EXPECT_EQ(DecodeText("YWJj YWJj"), "abc");
  EXPECT_EQ(DecodeText("YWJjYQ==YWJj"), "abca");
  EXPECT_EQ(DecodeText("YW\nJj"), "a");  // a final group of two characters gives one byte
  EXPECT_EQ(DecodeText("YWJjY"), "abc");  // a final single character gives nothing
  EXPECT_EQ(DecodeText("-_"), "");
}

TEST(Base64, EveryByteValueRoundTrips) {
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
  for (size_t length = 0; length <= bytes.size(); length += 37) {
    std::string part = bytes.substr(0, length);
    EXPECT_EQ(DecodeText(Encode(part)), part) << length;
  }
  EXPECT_EQ(DecodeText(Encode(bytes)), bytes);
}

TEST(RequestRules, IntegersAreSigned32BitWithNarrowFieldsZeroExtended) {
  EXPECT_EQ(ostreltest::Write(codec::Int(WORD{65535})), "65535\n");
  EXPECT_EQ(ostreltest::Write(codec::Int(SHORT{-1})), "65535\n");
  EXPECT_EQ(ostreltest::Write(codec::Int(DWORD{2147483648u})), "-2147483648\n");
  EXPECT_EQ(ostreltest::Write(codec::Int(LONG{-7})), "-7\n");
  EXPECT_EQ(ostreltest::Write(codec::Int(BYTE{200})), "200\n");
  EXPECT_EQ(ostreltest::Write(codec::Unsigned(DWORD{4294967295u})), "4294967295\n");
  EXPECT_EQ(ostreltest::Write(codec::Unsigned(65536)), "65536\n");
}

TEST(RequestRules, StringsAndBinaryMembers) {
  EXPECT_TRUE(codec::OptionalString(nullptr).isNull());
  EXPECT_EQ(codec::OptionalString("").asString(), "");
  Json::Value object(Json::objectValue);
  EXPECT_FALSE(codec::SetRequiredString(object, "lpstrFormName", nullptr));
  EXPECT_FALSE(object.isMember("lpstrFormName"));
  EXPECT_TRUE(codec::SetRequiredString(object, "lpstrFormName", "FORM1"));
  EXPECT_EQ(object["lpstrFormName"].asString(), "FORM1");

  const BYTE data[] = {'a', 'b', 'c'};
  Json::Value binary(Json::objectValue);
  EXPECT_TRUE(codec::SetBinary(binary, "lpbData", data, 3));
  EXPECT_EQ(binary["lpbData"].asString(), "YWJj");
  Json::Value empty(Json::objectValue);
  EXPECT_TRUE(codec::SetBinary(empty, "lpbData", data, 0));
  EXPECT_TRUE(codec::SetBinary(empty, "lpbKey", nullptr, 0));
  EXPECT_EQ(empty.size(), 0u) << "a binary member of length 0 is absent";
  EXPECT_FALSE(codec::SetBinary(empty, "lpbData", nullptr, 2));
  EXPECT_EQ(empty.size(), 0u);
  EXPECT_TRUE(codec::SetBinary(empty, "lpbData", nullptr, 0, codec::BinaryMember::kAlways));
  EXPECT_EQ(empty["lpbData"].asString(), "");
}

struct Element {
  WORD wDataSource;
  ULONG ulDataLength;
  LPBYTE lpbData;
};

Json::Value FormatElement(const Element* element) {
  Json::Value object(Json::objectValue);
  object["wDataSource"] = codec::Int(element->wDataSource);
  object["ulDataLength"] = codec::Int(element->ulDataLength);
  codec::SetBinary(object, "lpbData", element->lpbData, element->ulDataLength);
  return object;
}

TEST(RequestRules, PointerArraysKeepOnlyEachElementsOwnMembers) {
  BYTE bytes[] = {1, 2, 3};
  Element first = {1, 3, bytes};
  Element second = {2, 0, nullptr};
  Element* list[] = {&first, &second, nullptr};
  Json::Value array = codec::ArrayOf(list, FormatElement);
  ASSERT_EQ(array.size(), 2u);
  EXPECT_EQ(array[0]["lpbData"].asString(), "AQID");
  EXPECT_FALSE(array[1].isMember("lpbData"));
  EXPECT_EQ(array[1]["wDataSource"].asInt(), 2);
  EXPECT_EQ(codec::ArrayOf(static_cast<Element**>(nullptr), FormatElement).size(), 0u);

  // A counted array takes exactly count entries, whatever follows.
  Element* counted[] = {&first, &second, &first};
  EXPECT_EQ(codec::ArrayOf(counted, 2, FormatElement).size(), 2u);
}

// A decoder run over a fresh result, released at the end.
class ReplyRules : public ::testing::Test {
 protected:
  void SetUp() override {
    m_before = CorvidLiveBlocks();
    m_owner = ostreltest::NewResult();
    m_result = m_owner.get();
    ASSERT_NE(m_result, nullptr);
  }
  void TearDown() override {
    CorvidFailAllocations(-1);
    m_owner.reset();
    EXPECT_EQ(CorvidLiveBlocks(), m_before);
  }
  Json::Value Json(const std::string& text) { return ostreltest::Parse(text); }

  testsupport::TraceCapture m_trace;
  ostreltest::Result m_owner;
  LPWFSRESULT m_result = nullptr;
  long m_before = 0;
};

TEST_F(ReplyRules, NoInputIsNullOrTheIntegerZero) {
  Json::Value zero(0);
  Json::Value unsignedZero(0u);
  Json::Value realZero(0.0);
  Json::Value object(Json::objectValue);
  {
    codec::Decoder decoder("JsonUnformat_XXX::UnformatStatus", m_result);
    EXPECT_FALSE(decoder.HasInput(nullptr));
    EXPECT_EQ(decoder.Result(), 0);
  }
  for (const Json::Value* input : {&zero, &unsignedZero}) {
    codec::Decoder decoder("JsonUnformat_XXX::UnformatStatus", m_result);
    EXPECT_FALSE(decoder.InputObject(input));
  }
  EXPECT_EQ(m_trace.countExact("JsonUnformat_XXX::UnformatStatus input Data is NULL", 4), 3);
  {
    codec::Decoder decoder("JsonUnformat_XXX::UnformatStatus", m_result);
    EXPECT_TRUE(decoder.InputObject(&object));
    EXPECT_EQ(decoder.Result(), 1);
  }
  {
    codec::Decoder decoder("JsonUnformat_XXX::UnformatStatus", m_result);
    EXPECT_FALSE(decoder.InputObject(&realZero)) << "0.0 is a value, of the wrong type";
    EXPECT_EQ(m_trace.countExact(
                  "JsonUnformat_XXX::UnformatStatus member \"lpBuffer\" has a wrong JSON type", 4),
              1);
  }
}

TEST_F(ReplyRules, ScalarsReadLikeTheirXfsFields) {
  Json::Value input = Json(
      R"({"a":-1,"b":4294967295,"c":70000,"d":2.9,"e":true,"f":null,"g":5,"h":0.0})");
  codec::Decoder decoder("D", m_result);
  codec::Object in = decoder.InputObject(&input);
  EXPECT_EQ(static_cast<DWORD>(in.Int("a")), 0xFFFFFFFFu);
  EXPECT_EQ(static_cast<DWORD>(in.Int("b")), 0xFFFFFFFFu);
  EXPECT_EQ(static_cast<WORD>(in.Int("c")), 70000 & 0xFFFF);
  EXPECT_EQ(in.Int("d"), 2);
  EXPECT_EQ(in.Int("e"), 1);
  EXPECT_EQ(in.Int("f"), 0);
  EXPECT_EQ(in.Int("missing"), 0);
  EXPECT_EQ(in.Bool("g"), TRUE);
  EXPECT_EQ(in.Bool("h"), FALSE);
  EXPECT_EQ(in.Bool("e"), TRUE);
  EXPECT_EQ(in.Bool("missing"), FALSE);
  EXPECT_EQ(decoder.Result(), 1);
}

TEST_F(ReplyRules, AWrongTypeFailsOnceAndStopsTheRun) {
  Json::Value input = Json(R"({"n":"5","s":"text","big":4294967296})");
  codec::Decoder decoder("D", m_result);
  codec::Object in = decoder.InputObject(&input);
  EXPECT_EQ(in.Int("n"), 0);
  EXPECT_EQ(decoder.Result(), 0);
  EXPECT_EQ(in.String("s", 1), nullptr) << "nothing more is done after a failure";
  EXPECT_EQ(m_trace.countExact("D member \"n\" has a wrong JSON type", 4), 1);
  EXPECT_EQ(m_trace.count("", 4), 1);

  codec::Decoder range("R", m_result);
  codec::Object again = range.InputObject(&input);
  EXPECT_EQ(again.Int("big"), 0);
  EXPECT_EQ(m_trace.countExact("R member \"big\" has a wrong JSON type", 4), 1);
}

TEST_F(ReplyRules, StringsAndTheExtraList) {
  Json::Value input = Json(R"({"name":"IDC30","none":null,"extra":["a=1","b=2"],"empty":[],)"
                           R"("bad":["a",3],"notList":"a=1"})");
  codec::Decoder decoder("D", m_result);
  codec::Object in = decoder.InputObject(&input);
  LPSTR name = in.String("name", 1);
  ASSERT_NE(name, nullptr);
  EXPECT_STREQ(name, "IDC30");
  EXPECT_EQ(in.String("none", 1), nullptr);
  EXPECT_EQ(in.String("missing", 1), nullptr);
  LPSTR extra = in.Extra("extra", 2);
  ASSERT_NE(extra, nullptr);
  EXPECT_EQ(std::string(extra, 9), std::string("a=1\0b=2\0\0", 9));
  EXPECT_EQ(in.Extra("empty", 2), nullptr);
  EXPECT_EQ(in.Extra("missing", 2), nullptr);
  EXPECT_EQ(decoder.Result(), 1);
  EXPECT_EQ(in.Extra("bad", 2), nullptr);
  EXPECT_EQ(m_trace.countExact("D member \"bad\" has a wrong JSON type", 4), 1);

  codec::Decoder other("E", m_result);
  EXPECT_EQ(other.InputObject(&input).Extra("notList", 1), nullptr);
  EXPECT_EQ(m_trace.countExact("E member \"notList\" has a wrong JSON type", 4), 1);
}

TEST_F(ReplyRules, BinaryMembersOfBothKinds) {
  Json::Value input = Json(R"({"six":"YWJjZGVm","three":"YWJj","none":null,"number":7})");
  codec::Decoder decoder("D", m_result);
  codec::Object in = decoder.InputObject(&input);
  bool matched = false;
  LPBYTE exact = in.BinaryBlockFirst("six", 6, 1, &matched);
  ASSERT_NE(exact, nullptr);
  EXPECT_TRUE(matched);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(exact), 6), "abcdef");
  LPBYTE mismatch = in.BinaryBlockFirst("three", 8, 1, &matched);
  ASSERT_NE(mismatch, nullptr) << "the block comes first";
  EXPECT_FALSE(matched);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(mismatch), 8), std::string(8, '\0'));
  EXPECT_EQ(in.BinaryBlockFirst("none", 8, 1, &matched), nullptr);

  LPBYTE match = in.BinaryMatchFirst("three", 3, 2);
  ASSERT_NE(match, nullptr);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(match), 3), "abc");
  EXPECT_EQ(in.BinaryMatchFirst("three", 4, 2), nullptr) << "no block without a match";
  EXPECT_EQ(in.BinaryMatchFirst("six", 0, 2), nullptr);
  EXPECT_EQ(in.BinaryMatchFirst("missing", 3, 2), nullptr);
  EXPECT_EQ(in.Byte("three"), 'a');
  EXPECT_EQ(in.Byte("missing"), 0);
  EXPECT_EQ(decoder.Result(), 1);
  EXPECT_EQ(in.BinaryMatchFirst("number", 3, 2), nullptr);
  EXPECT_EQ(decoder.Result(), 0);
}

struct Entry {
  WORD wStatus;
  LPSTR lpszName;
};

TEST_F(ReplyRules, PointerArraysWordListsAndFixedArrays) {
  Json::Value input = Json(R"({"list":[{"wStatus":1,"lpszName":"x"},null,{"wStatus":3}],)"
                           R"("words":[5,6,7],"noWords":[],"lights":[1,null,3],)"
                           R"("many":[1,2,3,4,5],"text":"abcdefgh"})");
  codec::Decoder decoder("D", m_result);
  codec::Object in = decoder.InputObject(&input);
  Entry** list = in.PointerArray<Entry>("list", 1, 2, [](codec::Object item, Entry* entry) {
    entry->wStatus = static_cast<WORD>(item.Int("wStatus"));
    entry->lpszName = item.String("lpszName", 3);
  });
  ASSERT_NE(list, nullptr);
  ASSERT_NE(list[0], nullptr);
  EXPECT_EQ(Field(list[0]->wStatus), 1);
  EXPECT_STREQ(list[0]->lpszName, "x");
  ASSERT_NE(list[1], nullptr);
  EXPECT_EQ(Field(list[1]->wStatus), 0) << "a null element is a block of zeros";
  ASSERT_NE(list[2], nullptr);
  EXPECT_EQ(Field(list[2]->wStatus), 3);
  EXPECT_EQ(Field(list[2]->lpszName), nullptr);
  EXPECT_EQ(list[3], nullptr);

  LPWORD words = in.WordList("words", 4);
  ASSERT_NE(words, nullptr);
  EXPECT_EQ(words[0], 5);
  EXPECT_EQ(words[2], 7);
  EXPECT_EQ(words[3], 0);
  EXPECT_EQ(in.WordList("noWords", 4), nullptr);
  EXPECT_EQ(in.WordList("missing", 4), nullptr);

#pragma pack(push, 1)
  struct Packed {
    WORD before;
    DWORD lights[4];
    CHAR text[5];
  } packed = {};
#pragma pack(pop)
  in.Fixed("lights", &packed.lights);
  EXPECT_EQ(Field(packed.lights[0]), 1u);
  EXPECT_EQ(Field(packed.lights[1]), 0u);
  EXPECT_EQ(Field(packed.lights[2]), 3u);
  EXPECT_EQ(Field(packed.lights[3]), 0u);
  in.Fixed("many", &packed.lights);
  EXPECT_EQ(Field(packed.lights[3]), 4u) << "entries beyond the field are not kept";
  in.FixedText("text", &packed.text);
  EXPECT_STREQ(packed.text, "abcd");
  EXPECT_EQ(decoder.Result(), 1);
}

TEST_F(ReplyRules, PointerArraysAllowForAnEmptyArray) {
  Json::Value input = Json(R"({"list":[],"bad":[1]})");
  codec::Decoder decoder("D", m_result);
  codec::Object in = decoder.InputObject(&input);
  auto fill = [](codec::Object, Entry*) {};
  Entry** list = in.PointerArray<Entry>("list", 1, 2, fill);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list[0], nullptr);
  EXPECT_EQ(in.PointerArray<Entry>("missing", 1, 2, fill), nullptr);
  EXPECT_EQ(decoder.Result(), 1);
  Entry** bad = in.PointerArray<Entry>("bad", 1, 2, fill);
  ASSERT_NE(bad, nullptr) << "partly built";
  EXPECT_EQ(bad[0], nullptr);
  EXPECT_EQ(m_trace.countExact("D member \"bad\" has a wrong JSON type", 4), 1);
}

TEST_F(ReplyRules, AllocationPointsNameTheirLines) {
  codec::Decoder decoder("JsonUnformat_XXX::UnformatStatus", m_result);
  CorvidFailAllocations(0);
  EXPECT_EQ(decoder.Output<WFSHWERROR>(), nullptr);
  EXPECT_EQ(Field(m_result->lpBuffer), nullptr);
  EXPECT_EQ(decoder.Result(), 0);
  EXPECT_EQ(m_trace.countExact("JsonUnformat_XXX::UnformatStatus allocate buffer failed!", 4), 1);

  const codec::AllocPoint points[] = {0, 3, codec::AllocPoint::Text(" allocate buffer failed 1 !")};
  const char* const lines[] = {"D allocate buffer failed 0!", "D allocate buffer failed 3!",
                               "D allocate buffer failed 1 !"};
  for (size_t i = 0; i < 3; ++i) {
    codec::Decoder other("D", m_result);
    EXPECT_EQ(other.Allocate(4, points[i]), nullptr);
    EXPECT_EQ(m_trace.countExact(lines[i], 4), 1) << lines[i];
  }
  CorvidFailAllocations(-1);
  codec::Decoder fine("D", m_result);
  WFSHWERROR* error = fine.Output<WFSHWERROR>();
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(Field(m_result->lpBuffer), error);
}

Json::Value FormatOne(unsigned char*) { return Json::Value(1); }
Json::Value FormatThrows(unsigned char*) { throw std::runtime_error("bad input"); }
int UnformatTwo(LPWFSRESULT, Json::Value*) { return 0; }
int UnformatThrows(LPWFSRESULT, Json::Value*) { throw std::runtime_error("bad reply"); }

TEST(Dispatch, RequestFormattersByCode) {
  testsupport::TraceCapture trace;
  const codec::FormatEntry table[] = {{1, &FormatOne, nullptr},
                                      {2, nullptr, nullptr},
                                      {3, &FormatOne, "X::ExeFormat cmd = THREE"},
                                      {4, &FormatThrows, nullptr}};
  const guard::Site site = GUARD_SITE("codec_rules_test", "Ostrel", "X::ExeForma catch an Exception");
  unsigned char data = 0;
  auto dispatch = [&](unsigned int code, unsigned char* input) {
    return codec::FormatByCode(site, "X::ExeFormat invalid EXE CMD", table, code, input);
  };
  EXPECT_EQ(dispatch(1, &data).asInt(), 1);
  EXPECT_TRUE(dispatch(1, nullptr).isNull());
  EXPECT_TRUE(dispatch(2, &data).isNull());
  EXPECT_EQ(dispatch(3, &data).asInt(), 1);
  EXPECT_TRUE(dispatch(9, &data).isNull());
  EXPECT_TRUE(dispatch(4, &data).isNull());
  EXPECT_EQ(trace.countExact("X::ExeFormat cmd = THREE", 1), 1);
  EXPECT_EQ(trace.countExact("X::ExeFormat invalid EXE CMD", 4), 1);
  EXPECT_EQ(trace.count("X::ExeForma catch an Exception", 4), 2) << "the line and its detail";
}

TEST(Dispatch, ReplyDecodersByCode) {
  testsupport::TraceCapture trace;
  const codec::UnformatEntry table[] = {{1, &UnformatTwo}, {2, nullptr}, {3, &UnformatThrows}};
  const guard::Site site =
      GUARD_SITE("codec_rules_test", "Ostrel", "X::UnformatInfo catch an exception!");
  WFSRESULT result = {};
  int marker = 0;
  result.lpBuffer = &marker;
  auto dispatch = [&](DWORD code) {
    result.u.dwCommandCode = code;
    return codec::UnformatByCode(site, "X::UnformatInfo invalid INFO CMD", table, &result, nullptr);
  };
  EXPECT_EQ(dispatch(1), 0) << "the decoder's own result";
  EXPECT_EQ(dispatch(2), 1);
  EXPECT_EQ(Field(result.lpBuffer), nullptr);
  EXPECT_EQ(dispatch(7), 1);
  EXPECT_EQ(dispatch(3), 0);
  EXPECT_EQ(trace.countExact("X::UnformatInfo invalid INFO CMD", 4), 1);
  EXPECT_EQ(trace.count("X::UnformatInfo catch an exception!", 4), 2);
}

}  // namespace
