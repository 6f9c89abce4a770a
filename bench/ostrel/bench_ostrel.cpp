// Time per operation of the bridge's hot paths: rendering execute requests
// and decoding replies and events (decode and release), each through the
// whole envelope as the service provider calls it.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench_timing.h"
#include "formatstructdata.h"
#include "ostrel.h"
#include "xfsidc.h"
#include "xfspin.h"

namespace {

template <typename Operation>
double MicrosecondsPerOperation(int rounds, Operation operation) {
  return bench::TimePerOperation<std::micro>(rounds, operation);
}

// The envelope of a reply or event of msgType for code, around payload.
std::string Reply(int msgType, int code, const std::string& payload) {
  const char* codeMember = msgType >= 1044 ? "dwEventID" : "dwCommandCode";
  return "{\"dwMsgType\":" + std::to_string(msgType) +
         ",\"hService\":3,\"lpWfsResult\":{\"hResult\":0,\"hService\":3,\"requestID\":12,\"" +
         codeMember + "\":" + std::to_string(code) +
         ",\"tsTimestamp\":{\"year\":2024,\"month\":5,\"day_of_week\":3,\"day\":15,\"hour\":13,"
         "\"minute\":45,\"second\":30,\"milli_seconds\":250},\"lpBuffer\":" +
         payload + "}}";
}

const char kHardwareError[] =
    "{\"lpszLogicalName\":\"IDC30\",\"lpszPhysicalName\":\"CardReader1\","
    "\"lpszWorkstationName\":\"ATM7\",\"lpszAppID\":\"App\",\"dwAction\":4,\"dwSize\":12,"
    "\"lpbDescription\":\"Y2FyZCBqYW1tZWQh\"}";

const char kIdcStatus[] =
    "{\"fwDevice\":0,\"fwMedia\":1,\"fwRetainBin\":1,\"fwSecurity\":1,\"usCards\":2,"
    "\"fwChipPower\":0,\"lpszExtra\":[\"model=SIM-IDC\",\"firmware=1.0\"],"
    "\"dwGuidLights\":[0,1,2,3,4,5,6,7],\"fwChipModule\":1,\"fwMagReadModule\":1,"
    "\"fwMagWriteModule\":1,\"fwFrontImageModule\":0,\"fwBackImageModule\":0,"
    "\"wDevicePosition\":0,\"usPowerSaveRecoveryTime\":0}";

// Three tracks and a chip answer, as a read of everything gives them.
const char kReadRawData[] =
    "[{\"wDataSource\":1,\"wStatus\":0,\"ulDataLength\":65,\"lpbData\":"
    "\"JUI0NzYxNzM5MDAxMDEwMTE5XlRFU1QvQ0FSRCAgICAgICAgICAgICAgICAgIF4yMjEyMjAxMTc1ODkyODg4OT8=\","
    "\"fwWriteMethod\":0},"
    "{\"wDataSource\":2,\"wStatus\":0,\"ulDataLength\":36,\"lpbData\":"
    "\"OzQ3NjE3MzkwMDEwMTAxMTk9MjIxMjIwMTE3NTg5Mjg4ODk/\",\"fwWriteMethod\":0},"
    "{\"wDataSource\":4,\"wStatus\":0,\"ulDataLength\":21,\"lpbData\":"
    "\"OzAxMjM0NTY3ODkwMTIzNDU2Nzg/\",\"fwWriteMethod\":0},"
    "{\"wDataSource\":32,\"wStatus\":0,\"ulDataLength\":12,\"lpbData\":\"nyYIEjRWeJq83vAB\","
    "\"fwWriteMethod\":0}]";

// A PIN pad with every capability member, as a full reply carries them.
const char kPinCapabilities[] =
    "{\"wClass\":4,\"fwType\":1,\"bCompound\":false,\"usKeyNum\":64,\"fwAlgorithms\":1731,"
    "\"fwPinFormats\":8199,\"fwDerivationAlgorithms\":0,\"fwPresentationAlgorithms\":0,"
    "\"fwDisplay\":1,\"bIDConnect\":false,\"fwIDKey\":0,\"fwValidationAlgorithms\":9,"
    "\"fwKeyCheckModes\":3,\"lpszExtra\":[\"model=SIM-EPP\",\"firmware=1.0\"],"
    "\"dwGuidLights\":[0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0],"
    "\"bPINCanPersistAfterUse\":false,\"fwAutoBeep\":1,\"lpsHSMVendor\":\"SIM\","
    "\"bHSMJournaling\":false,\"dwRSAAuthenticationScheme\":3,\"dwRSASignatureAlgorithm\":1,"
    "\"dwRSACryptAlgorithm\":1,\"dwRSAKeyCheckMode\":1,\"dwSignatureScheme\":15,"
    "\"lpwEMVImportSchemes\":[1,2,4],\"fwEMVHashAlgorithm\":1,\"bKeyImportThroughParts\":false,"
    "\"fwENCIOProtocols\":0,\"bTypeCombined\":false,\"bSetPinblockDataRequired\":false,"
    "\"fwKeyBlockImportFormats\":1,\"bPowerSaveControl\":false,\"bAntiFraudModule\":false,"
    "\"wDESKeyLength\":6,\"wCertificateTypes\":7,"
    "\"lppRemoteInitModes\":[{\"dwSigner\":1,\"dwOption\":1}],"
    "\"lppLoadCertOptions\":[{\"dwSigner\":1,\"dwOption\":2},{\"dwSigner\":2,\"dwOption\":4}],"
    "\"dwCRKLLoadOptions\":1,\"lpETSCaps\":{\"lXPos\":0,\"lYPos\":0,\"usXSize\":800,"
    "\"usYSize\":480,\"wMaxTouchFrames\":1,\"wMaxTouchKeys\":16,\"wFloatFlags\":0}}";

_tagDataOption ExecuteOption(DWORD command, void* input) {
  _tagDataOption option;
  std::memset(&option, 0, sizeof option);
  option.hService = 3;
  option.requestID = 12;
  option.hWnd = 36000;
  option.devHwnd = 36001;
  option.nCmdType = KvSP_CMD_EXECUTE;
  option.dwTimeout = 5000;
  option.dwCommand = command;
  option.lType = static_cast<LONG>(command / 100);
  option.lpAppId = const_cast<char*>("APP1");
  option.lpDataBuffer = input;
  return option;
}

class Bench {
 public:
  explicit Bench(int rounds) : m_rounds(rounds), m_buffer(FormatStructData::kRequestBufferSize) {}

  void Render(const char* what, DWORD command, void* input) {
    _tagDataOption option = ExecuteOption(command, input);
    double us = MicrosecondsPerOperation(m_rounds, [&] {
      std::memset(m_buffer.data(), 0, m_buffer.size());
      int length = 0;
      if (FormatStructData::FormatExecuteData(&option, m_buffer.data(), length) != 1) std::abort();
    });
    Print("render", what, us);
  }

  void Decode(const char* what, int msgType, int code, const char* payload) {
    std::string text = Reply(msgType, code, payload);
    double us = MicrosecondsPerOperation(m_rounds, [&] {
      LPCONNECTMSG msg = Ostrel::FormatResData(&text[0]);
      if (msg == nullptr || msg->lpWfsResult->lpBuffer == nullptr) std::abort();
      Ostrel::FreeBuffer(msg, 1);
    });
    Print("decode and release", what, us);
  }

 private:
  static void Print(const char* action, const char* what, double us) {
    std::printf("%-19s %-44s %6.2f us/op\n", action, what, us);
  }

  int m_rounds;
  std::vector<char> m_buffer;
};

}  // namespace

int main(int argc, char** argv) {
  setenv("KESTREL_TRACE_LEVEL", "9", 1);  // measure the bridge, not the trace file
  int rounds = argc > 1 ? std::atoi(argv[1]) : 100000;
  if (rounds <= 0) rounds = 100000;
  Bench bench(rounds);

  WFSIDCEJECTCARD eject = {WFS_IDC_EXITPOSITION};
  bench.Render("IDC EJECT_CARD", WFS_CMD_IDC_EJECT_CARD, &eject);
  BYTE track2[] = ";4761739001010119=22122011758928889?";
  BYTE chip[] = {0x00, 0xA4, 0x04, 0x00, 0x07, 0xA0, 0x00, 0x00, 0x00, 0x03, 0x10, 0x10};
  WFSIDCCARDDATA tracks[] = {
      {WFS_IDC_TRACK2, WFS_IDC_DATAOK, sizeof track2 - 1, track2, WFS_IDC_AUTO},
      {WFS_IDC_CHIP, WFS_IDC_DATAOK, sizeof chip, chip, WFS_IDC_AUTO},
  };
  LPWFSIDCCARDDATA cards[] = {&tracks[0], &tracks[1], nullptr};
  bench.Render("IDC WRITE_RAW_DATA (track 2 and chip)", WFS_CMD_IDC_WRITE_RAW_DATA, cards);

  WFSPINBLOCK block = {const_cast<LPSTR>("4761739001010119"), nullptr, 0x0F, WFS_PIN_FORMISO0,
                       const_cast<LPSTR>("PINKEY"), nullptr};
  bench.Render("PIN GET_PINBLOCK", WFS_CMD_PIN_GET_PINBLOCK, &block);

  bench.Decode("IDC status", KvSP_GETINFO_COMPLETE, WFS_INF_IDC_STATUS, kIdcStatus);
  bench.Decode("IDC READ_RAW_DATA (3 tracks and chip)", KvSP_EXECUTE_COMPLETE,
               WFS_CMD_IDC_READ_RAW_DATA, kReadRawData);
  bench.Decode("PIN capabilities", KvSP_GETINFO_COMPLETE, WFS_INF_PIN_CAPABILITIES,
               kPinCapabilities);
  bench.Decode("hardware-error event", WFS_SYSTEM_EVENT, WFS_SYSE_HARDWARE_ERROR,
               kHardwareError);
  std::printf("(%d rounds each; target under 20 us/op)\n", rounds);
  return 0;
}
