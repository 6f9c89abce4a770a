// One customer's session at a terminal, the heart of xfsmgr's demo: a card
// inserted and read, a PIN entered and its PIN block fetched, a receipt
// printed and taken, a new card dispensed from a card unit and taken, the
// customer's card ejected. The simulator plays the devices and the customer.
#ifndef XFSMGR_TRANSACTION_H
#define XFSMGR_TRANSACTION_H

#include <string>

#include "console.h"
#include "devsim/simulator.h"
#include "xfs_session.h"

namespace xfsmgr {

// A service of the terminal: its logical name (the simulator's too) and the
// session that has it open.
struct TerminalService {
  std::string name;
  XfsSession* session = nullptr;
};

struct Terminal {
  TerminalService cardReader;
  TerminalService pinPad;
  TerminalService printer;
  TerminalService dispenser;
  devsim::Simulator* simulator = nullptr;
};

// The steps in the order of the session; each prints what it calls and
// what comes back, and returns true when everything completed with
// WFS_SUCCESS, otherwise false with *why. Used from one thread.
class CustomerSession {
 public:
  // timeOut: the requests' dwTimeOut; waitMs: how long a step waits for an
  // event that the customer's action brings.
  CustomerSession(const Terminal& terminal, Console& console, DWORD timeOut, int waitMs);

  bool InsertAndReadCard(std::string* why);
  bool EnterPin(std::string* why);
  bool FetchPinBlock(std::string* why);  // of the card number read
  bool PrintReceipt(std::string* why);
  bool TakeReceipt(std::string* why);
  bool DispenseCard(std::string* why);
  bool TakeNewCard(std::string* why);
  bool EjectCard(std::string* why);

 private:
  // What the customer does at a device, through the simulator's console.
  bool customer(const std::string& command, const TerminalService& service, std::string* why);
  // The count of card unit `number` in a card-unit information; false with
  // *why when the completion has no such unit.
  bool unitCount(const StepOutcome& info, USHORT number, ULONG* count, std::string* why);

  Terminal m_terminal;
  Console& m_console;
  DWORD m_timeOut;
  int m_waitMs;
  std::string m_pan;  // the card number of the card read; never printed
};

}  // namespace xfsmgr

#endif
