// The account the proxy goes on as once its ports are open (the directive "user"), so that
// a proxy started as root to listen on a low port does not relay as root.
#ifndef VANTOR_PROXY_RUNAS_H
#define VANTOR_PROXY_RUNAS_H

#include <string>

// Whether the account exists; false with *error otherwise.
bool accountExists(const std::string& name, std::string* error);
// Takes on the account's groups, group and user, in that order, so that no privilege of the
// old account is kept; false with *error when the account is unknown or the switch fails.
bool switchToAccount(const std::string& name, std::string* error);

#endif
