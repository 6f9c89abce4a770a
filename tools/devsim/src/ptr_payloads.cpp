#include "ptr_payloads.h"

#include <string>

#include "BASE64_API.h"
#include "json_util.h"
#include "ostrel_records.h"
#include "structcodec.h"
#include "structs_ptr.h"
#include "xfsapi.h"
#include "xfsptr.h"

namespace devsim {

namespace {

// Receipts a paper roll prints before it runs low.
constexpr unsigned long kPaperLowAfter = 200;
constexpr unsigned kRetractBinCapacity = 20;

// An XFS extra list: its strings, and the empty one that ends it.
char kExtra[] = "Simulator=devsim\0";

Json::Value Status(const PrinterState& printer) {
  WFSPTRRETRACTBINS bin{};
  bin.wRetractBin =
      printer.retracted >= kRetractBinCapacity ? WFS_PTR_RETRACTBINFULL : WFS_PTR_RETRACTBINOK;
  bin.usRetractCount = static_cast<USHORT>(printer.retracted);
  LPWFSPTRRETRACTBINS bins[] = {&bin, nullptr};
  WFSPTRSTATUS status{};
  status.fwDevice = WFS_PTR_DEVONLINE;
  status.fwMedia = printer.receiptPresented ? WFS_PTR_MEDIAPRESENT : WFS_PTR_MEDIANOTPRESENT;
  for (size_t i = 0; i < WFS_PTR_SUPPLYSIZE; ++i) status.fwPaper[i] = WFS_PTR_PAPERNOTSUPP;
  status.fwPaper[WFS_PTR_SUPPLYUPPER] =
      printer.printed >= kPaperLowAfter ? WFS_PTR_PAPERLOW : WFS_PTR_PAPERFULL;
  status.fwToner = WFS_PTR_TONERFULL;
  status.fwInk = WFS_PTR_INKFULL;
  status.fwLamp = WFS_PTR_LAMPNOTSUPP;
  status.lppRetractBins = bins;
  status.lpszExtra = kExtra;
  status.wDevicePosition = WFS_PTR_DEVICEINPOSITION;
  return codec::Format(codec::ptr::kStatus, &status);
}

Json::Value Capabilities() {
  USHORT maxRetract = kRetractBinCapacity;
  WFSPTRCAPS caps{};
  caps.wClass = WFS_SERVICE_CLASS_PTR;
  caps.fwType = WFS_PTR_TYPERECEIPT;
  caps.wResolution = WFS_PTR_RESMED;
  caps.fwWriteForm = WFS_PTR_WRITETEXT | WFS_PTR_WRITEGRAPHICS;
  caps.fwControl = WFS_PTR_CTRLEJECT | WFS_PTR_CTRLCUT | WFS_PTR_CTRLFLUSH | WFS_PTR_CTRLRETRACT;
  caps.fwPaperSources = WFS_PTR_PAPERUPPER;
  caps.bMediaTaken = TRUE;
  caps.usRetractBins = 1;
  caps.lpusMaxRetract = &maxRetract;
  caps.fwCharSupport = WFS_PTR_ASCII;
  caps.lpszExtra = kExtra;
  caps.bMediaPresented = TRUE;
  return codec::Format(codec::ptr::kCapabilities, &caps);
}

// The media-control word of a CONTROL_MEDIA or a RESET request; 0 when absent.
DWORD MediaControl(const Request& request, const char* member) {
  return static_cast<DWORD>(IntegerMember(request.payload, member, 0));
}

// The presented receipt goes into the retract bin.
void Retract(PrinterState* printer, DeviceAnswer* answer) {
  if (!printer->receiptPresented) {
    answer->hResult = WFS_ERR_PTR_NOMEDIAPRESENT;
  } else if (printer->retracted >= kRetractBinCapacity) {
    answer->hResult = WFS_ERR_PTR_RETRACTBINFULL;
  } else {
    printer->receiptPresented = false;
    ++printer->retracted;
  }
}

// Prints the data and presents the receipt; the customer takes it later.
void Print(const Request& request, int takenAfterMs, PrinterState* printer,
           DeviceAnswer* answer) {
  const Json::Value& data = request.payload.isObject() ? request.payload["lpbData"] : Json::Value();
  if (!data.isString()) {
    answer->hResult = WFS_ERR_INVALID_DATA;
    return;
  }
  size_t size = base64_decode(data.asString()).size();
  if (IntegerMember(request.payload, "ulSize", -1) != static_cast<long long>(size)) {
    answer->hResult = WFS_ERR_INVALID_DATA;
    return;
  }
  answer->payload = Json::Value(Json::objectValue);
  answer->payload["ulSize"] = static_cast<Json::UInt>(size);
  if (size == 0) return;
  ++printer->printed;
  printer->receiptPresented = true;
  answer->After(WFS_SERVICE_EVENT, WFS_SRVE_PTR_MEDIAPRESENTED,
                PtrEventPayload(WFS_SRVE_PTR_MEDIAPRESENTED));
  if (takenAfterMs > 0) {
    answer->Later(takenAfterMs, WFS_SERVICE_EVENT, WFS_SRVE_PTR_MEDIATAKEN, Json::Value());
  }
}

}  // namespace

DeviceAnswer PtrAnswer(const Request& request, int takenAfterMs, PrinterState* printer) {
  DeviceAnswer answer;
  if (request.kind == KvSP_CMD_GETINFO) {
    if (request.code == WFS_INF_PTR_STATUS) answer.payload = Status(*printer);
    if (request.code == WFS_INF_PTR_CAPABILITIES) answer.payload = Capabilities();
    return answer;
  }
  switch (request.code) {
    case WFS_CMD_PTR_RAW_DATA:
      Print(request, takenAfterMs, printer, &answer);
      break;
    case WFS_CMD_PTR_CONTROL_MEDIA:
      if ((MediaControl(request, "lpdwMediaControl") & WFS_PTR_CTRLRETRACT) != 0) {
        Retract(printer, &answer);
      }
      break;
    case WFS_CMD_PTR_RESET:
      if ((MediaControl(request, "dwMediaControl") & WFS_PTR_CTRLRETRACT) != 0 &&
          printer->receiptPresented) {
        Retract(printer, &answer);
      }
      break;
    default:
      break;
  }
  return answer;
}

Json::Value PtrEventPayload(unsigned long id) {
  if (id == WFS_SRVE_PTR_MEDIAPRESENTED) {
    WFSPTRMEDIAPRESENTED presented{1, 1};
    return codec::Format(codec::ptr::kMediaPresented, &presented);
  }
  if (id == WFS_USRE_PTR_INKTHRESHOLD) return InkThresholdPayload(WFS_PTR_INKLOW);
  return Json::Value();
}

Json::Value InkThresholdPayload(WORD level) {
  return codec::Format(codec::ptr::kInkThreshold, &level);
}

void PtrApplyEvent(unsigned long id, PrinterState* printer) {
  if (id == WFS_SRVE_PTR_MEDIATAKEN) printer->receiptPresented = false;
}

bool PtrEventStillDue(unsigned long id, const PrinterState& printer) {
  return id != WFS_SRVE_PTR_MEDIATAKEN || printer.receiptPresented;
}

}  // namespace devsim
