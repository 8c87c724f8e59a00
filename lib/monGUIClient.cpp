// The network client behind a handle: requests and replies of the monitor protocol over TCP.
#include "lib/monAPIP.h"
#include "lib/monUnixTcp.h"
#include "lib/log.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

// How long a whole list pass may take (ms); see S5MonSetPassLimit.
int passLimitMs = 300000;

// Every procedure first checks that the handle is a usable network client.
bool HandleUsable(MonHand_t h, const char* procName)
{
    if (h->flag == MON_FLAG_NETWORK)
        return true;
    char message[96];
    snprintf(message, sizeof message, "%s: bad handle=0x%%lx specified", procName);
    S5LogUpdate(NULL, S5_LEVEL_FAILURE, S5_MSG_BAD_HANDLE, message,
                reinterpret_cast<unsigned long>(h));
    return false;
}

MonGUIInfo_t* InfoOf(MonHand_t h)
{
    return static_cast<MonGUIInfo_t*>(h->infoPtr);
}

// Sends a request built in info->request and receives one reply frame into info->reply.
int Exchange(MonGUIInfo_t* info, uint16_t requestLen)
{
    if (Mon_TcpSend(info->sock, requestLen, info->request) < 0)
        return -1;
    return Mon_TcpRecvBuffered(info->sock, &info->input, MON_GUI_BUF_LEN, info->reply);
}

// One step of a list pass: sends the list request built in info->request unless one is
// outstanding, then receives one frame. Returns its length; 0 ends the pass; -1 on failure;
// S5MON_NOT_YET when wait is false and no whole frame has come.
// A list is one request answered by a stream of frames ended by an empty one. The request
// goes out once, on the first call; sentReq remembers that a pass is under way, so that the
// following calls only read. The pass has two clocks: one for the whole pass, so that a
// server trickling records forever cannot hold the window, and one per frame, restarted by
// every frame that arrives.
int NextListFrame(MonGUIInfo_t* info, uint16_t requestLen, bool wait)
{
    if (!info->sentReq) {
        if (Mon_TcpSend(info->sock, requestLen, info->request) < 0)
            return -1;
        info->sentReq = 1;
        info->input.deadline = Mon_TcpClockMs() + passLimitMs;
        Mon_TcpStartFrameClock(&info->input);
    }
    int len = wait
        ? Mon_TcpRecvBuffered(info->sock, &info->input, MON_GUI_BUF_LEN, info->reply)
        : Mon_TcpRecvBufferedNoWait(info->sock, &info->input, MON_GUI_BUF_LEN, info->reply);
    if (len < 0 && !wait && errno == EAGAIN)
        return S5MON_NOT_YET;
    if (len == 0) {
        info->sentReq = 0; // the server has sent the whole list
        info->input.deadline = 0;
        info->input.frameDeadline = 0;
    }
    return len;
}

// Requests about users and totals carry the version after the type; connection requests do not.
void PutVersion(char* msg, char type)
{
    msg[0] = type;
    msg[1] = MON_MAJOR_VER;
    msg[2] = MON_MINOR_VER;
}

// Closing ends the connection and frees the handle and its reader: the caller's pointer
// must not be used again.
int MonGUIClose(MonHand_t h)
{
    if (!HandleUsable(h, "MonGUIClose"))
        return -1;
    h->flag = MON_FLAG_CLOSED;
    Mon_TcpClose(InfoOf(h)->sock);
    free(h->infoPtr);
    free(h);
    return 0;
}

// One connection by its key; an empty reply means the server knows no such connection.
int MonGUIGetConn(MonHand_t h, S5MonData* connPtr)
{
    if (!HandleUsable(h, "MonGUIGetConn"))
        return -1;
    MonGUIInfo_t* info = InfoOf(h);
    info->request[0] = MON_MSG_GET_CONN;
    memcpy(info->request + 1, connPtr->key.key, sizeof connPtr->key.key);
    int len = Exchange(info, MON_GET_CONN_LEN);
    if (len < 0)
        return -1;
    if (len == 0) {
        S5LogUpdate(NULL, S5_LEVEL_FAILURE, S5_MSG_NOTHING_AVAILABLE,
                    "MonGUIGet: no connection available");
        return -1;
    }
    Mon_MsgToConnLen(connPtr, info->reply, static_cast<uint16_t>(len));
    return 0;
}

// The next record of a connection list, waiting for it or not (the event loop's form).
int NextConn(MonHand_t h, unsigned all, S5MonData* connPtr, bool wait)
{
    MonGUIInfo_t* info = InfoOf(h);
    if (!info->sentReq) {
        info->request[0] = MON_MSG_GET_NEXT_CONN;
        info->request[1] = static_cast<char>(all);
    }
    int len = NextListFrame(info, MON_GET_NEXT_CONN_LEN, wait);
    if (len <= 0)
        return len;
    Mon_MsgToConnLen(connPtr, info->reply, static_cast<uint16_t>(len));
    return 1;
}

int MonGUIGetNextConn(MonHand_t h, unsigned all, S5MonData* connPtr)
{
    if (!HandleUsable(h, "MonGUIGetNextConn"))
        return -1;
    return NextConn(h, all, connPtr, true);
}

// The request always goes out at its full length of 1543 bytes, the name in its free area.
int MonGUIGetUser(MonHand_t h, S5MonUser_t* userPtr)
{
    if (!HandleUsable(h, "MonGUIGetUser"))
        return -1;
    MonGUIInfo_t* info = InfoOf(h);
    memset(info->request, 0, MON_GET_USER_LEN);
    PutVersion(info->request, MON_MSG_GET_USER);
    uint16_t offset = 0;
    uint16_t nameLen = static_cast<uint16_t>(strnlen(userPtr->userName, S5_NAME_LEN - 1) + 1);
    char name[S5_NAME_LEN];
    memcpy(name, userPtr->userName, nameLen - 1);
    name[nameLen - 1] = '\0';
    Mon_MsgFromVarLen(name, nameLen, info->request + 3, info->request + 7, &offset);
    int len = Exchange(info, MON_GET_USER_LEN);
    if (len < 0)
        return -1;
    if (len == 0) {
        S5LogUpdate(NULL, S5_LEVEL_FAILURE, S5_MSG_NOTHING_AVAILABLE,
                    "MonGUIGetUser: no user available");
        return -1;
    }
    return Mon_MsgToUserLen(userPtr, info->reply, static_cast<uint16_t>(len)) < 0 ? -1 : 0;
}

// A user list is a pass like the connection list: one request, frames until an empty one.
int MonGUIGetNextUser(MonHand_t h, S5MonUser_t* userPtr)
{
    if (!HandleUsable(h, "MonGUIGetNextUser"))
        return -1;
    MonGUIInfo_t* info = InfoOf(h);
    if (!info->sentReq)
        PutVersion(info->request, MON_MSG_GET_NEXT_USER);
    int len = NextListFrame(info, MON_GET_NEXT_USER_LEN, true);
    if (len <= 0)
        return len;
    return Mon_MsgToUserLen(userPtr, info->reply, static_cast<uint16_t>(len)) < 0 ? -1 : 1;
}

// The totals come as one frame; an empty reply counts as a failure, as a server always has
// totals to give.
int MonGUIGetTot(MonHand_t h, S5MonTot_t* totPtr)
{
    if (!HandleUsable(h, "MonGUIGetTot"))
        return -1;
    MonGUIInfo_t* info = InfoOf(h);
    PutVersion(info->request, MON_MSG_GET_TOT);
    int len = Exchange(info, MON_GET_TOT_LEN);
    if (len <= 0)
        return -1;
    return Mon_MsgToTotLen(totPtr, info->reply, static_cast<uint16_t>(len)) < 0 ? -1 : 0;
}

} // namespace

// The network client alone reads a pass without waiting; these refuse any other handle.
namespace {

MonHand_t NetworkHandle(S5MonHandle handle, const char* procName)
{
    MonHand_t h = static_cast<MonHand_t>(handle);
    return h != NULL && HandleUsable(h, procName) ? h : NULL;
}

} // namespace

int S5MonDescriptor(S5MonHandle handle)
{
    MonHand_t h = NetworkHandle(handle, "S5MonDescriptor");
    return h ? InfoOf(h)->sock : -1;
}

int S5MonRecvNextDataNoWait(S5MonHandle handle, unsigned all, S5MonData* connPtr)
{
    MonHand_t h = NetworkHandle(handle, "S5MonRecvNextDataNoWait");
    return h ? NextConn(h, all, connPtr, false) : -1;
}

int S5MonWaitLimitMs(S5MonHandle handle)
{
    MonHand_t h = NetworkHandle(handle, "S5MonWaitLimitMs");
    return h ? Mon_TcpWaitLimitMs(&InfoOf(h)->input) : -1;
}

// One limit for every handle of the process: it is a policy of the program, not a property
// of a server.
int S5MonSetPassLimit(int milliseconds)
{
    int previous = passLimitMs;
    passLimitMs = milliseconds;
    return previous;
}

// The procedure table the entry points dispatch through; an empty slot is refused there.
void MonGUIFillVec(MonVec_t* vec)
{
    vec->closeProc = MonGUIClose;
    vec->putConnProc = NULL; // the network client only reads
    vec->getConnProc = MonGUIGetConn;
    vec->getNextConnProc = MonGUIGetNextConn;
    vec->getUserProc = MonGUIGetUser;
    vec->getNextUserProc = MonGUIGetNextUser;
    vec->getTotProc = MonGUIGetTot;
}
