#pragma once
#include "platform/media_stubs.h"

// DirectPlay: a thread that creates and initialises a DirectPlay 8 peer and
// then idles until the layer ends.

extern platform::DirectPlayPeer* directPlayPeer;

// Logs its banner and starts the thread, returning once the peer was made
// (or its creation failed, logged and shown in the "Error" box); returns 1.
int InitializeDirectPlay();
// Logs its banner and ends the thread, which releases the peer.
void DestroyDirectPlay();
