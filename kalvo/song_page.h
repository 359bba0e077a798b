// The song-details page that the player shows in its browser panel, and the
// texts of the song information dialog, both built from the song fields.
#pragma once

#include "kalvo/song_tags.h"

#include <string>

namespace kalvo {

// "3.4" for a TSIZ of 3456789: megabytes with one decimal, cut.
std::string pageSizeText(const std::string& tsiz);
// "4 mins 5 " for a TLEN of 245000.
std::string pageLengthText(const std::string& tlen);

// The whole page. The tag texts are escaped, and an address becomes a link
// only when it is an http, https or mailto address.
std::string songPageHtml(const SongTags& tags, const std::string& picturePath,
                         const std::string& logoPath);

// Escapes & < > " for HTML text and attribute values.
std::string htmlEscape(const std::string& text);
// True for the addresses that may be put into a link.
bool isSafeLink(const std::string& address);

// The information dialog's "MPEG info" text.
std::string songInfoText(const SongTags& tags);
// The file type's description, from the exact TFLT text.
const char* fileTypeDescription(const std::string& tflt);

} // namespace kalvo
