// Printer and card-dispenser requests as they go out: the "lpDataBuffer" of
// each input, the inputs that cannot be formatted, and what the log shows.
#include <gtest/gtest.h>

#include <string>

#include "idc_test_support.h"
#include "ostrel_test_support.h"
#include "test_support.h"
#include "xfscrd.h"
#include "xfsptr.h"

namespace {

using idctest::Payload;
using ostreltest::Write;

struct RequestCase {
  const char* what;
  DWORD kind;
  DWORD code;
  void* data;
  const char* payload;  // as written
  const char* line;     // the level-4 line it logs; NULL for none
};

void ExpectRequests(const std::vector<RequestCase>& cases) {
  for (const RequestCase& item : cases) {
    SCOPED_TRACE(item.what);
    testsupport::TraceCapture trace;
    EXPECT_EQ(Write(Payload(item.kind, item.code, item.data)), std::string(item.payload) + "\n");
    if (item.line != nullptr) {
      EXPECT_TRUE(trace.contains(item.line, 4));
    }
  }
}

TEST(PtrRequest, InputsAsTheDeviceServiceReadsThem) {
  DWORD mediaControl = WFS_PTR_CTRLROTATE180;
  WFSPTRRAWDATA empty{WFS_PTR_NOINPUTDATA, 0, nullptr};
  BYTE receipt[] = {'a', 'b', 'c'};
  WFSPTRRAWDATA text{WFS_PTR_INPUTDATA, 3, receipt};
  WFSPTRRAWDATA missing{WFS_PTR_NOINPUTDATA, 5, nullptr};
  WFSPTRRESET reset{0x80000020u, 2};
  ExpectRequests({
      {"bit 16 of the media control", KvSP_CMD_EXECUTE, WFS_CMD_PTR_CONTROL_MEDIA, &mediaControl,
       R"({"lpdwMediaControl":65536})", nullptr},
      {"raw data of size 0", KvSP_CMD_EXECUTE, WFS_CMD_PTR_RAW_DATA, &empty,
       R"({"lpbData":"","ulSize":0,"wInputData":1})", nullptr},
      {"raw data", KvSP_CMD_EXECUTE, WFS_CMD_PTR_RAW_DATA, &text,
       R"({"lpbData":"YWJj","ulSize":3,"wInputData":2})", nullptr},
      {"raw data without its bytes", KvSP_CMD_EXECUTE, WFS_CMD_PTR_RAW_DATA, &missing, "null",
       "BufferFormat_PTR::ExeFormat catch an Exception"},
      {"reset, the media control unsigned", KvSP_CMD_EXECUTE, WFS_CMD_PTR_RESET, &reset,
       R"({"dwMediaControl":2147483680,"usRetractBinNumber":2})", nullptr},
      {"print form sends nothing", KvSP_CMD_EXECUTE, WFS_CMD_PTR_PRINT_FORM, &reset, "null",
       nullptr},
      {"an unknown command", KvSP_CMD_EXECUTE, WFS_CMD_PTR_READ_FORM, &reset, "null",
       "BufferFormat_PTR::ExeFormat invalid EXE CMD"},
      {"status sends nothing", KvSP_CMD_GETINFO, WFS_INF_PTR_STATUS, &reset, "null", nullptr},
      {"a category outside the four", KvSP_CMD_GETINFO, WFS_INF_PTR_QUERY_FORM, &reset, "null",
       "BufferFormat_PTR::InfoFormat invalid INFO CMD"},
  });
}

TEST(PtrRequest, RawDataLogsItsSizesNeverItsBytes) {
  BYTE receipt[] = {'P', 'A', 'N', '4', '7', '6', '1'};
  WFSPTRRAWDATA raw{WFS_PTR_NOINPUTDATA, sizeof receipt, receipt};
  testsupport::TraceCapture trace;
  Payload(KvSP_CMD_EXECUTE, WFS_CMD_PTR_RAW_DATA, &raw);
  EXPECT_EQ(trace.countExact("BufferFormat_PTR::FormatRawData wInputData= 1", 4), 1);
  EXPECT_EQ(trace.countExact("BufferFormat_PTR::FormatRawData ulsize= 7", 4), 1);
  EXPECT_EQ(trace.count("BufferFormat_PTR::FormatRawData"), 2);
  EXPECT_EQ(trace.count("PAN"), 0);
}

TEST(CrdRequest, InputsAsTheDeviceServiceReadsThem) {
  WFSCRDDISPENSE dispense{2, TRUE};
  WFSCRDRETAINCARD retain{3};
  WFSCRDRESET reset{WFS_CRD_RETAIN};
  char gold[] = "GOLD";
  WFSCRDCARDUNIT first{1, gold, WFS_CRD_SUPPLYBIN, 50, 40, 0, 5, WFS_CRD_STATCUOK, 5};
  WFSCRDCARDUNIT second{2, nullptr, WFS_CRD_RETAINBIN, 0, 1, 1, 20, WFS_CRD_STATCUOK, 0};
  WFSCRDCARDUNIT third{3, gold, WFS_CRD_SUPPLYBIN, 0, 0, 0, 0, 0, 0};
  LPWFSCRDCARDUNIT list[] = {&first, &second, &third, nullptr};
  LPWFSCRDCARDUNIT holed[] = {&first, nullptr, &third, nullptr};
  WFSCRDCUINFO two{2, list};
  WFSCRDCUINFO none{0, list};
  WFSCRDCUINFO hole{2, holed};
  ExpectRequests({
      {"dispense", KvSP_CMD_EXECUTE, WFS_CMD_CRD_DISPENSE_CARD, &dispense,
       R"({"bPresent":1,"usNumber":2})", nullptr},
      {"retain", KvSP_CMD_EXECUTE, WFS_CMD_CRD_RETAIN_CARD, &retain, R"({"usNumber":3})", nullptr},
      {"reset", KvSP_CMD_EXECUTE, WFS_CMD_CRD_RESET, &reset, R"({"usAction":3})", nullptr},
      {"the count decides over a unit beyond it", KvSP_CMD_EXECUTE,
       WFS_CMD_CRD_SET_CARD_UNIT_INFO, &two,
       R"({"lppList":[{"bHardwareSensor":5,"lpszCardName":"GOLD","ulCount":40,)"
       R"("ulInitialCount":50,"ulRetainCount":0,"ulThreshold":5,"usNumber":1,"usStatus":0,)"
       R"("usType":1},{"bHardwareSensor":0,"lpszCardName":null,"ulCount":1,)"
       R"("ulInitialCount":0,"ulRetainCount":1,"ulThreshold":20,"usNumber":2,"usStatus":0,)"
       R"("usType":2}],"usCount":2})",
       nullptr},
      {"no units", KvSP_CMD_EXECUTE, WFS_CMD_CRD_SET_CARD_UNIT_INFO, &none,
       R"({"lppList":null,"usCount":0})", nullptr},
      {"a NULL unit within the count", KvSP_CMD_EXECUTE, WFS_CMD_CRD_SET_CARD_UNIT_INFO, &hole,
       "null", "BufferFormat_CRD::ExeForma catch an Exception"},
      {"eject sends nothing", KvSP_CMD_EXECUTE, WFS_CMD_CRD_EJECT_CARD, &retain, "null", nullptr},
      {"guidance light is not formatted", KvSP_CMD_EXECUTE, WFS_CMD_CRD_SET_GUIDANCE_LIGHT, &retain,
       "null", "BufferFormat_CRD::ExeFormat invalid EXE CMD"},
      {"power save control is not formatted", KvSP_CMD_EXECUTE, WFS_CMD_CRD_POWER_SAVE_CONTROL,
       &retain, "null", "BufferFormat_CRD::ExeFormat invalid EXE CMD"},
      {"card unit info sends nothing", KvSP_CMD_GETINFO, WFS_INF_CRD_CARD_UNIT_INFO, &retain,
       "null", nullptr},
      {"an unknown category", KvSP_CMD_GETINFO, 1404, &retain, "null",
       "BufferFormat_CRD::InfoFormat invalid INFO CMD"},
  });
}

}  // namespace
