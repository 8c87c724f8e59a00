// The log line of an ended connection, in the manner of danted's: who, as whom, for what and
// where to, the bytes each way, how long, and how it ended:
//   connect alice@127.0.0.1:40312 -> example.org:443 [192.0.2.7:443]: 1520 bytes out,
//   48211 bytes in, 3 s: ended
// "-" stands for what the connection never got to: a command, a destination. The result
// is "ended", or the error text the monitors list ("blocked by rule 3").
#ifndef VANTOR_PROXY_CONNECTIONLOG_H
#define VANTOR_PROXY_CONNECTIONLOG_H

#include <string>

#include "tools/proxy/ConnTable.h"

std::string endedConnectionText(const ConnRecord& rec);

#endif
