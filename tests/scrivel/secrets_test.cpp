// No card data, PIN data or key value reaches the trace while g_bHidenLog
// is set: every member that can hold one receives a marker, and no form of
// the marker (text, hexadecimal in either case, base64) may be rendered.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>

#include "scrivel.h"
#include "scrivel_test_support.h"
#include "scrivelapp.h"
#include "test_support.h"

namespace {

using scriveltest::AllKnownTypes;
using scriveltest::KnownType;
using scriveltest::RecordBuilder;
using scriveltest::Utf8;

// A PAN-like text; its length differs from every length a renderer treats
// apart (the SM2 blocks).
const std::string kMarker = "6011000990139424123";

// Every member that can hold track, chip or PIN data, a PIN-derived value
// or a key value, by its path from the outermost structure.
const std::set<std::string> kSecretMembers = {
    "WFSIDCWRITETRACK.lpstrTrackData",
    "WFSIDCSETKEY.lpbKeyValue",
    "WFSIDCCARDDATA.lpbData",
    "WFSIDCCHIPIO.lpbChipData",
    "WFSIDCPARSEDATA.lppCardData.lpbData",
    "WFSIDCTRACKEVENT.lpstrData",
    "WFSXDATA.lpbData",
    "WFSPINCRYPT.lpxKeyEncKey.lpbData",
    "WFSPINCRYPT.lpxCryptData.lpbData",
    "WFSPINIMPORT.lpxValue.lpbData",
    "WFSPINDERIVE.lpxInputData.lpbData",
    "WFSPINLOCALDES.lpsValidationData",
    "WFSPINLOCALDES.lpsOffset",
    "WFSPINLOCALDES.lpxKeyEncKey.lpbData",
    "WFSPINLOCALDES.lpsDecTable",
    "WFSPINCREATEOFFSET.lpsValidationData",
    "WFSPINCREATEOFFSET.lpxKeyEncKey.lpbData",
    "WFSPINCREATEOFFSET.lpsDecTable",
    "WFSPINLOCALEUROCHEQUE.lpsEurochequeData",
    "WFSPINLOCALEUROCHEQUE.lpsPVV",
    "WFSPINLOCALEUROCHEQUE.lpxKeyEncKey.lpbData",
    "WFSPINLOCALEUROCHEQUE.lpsDecTable",
    "WFSPINLOCALVISA.lpsPAN",
    "WFSPINLOCALVISA.lpsPVV",
    "WFSPINLOCALVISA.lpxKeyEncKey.lpbData",
    "WFSPINPRESENTIDC.lpbChipData",
    "WFSPINPRESENTRESULT.lpbChipData",
    "WFSPINBLOCK.lpsCustomerData",
    "WFSPINBLOCK.lpsXORData",
    "WFSPINBLOCKEX.lpsCustomerData",
    "WFSPINBLOCKEX.lpsXORData",
    "WFSPINGETPINEX.lpsCustomerData",
    "WFSPINGETPINEX.lpsXORData",
    "WFSPINGETPINEXOUT.lpbPinBlockData",
    "WFSPINKEY.ulDigit",
    "WFSPINDATA.lpPinKeys.ulDigit",
    "WFSPININIT.lpxKey.lpbData",
    "WFSPINLOCALBANKSYS.lpxATMVAC.lpbData",
    "WFSPINBANKSYSIO.lpbData",
    "WFSPINSECMSG.lpbMsg",
    "WFSPINIMPORTKEYEX.lpxValue.lpbData",
    "WFSPINENCIO.lpvData",
    "WFSPINIMPORTRSAPUBLICKEY.lpxValue.lpbData",
    "WFSPINIMPORTRSASIGNEDDESKEY.lpxValue.lpbData",
    "WFSPINEXPORTRSAISSUERSIGNEDITEMOUTPUT.lpxValue.lpbData",
};

// The forms in which the marker may leak into text.
std::vector<std::string> LeakForms(const std::string& data) {
  std::vector<std::string> forms = testsupport::LeakForms(data);
  char number[32];
  std::snprintf(number, sizeof number, "%u", RecordBuilder::kMarkerNumber);
  forms.push_back(number);
  std::snprintf(number, sizeof number, "%x", RecordBuilder::kMarkerNumber);
  forms.push_back(number);
  return forms;
}

std::string Leak(const std::string& text) {
  for (const std::string& form : LeakForms(kMarker)) {
    if (text.find(form) != std::string::npos) return form;
  }
  return std::string();
}

bool IsSecret(const std::string& path) { return kSecretMembers.count(path) != 0; }

TEST(Secrets, NeverReachTheTraceWhileHidden) {
  std::set<std::string> marked;
  for (const KnownType& known : AllKnownTypes()) {
    if (known.entry->table == nullptr) continue;
    CXFSSPParam* renderer = theApp.GetSPModule(known.serviceClass);
    RecordBuilder builder(false, &IsSecret, kMarker);
    void* data = builder.ForType(*known.entry);
    if (builder.Marked().empty()) continue;
    marked.insert(builder.Marked().begin(), builder.Marked().end());

    // Counted arrays with the count of what was built.
    const int count = RecordBuilder::kElements;
    const std::string hidden =
        Utf8(renderer->GetParamString(known.entry->type, data, count, known.entry->type, 0));
    EXPECT_EQ(Leak(hidden), "") << known.entry->type << "\n" << hidden;
    // The marker is where the test put it: with hiding off it shows.
    g_bHidenLog = 0;
    const std::string clear =
        Utf8(renderer->GetParamString(known.entry->type, data, count, known.entry->type, 0));
    g_bHidenLog = 1;
    EXPECT_NE(Leak(clear), "") << known.entry->type << "\n" << clear;
  }
  // Every listed member exists in some structure table.
  for (const std::string& path : kSecretMembers) EXPECT_EQ(marked.count(path), 1u) << path;
}

}  // namespace
