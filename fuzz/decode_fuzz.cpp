// Feeds arbitrary bytes to every decoder as a received message of that length.
#include "lib/monMsg.h"

#include <stddef.h>
#include <stdint.h>
#include <string.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 65535)
        return 0;
    // Copy into a buffer of exactly the received size, so any read beyond it is caught.
    char* msg = new char[size ? size : 1];
    memcpy(msg, data, size);
    uint16_t len = static_cast<uint16_t>(size);

    S5MonData conn;
    Mon_MsgToConnLen(&conn, msg, len);
    if (strnlen(conn.srcHostName, sizeof conn.srcHostName) == sizeof conn.srcHostName
        || strnlen(conn.socksErrMsg, sizeof conn.socksErrMsg) == sizeof conn.socksErrMsg
        || strnlen(conn.dstSockAddr.sn.sn_name, sizeof conn.dstSockAddr.sn.sn_name)
            == sizeof conn.dstSockAddr.sn.sn_name
        || conn.optData.len > sizeof conn.optData.data)
        __builtin_trap(); // a decoded name must stay terminated, optional data within its field

    S5MonUser_t user;
    if (Mon_MsgToUserLen(&user, msg, len) >= 0
        && strnlen(user.userName, sizeof user.userName) == sizeof user.userName)
        __builtin_trap();
    S5MonTot_t tot;
    Mon_MsgToTotLen(&tot, msg, len);
    delete[] msg;
    return 0;
}
