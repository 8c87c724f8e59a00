// The written form of the access rules, as configuration lines and command-line values give
// them, split into words:
//   client rule:  pass|block [from CIDR]
//   request rule: pass|block [from CIDR] [to CIDR|HOST|.DOMAIN] [port N|N-M]
//                 [command connect|bind|udpassociate] [user NAME]
// The parts after pass or block may stand in any order, each at most once.
#ifndef VANTOR_PROXY_RULESYNTAX_H
#define VANTOR_PROXY_RULESYNTAX_H

#include <string>
#include <vector>

#include "tools/proxy/AccessRules.h"

// Each fills the rule's conditions and text (not its number or place); on failure returns
// false with *error saying what is wrong.
bool parseClientRule(const std::vector<std::string>& words, ClientRule* out, std::string* error);
bool parseRequestRule(const std::vector<std::string>& words, RequestRule* out, std::string* error);

#endif
