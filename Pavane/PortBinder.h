// Binding a server to a random port of a range, as the provider's message
// windows and worker threads do.
#ifndef PAVANE_PORTBINDER_H
#define PAVANE_PORTBINDER_H

class CommonSocketServer;

// Ports lowest .. lowest + span - 1, tried at random.
struct PortRange {
  int lowest;
  int span;
};

// Message windows: 36000 to 45998; worker and event threads: 13000 to 32998.
constexpr PortRange kWindowPorts{36000, 9999};
constexpr PortRange kThreadPorts{13000, 19999};
constexpr int kBindAttempts = 20;

// Up to kBindAttempts random ports of range; the first one the server binds
// is returned, 0 when none could be bound.
int BindRandomPort(CommonSocketServer& server, PortRange range);

#endif
