// Codec between monitor records and monitor messages (big-endian, unaligned). The proxy's
// monitoring service encodes with it; the window, vantor-mon and the exporter decode.
#include "lib/monMsg.h"
#include "lib/log.h"

#include <stdio.h>
#include <string.h>

// Every integer travels big-endian at a fixed offset that need not be aligned, so values are
// assembled byte by byte instead of cast from the buffer: no alignment trap, no byte-order
// assumption about the host.
namespace {

void MsgFromInt16(uint16_t value, char* bufPtr)
{
    bufPtr[0] = static_cast<char>(value >> 8);
    bufPtr[1] = static_cast<char>(value);
}

void MsgFromInt32(uint32_t value, char* bufPtr)
{
    bufPtr[0] = static_cast<char>(value >> 24);
    bufPtr[1] = static_cast<char>(value >> 16);
    bufPtr[2] = static_cast<char>(value >> 8);
    bufPtr[3] = static_cast<char>(value);
}

void MsgToInt16(uint16_t* valuePtr, const char* bufPtr)
{
    const unsigned char* b = reinterpret_cast<const unsigned char*>(bufPtr);
    *valuePtr = static_cast<uint16_t>((b[0] << 8) | b[1]);
}

void MsgToInt32(uint32_t* valuePtr, const char* bufPtr)
{
    const unsigned char* b = reinterpret_cast<const unsigned char*>(bufPtr);
    *valuePtr = (static_cast<uint32_t>(b[0]) << 24) | (static_cast<uint32_t>(b[1]) << 16)
        | (static_cast<uint32_t>(b[2]) << 8) | b[3];
}

void MsgToTime(S5Time* timePtr, const char* bufPtr)
{
    uint32_t raw;
    MsgToInt32(&raw, bufPtr);
    *timePtr = static_cast<S5Time>(raw);
}

// Decodes a piece into a field and clears the rest of the field, so that a record decoded
// into a used buffer holds exactly what one decoded into a cleared buffer would.
void FieldFrom(void* field, uint16_t cap, const char* descPtr, const char* freePtr,
               uint16_t freeLen)
{
    uint16_t copied = 0;
    Mon_MsgToVarLenBounded(field, cap, &copied, descPtr, freePtr, freeLen);
    memset(static_cast<char*>(field) + copied, 0, cap - copied);
}

// Copies the piece that a descriptor names into a name field, keeping it NUL-terminated.
void MsgToName(char* name, const char* descPtr, const char* freePtr, uint16_t freeLen)
{
    uint16_t copied = 0;
    Mon_MsgToVarLenBounded(name, S5_NAME_LEN, &copied, descPtr, freePtr, freeLen);
    if (copied == S5_NAME_LEN)
        name[S5_NAME_LEN - 1] = '\0';
}

// Length of the free area that a received message of msgLen bytes holds behind fixedLen.
uint16_t FreeLenOf(uint16_t msgLen, uint16_t fixedLen)
{
    if (msgLen <= fixedLen)
        return 0;
    uint16_t freeLen = static_cast<uint16_t>(msgLen - fixedLen);
    return freeLen > MON_FREE_LEN ? static_cast<uint16_t>(MON_FREE_LEN) : freeLen;
}

// Places a name with its terminating NUL, even when its 128-byte field holds none.
void PlaceName(const char* name, char* descPtr, char* freePtr, uint16_t* offsetPtr,
               bool evenIfEmpty = false)
{
    if (name[0] == '\0' && !evenIfEmpty)
        return;
    char terminated[S5_NAME_LEN];
    size_t len = strnlen(name, S5_NAME_LEN - 1);
    memcpy(terminated, name, len);
    terminated[len] = '\0';
    Mon_MsgFromVarLen(terminated, static_cast<uint16_t>(len + 1), descPtr, freePtr, offsetPtr);
}

// User and total replies carry the protocol version in bytes 1 and 2. Only a reply newer
// than 1.0 is refused (logged, -1): its layout may differ; any 0.x is read as 1.0.
bool VersionAccepted(const char* msgPtr, const char* decoderName)
{
    unsigned char major = static_cast<unsigned char>(msgPtr[1]);
    unsigned char minor = static_cast<unsigned char>(msgPtr[2]);
    if (major == 0 || (major == MON_MAJOR_VER && minor == MON_MINOR_VER))
        return true;
    S5LogUpdate(NULL, S5_LEVEL_FAILURE, S5_MSG_BAD_VERSION,
                "%s: Msg type=%d has bad version=%d.%d expected version=%d.%d", decoderName,
                static_cast<unsigned char>(msgPtr[0]), major, minor, MON_MAJOR_VER, MON_MINOR_VER);
    return false;
}

} // namespace

// Variable-length pieces live in the free area behind the fixed part; the fixed part holds a
// 4-byte descriptor (length, offset into the free area) for each. Pieces are appended in
// order, so *offsetPtr is both the next free byte and the bytes used so far.
void Mon_MsgFromVarLen(const void* dataPtr, uint16_t dataLen, char* bufPtr, char* freePtr,
                       uint16_t* offsetPtr)
{
    if (static_cast<unsigned>(*offsetPtr) + dataLen > MON_FREE_LEN)
        return; // does not fit: left out, the descriptor stays as it was
    MsgFromInt16(dataLen, bufPtr);
    if (dataLen != 0) {
        MsgFromInt16(*offsetPtr, bufPtr + 2);
        memcpy(freePtr + *offsetPtr, dataPtr, dataLen);
        *offsetPtr = static_cast<uint16_t>(*offsetPtr + dataLen);
    }
}

// The descriptor comes from the network: its offset and length are trusted only as far as
// the received free area and the caller's field allow.
void Mon_MsgToVarLenBounded(void* dataPtr, uint16_t dataCap, uint16_t* dataLenPtr,
                            const char* bufPtr, const char* freePtr, uint16_t freeLen)
{
    uint16_t len, offset;
    MsgToInt16(&len, bufPtr);
    *dataLenPtr = 0;
    if (len == 0)
        return;
    MsgToInt16(&offset, bufPtr + 2);
    if (offset >= freeLen)
        return;
    unsigned avail = static_cast<unsigned>(freeLen) - offset;
    unsigned n = len;
    if (n > avail)
        n = avail;
    if (n > dataCap)
        n = dataCap;
    memcpy(dataPtr, freePtr + offset, n);
    *dataLenPtr = static_cast<uint16_t>(n);
}

void Mon_MsgToVarLen(void* dataPtr, uint16_t* dataLenPtr, const char* bufPtr, const char* freePtr)
{
    Mon_MsgToVarLenBounded(dataPtr, MON_FREE_LEN, dataLenPtr, bufPtr, freePtr, MON_FREE_LEN);
}

// The connection message has no version bytes: the key follows the type at once. The fixed
// part is 93 bytes: type, key and next key (10 each), seven 32-bit and two 16-bit fields,
// then ten descriptors; the three addresses, six names and the optional data follow in the
// free area in that order, each left out when it would not fit.
int Mon_MsgFromConn(const S5MonData* connPtr, char* msgPtr)
{
    memset(msgPtr, 0, MON_CONN_MAX_LEN);
    char* freePtr = msgPtr + MON_CONN_FIXED_LEN;
    uint16_t offset = 0;

    msgPtr[0] = MON_MSG_CONN;
    memcpy(msgPtr + 1, connPtr->key.key, sizeof connPtr->key.key);
    memcpy(msgPtr + 11, connPtr->nextKey.key, sizeof connPtr->nextKey.key);
    MsgFromInt32(connPtr->state, msgPtr + 21);
    MsgFromInt32(static_cast<uint32_t>(connPtr->startTime), msgPtr + 25);
    MsgFromInt32(static_cast<uint32_t>(connPtr->curTime), msgPtr + 29);
    MsgFromInt32(static_cast<uint32_t>(connPtr->endTime), msgPtr + 33);
    MsgFromInt32(connPtr->inTotBytes, msgPtr + 37);
    MsgFromInt32(connPtr->outTotBytes, msgPtr + 41);
    MsgFromInt32(connPtr->socksErr, msgPtr + 45);
    MsgFromInt16(connPtr->socksCmd, msgPtr + 49);
    MsgFromInt16(connPtr->authen, msgPtr + 51);

    Mon_MsgFromVarLen(&connPtr->srcSockAddr, sizeof(S5NetAddr), msgPtr + MON_CONN_OFF_SRCADDR,
                      freePtr, &offset);
    Mon_MsgFromVarLen(&connPtr->dstSockAddr, sizeof(S5NetAddr), msgPtr + MON_CONN_OFF_DSTADDR,
                      freePtr, &offset);
    Mon_MsgFromVarLen(&connPtr->proxySockAddr, sizeof(S5NetAddr), msgPtr + MON_CONN_OFF_PROXYADDR,
                      freePtr, &offset);
    PlaceName(connPtr->srcHostName, msgPtr + MON_CONN_OFF_SRCHOST, freePtr, &offset);
    PlaceName(connPtr->dstHostName, msgPtr + MON_CONN_OFF_DSTHOST, freePtr, &offset);
    PlaceName(connPtr->proxyHostName, msgPtr + MON_CONN_OFF_PROXYHOST, freePtr, &offset);
    PlaceName(connPtr->userName, msgPtr + MON_CONN_OFF_USER, freePtr, &offset);
    PlaceName(connPtr->appName, msgPtr + MON_CONN_OFF_APP, freePtr, &offset);
    PlaceName(connPtr->socksErrMsg, msgPtr + MON_CONN_OFF_ERRMSG, freePtr, &offset);
    if (connPtr->optData.len != 0) {
        uint16_t optLen = connPtr->optData.len > sizeof connPtr->optData.data
            ? static_cast<uint16_t>(sizeof connPtr->optData.data)
            : connPtr->optData.len;
        Mon_MsgFromVarLen(connPtr->optData.data, optLen, msgPtr + MON_CONN_OFF_OPTDATA, freePtr,
                          &offset);
    }
    return MON_CONN_FIXED_LEN + offset;
}

// The fields from the source address to the optional data lie one after another.
static_assert(offsetof(S5MonData, optData)
                  == offsetof(S5MonData, srcSockAddr) + 3 * sizeof(S5NetAddr) + 6 * S5_NAME_LEN,
              "no padding between the decoded fields");

int Mon_MsgToConnLen(S5MonData* connPtr, const char* msgPtr, uint16_t msgLen)
{
    // The fixed part and the optional data are cleared here; every other field is written
    // whole below. Clearing all 1.6 KB first would cost a pass of a big poll as much again.
    memset(connPtr, 0, offsetof(S5MonData, srcSockAddr));
    memset(&connPtr->optData, 0, sizeof *connPtr - offsetof(S5MonData, optData));
    if (msgLen < MON_CONN_FIXED_LEN) {
        // A truncated message: decode the whole fixed part from a zero-padded copy.
        char fixed[MON_CONN_FIXED_LEN] = {0};
        memcpy(fixed, msgPtr, msgLen);
        return Mon_MsgToConnLen(connPtr, fixed, MON_CONN_FIXED_LEN);
    }
    // Addresses and names are read from the free area through their descriptors; a short or
    // malformed message leaves the remaining fields zero rather than failing, so one bad record
    // from a server costs only its own contents.
    const char* freePtr = msgPtr + MON_CONN_FIXED_LEN;
    uint16_t freeLen = FreeLenOf(msgLen, MON_CONN_FIXED_LEN);

    memcpy(connPtr->key.key, msgPtr + 1, sizeof connPtr->key.key);
    memcpy(connPtr->nextKey.key, msgPtr + 11, sizeof connPtr->nextKey.key);
    MsgToInt32(&connPtr->state, msgPtr + 21);
    MsgToTime(&connPtr->startTime, msgPtr + 25);
    MsgToTime(&connPtr->curTime, msgPtr + 29);
    MsgToTime(&connPtr->endTime, msgPtr + 33);
    MsgToInt32(&connPtr->inTotBytes, msgPtr + 37);
    MsgToInt32(&connPtr->outTotBytes, msgPtr + 41);
    MsgToInt32(&connPtr->socksErr, msgPtr + 45);
    MsgToInt16(&connPtr->socksCmd, msgPtr + 49);
    MsgToInt16(&connPtr->authen, msgPtr + 51);

    FieldFrom(&connPtr->srcSockAddr, sizeof(S5NetAddr), msgPtr + MON_CONN_OFF_SRCADDR, freePtr,
              freeLen);
    FieldFrom(&connPtr->dstSockAddr, sizeof(S5NetAddr), msgPtr + MON_CONN_OFF_DSTADDR, freePtr,
              freeLen);
    FieldFrom(&connPtr->proxySockAddr, sizeof(S5NetAddr), msgPtr + MON_CONN_OFF_PROXYADDR, freePtr,
              freeLen);
    // A named address must stay NUL-terminated as well.
    connPtr->srcSockAddr.sn.sn_name[sizeof connPtr->srcSockAddr.sn.sn_name - 1] = '\0';
    connPtr->dstSockAddr.sn.sn_name[sizeof connPtr->dstSockAddr.sn.sn_name - 1] = '\0';
    connPtr->proxySockAddr.sn.sn_name[sizeof connPtr->proxySockAddr.sn.sn_name - 1] = '\0';
    char* names[] = {connPtr->srcHostName, connPtr->dstHostName, connPtr->proxyHostName,
                     connPtr->userName,    connPtr->appName,     connPtr->socksErrMsg};
    const int nameOffsets[] = {MON_CONN_OFF_SRCHOST, MON_CONN_OFF_DSTHOST, MON_CONN_OFF_PROXYHOST,
                               MON_CONN_OFF_USER,    MON_CONN_OFF_APP,     MON_CONN_OFF_ERRMSG};
    for (int i = 0; i < 6; i++) {
        FieldFrom(names[i], S5_NAME_LEN, msgPtr + nameOffsets[i], freePtr, freeLen);
        names[i][S5_NAME_LEN - 1] = '\0';
    }
    Mon_MsgToVarLenBounded(connPtr->optData.data, sizeof connPtr->optData.data,
                           &connPtr->optData.len, msgPtr + MON_CONN_OFF_OPTDATA, freePtr, freeLen);

    // The decoded length: the fixed part plus all announced pieces.
    int total = MON_CONN_FIXED_LEN;
    for (int off = MON_CONN_OFF_SRCADDR; off <= MON_CONN_OFF_OPTDATA; off += 4) {
        uint16_t len;
        MsgToInt16(&len, msgPtr + off);
        total += len;
    }
    return total;
}

int Mon_MsgToConn(S5MonData* connPtr, const char* msgPtr)
{
    return Mon_MsgToConnLen(connPtr, msgPtr, MON_CONN_MAX_LEN);
}

// The user message: type, version, the user name's descriptor at byte 3, then nine 32-bit
// counters and times; the name alone goes to the free area, even when empty, because readers
// expect its descriptor to name a terminated string.
int Mon_MsgFromUser(const S5MonUser_t* userPtr, char* msgPtr)
{
    memset(msgPtr, 0, MON_USER_MAX_LEN);
    uint16_t offset = 0;
    msgPtr[0] = MON_MSG_USER;
    msgPtr[1] = MON_MAJOR_VER;
    msgPtr[2] = MON_MINOR_VER;
    PlaceName(userPtr->userName, msgPtr + 3, msgPtr + MON_USER_FIXED_LEN, &offset, true);
    MsgFromInt32(userPtr->curConns, msgPtr + 7);
    MsgFromInt32(userPtr->errConns, msgPtr + 11);
    MsgFromInt32(userPtr->endConns, msgPtr + 15);
    MsgFromInt32(userPtr->totConns, msgPtr + 19);
    MsgFromInt32(userPtr->inTotBytes, msgPtr + 23);
    MsgFromInt32(userPtr->outTotBytes, msgPtr + 27);
    MsgFromInt32(static_cast<uint32_t>(userPtr->startTime), msgPtr + 31);
    MsgFromInt32(static_cast<uint32_t>(userPtr->curTime), msgPtr + 35);
    MsgFromInt32(static_cast<uint32_t>(userPtr->endTime), msgPtr + 39);
    return MON_USER_FIXED_LEN + offset;
}

int Mon_MsgToUserLen(S5MonUser_t* userPtr, const char* msgPtr, uint16_t msgLen)
{
    memset(userPtr, 0, sizeof *userPtr);
    if (msgLen < MON_USER_FIXED_LEN) {
        // As for connections: a truncated message is read from a zero-padded copy.
        char fixed[MON_USER_FIXED_LEN] = {0};
        memcpy(fixed, msgPtr, msgLen);
        return Mon_MsgToUserLen(userPtr, fixed, MON_USER_FIXED_LEN);
    }
    if (!VersionAccepted(msgPtr, "Mon_MsgToUser"))
        return -1;
    MsgToName(userPtr->userName, msgPtr + 3, msgPtr + MON_USER_FIXED_LEN,
              FreeLenOf(msgLen, MON_USER_FIXED_LEN));
    MsgToInt32(&userPtr->curConns, msgPtr + 7);
    MsgToInt32(&userPtr->errConns, msgPtr + 11);
    MsgToInt32(&userPtr->endConns, msgPtr + 15);
    MsgToInt32(&userPtr->totConns, msgPtr + 19);
    MsgToInt32(&userPtr->inTotBytes, msgPtr + 23);
    MsgToInt32(&userPtr->outTotBytes, msgPtr + 27);
    MsgToTime(&userPtr->startTime, msgPtr + 31);
    MsgToTime(&userPtr->curTime, msgPtr + 35);
    MsgToTime(&userPtr->endTime, msgPtr + 39);
    return sizeof(S5MonUser_t);
}

int Mon_MsgToUser(S5MonUser_t* userPtr, const char* msgPtr)
{
    return Mon_MsgToUserLen(userPtr, msgPtr, MON_USER_MAX_LEN);
}

// The totals message is fixed: type, version, then fifteen 32-bit fields in the order of
// S5MonTot_t, which the table below spells out rather than relying on the struct's layout.
int Mon_MsgFromTot(const S5MonTot_t* totPtr, char* msgPtr)
{
    msgPtr[0] = MON_MSG_TOT;
    msgPtr[1] = MON_MAJOR_VER;
    msgPtr[2] = MON_MINOR_VER;
    const uint32_t fields[15] = {totPtr->curUsers,
                                 totPtr->errUsers,
                                 totPtr->endUsers,
                                 totPtr->delUsers,
                                 totPtr->totUsers,
                                 totPtr->curConns,
                                 totPtr->errConns,
                                 totPtr->endConns,
                                 totPtr->delConns,
                                 totPtr->totConns,
                                 totPtr->inTotBytes,
                                 totPtr->outTotBytes,
                                 static_cast<uint32_t>(totPtr->startTime),
                                 static_cast<uint32_t>(totPtr->curTime),
                                 static_cast<uint32_t>(totPtr->endTime)};
    for (int i = 0; i < 15; i++)
        MsgFromInt32(fields[i], msgPtr + 3 + 4 * i);
    return MON_TOT_LEN;
}

int Mon_MsgToTotLen(S5MonTot_t* totPtr, const char* msgPtr, uint16_t msgLen)
{
    if (msgLen < MON_TOT_LEN) {
        char fixed[MON_TOT_LEN] = {0};
        memcpy(fixed, msgPtr, msgLen);
        return Mon_MsgToTotLen(totPtr, fixed, MON_TOT_LEN);
    }
    if (!VersionAccepted(msgPtr, "Mon_MsgToTot"))
        return -1;
    uint32_t fields[15];
    for (int i = 0; i < 15; i++)
        MsgToInt32(&fields[i], msgPtr + 3 + 4 * i);
    totPtr->curUsers = fields[0];
    totPtr->errUsers = fields[1];
    totPtr->endUsers = fields[2];
    totPtr->delUsers = fields[3];
    totPtr->totUsers = fields[4];
    totPtr->curConns = fields[5];
    totPtr->errConns = fields[6];
    totPtr->endConns = fields[7];
    totPtr->delConns = fields[8];
    totPtr->totConns = fields[9];
    totPtr->inTotBytes = fields[10];
    totPtr->outTotBytes = fields[11];
    totPtr->startTime = static_cast<S5Time>(fields[12]);
    totPtr->curTime = static_cast<S5Time>(fields[13]);
    totPtr->endTime = static_cast<S5Time>(fields[14]);
    return sizeof(S5MonTot_t);
}

int Mon_MsgToTot(S5MonTot_t* totPtr, const char* msgPtr)
{
    return Mon_MsgToTotLen(totPtr, msgPtr, MON_TOT_LEN);
}

// The key is opaque to the protocol; servers fill it with their process id, thread id and a
// connection number, so that text is what an administrator can match against the server's log.
char* MonKeyStr(S5MonKey key, char* bufPtr)
{
    uint32_t pid, thread;
    uint16_t conn;
    memcpy(&pid, key.key, 4); // host byte order, as the server wrote it
    memcpy(&thread, key.key + 4, 4);
    memcpy(&conn, key.key + 8, 2);
    snprintf(bufPtr, 28, "<%lu,%lx,%u>", static_cast<unsigned long>(pid),
             static_cast<unsigned long>(thread), static_cast<unsigned>(conn));
    return bufPtr;
}
