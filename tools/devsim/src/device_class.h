// Device families: which of the four classes a wfp.ini "class" value, a
// command, category or event code, or a scenario name stands for.
#ifndef DEVSIM_DEVICE_CLASS_H
#define DEVSIM_DEVICE_CLASS_H

#include <string>

namespace devsim {

enum class Family { Unknown, PTR, IDC, PIN, CRD };

// The wfp.ini "class" value (exact, case-sensitive): IDC, IDC_ID, FPI, CRD_R,
// IDC_TRIP and IDC_PICC are card readers, CRD_S the card dispenser.
Family FamilyOfClassText(const std::string& classText);
// By code range: 100-199 PTR, 200-299 IDC, 400-499 PIN, 1400-1499 CRD.
Family FamilyOfCode(long code);
// "PTR", "IDC", "PIN", "CRD"; Unknown for anything else.
Family FamilyFromName(const std::string& name);
const char* FamilyName(Family family);
// The XFS service class number ("lType"); 0 for Unknown.
int ServiceClassOf(Family family);

}  // namespace devsim

#endif
