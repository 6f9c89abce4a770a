#include "senddatatosp.h"

#include <QtGlobal>
#include <memory>

#include "CommonSocketClient.h"
#include "exception.h"
#include "kestrel.h"
#include "wiredump.h"

int SendDataToSP(int port, char* text, int& length, int) {
  std::unique_ptr<char[]> owned(text);
  return guard::call(GUARD_SITE("senddatatosp", "Ostrel", "SendDataToSP catch an exception"), 0,
                     [&] {
    CommonSocketClient client;
    if (client.InitSocketClient() == 0) {
      tracelog(4, "Ostrel", "SendDataToSP SendDataToSP Failed");
      return 0;
    }
    if (client.ConnectServer(port) == 0) {
      tracelog(4, "Ostrel", "SendDataToSP ConnectServer [%d] Failed", port);
      client.CloseClient();
      return 0;
    }
    // The whole text carries card tracks, PIN blocks and keys: only the raw
    // wire dump build shows it.
    if (transport::kRawWireDump) {
      qDebug("Senddata = %.*s", length > 0 ? length : 0, owned.get() != nullptr ? owned.get() : "");
    } else {
      qDebug("Senddata = [%d bytes]", length);
    }
    if (owned == nullptr || length < 0 || client.SendData(owned.get(), length) == 0) {
      tracelog(4, "Ostrel", "SendDataToSP SendData Failed");
      return 0;
    }
    return 1;
  });
}
