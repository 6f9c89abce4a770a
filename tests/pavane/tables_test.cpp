// The service table and the registration table.
#include <gtest/gtest.h>

#include "pavane_test_support.h"

using pavanetest::RecordingDevice;
using pavanetest::Registrations;

namespace {

class Tables : public ::testing::Test {
 protected:
  void TearDown() override { pavanetest::ClearTables(); }
};

TEST_F(Tables, AppendComparesTheLogicalNameIgnoringCase) {
  RecordingDevice device("CardReader");
  _stServiceItem item{9, &device};
  testsupport::TraceCapture trace;
  EXPECT_EQ(CWFPCommonFunc::AppendService(3, "PinPad", &device, item), 0);
  EXPECT_EQ(ostreltest::Field(item.pDevice), nullptr);
  EXPECT_EQ(ostreltest::Field(item.hService), 0);
  EXPECT_TRUE(trace.contains("AppendService failed! strLogicalName=[PinPad][CardReader]", 4));
  ASSERT_EQ(CWFPCommonFunc::AppendService(3, "cardreader", &device, item), 1);
  EXPECT_EQ(ostreltest::Field(item.hService), 3);
  EXPECT_EQ(ostreltest::Field(item.pDevice), &device);
}

TEST_F(Tables, FindUpdateAndDeleteUseTheFirstEntryOfAHandle) {
  RecordingDevice first("A"), second("A"), third("A");
  _stServiceItem item;
  CWFPCommonFunc::AppendService(3, "A", &first, item);
  CWFPCommonFunc::AppendService(3, "A", &second, item);
  ASSERT_EQ(CWFPCommonFunc::FindService(3, item), 1);
  EXPECT_EQ(ostreltest::Field(item.pDevice), &first);
  EXPECT_EQ(CWFPCommonFunc::FindService(4, item), 0);
  EXPECT_EQ(ostreltest::Field(item.pDevice), nullptr);

  EXPECT_EQ(CWFPCommonFunc::UpdateService(_stServiceItem{3, &third}), 1);
  EXPECT_EQ(CWFPCommonFunc::UpdateService(_stServiceItem{4, &third}), 0);
  CWFPCommonFunc::FindService(3, item);
  EXPECT_EQ(ostreltest::Field(item.pDevice), &third);

  ASSERT_EQ(CWFPCommonFunc::DeleteService(3, item), 1);
  EXPECT_EQ(ostreltest::Field(item.pDevice), &third);
  CWFPCommonFunc::FindService(3, item);
  EXPECT_EQ(ostreltest::Field(item.pDevice), &second);
}

TEST_F(Tables, RegisteringAgainWidensOneEntryAndDeregisteringNarrowsAndRemovesIt) {
  EXPECT_EQ(CWFPCommonFunc::SetServiceRegEvent(3, 0, SERVICE_EVENTS, 700), 1);
  EXPECT_EQ(CWFPCommonFunc::SetServiceRegEvent(3, 0, USER_EVENTS, 700), 1);
  auto entries = Registrations(3);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(ostreltest::Field(entries[0].dwEventClass), 3u);

  EXPECT_EQ(CWFPCommonFunc::SetServiceRegEvent(3, SERVICE_EVENTS, 0, 700), 1);
  EXPECT_EQ(ostreltest::Field(Registrations(3)[0].dwEventClass), 2u);
  EXPECT_EQ(CWFPCommonFunc::SetServiceRegEvent(3, 3, 0, 700), 1);
  EXPECT_TRUE(Registrations(3).empty());
  // Nothing to delete from, nothing to add.
  EXPECT_EQ(CWFPCommonFunc::SetServiceRegEvent(3, 3, 0, 700), 0);
  EXPECT_EQ(CWFPCommonFunc::SetServiceRegEvent(3, 0, 0, 700), 0);
  EXPECT_TRUE(Registrations(3).empty());
}

TEST_F(Tables, EachWindowOfAServiceHasItsOwnEntry) {
  CWFPCommonFunc::SetServiceRegEvent(3, 0, SERVICE_EVENTS, 700);
  CWFPCommonFunc::SetServiceRegEvent(3, 0, SYSTEM_EVENTS | EXECUTE_EVENTS, 701);
  CWFPCommonFunc::SetServiceRegEvent(4, 0, SERVICE_EVENTS, 700);
  ASSERT_EQ(Registrations(3).size(), 2u);

  _stRegHwndItem item{};
  ASSERT_EQ(CWFPCommonFunc::FindServiceRegEvent(3, SYSTEM_EVENTS, item), 1);
  EXPECT_EQ(ostreltest::Field(item.hWndReg), 701u);
  ASSERT_EQ(CWFPCommonFunc::FindServiceRegEvent(3, SERVICE_EVENTS, item), 1);
  EXPECT_EQ(ostreltest::Field(item.hWndReg), 700u);
  EXPECT_EQ(CWFPCommonFunc::FindServiceRegEvent(3, SERVICE_EVENTS | USER_EVENTS, item), 0);
}

TEST_F(Tables, DeleteServiceDropsEveryRegistrationOfTheHandle) {
  RecordingDevice device("A");
  _stServiceItem item;
  CWFPCommonFunc::AppendService(3, "A", &device, item);
  CWFPCommonFunc::SetServiceRegEvent(3, 0, 1, 700);
  CWFPCommonFunc::SetServiceRegEvent(3, 0, 4, 701);
  CWFPCommonFunc::SetServiceRegEvent(5, 0, 4, 701);
  EXPECT_EQ(CWFPCommonFunc::DeleteService(3, item), 1);
  EXPECT_TRUE(Registrations(3).empty());
  EXPECT_EQ(Registrations(5).size(), 1u);

  // Registrations go even when the handle has no service entry.
  CWFPCommonFunc::SetServiceRegEvent(3, 0, 1, 700);
  EXPECT_EQ(CWFPCommonFunc::DeleteService(3, item), 0);
  EXPECT_TRUE(Registrations(3).empty());
}

TEST(FunctionTrace, NamesWithAndWithoutClassAndTooLongNames) {
  testsupport::TraceCapture trace;
  CWFPCommonFunc::FunctionTraceBegin("Plain");
  CWFPCommonFunc::FunctionTraceEnd("Member", "CDevice");
  CWFPCommonFunc::FunctionTraceBegin(nullptr, "CDevice");
  CWFPCommonFunc::FunctionTraceBegin(std::string(511, 'x').c_str());
  CWFPCommonFunc::FunctionTraceEnd(std::string(512, 'y').c_str());
  EXPECT_EQ(trace.countExact("[Plain] =====>", 2), 1);
  EXPECT_EQ(trace.countExact("[CDevice::Member] <=====", 2), 1);
  EXPECT_TRUE(trace.contains(std::string(511, 'x')));
  EXPECT_FALSE(trace.contains(std::string(512, 'y')));
  EXPECT_EQ(trace.lines().size(), 3u);
}

TEST(ProcessLookup, TextMatchers) {
  EXPECT_EQ(CWFPCommonFunc::strcmp_Wrapper("CardSvc", "cardsvc", 0), 1);
  EXPECT_EQ(CWFPCommonFunc::strcmp_Wrapper("CardSvc", "cardsvc", 1), 0);
  EXPECT_EQ(CWFPCommonFunc::strcmp_Wrapper("CardSvc", "CardSvc", 1), 1);
  const char text[] = "runCARDSVCd";
  EXPECT_EQ(CWFPCommonFunc::strstr_Wrapper(text, "cardsvc", 0), text + 3);
  EXPECT_EQ(CWFPCommonFunc::strstr_Wrapper(text, "cardsvc", 1), nullptr);
  EXPECT_EQ(CWFPCommonFunc::strstr_Wrapper(text, "", 0), text);
  EXPECT_EQ(CWFPCommonFunc::strstr_Wrapper("", "a", 0), nullptr);
  EXPECT_EQ(CWFPCommonFunc::IsNumeric("1234"), 1);
  EXPECT_EQ(CWFPCommonFunc::IsNumeric(""), 1);
  EXPECT_EQ(CWFPCommonFunc::IsNumeric("12a"), 0);
}

TEST(ProcessLookup, FindsThisProcessByPartOfItsProgramName) {
  // This test program is pavane_tests; any letter case of a part matches.
  EXPECT_NE(CWFPCommonFunc::GetPIDbyName_implements("PAVANE_TESTS", 0, 0), -1);
  EXPECT_NE(CWFPCommonFunc::GetPIDbyName_implements("pavane_tests", 1, 1), -1);
  EXPECT_EQ(CWFPCommonFunc::GetPIDbyName_Wrapper("no-such-program-zq9"), -1);
  EXPECT_EQ(CWFPCommonFunc::GetPIDbyName_implements("avane_test", 1, 1), -1);
}

}  // namespace
