// No card data, PIN data or key value reaches the trace while g_bHidenLog
// is set: every member that can hold one receives a marker, and no form of
// the marker (text, hexadecimal in either case, base64) may be rendered.
#include <gtest/gtest.h>

#include <QByteArray>

#include <algorithm>
#include <set>
#include <string>

#include "scrivel.h"
#include "scrivel_test_support.h"
#include "scrivelapp.h"

namespace {

using scriveltest::AllKnownTypes;
using scriveltest::KnownType;
using scriveltest::RecordBuilder;
using scriveltest::Utf8;

// A PAN-like text; its length differs from every length a renderer treats
// apart.
const std::string kMarker = "5413339000001513";

// Every member that can hold track, chip or PIN data, a PIN-derived value
// or a key value, by its path from the outermost structure.
const std::set<std::string> kSecretMembers = {
    "WFSIDCWRITETRACK.lpstrTrackData",
    "WFSIDCSETKEY.lpbKeyValue",
    "WFSIDCCARDDATA.lpbData",
    "WFSIDCCHIPIO.lpbChipData",
    "WFSIDCPARSEDATA.lppCardData.lpbData",
    "WFSIDCTRACKEVENT.lpstrData",
};

// The forms in which data may leak into text.
std::vector<std::string> LeakForms(const std::string& data) {
  std::vector<std::string> forms = {data};
  const QByteArray bytes = QByteArray::fromStdString(data);
  forms.push_back(bytes.toHex().toUpper().toStdString());
  forms.push_back(bytes.toHex().toStdString());
  for (int skip = 0; skip < 3; ++skip) {  // base64 from any alignment
    const QByteArray tail = bytes.mid(skip);
    forms.push_back(tail.left(tail.size() / 3 * 3).toBase64().toStdString());
  }
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

    const std::string hidden =
        Utf8(renderer->GetParamString(known.entry->type, data, 0, known.entry->type, 0));
    EXPECT_EQ(Leak(hidden), "") << known.entry->type << "\n" << hidden;
    // The marker is where the test put it: with hiding off it shows.
    g_bHidenLog = 0;
    const std::string clear =
        Utf8(renderer->GetParamString(known.entry->type, data, 0, known.entry->type, 0));
    g_bHidenLog = 1;
    EXPECT_NE(Leak(clear), "") << known.entry->type << "\n" << clear;
  }
  // Every listed member exists in some structure table.
  for (const std::string& path : kSecretMembers) EXPECT_EQ(marked.count(path), 1u) << path;
}

}  // namespace
