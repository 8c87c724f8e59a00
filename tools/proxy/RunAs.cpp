// Dropping root for the account named by "user", once the ports are open.
#include "tools/proxy/RunAs.h"

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

bool findAccount(const std::string& name, uid_t* uid, gid_t* gid, std::string* error)
{
    // Cleared, since getpwnam leaves errno alone when the name simply does not exist.
    errno = 0;
    const passwd* account = getpwnam(name.c_str());
    if (!account) {
        *error = "user " + name + ": no such account";
        return false;
    }
    *uid = account->pw_uid;
    *gid = account->pw_gid;
    return true;
}

} // namespace

// Checked while reading the options, so a misspelt account stops the start before any port opens.
bool accountExists(const std::string& name, std::string* error)
{
    uid_t uid;
    gid_t gid;
    return findAccount(name, &uid, &gid, error);
}

bool switchToAccount(const std::string& name, std::string* error)
{
    uid_t uid;
    gid_t gid;
    if (!findAccount(name, &uid, &gid, error))
        return false;
    if (getuid() == uid && geteuid() == uid && getgid() == gid && getegid() == gid)
        return true; // already that account
    // The order matters: the groups and the group id can only be changed while still root, so the
    // user id goes last. Each step is checked, since going on half-switched would be worse than
    // stopping.
    if (initgroups(name.c_str(), gid) != 0 || setgid(gid) != 0 || setuid(uid) != 0) {
        *error = "cannot go on as user " + name + ": " + std::strerror(errno)
            + " (only a proxy started as root can)";
        return false;
    }
    return true;
}
