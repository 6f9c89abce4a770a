#include "device_class.h"

#include "xfsapi.h"
#include "xfsidc.h"

namespace devsim {

namespace {

struct ClassText {
  const char* text;
  Family family;
};

const ClassText kClassTexts[] = {
    {"IDC", Family::IDC},   {"PIN", Family::PIN},      {"IDC_ID", Family::IDC},
    {"FPI", Family::IDC},   {"PTR", Family::PTR},      {"CRD_S", Family::CRD},
    {"CRD_R", Family::IDC}, {"IDC_TRIP", Family::IDC}, {"IDC_PICC", Family::IDC},
};

// Every class owns the hundred codes from its offset on.
struct CodeRange {
  long first;
  Family family;
};

const CodeRange kCodeRanges[] = {
    {100, Family::PTR},
    {IDC_SERVICE_OFFSET, Family::IDC},
    {400, Family::PIN},
    {1400, Family::CRD},
};

struct FamilyInfo {
  Family family;
  const char* name;
  int serviceClass;
};

const FamilyInfo kFamilies[] = {
    {Family::PTR, "PTR", WFS_SERVICE_CLASS_PTR},
    {Family::IDC, "IDC", WFS_SERVICE_CLASS_IDC},
    {Family::PIN, "PIN", WFS_SERVICE_CLASS_PIN},
    {Family::CRD, "CRD", WFS_SERVICE_CLASS_CRD},
};

}  // namespace

Family FamilyOfClassText(const std::string& classText) {
  for (const ClassText& entry : kClassTexts) {
    if (classText == entry.text) return entry.family;
  }
  return Family::Unknown;
}

Family FamilyOfCode(long code) {
  for (const CodeRange& range : kCodeRanges) {
    if (code >= range.first && code <= range.first + 99) return range.family;
  }
  return Family::Unknown;
}

Family FamilyFromName(const std::string& name) {
  for (const FamilyInfo& info : kFamilies) {
    if (name == info.name) return info.family;
  }
  return Family::Unknown;
}

const char* FamilyName(Family family) {
  for (const FamilyInfo& info : kFamilies) {
    if (family == info.family) return info.name;
  }
  return "unknown";
}

int ServiceClassOf(Family family) {
  for (const FamilyInfo& info : kFamilies) {
    if (family == info.family) return info.serviceClass;
  }
  return 0;
}

}  // namespace devsim
