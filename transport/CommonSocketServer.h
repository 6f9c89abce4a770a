// A loopback listener: reads one framed message from every connection and
// keeps the texts in a first-in-first-out queue for one consumer thread.
//
// Threads: one serve thread while the server runs, which accepts the
// connections and reads them all as their bytes come; the owner's consumer.
// Texts are queued in the order their connections were accepted, so that
// what one peer sends one connection after the other arrives in that
// order; a connection that fails, times out, or had sent nothing when a
// later one was accepted gives up its place. The owner starts, stops and
// destroys the server from one thread; it may stop it while the consumer
// waits (the consumer then returns), and destroys it after the consumer has
// stopped using it.
//
// A peer cannot starve the server: a connection that has not delivered a
// complete frame within kFrameDeadlineMs of its accept is closed, and a
// connection beyond kMaxConnections open ones is closed at once; both are
// traced.
#ifndef TRANSPORT_COMMONSOCKETSERVER_H
#define TRANSPORT_COMMONSOCKETSERVER_H

#include <memory>

class CommonSocketServer {
 public:
  static constexpr int kFrameDeadlineMs = 3000;
  static constexpr int kMaxConnections = 512;

  CommonSocketServer();
  CommonSocketServer(const CommonSocketServer&) = delete;
  CommonSocketServer& operator=(const CommonSocketServer&) = delete;
  // Stops the serve thread (closing every connection it holds) and frees
  // the queued texts.
  ~CommonSocketServer();

  // Other bounds than kFrameDeadlineMs and kMaxConnections (tests); to be
  // called before InitSocketServer.
  void SetLimits(int frameDeadlineMs, int maxConnections);

  // Listens on 127.0.0.1:port (0: a port the system chooses) and starts the
  // serve thread; 1 or 0. Nothing stays bound or open after a failure, so
  // the caller may retry another port.
  int InitSocketServer(int port);
  // The port the server listens on; 0 when it does not listen.
  int GetListenPort();
  // Number of queued texts (a hint, read without the lock).
  int GetMessageSize();
  // Returns 1 as soon as a text is queued, 0 when timeoutMs passed without
  // one or the server stopped.
  int WaitMessage(int timeoutMs);
  // Moves the oldest text into dst (zero-filled, at least 40960 bytes); 1, or 0
  // when the queue is empty (dst untouched).
  int GetHeadMessage(char* dst);
  // Appends a 40960-byte array allocated with new[]; the queue owns it (a
  // stopped server frees it at once).
  int AppendMessage(char* text);
  // Closes fd when it is greater than 0.
  int CloseClient(int fd);
  // Stops the serve thread and closes the listening socket; a consumer
  // waiting for a text returns.
  int CloseServer();
  // Stops the server without destroying it and frees the queued texts.
  void DestoryServer();
  // Reads one framed message from the blocking descriptor fd into buf
  // (zero-filled, 40960 bytes); 1 when a text was read, 0 when the frame
  // was refused.
  int ReadFromClient(int fd, void* buf);

  struct State;

 private:
  std::unique_ptr<State> m_state;
};

#endif
