// What a server of the monitor protocol sets on each accepted connection.
#ifndef VANTOR_TOOLS_MONITORSOCKET_H
#define VANTOR_TOOLS_MONITORSOCKET_H

// Sends every write at once. A list reply is written in large batches that end in a small
// one; held back until the previous batch was acknowledged, that last piece waited for the
// client's delayed acknowledgement, about 40 ms added to a poll of a few thousand records.
void SendMonitorRepliesAtOnce(int fd);

#endif
