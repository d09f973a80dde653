#pragma once
#include <string>
#include <string_view>

#include "game/flow/replay_header.h"

namespace replaydesk {

// Texts here are CP932 bytes, as the replay file keeps them.

// The 16-character date of the header's dateDigits, e.g. "2005/ 3/ 7/09:05".
// A blank tens digit shows as a space for the month and day and as '0' for
// the hour and minute; a byte that is no digit shows as '?'.
std::string FormatReplayDate(const ReplayHeader& header);

// The fixed summary of a replay: version, the match with the winner marked
// "(w)", the mode (and the difficulty in Arcade), the winner's best combo and
// the date, in lines ended by CR LF. Ids outside the label tables show "?".
std::string FormatReplaySummary(const ReplayHeader& header);

// Copies `text` up to its first NUL, writing every LF as CR LF.
std::string ExpandNewlines(std::string_view text);

// Copies `text` up to its first NUL, leaving out every CR.
std::string StripCarriageReturns(std::string_view text);

// The header's comment for the comment box: every line end, whether LF, CR LF
// (files from elsewhere) or a lone CR, as one CR LF.
std::string ShownComment(const ReplayHeader& header);

// Stores the comment box's text in place of the header's comment. CRs are
// left out; each line break the user kept from the stored comment is written
// back as the line end it had there, and new ones as LF. The result is cut to
// 1023 bytes at a character boundary and NUL-terminated; the comment field's
// bytes behind that NUL stay as they were.
void StoreEditedComment(ReplayHeader& header, std::string_view text);

}  // namespace replaydesk
