// The handle-based client API of the monitor protocol.
#ifndef VANTOR_MONAPI_H
#define VANTOR_MONAPI_H

#include "lib/monMsg.h"

// An opened client: what S5MonNetOpen gives and every other call takes. The calls return 0
// (or 1 for a record of a list) on success and -1 on failure, logged; after a failure the
// stream may be out of step, so the caller closes the handle and opens a new one.
typedef void* S5MonHandle;

// Handle kinds (the handle's flag). Only the network client is made by this library; the
// entry points also take four other kinds, named here by the operations they are let use.
#define MON_FLAG_CLOSED 0xdeadbeefu
#define MON_FLAG_NETWORK 0xdeafbeadu
#define MON_FLAG_FULL_CLIENT 0xbabefaceu // every operation
#define MON_FLAG_CONN_CLIENT 0xdeedfadeu // connection lists and sending records
#define MON_FLAG_USER_CLIENT 0xbadfacedu // users and totals
#define MON_FLAG_SENDER 0xdeafbabeu      // sending records only

// The client type S5MonNetOpen accepts: a client of the monitoring service over TCP.
#define MON_CLIENT_NETWORK 0

// The most connections of one list that a client keeps: about 1 GB of table rows.
enum { MON_LIST_RECORDS_MAX = 500000 };

// Connects to the monitoring service of hostName (a host, with ":port" optional; see
// Mon_SplitServerName) and gives a handle in *handlePtr, or NULL on failure.
int S5MonNetOpen(const char* hostName, int clientType, S5MonHandle* handlePtr);
// Closes the connection and frees the handle.
int S5MonClose(S5MonHandle h);
// The serving side's half: sends one connection record.
int S5MonSendData(S5MonHandle h, const S5MonData* connPtr);
// Asks for the connection whose key connPtr->key holds and reads it into *connPtr.
int S5MonRecvData(S5MonHandle h, S5MonData* connPtr);
// Reads a list of connections one record a call: the first call sends the request (all is
// a selector passed on to the server; the window sends 0), each call gives 1 and a record,
// and 0 at the end of the list.
int S5MonRecvNextData(S5MonHandle h, unsigned all, S5MonData* connPtr);
// Reads the counters of the user named in userPtr->userName.
int S5MonGetUser(S5MonHandle h, S5MonUser_t* userPtr);
// Reads the list of users one a call, like S5MonRecvNextData.
int S5MonGetNextUser(S5MonHandle h, S5MonUser_t* userPtr);
// Reads the server's totals.
int S5MonGetTot(S5MonHandle h, S5MonTot_t* totPtr);

// Reading a list pass from an event loop, with a network client handle. The no-wait call
// is S5MonRecvNextData that never waits: when no whole frame has come it returns
// S5MON_NOT_YET, and the caller calls again once S5MonDescriptor is readable or, at the
// latest, after S5MonWaitLimitMs milliseconds (-1: no limit), when a pass whose frame or
// whole time is up fails with ETIMEDOUT as the waiting call would.
enum { S5MON_NOT_YET = -2 };
// The socket to watch for readability; -1 when the handle has none.
int S5MonDescriptor(S5MonHandle h);
int S5MonRecvNextDataNoWait(S5MonHandle h, unsigned all, S5MonData* connPtr);
int S5MonWaitLimitMs(S5MonHandle h);

// How long one list pass may take, from its request to its closing empty frame, however
// steadily the records come: past it the list call fails (ETIMEDOUT) and the handle is
// lost, as after any failure. 300000 ms unless changed. Returns the previous value.
int S5MonSetPassLimit(int milliseconds);

#endif
