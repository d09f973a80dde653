#pragma once
// What a test peer does once its own part of a match is over: the peer may
// still be waiting for this side's last samples (the packets may have been
// lost), so it answers the peer's resend requests from the samples it sent
// until the peer has been silent for two seconds.

void AnswerResendRequestsUntilSilent();
