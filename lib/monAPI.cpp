// Public entry points: check the handle, then dispatch through its procedure table.
#include "lib/monAPIP.h"
#include "lib/monUnixTcp.h"
#include "lib/log.h"

#include <initializer_list>
#include <stdlib.h>
#include <string.h>

// Each entry point accepts the handle kinds that implement it: the flag tells a live handle
// from a closed or foreign pointer before its procedure table is trusted. This library makes
// only network handles; the other kinds keep their old acceptance so that a handle made
// elsewhere is refused or served exactly as before.
namespace {

bool FlagIn(MonHand_t h, std::initializer_list<uint32_t> accepted)
{
    for (uint32_t f : accepted)
        if (h->flag == f)
            return true;
    return false;
}

// Logs the entry point's refusal of handle h.
int Refuse(const char* message, const void* h)
{
    S5LogUpdate(NULL, S5_LEVEL_FAILURE, S5_MSG_BAD_HANDLE, message,
                reinterpret_cast<unsigned long>(h));
    return -1;
}

} // namespace

// The flag reads "closed" until the handle is whole, so that no entry point would use a
// half-made one.
int S5MonNetOpen(const char* hostName, int clientType, S5MonHandle* handlePtr)
{
    *handlePtr = NULL;
    if (clientType != MON_CLIENT_NETWORK) {
        S5LogUpdate(NULL, S5_LEVEL_FAILURE, S5_MSG_BAD_CLIENT_TYPE,
                    "MonNetOpen: bad client type=%d specified", clientType);
        return -1;
    }
    MonHand_t h = static_cast<MonHand_t>(calloc(1, sizeof *h));
    MonGUIInfo_t* info = static_cast<MonGUIInfo_t*>(calloc(1, sizeof *info));
    if (h == NULL || info == NULL) {
        S5LogUpdate(NULL, S5_LEVEL_FAILURE, S5_MSG_NO_MEMORY, "MonNetOpen: malloc() failed");
        free(h);
        free(info);
        return -1;
    }
    h->flag = MON_FLAG_CLOSED;
    h->infoPtr = info;
    MonGUIFillVec(&h->vec);
    strncpy(h->name, hostName, sizeof h->name - 1);
    h->name[sizeof h->name - 1] = '\0';
    h->flag = MON_FLAG_NETWORK;

    info->sock = Mon_TcpConnect(hostName, MON_DEFAULT_PORT);
    if (info->sock == -1) {
        S5LogUpdate(NULL, S5_LEVEL_FAILURE, S5_MSG_CONNECT_FAILED,
                    "Failed to open network connection");
        free(info);
        free(h);
        return -1;
    }
    *handlePtr = h;
    return 0;
}

// Every kind of handle may be closed; the procedure frees the handle, so it must not be
// used afterwards.
int S5MonClose(S5MonHandle handle)
{
    MonHand_t h = static_cast<MonHand_t>(handle);
    if (h == NULL)
        return -1;
    // An empty entry is refused too: calling it would crash.
    if (!FlagIn(h,
                {MON_FLAG_FULL_CLIENT, MON_FLAG_CONN_CLIENT, MON_FLAG_NETWORK, MON_FLAG_USER_CLIENT,
                 MON_FLAG_SENDER})
        || h->vec.closeProc == NULL)
        return Refuse("S5MonClose(): bad handle=0x%lx specified", h);
    return h->vec.closeProc(h);
}

// Sending belongs to the sides that write records (a server's own handles); the network
// client leaves the procedure empty and is refused here.
int S5MonSendData(S5MonHandle handle, const S5MonData* connPtr)
{
    MonHand_t h = static_cast<MonHand_t>(handle);
    if (h == NULL
        || !FlagIn(h,
                   {MON_FLAG_FULL_CLIENT, MON_FLAG_CONN_CLIENT, MON_FLAG_NETWORK, MON_FLAG_SENDER})
        || h->vec.putConnProc == NULL)
        return Refuse("S5MonSendData: invalid handle=0x%lx specified", h);
    return h->vec.putConnProc(h, connPtr);
}

// One connection by the key in *connPtr, which is overwritten with the server's record.
int S5MonRecvData(S5MonHandle handle, S5MonData* connPtr)
{
    MonHand_t h = static_cast<MonHand_t>(handle);
    if (h == NULL || !FlagIn(h, {MON_FLAG_FULL_CLIENT, MON_FLAG_NETWORK})
        || h->vec.getConnProc == NULL)
        return Refuse("S5MonRecvData: invalid handle=0x%lx specified", h);
    return h->vec.getConnProc(h, connPtr);
}

// The next record of a list pass (1), its end (0) or a failure (-1). A pass under way owns
// the connection: the caller reads to its end before asking the handle anything else.
int S5MonRecvNextData(S5MonHandle handle, unsigned all, S5MonData* connPtr)
{
    MonHand_t h = static_cast<MonHand_t>(handle);
    if (h == NULL || !FlagIn(h, {MON_FLAG_FULL_CLIENT, MON_FLAG_CONN_CLIENT, MON_FLAG_NETWORK})
        || h->vec.getNextConnProc == NULL)
        return Refuse("S5MonRecvNextData : invalid handle=0x%lx specified", h);
    return h->vec.getNextConnProc(h, all, connPtr);
}

// The user and total requests are served by the user-side handles as well as the full ones.
int S5MonGetUser(S5MonHandle handle, S5MonUser_t* userPtr)
{
    MonHand_t h = static_cast<MonHand_t>(handle);
    if (h == NULL || !FlagIn(h, {MON_FLAG_FULL_CLIENT, MON_FLAG_USER_CLIENT, MON_FLAG_NETWORK})
        || h->vec.getUserProc == NULL)
        return Refuse("S5MonGetUser: invalid handle=0x%lx specified", h);
    return h->vec.getUserProc(h, userPtr);
}

int S5MonGetNextUser(S5MonHandle handle, S5MonUser_t* userPtr)
{
    MonHand_t h = static_cast<MonHand_t>(handle);
    if (h == NULL || !FlagIn(h, {MON_FLAG_FULL_CLIENT, MON_FLAG_USER_CLIENT, MON_FLAG_NETWORK})
        || h->vec.getNextUserProc == NULL)
        return Refuse("S5MonGetNextUser: invalid handle=0x%lx specified", h);
    return h->vec.getNextUserProc(h, userPtr);
}

int S5MonGetTot(S5MonHandle handle, S5MonTot_t* totPtr)
{
    MonHand_t h = static_cast<MonHand_t>(handle);
    if (h == NULL || !FlagIn(h, {MON_FLAG_FULL_CLIENT, MON_FLAG_USER_CLIENT, MON_FLAG_NETWORK})
        || h->vec.getTotProc == NULL)
        return Refuse("S5MonGetTot: invalid handle=0x%lx specified", h);
    return h->vec.getTotProc(h, totPtr);
}
