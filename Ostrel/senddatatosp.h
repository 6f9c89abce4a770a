// Delivery of one rendered request to the device service.
#ifndef OSTREL_SENDDATATOSP_H
#define OSTREL_SENDDATATOSP_H

// Writes length bytes of text, raw (no header), on a fresh connection to
// 127.0.0.1:port, which is closed right after the write. Takes ownership of
// text (allocated with array new) and releases it on every path. 1 when all
// bytes were written, else 0. The fourth argument is not used.
int SendDataToSP(int port, char* text, int& length, int unused = 0);

#endif
