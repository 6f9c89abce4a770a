#include "WorkerRoster.h"

#include <map>
#include <mutex>
#include <set>

namespace {

struct Roster {
  std::mutex lock;
  std::map<CDeviceExecuteThread*, CDevice*> workers;  // live workers and their device
  std::set<CDevice*> closing;                         // devices whose close has begun
};

// Lives as long as the process: a worker may still leave it while the
// library's objects are destroyed.
Roster& TheRoster() {
  static auto* roster = new Roster;
  return *roster;
}

}  // namespace

void CWorkerRoster::Enlist(CDevice* device, CDeviceExecuteThread* worker) {
  Roster& roster = TheRoster();
  std::lock_guard<std::mutex> guard(roster.lock);
  roster.workers[worker] = device;
}

bool CWorkerRoster::Withdraw(CDeviceExecuteThread* worker) {
  Roster& roster = TheRoster();
  std::lock_guard<std::mutex> guard(roster.lock);
  return roster.workers.erase(worker) == 1;
}

std::vector<CDeviceExecuteThread*> CWorkerRoster::WithdrawAll(CDevice* device) {
  std::vector<CDeviceExecuteThread*> taken;
  Roster& roster = TheRoster();
  std::lock_guard<std::mutex> guard(roster.lock);
  for (auto it = roster.workers.begin(); it != roster.workers.end();) {
    if (it->second == device) {
      taken.push_back(it->first);
      it = roster.workers.erase(it);
    } else {
      ++it;
    }
  }
  return taken;
}

bool CWorkerRoster::BeginDeviceClose(CDevice* device, CDeviceExecuteThread* worker) {
  Roster& roster = TheRoster();
  std::lock_guard<std::mutex> guard(roster.lock);
  // A worker already taken off belongs to a reclaim under way, which ends
  // the device itself.
  if (roster.closing.count(device) != 0 || roster.workers.erase(worker) == 0) return false;
  roster.closing.insert(device);
  return true;
}

void CWorkerRoster::EndDeviceClose(CDevice* device) {
  Roster& roster = TheRoster();
  std::lock_guard<std::mutex> guard(roster.lock);
  roster.closing.erase(device);
}

int CWorkerRoster::Count(CDevice* device) {
  Roster& roster = TheRoster();
  std::lock_guard<std::mutex> guard(roster.lock);
  if (device == nullptr) return static_cast<int>(roster.workers.size());
  int count = 0;
  for (const auto& entry : roster.workers)
    if (entry.second == device) ++count;
  return count;
}
