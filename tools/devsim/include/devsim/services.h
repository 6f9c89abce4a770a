// The logical services a simulator serves and where they come from: the
// service provider's wfp.ini or "NAME:CLASS:PORT" texts.
#ifndef DEVSIM_SERVICES_H
#define DEVSIM_SERVICES_H

#include <string>
#include <vector>

namespace devsim {

// One logical service the simulator serves.
struct ServiceSpec {
  std::string name;         // logical service name, e.g. "CardReader"
  std::string deviceClass;  // the wfp.ini "class" value: IDC, PIN, PTR, CRD_S, ...
  int port = 0;             // listening port on 127.0.0.1; 0 = pick a free one at Start()
};

// Every section of a wfp.ini that has a "class" key, with its "port" (default 10).
// Empty vector + *error set when the file cannot be read or has no service.
std::vector<ServiceSpec> LoadServicesFromIni(const std::string& path, std::string* error);

// The XFS service class number of a wfp.ini "class" value (2 for the card
// readers IDC, IDC_ID, ..., 4 PIN, 1 PTR, 14 CRD_S); 0 when unknown.
int XfsServiceClass(const std::string& deviceClass);

// "NAME:CLASS:PORT" (PORT may be 0).
bool ParseServiceSpec(const std::string& text, ServiceSpec* out, std::string* error);

}  // namespace devsim

#endif
