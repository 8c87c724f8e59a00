// Well-known service names of destination ports (see Services.h).
#include "tools/proxy/Services.h"

namespace {
struct Known {
    uint16_t port;
    const char* name;
};

// Built in so that the answer is the same on every machine and needs no file or network.
const Known known[] = {
    {20, "ftp-data"},    {21, "ftp"},      {22, "ssh"},          {23, "telnet"},
    {25, "smtp"},        {43, "whois"},    {53, "domain"},       {70, "gopher"},
    {79, "finger"},      {80, "http"},     {110, "pop3"},        {119, "nntp"},
    {123, "ntp"},        {143, "imap"},    {194, "irc"},         {389, "ldap"},
    {443, "https"},      {465, "smtps"},   {587, "submission"},  {636, "ldaps"},
    {873, "rsync"},      {993, "imaps"},   {995, "pop3s"},       {1080, "socks"},
    {1194, "openvpn"},   {1433, "ms-sql"}, {3128, "squid"},      {3306, "mysql"},
    {3389, "rdp"},       {5222, "xmpp"},   {5432, "postgresql"}, {5900, "vnc"},
    {6379, "redis"},     {6667, "irc"},    {8000, "http-alt"},   {8080, "http-alt"},
    {8443, "https-alt"},
};
} // namespace

// An unknown port is named by its number, so the column is never empty.
std::string serviceName(uint16_t port)
{
    for (const Known& k : known)
        if (k.port == port)
            return k.name;
    return std::to_string(port);
}
