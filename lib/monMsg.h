// Records of the monitor protocol and the codec between records and messages.
#ifndef VANTOR_MONMSG_H
#define VANTOR_MONMSG_H

#include <stddef.h>
#include <stdint.h>
#include <sys/socket.h>
#include <netinet/in.h>

typedef uint32_t S5Count; // unsigned 32-bit counter
typedef int32_t S5Time;   // seconds since the Epoch

// Identity of one proxied connection at the server: 10 opaque bytes.
typedef struct {
    char key[10];
} S5MonKey;

// Optional data of a connection: its length and, kept, its first two bytes.
typedef struct {
    uint16_t len; // bytes of optional data
    char data[2];
} S5OptData;

// A socket address as it travels inside a connection message: 260 bytes, unchanged. An
// IPv4 address (family AF_INET), an IPv6 one (AF_INET6) or a name (family 255).
typedef union tagS5NetAddr {
    struct sockaddr sa;
    struct sockaddr_in sin;
    struct sockaddr_in6 sin6;
    struct {
        uint16_t sn_family;
        uint16_t sn_port;
        char sn_name[255];
    } sn;
} S5NetAddr;

static_assert(sizeof(S5NetAddr) == 260, "the field's size is fixed by the protocol");
// Readers take the port from sin_port whatever the family.
static_assert(offsetof(struct sockaddr_in6, sin6_port) == offsetof(struct sockaddr_in, sin_port),
              "one port offset for both families");

// Room of each name field, its terminating NUL included.
#define S5_NAME_LEN 128

// One proxied connection as a server reports it. Counters are 32 bits and wrap: readers
// take differences modulo 2^32.
typedef struct {
    S5MonKey key;
    S5MonKey nextKey;
    S5Count totConns; // not carried by the connection message; 0 after decoding
    uint32_t state;   // server-defined bits: 8 ended, 4 (with 8) failed
    S5Time startTime;
    S5Time curTime;
    S5Time endTime;
    S5Time readTime; // not carried either
    S5Count inTotBytes;
    S5Count outTotBytes;
    uint32_t socksErr; // SOCKS reply code of a failed connection
    uint16_t authen;   // authentication method
    uint16_t socksCmd; // SOCKS command: 1 CONNECT, 2 BIND, 3 UDP ASSOCIATE
    S5NetAddr srcSockAddr;
    S5NetAddr dstSockAddr;
    S5NetAddr proxySockAddr;
    char srcHostName[S5_NAME_LEN];
    char dstHostName[S5_NAME_LEN];
    char proxyHostName[S5_NAME_LEN];
    char userName[S5_NAME_LEN];
    char appName[S5_NAME_LEN];
    char socksErrMsg[S5_NAME_LEN];
    S5OptData optData;
} S5MonData;

// One user of a server: current, failed, ended and total connections, bytes in and out.
typedef struct {
    char userName[S5_NAME_LEN];
    S5Count curConns;
    S5Count errConns;
    S5Count endConns;
    S5Count totConns;
    S5Count inTotBytes;
    S5Count outTotBytes;
    S5Time startTime;
    S5Time curTime;
    S5Time endTime;
} S5MonUser_t;

// A server's totals over users and connections, with bytes in and out since it started.
typedef struct {
    S5Count curUsers;
    S5Count errUsers;
    S5Count endUsers;
    S5Count delUsers;
    S5Count totUsers;
    S5Count curConns;
    S5Count errConns;
    S5Count endConns;
    S5Count delConns;
    S5Count totConns;
    S5Count inTotBytes;
    S5Count outTotBytes;
    S5Time startTime;
    S5Time curTime;
    S5Time endTime;
} S5MonTot_t;

// Message types. A user reply and the totals reply share type 8: the request asked tells
// them apart.
enum {
    MON_MSG_GET_CONN = 1,
    MON_MSG_GET_NEXT_CONN = 2,
    MON_MSG_CONN = 3,
    MON_MSG_GET_USER = 4,
    MON_MSG_GET_NEXT_USER = 5,
    MON_MSG_GET_TOT = 7,
    MON_MSG_USER = 8,
    MON_MSG_TOT = 8
};

// Sizes and offsets of the messages.
enum {
    MON_FREE_LEN = 1536, // the free area for variable-length data
    MON_GET_CONN_LEN = 11,
    MON_GET_NEXT_CONN_LEN = 2,
    MON_CONN_FIXED_LEN = 93,
    MON_CONN_MAX_LEN = 93 + 1536, // 1629
    MON_GET_USER_LEN = 7 + 1536,  // 1543
    MON_GET_NEXT_USER_LEN = 3,
    MON_GET_TOT_LEN = 3,
    MON_USER_FIXED_LEN = 43,
    MON_USER_MAX_LEN = 43 + 1536, // 1579
    MON_TOT_LEN = 63,
    MON_MAJOR_VER = 1,
    MON_MINOR_VER = 0
};

// Descriptor offsets inside a connection message.
enum {
    MON_CONN_OFF_SRCADDR = 53,
    MON_CONN_OFF_PROXYADDR = 57,
    MON_CONN_OFF_DSTADDR = 61,
    MON_CONN_OFF_SRCHOST = 65,
    MON_CONN_OFF_DSTHOST = 69,
    MON_CONN_OFF_PROXYHOST = 73,
    MON_CONN_OFF_USER = 77,
    MON_CONN_OFF_APP = 81,
    MON_CONN_OFF_ERRMSG = 85,
    MON_CONN_OFF_OPTDATA = 89
};

// Encoders (the serving side's half) return the message length.
int Mon_MsgFromConn(const S5MonData* connPtr, char* msgPtr);
int Mon_MsgFromUser(const S5MonUser_t* userPtr, char* msgPtr);
int Mon_MsgFromTot(const S5MonTot_t* totPtr, char* msgPtr);
void Mon_MsgFromVarLen(const void* dataPtr, uint16_t dataLen, char* bufPtr, char* freePtr,
                       uint16_t* offsetPtr);

// Decoders. The plain forms assume a message buffer of the largest size of its kind; the
// ...Len forms are given the received length and never read beyond it. A piece that lies
// partly outside the message or exceeds its field is cut to what fits; names stay
// NUL-terminated.
int Mon_MsgToConn(S5MonData* connPtr, const char* msgPtr);
int Mon_MsgToConnLen(S5MonData* connPtr, const char* msgPtr, uint16_t msgLen);
int Mon_MsgToUser(S5MonUser_t* userPtr, const char* msgPtr);
int Mon_MsgToUserLen(S5MonUser_t* userPtr, const char* msgPtr, uint16_t msgLen);
int Mon_MsgToTot(S5MonTot_t* totPtr, const char* msgPtr);
int Mon_MsgToTotLen(S5MonTot_t* totPtr, const char* msgPtr, uint16_t msgLen);

// Copies the piece that the descriptor at bufPtr names out of the free area. dataPtr must
// hold MON_FREE_LEN bytes; the piece is cut to the free area.
void Mon_MsgToVarLen(void* dataPtr, uint16_t* dataLenPtr, const char* bufPtr, const char* freePtr);
// The bounded form: at most dataCap bytes are written, only the freeLen bytes of the free
// area that were received are read. *dataLenPtr receives the number of bytes copied.
void Mon_MsgToVarLenBounded(void* dataPtr, uint16_t dataCap, uint16_t* dataLenPtr,
                            const char* bufPtr, const char* freePtr, uint16_t freeLen);

// Text form "<pid,thread,conn>" of a key; bufPtr holds at least 28 bytes.
char* MonKeyStr(S5MonKey key, char* bufPtr);

#endif
