#include "HandOverRegistry.h"

#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <vector>

#include "CommonSocketClient.h"
#include "frame.h"
#include "kestrel.h"
#include "ostrel.h"

namespace {

// Open mailboxes by port, each with the messages posted to it and not yet
// taken. Guarded by Lock(). Both live as long as the process: a thread
// may still close its mailbox while the library's objects are destroyed.
std::map<long, std::set<LPCONNECTMSG>>& Mailboxes() {
  static auto* mailboxes = new std::map<long, std::set<LPCONNECTMSG>>;
  return *mailboxes;
}

std::mutex& Lock() {
  static auto* lock = new std::mutex;
  return *lock;
}

// The value of a text that is a decimal number and nothing else; 0 otherwise.
unsigned long PostedValue(const char* text) {
  const char* digit = text[0] == '-' ? text + 1 : text;
  if (*digit == '\0') return 0;
  for (; *digit != '\0'; ++digit)
    if (*digit < '0' || *digit > '9') return 0;
  return transport::PointerFromPayload(text);
}

// Removes msg from the mailbox of port; true when it was there.
bool Remove(long port, LPCONNECTMSG msg) {
  std::lock_guard<std::mutex> guard(Lock());
  auto mailbox = Mailboxes().find(port);
  return mailbox != Mailboxes().end() && mailbox->second.erase(msg) == 1;
}

}  // namespace

void CHandOverRegistry::OpenMailbox(long port) {
  std::lock_guard<std::mutex> guard(Lock());
  Mailboxes()[port];
}

void CHandOverRegistry::CloseMailbox(long port) {
  std::set<LPCONNECTMSG> left;
  {
    std::lock_guard<std::mutex> guard(Lock());
    auto mailbox = Mailboxes().find(port);
    if (mailbox == Mailboxes().end()) return;
    left.swap(mailbox->second);
    Mailboxes().erase(mailbox);
  }
  for (LPCONNECTMSG msg : left) {
    tracelog(2, "WFPX", "CHandOverRegistry::CloseMailbox port=[%ld] release a message not taken",
             port);
    Ostrel::FreeBuffer(msg, 1);
  }
}

int CHandOverRegistry::Post(long port, LPCONNECTMSG msg) {
  if (msg == nullptr) return 0;
  {
    std::lock_guard<std::mutex> guard(Lock());
    auto mailbox = Mailboxes().find(port);
    if (mailbox == Mailboxes().end()) return 0;
    mailbox->second.insert(msg);
  }
  CommonSocketClient client;
  if (client.PostPointerMessage(port, reinterpret_cast<unsigned long>(msg)) == 1) return 1;
  // Not sent: the message is the caller's again, unless the receiver took
  // it or its mailbox released it meanwhile.
  return Remove(port, msg) ? 0 : 1;
}

LPCONNECTMSG CHandOverRegistry::Take(long port, const char* text) {
  LPCONNECTMSG msg = reinterpret_cast<LPCONNECTMSG>(PostedValue(text));
  if (msg != nullptr && Remove(port, msg)) return msg;
  if (msg == nullptr && std::strcmp(text, "0") == 0) return nullptr;
  tracelog(3, "WFPX", "CHandOverRegistry::Take port=[%ld] drop a text that was not posted here",
           port);
  return nullptr;
}

int CHandOverRegistry::Pending(long port) {
  std::lock_guard<std::mutex> guard(Lock());
  auto mailbox = Mailboxes().find(port);
  return mailbox == Mailboxes().end() ? 0 : static_cast<int>(mailbox->second.size());
}
