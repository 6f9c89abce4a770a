#include "transaction.h"

#include <vector>

#include "card_data.h"
#include "command_inputs.h"
#include "packed_copy.h"
#include "xfscrd.h"
#include "xfsidc.h"
#include "xfspin.h"
#include "xfsptr.h"

namespace xfsmgr {

namespace {

constexpr WORD kReadAllTracksAndChip =
    WFS_IDC_TRACK1 | WFS_IDC_TRACK2 | WFS_IDC_TRACK3 | WFS_IDC_CHIP;
// GET_PIN: 4 to 6 digits, ENTER ends the entry.
constexpr unsigned long kPinMin = 4;
constexpr unsigned long kPinMax = 6;
// The PIN pad's key that enciphers PIN blocks.
const char kPinKey[] = "PINKEY";
const char kReceipt[] =
    "        RECEIPT\n"
    "CASH WITHDRAWAL     100.00\n"
    "      THANK YOU\n";

// The units of a card-unit information (WFS_INF_CRD_CARD_UNIT_INFO), copied;
// their names stay in the result.
std::vector<WFSCRDCARDUNIT> cardUnits(const StepOutcome& info) {
  std::vector<WFSCRDCARDUNIT> units;
  if (!info.taken.result || info.taken.result->lpBuffer == nullptr) return units;
  auto list = CopyOut<WFSCRDCUINFO>(info.taken.result->lpBuffer);
  for (USHORT i = 0; list.lppList != nullptr && i < list.usCount; ++i) {
    auto unit = CopyOut<LPWFSCRDCARDUNIT>(list.lppList + i);
    if (unit != nullptr) units.push_back(CopyOut<WFSCRDCARDUNIT>(unit));
  }
  return units;
}

std::string unitName(const WFSCRDCARDUNIT& unit) {
  return "card unit " + std::to_string(unit.usNumber) +
         (unit.lpszCardName != nullptr ? std::string(" (") + unit.lpszCardName + ")" : "");
}

}  // namespace

CustomerSession::CustomerSession(const Terminal& terminal, Console& console, DWORD timeOut,
                                 int waitMs)
    : m_terminal(terminal), m_console(console), m_timeOut(timeOut), m_waitMs(waitMs) {}

bool CustomerSession::customer(const std::string& command, const TerminalService& service,
                               std::string* why) {
  devsim::ControlConsole console(*m_terminal.simulator);
  std::string reply = console.Execute(command + " @" + service.name);
  m_console.Print("   simulator: " + command + ": " + reply);
  if (reply.rfind("error", 0) != 0) return true;
  *why = "the simulator could not play the customer's " + command + ": " + reply;
  return false;
}

// READ_RAW_DATA waits for a card: the simulator holds the request, reports
// the card's insertion, and answers once the event has reached us.
bool CustomerSession::InsertAndReadCard(std::string* why) {
  XfsSession& reader = *m_terminal.cardReader.session;
  devsim::Simulator& simulator = *m_terminal.simulator;
  m_console.Print("The card reader waits for a card (READ_RAW_DATA: tracks 1, 2, 3 and chip);");
  m_console.Print("the customer inserts one.");
  simulator.SetAnswering(false);
  size_t seen = simulator.Requests().size();
  PendingRequest read = reader.StartExecute(
      WFS_CMD_IDC_READ_RAW_DATA,
      BuildExecuteInput(WFS_CMD_IDC_READ_RAW_DATA, {kReadAllTracksAndChip}), m_timeOut);
  if (read.callResult != WFS_SUCCESS) return Succeeded("read the card", reader.Finish(read), why);
  if (!simulator.WaitForRequests(seen + 1, m_waitMs)) {
    *why = "the simulator received no READ_RAW_DATA request";
    return false;
  }
  devsim::EventOrder insertion;
  insertion.service = m_terminal.cardReader.name;
  insertion.kind = WFS_EXECUTE_EVENT;
  insertion.id = WFS_EXEE_IDC_MEDIAINSERTED;
  insertion.requestID = static_cast<long>(read.id);
  std::string error;
  if (!simulator.SendEvent(insertion, &error)) {
    *why = "the simulator could not send the card insertion: " + error;
    return false;
  }
  if (!Succeeded("the card insertion",
                 reader.WaitEvent(m_waitMs, WFS_EXEE_IDC_MEDIAINSERTED), why)) {
    return false;
  }
  simulator.SetAnswering(true);
  StepOutcome outcome = reader.Finish(read);
  if (!Succeeded("read the card", outcome, why)) return false;
  for (const WFSIDCCARDDATA& data : CardDataList(outcome.taken.result->lpBuffer)) {
    if (data.wDataSource == WFS_IDC_TRACK2 && data.lpbData != nullptr) {
      m_pan = PanOf(std::string(reinterpret_cast<const char*>(data.lpbData), data.ulDataLength));
    }
  }
  if (m_pan.empty()) {
    *why = "the card read has no card number on track 2";
    return false;
  }
  return true;
}

// The pad sends a key event per key; a digit's shows no digit.
bool CustomerSession::EnterPin(std::string* why) {
  XfsSession& pad = *m_terminal.pinPad.session;
  m_console.Print("The customer types the PIN (GET_PIN: " + std::to_string(kPinMin) + " to " +
                  std::to_string(kPinMax) + " digits, ENTER ends it); keys show as *.");
  return Succeeded("enter the PIN",
                   pad.Finish(pad.StartExecute(
                       WFS_CMD_PIN_GET_PIN,
                       BuildExecuteInput(WFS_CMD_PIN_GET_PIN, {kPinMin, kPinMax, 0}), m_timeOut)),
                   why);
}

bool CustomerSession::FetchPinBlock(std::string* why) {
  XfsSession& pad = *m_terminal.pinPad.session;
  m_console.Print(std::string("The PIN block of the card number, under the key ") + kPinKey +
                  ", ISO format 0 (GET_PINBLOCK); the card number and the block stay hidden.");
  return Succeeded("fetch the PIN block",
                   pad.Finish(pad.StartExecute(
                       WFS_CMD_PIN_GET_PINBLOCK,
                       BuildExecuteWords(WFS_CMD_PIN_GET_PINBLOCK, {kPinKey, m_pan}), m_timeOut)),
                   why);
}

// The printer presents the receipt after printing it; its media-presented
// event does not reach the application (the printer's class does not pass
// it on), the media-taken event does.
bool CustomerSession::PrintReceipt(std::string* why) {
  XfsSession& printer = *m_terminal.printer.session;
  m_console.Print("The printer prints the receipt (RAW_DATA, " +
                  std::to_string(sizeof kReceipt - 1) +
                  " bytes) and presents it; its media-presented event stays in the service "
                  "provider.");
  return Succeeded("print the receipt",
                   printer.Finish(printer.StartExecute(
                       WFS_CMD_PTR_RAW_DATA, BuildExecuteWords(WFS_CMD_PTR_RAW_DATA, {kReceipt}),
                       m_timeOut)),
                   why);
}

bool CustomerSession::TakeReceipt(std::string* why) {
  m_console.Print("The customer takes the receipt.");
  return customer("take", m_terminal.printer, why) &&
         Succeeded("the receipt taken",
                   m_terminal.printer.session->WaitEvent(m_waitMs, WFS_SRVE_PTR_MEDIATAKEN), why);
}

// A new card from the first supply unit that has cards, presented at the
// exit; the unit's count goes down by one.
bool CustomerSession::DispenseCard(std::string* why) {
  XfsSession& dispenser = *m_terminal.dispenser.session;
  m_console.Print("The card units before (CARD_UNIT_INFO):");
  StepOutcome before = dispenser.Finish(dispenser.StartGetInfo(WFS_INF_CRD_CARD_UNIT_INFO, nullptr));
  if (!Succeeded("the card units before dispensing", before, why)) return false;
  const WFSCRDCARDUNIT* unit = nullptr;
  std::vector<WFSCRDCARDUNIT> units = cardUnits(before);
  for (const WFSCRDCARDUNIT& candidate : units) {
    if (unit == nullptr && candidate.usType == WFS_CRD_SUPPLYBIN && candidate.ulCount > 0) {
      unit = &candidate;
    }
  }
  if (unit == nullptr) {
    *why = "no card unit of the dispenser has cards to dispense";
    return false;
  }
  const USHORT number = unit->usNumber;
  const ULONG countBefore = unit->ulCount;
  const std::string name = unitName(*unit);
  m_console.Print("A new card from " + name + " to the exit (DISPENSE_CARD).");
  if (!Succeeded("dispense a card",
                 dispenser.Finish(dispenser.StartExecute(
                     WFS_CMD_CRD_DISPENSE_CARD,
                     BuildExecuteInput(WFS_CMD_CRD_DISPENSE_CARD, {number, TRUE}), m_timeOut)),
                 why)) {
    return false;
  }
  m_console.Print("The card units after (CARD_UNIT_INFO):");
  StepOutcome after = dispenser.Finish(dispenser.StartGetInfo(WFS_INF_CRD_CARD_UNIT_INFO, nullptr));
  ULONG countAfter = 0;
  if (!Succeeded("the card units after dispensing", after, why) ||
      !unitCount(after, number, &countAfter, why)) {
    return false;
  }
  m_console.Print(name + ": " + std::to_string(countBefore) + " cards before, " +
                  std::to_string(countAfter) + " after");
  if (countAfter + 1 == countBefore) return true;
  *why = "the count of " + name + " went from " + std::to_string(countBefore) + " to " +
         std::to_string(countAfter) + ", not down by one";
  return false;
}

bool CustomerSession::unitCount(const StepOutcome& info, USHORT number, ULONG* count,
                                std::string* why) {
  for (const WFSCRDCARDUNIT& unit : cardUnits(info)) {
    if (unit.usNumber != number) continue;
    *count = unit.ulCount;
    return true;
  }
  *why = "card unit " + std::to_string(number) + " is missing from the card units after dispensing";
  return false;
}

bool CustomerSession::TakeNewCard(std::string* why) {
  m_console.Print("The customer takes the new card.");
  return customer("take", m_terminal.dispenser, why) &&
         Succeeded("the new card taken",
                   m_terminal.dispenser.session->WaitEvent(m_waitMs, WFS_SRVE_CRD_MEDIAREMOVED),
                   why);
}

bool CustomerSession::EjectCard(std::string* why) {
  XfsSession& reader = *m_terminal.cardReader.session;
  m_console.Print("The card reader gives the customer's card back (EJECT_CARD to the exit).");
  return Succeeded("eject the card",
                   reader.Finish(reader.StartExecute(
                       WFS_CMD_IDC_EJECT_CARD,
                       BuildExecuteInput(WFS_CMD_IDC_EJECT_CARD, {WFS_IDC_EXITPOSITION}),
                       m_timeOut)),
                   why);
}

}  // namespace xfsmgr
