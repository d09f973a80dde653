#pragma once
// The network select: scene SCENE_SELECT in MODE_VS_NETWORK. It opens the
// socket and looks for the peer, then both players turn their own wheels at
// once, either chooses the stage, and the match goes on to the versus screen
// and the network battle with the socket left open. Each machine sends its
// local word every netSendInterval frames and feeds the pair of words of each
// period into its own copy of the select state, on the same frame as the peer.

void RunNetworkSelectScene();
void InitNetworkSelect();
void UpdateNetworkSelect();
void LeaveNetworkSelect();
