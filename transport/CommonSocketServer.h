// A loopback listener: reads one framed message from every connection and
// keeps the texts in a first-in-first-out queue for one consumer thread.
//
// Threads: one accept thread while the server runs, one short-lived receive
// thread per connection, the owner's consumer. What those threads share lives
// in a State that each of them holds, so destroying the server never leaves
// a running thread with freed memory. The owner starts, stops and destroys
// the server from one thread, after its consumer has stopped waiting.
#ifndef TRANSPORT_COMMONSOCKETSERVER_H
#define TRANSPORT_COMMONSOCKETSERVER_H

#include <memory>

class CommonSocketServer {
 public:
  CommonSocketServer();
  CommonSocketServer(const CommonSocketServer&) = delete;
  CommonSocketServer& operator=(const CommonSocketServer&) = delete;
  // Stops accepting, wakes every receive thread and frees the queued texts;
  // does not wait for the receive threads to end.
  ~CommonSocketServer();

  // Listens on 127.0.0.1:port (0: a port the system chooses) and starts the
  // accept thread; 1 or 0. Nothing stays bound or open after a failure, so
  // the caller may retry another port.
  int InitSocketServer(int port);
  // The port the server listens on; 0 when it does not listen.
  int GetListenPort();
  // Number of queued texts (a hint, read without the lock).
  int GetMessageSize();
  // Returns 1 as soon as a text is queued, 0 when timeoutMs passed without one.
  int WaitMessage(int timeoutMs);
  // Moves the oldest text into dst (zero-filled, at least 40960 bytes); 1, or 0
  // when the queue is empty (dst untouched).
  int GetHeadMessage(char* dst);
  // Appends a 40960-byte array allocated with new[]; the queue owns it (a
  // stopped server frees it at once).
  int AppendMessage(char* text);
  // Closes fd when it is greater than 0.
  int CloseClient(int fd);
  // Stops the accept thread and closes the listening socket.
  int CloseServer();
  // Stops the server without destroying it, waiting up to 400 ms for the
  // receive threads to end.
  void DestoryServer();
  // Reads one framed message from fd into buf (zero-filled, 40960 bytes);
  // 1 when a text was read, 0 when the frame was refused.
  int ReadFromClient(int fd, void* buf);

  struct State;

 private:
  std::shared_ptr<State> m_state;
};

#endif
