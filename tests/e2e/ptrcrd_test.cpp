// The printer and the card dispenser through the SPI against the simulator:
// a receipt printed, presented and taken; cards dispensed from a unit whose
// count goes down to its threshold and then to nothing.
#include <cstring>
#include <string>

#include "devsim/simulator.h"
#include "e2e_harness.h"
#include "xfscrd.h"
#include "xfsptr.h"
#include "xfsspi.h"

namespace e2e {
namespace {

class PrinterAndDispenser : public PipelineTest {
 protected:
  void OpenRegistered(HSERVICE hService, const std::string& name) {
    ASSERT_NO_FATAL_FAILURE(Open(hService, name));
    REQUESTID id = NextId();
    ASSERT_EQ(WFPRegister(hService, SERVICE_EVENTS | USER_EVENTS | SYSTEM_EVENTS | EXECUTE_EVENTS,
                          App().Handle(), App().Handle(), id),
              WFS_SUCCESS);
    ASSERT_TRUE(Await(WFS_REGISTER_COMPLETE, id));
  }

  // The completion of an execute (or a get-info) of hService.
  TakenMessage Execute(HSERVICE hService, DWORD command, void* data) {
    REQUESTID id = NextId();
    EXPECT_EQ(WFPExecute(hService, command, data, 10000, App().Handle(), id), WFS_SUCCESS);
    std::optional<TakenMessage> done = Await(WFS_EXECUTE_COMPLETE, id);
    EXPECT_TRUE(done) << "no completion of " << command;
    return done ? std::move(*done) : TakenMessage();
  }
  TakenMessage GetInfo(HSERVICE hService, DWORD category) {
    REQUESTID id = NextId();
    EXPECT_EQ(WFPGetInfo(hService, category, nullptr, 10000, App().Handle(), id), WFS_SUCCESS);
    std::optional<TakenMessage> done = Await(WFS_GETINFO_COMPLETE, id);
    EXPECT_TRUE(done) << "no completion of get-info " << category;
    return done ? std::move(*done) : TakenMessage();
  }

  // The event `id` posted as `message`, whether it came while a completion
  // was awaited or comes now.
  std::optional<TakenMessage> Event(UINT message, DWORD id) {
    auto matches = [&](const TakenMessage& taken) {
      return taken.message == message && HeaderOf(taken).dwEventID == id;
    };
    for (auto it = Others().begin(); it != Others().end(); ++it) {
      if (!matches(*it)) continue;
      TakenMessage found = std::move(*it);
      Others().erase(it);
      return found;
    }
    while (std::optional<TakenMessage> next = Next(App())) {
      if (matches(*next)) return next;
      Others().push_back(std::move(*next));
    }
    return std::nullopt;
  }

  // The unit `number` of a card-unit information.
  static const WFSCRDCARDUNIT* Unit(const TakenMessage& info, USHORT number) {
    const WFSCRDCUINFO* units = static_cast<const WFSCRDCUINFO*>(HeaderOf(info).lpBuffer);
    if (units == nullptr) return nullptr;
    LPWFSCRDCARDUNIT* list = units->lppList;
    for (USHORT i = 0; list != nullptr && i < units->usCount; ++i) {
      if (list[i] != nullptr && list[i]->usNumber == number) return list[i];
    }
    return nullptr;
  }
};

TEST_F(PrinterAndDispenser, ReceiptIsPrintedPresentedAndTaken) {
  ASSERT_NO_FATAL_FAILURE(OpenRegistered(1, kPrinter));
  std::string text = "THANK YOU\n";
  WFSPTRRAWDATA raw{WFS_PTR_NOINPUTDATA, static_cast<ULONG>(text.size()),
                    reinterpret_cast<LPBYTE>(&text[0])};
  TakenMessage printed = Execute(1, WFS_CMD_PTR_RAW_DATA, &raw);
  ASSERT_EQ(HeaderOf(printed).hResult, WFS_SUCCESS);
  const WFSPTRRAWDATAIN* in = static_cast<const WFSPTRRAWDATAIN*>(HeaderOf(printed).lpBuffer);
  ASSERT_NE(in, nullptr);
  ULONG size = in->ulSize;
  EXPECT_EQ(size, text.size()) << "the size printed";

  // The receipt is presented: the event is decoded, and the printer's class
  // does not pass it on; the status shows it.
  EXPECT_TRUE(testsupport::WaitUntil(
      [&] { return Trace().contains("CKvSPPTRDevice::OnServiceEvent not support event [117]"); },
      kWaitMs));
  TakenMessage status = GetInfo(1, WFS_INF_PTR_STATUS);
  ASSERT_NE(HeaderOf(status).lpBuffer, nullptr);
  WORD media = static_cast<const WFSPTRSTATUS*>(HeaderOf(status).lpBuffer)->fwMedia;
  EXPECT_EQ(media, WFS_PTR_MEDIAPRESENT);

  devsim::ControlConsole console(Sim());
  EXPECT_EQ(console.Execute(std::string("take @") + kPrinter),
            std::string("sent event 106 from ") + kPrinter);
  ASSERT_TRUE(Event(WFS_SERVICE_EVENT, WFS_SRVE_PTR_MEDIATAKEN)) << "the receipt was taken";
  status = GetInfo(1, WFS_INF_PTR_STATUS);
  ASSERT_NE(HeaderOf(status).lpBuffer, nullptr);
  media = static_cast<const WFSPTRSTATUS*>(HeaderOf(status).lpBuffer)->fwMedia;
  EXPECT_EQ(media, WFS_PTR_MEDIANOTPRESENT);
  // The bridge logs the receipt's sizes only.
  EXPECT_EQ(Trace().count("BufferFormat_PTR::FormatRawData"), 2);
  EXPECT_EQ(Trace().count("THANK"), 0);
}

TEST_F(PrinterAndDispenser, DispensingCountsAUnitDownToItsThresholdAndThenFails) {
  ASSERT_NO_FATAL_FAILURE(OpenRegistered(2, kDispenser));
  char name[] = "GIFT";
  WFSCRDCARDUNIT gift{2, name, WFS_CRD_SUPPLYBIN, 2, 2, 0, 1, WFS_CRD_STATCUOK, TRUE};
  LPWFSCRDCARDUNIT list[] = {&gift, nullptr};
  WFSCRDCUINFO units{1, list};
  EXPECT_EQ(HeaderOf(Execute(2, WFS_CMD_CRD_SET_CARD_UNIT_INFO, &units)).hResult, WFS_SUCCESS);
  std::optional<TakenMessage> changed = Event(WFS_SERVICE_EVENT, WFS_SRVE_CRD_CARDUNITINFOCHANGED);
  ASSERT_TRUE(changed);
  const WFSCRDCARDUNIT* unit = static_cast<const WFSCRDCARDUNIT*>(HeaderOf(*changed).lpBuffer);
  ASSERT_NE(unit, nullptr);
  ULONG count = unit->ulCount;
  EXPECT_EQ(count, 2u);

  WFSCRDDISPENSE dispense{2, TRUE};
  EXPECT_EQ(HeaderOf(Execute(2, WFS_CMD_CRD_DISPENSE_CARD, &dispense)).hResult, WFS_SUCCESS);
  std::optional<TakenMessage> detected = Event(WFS_SERVICE_EVENT, WFS_SRVE_CRD_MEDIADETECTED);
  ASSERT_TRUE(detected);
  const WFSCRDMEDIADETECTED* where =
      static_cast<const WFSCRDMEDIADETECTED*>(HeaderOf(*detected).lpBuffer);
  ASSERT_NE(where, nullptr);
  USHORT from = where->usNumber;
  EXPECT_EQ(from, 2);
  std::optional<TakenMessage> low = Event(WFS_USER_EVENT, WFS_USRE_CRD_CARDUNITTHRESHOLD);
  ASSERT_TRUE(low) << "the unit reached its threshold";
  TakenMessage info = GetInfo(2, WFS_INF_CRD_CARD_UNIT_INFO);
  unit = Unit(info, 2);
  ASSERT_NE(unit, nullptr);
  count = unit->ulCount;
  EXPECT_EQ(count, 1u) << "the dispense lowered the unit's count";

  EXPECT_EQ(HeaderOf(Execute(2, WFS_CMD_CRD_DISPENSE_CARD, &dispense)).hResult, WFS_SUCCESS);
  TakenMessage failed = Execute(2, WFS_CMD_CRD_DISPENSE_CARD, &dispense);
  EXPECT_EQ(HeaderOf(failed).hResult, WFS_ERR_CRD_CARDUNITERROR) << "the unit is empty";
  std::optional<TakenMessage> error = Event(WFS_EXECUTE_EVENT, WFS_EXEE_CRD_CARDUNITERROR);
  ASSERT_TRUE(error);
  const WFSCRDCUERROR* why = static_cast<const WFSCRDCUERROR*>(HeaderOf(*error).lpBuffer);
  ASSERT_NE(why, nullptr);
  WORD failure = why->wFailure;
  EXPECT_EQ(failure, WFS_CRD_CARDUNITEMPTY);
  const WFSCRDCARDUNIT* emptied = why->lpCardUnit;
  ASSERT_NE(emptied, nullptr);
  USHORT empty = emptied->usNumber;
  count = emptied->ulCount;
  EXPECT_EQ(empty, 2);
  EXPECT_EQ(count, 0u);
}

}  // namespace
}  // namespace e2e
