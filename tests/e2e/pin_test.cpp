// The PIN pad end to end through the SPI: a PIN entry whose key events reach
// the application before its completion, the PIN block that follows from
// it, and the pad's status and capabilities.
#include <cstring>

#include "e2e_harness.h"
#include "xfspin.h"
#include "xfsspi.h"

namespace e2e {
namespace {

// A copy of a field of a packed record: the checks bind references to their
// arguments, and a reference to a misaligned field is not allowed.
template <typename T>
T Field(T value) {
  return value;
}

// A copy of the structure at a result's lpBuffer (packed records, read by copy).
template <typename T>
T BufferOf(const TakenMessage& taken) {
  T value;
  std::memset(&value, 0, sizeof value);
  LPVOID buffer = HeaderOf(taken).lpBuffer;
  if (buffer != nullptr) std::memcpy(&value, buffer, sizeof value);
  return value;
}

class PinPadTest : public PipelineTest {
 protected:
  void SetUp() override {
    PipelineTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(Open(1, kPinPad));
  }
  void TearDown() override {
    if (!m_opened.empty()) Close(1);
    PipelineTest::TearDown();
  }

  // The completion of `command` with `input`, taken after the messages
  // before it (kept in `before`).
  std::optional<TakenMessage> Execute(DWORD command, LPVOID input,
                                      std::vector<TakenMessage>* before = nullptr) {
    REQUESTID id = NextId();
    EXPECT_EQ(WFPExecute(1, command, input, 30000, App().Handle(), id), WFS_SUCCESS);
    while (std::optional<TakenMessage> taken = Next(App())) {
      if (taken->message == WFS_EXECUTE_COMPLETE) return taken;
      if (before != nullptr) before->push_back(std::move(*taken));
    }
    return std::nullopt;
  }
};

TEST_F(PinPadTest, GetPinKeysReachTheApplicationBeforeItsCompletionAndThePinBlockFollows) {
  REQUESTID reg = NextId();
  ASSERT_EQ(WFPRegister(1, EXECUTE_EVENTS, App().Handle(), App().Handle(), reg), WFS_SUCCESS);
  ASSERT_TRUE(Await(WFS_REGISTER_COMPLETE, reg));

  const ULONG ends = WFS_PIN_FK_ENTER | WFS_PIN_FK_CANCEL;
  WFSPINGETPIN getPin = {4, 6, FALSE, '*', 0, 0x3FF | ends, 0, ends};
  std::vector<TakenMessage> keys;
  std::optional<TakenMessage> done = Execute(WFS_CMD_PIN_GET_PIN, &getPin, &keys);
  ASSERT_TRUE(done);
  ASSERT_EQ(keys.size(), 5u) << "four digits and ENTER";
  // Each key travels on a connection of its own, so their order is the
  // pad's pace, not a promise; that they come before the completion is.
  int digits = 0;
  int enters = 0;
  for (const TakenMessage& taken : keys) {
    EXPECT_EQ(taken.message, static_cast<UINT>(WFS_EXECUTE_EVENT));
    EXPECT_EQ(HeaderOf(taken).dwEventID, static_cast<DWORD>(WFS_EXEE_PIN_KEY));
    EXPECT_EQ(HeaderOf(taken).RequestID, HeaderOf(*done).RequestID);
    WFSPINKEY key = BufferOf<WFSPINKEY>(taken);
    // No digit of a PIN leaves the pad.
    if (key.ulDigit == 0 && key.wCompletion == WFS_PIN_COMPCONTINUE) ++digits;
    if (key.ulDigit == WFS_PIN_FK_ENTER && key.wCompletion == WFS_PIN_COMPENTER) ++enters;
  }
  EXPECT_EQ(digits, 4);
  EXPECT_EQ(enters, 1);
  EXPECT_EQ(HeaderOf(*done).hResult, WFS_SUCCESS);
  WFSPINENTRY entry = BufferOf<WFSPINENTRY>(*done);
  EXPECT_EQ(Field(entry.usDigits), 4);
  EXPECT_EQ(Field(entry.wCompletion), WFS_PIN_COMPENTER);

  char customerData[] = "4761739001010119";
  char key[] = "PINKEY";
  WFSPINBLOCK block = {customerData, nullptr, 0x0F, WFS_PIN_FORMISO0, key, nullptr};
  std::optional<TakenMessage> blockDone = Execute(WFS_CMD_PIN_GET_PINBLOCK, &block);
  ASSERT_TRUE(blockDone);
  EXPECT_EQ(HeaderOf(*blockDone).hResult, WFS_SUCCESS);
  WFSXDATA pinBlock = BufferOf<WFSXDATA>(*blockDone);
  EXPECT_EQ(Field(pinBlock.usLength), 8);
  EXPECT_NE(Field(pinBlock.lpbData), nullptr);
  Json::Value sent = RequestsOfKind(4).back()["lpDataBuffer"];
  EXPECT_EQ(sent["lpsCustomerData"].asString(), customerData);
  EXPECT_EQ(sent["bPadding"].asString(), "Dw==");
}

TEST_F(PinPadTest, StatusAndCapabilities) {
  REQUESTID id = NextId();
  ASSERT_EQ(WFPGetInfo(1, WFS_INF_PIN_STATUS, nullptr, 30000, App().Handle(), id), WFS_SUCCESS);
  std::optional<TakenMessage> status = Await(WFS_GETINFO_COMPLETE, id);
  ASSERT_TRUE(status);
  WFSPINSTATUS pad = BufferOf<WFSPINSTATUS>(*status);
  EXPECT_EQ(Field(pad.fwDevice), WFS_PIN_DEVONLINE);
  EXPECT_EQ(Field(pad.fwEncStat), WFS_PIN_ENCREADY);
  ASSERT_NE(Field(pad.lpszExtra), nullptr);
  EXPECT_STREQ(Field(pad.lpszExtra), "Simulator=devsim");

  id = NextId();
  ASSERT_EQ(WFPGetInfo(1, WFS_INF_PIN_CAPABILITIES, nullptr, 30000, App().Handle(), id),
            WFS_SUCCESS);
  std::optional<TakenMessage> caps = Await(WFS_GETINFO_COMPLETE, id);
  ASSERT_TRUE(caps);
  WFSPINCAPS c = BufferOf<WFSPINCAPS>(*caps);
  EXPECT_EQ(Field(c.wClass), WFS_SERVICE_CLASS_PIN);
  EXPECT_EQ(Field(c.fwType), WFS_PIN_TYPEEPP);
  EXPECT_NE(Field(c.fwPinFormats) & WFS_PIN_FORMISO0, 0);
  ASSERT_NE(Field(c.lpwEMVImportSchemes), nullptr);
  WORD schemes[3];
  std::memcpy(schemes, c.lpwEMVImportSchemes, sizeof schemes);
  EXPECT_EQ(schemes[0], WFS_PIN_EMV_IMPORT_PLAIN_CA);
  EXPECT_EQ(schemes[2], 0) << "the list ends in 0";
}

}  // namespace
}  // namespace e2e
