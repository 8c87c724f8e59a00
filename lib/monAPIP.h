// Private to the library: the handle record behind S5MonHandle and the network client.
#ifndef VANTOR_MONAPIP_H
#define VANTOR_MONAPIP_H

#include "lib/monAPI.h"
#include "lib/monUnixTcp.h"

struct MonHand;
typedef struct MonHand* MonHand_t;

// The procedure table: every entry takes the handle first.
typedef struct {
    int (*closeProc)(MonHand_t h);
    int (*putConnProc)(MonHand_t h, const S5MonData* connPtr);
    int (*getConnProc)(MonHand_t h, S5MonData* connPtr);
    int (*getNextConnProc)(MonHand_t h, unsigned all, S5MonData* connPtr);
    int (*getUserProc)(MonHand_t h, S5MonUser_t* userPtr);
    int (*getNextUserProc)(MonHand_t h, S5MonUser_t* userPtr);
    int (*getTotProc)(MonHand_t h, S5MonTot_t* totPtr);
} MonVec_t;

struct MonHand {
    // MON_FLAG_...: what kind of handle this is, or that it is closed
    uint32_t flag;
    MonVec_t vec;
    // the kind's own state: MonGUIInfo_t for a network client
    void* infoPtr;
    // the server name it was opened with
    char name[256];
};

// Room for the largest message of either direction (1629 bytes) and its length.
enum { MON_GUI_BUF_LEN = 2048 };

// The network client's state.
typedef struct {
    int sock;
    // a list request is out and its frames are being read
    uint8_t sentReq;
    char request[MON_GUI_BUF_LEN];
    char reply[MON_GUI_BUF_LEN];
    MonTcpInput_t input; // what was read of sock ahead of the replies asked for
} MonGUIInfo_t;

// Fills the procedure table of a network client handle.
void MonGUIFillVec(MonVec_t* vec);

#endif
