// A loopback listener: reads one framed message from every connection and
// keeps the texts in a first-in-first-out queue for one consumer thread.
#ifndef TRANSPORT_COMMONSOCKETSERVER_H
#define TRANSPORT_COMMONSOCKETSERVER_H

#include <memory>

class CommonSocketServer {
 public:
  CommonSocketServer();
  CommonSocketServer(const CommonSocketServer&) = delete;
  CommonSocketServer& operator=(const CommonSocketServer&) = delete;
  ~CommonSocketServer();

  // Listens on 127.0.0.1:port and starts the accept thread; 1 or 0. Nothing
  // stays bound or open after a failure, so the caller may retry another port.
  int InitSocketServer(int port);
  // Number of queued texts (a hint, read without the lock).
  int GetMessageSize();
  // Waits until a text is queued or timeoutMs passed; 1 when one is queued.
  int WaitMessage(int timeoutMs);
  // Moves the oldest text into dst (zero-filled, at least 40960 bytes); 1, or 0
  // when the queue is empty (dst untouched).
  int GetHeadMessage(char* dst);
  // Appends a 40960-byte array allocated with new[]; the queue owns it.
  int AppendMessage(char* text);
  int CloseClient(int fd);
  int CloseServer();
  // Stops the server without destroying it.
  void DestoryServer();
  // Reads one framed message from fd into buf (zero-filled, 40960 bytes);
  // 1 when a text was read, 0 when the frame was refused.
  int ReadFromClient(int fd, void* buf);

  struct State;

 private:
  std::shared_ptr<State> m_state;
};

#endif
