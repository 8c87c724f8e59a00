// The service name shown for a destination port ("http" for 80 and so on).
#ifndef VANTOR_PROXY_SERVICES_H
#define VANTOR_PROXY_SERVICES_H

#include <cstdint>
#include <string>

// A well-known name for the port, or the port number in decimal. Never looks anything up.
std::string serviceName(uint16_t port);

#endif
