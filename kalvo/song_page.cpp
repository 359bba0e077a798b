#include "kalvo/song_page.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kalvo {

namespace {

// The music service's pages that the page links to besides the song's own.
constexpr const char* servicePage = "https://orvane.example/";
constexpr const char* picksPage = "https://orvane.example/picks-of-the-week";
constexpr const char* topPage = "https://orvane.example/top-downloads";

// The number at the start of a tag text, as the tag's digits give it; 0 for
// none, and never more than fits in 64 bits.
long long leadingNumber(const std::string& text) {
    long long n = std::strtoll(text.c_str(), nullptr, 10);
    return n < 0 ? 0 : n;
}

// <a href="address">inner</a> for a safe address, only inner otherwise.
std::string link(const std::string& address, const std::string& innerHtml, const char* extra = "") {
    if (!isSafeLink(address)) return innerHtml;
    return "<a href=\"" + htmlEscape(address) + "\"" + extra + ">" + innerHtml + "</a>";
}

bool startsWithNoCase(const std::string& text, const char* prefix) {
    size_t n = std::strlen(prefix);
    if (text.size() < n) return false;
    for (size_t i = 0; i < n; ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

} // namespace

std::string htmlEscape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

bool isSafeLink(const std::string& address) {
    return startsWithNoCase(address, "http://") || startsWithNoCase(address, "https://") ||
           startsWithNoCase(address, "mailto:");
}

std::string pageSizeText(const std::string& tsiz) {
    long long size = leadingNumber(tsiz);
    char text[48];
    std::snprintf(text, sizeof text, "%lld.%lld", size / 1000000, size % 1000000 / 100000);
    return text;
}

std::string pageLengthText(const std::string& tlen) {
    long long s = leadingNumber(tlen) / 1000;
    char text[64];
    std::snprintf(text, sizeof text, "%lld mins %1.1lld ", s / 60, s % 60);
    return text;
}

std::string songPageHtml(const SongTags& tags, const std::string& picturePath,
                         const std::string& logoPath) {
    const char* small = "<font face=\"Arial\" size=\"1\" color=\"#FFD700\">";
    std::string artist = htmlEscape(tags.artist);
    std::string h;
    h += "<html><head><title>Song Details</title></head>\n"
         "<body bgcolor=\"#5A879E\" leftmargin=\"0\" topmargin=\"0\">\n"
         "<table width=\"300\" border=\"0\" cellspacing=\"4\" cellpadding=\"0\" "
         "bgcolor=\"#5A879E\"><tr>\n<td valign=\"top\" align=\"center\">";
    h += link(tags.artistAddress, "<img src=\"" + htmlEscape(picturePath) +
                                      "\" width=\"100\" height=\"100\" border=\"0\" alt=\"\">");
    h += "<br>\n";
    h += link(servicePage,
              "<img src=\"" + htmlEscape(logoPath) +
                  "\" width=\"80\" height=\"62\" border=\"0\" alt=\"Orvane\">",
              " target=\"_blank\"");
    h += "<br>\n";
    h += small + link(picksPage, "picks of the week", " target=\"_blank\"") + "</font><br>\n";
    h += small + link(topPage, "top downloads", " target=\"_blank\"") + "</font></td>\n";
    h += "<td valign=\"top\"><font face=\"Arial\" size=\"2\" color=\"#FFD700\"><b>";
    h += link(tags.artistAddress, artist);
    h += "</b></font><br>\n<font face=\"Arial\" size=\"2\" color=\"#FFFFFF\">&quot;";
    h += htmlEscape(tags.title);
    h += "&quot;<br>\n(";
    h += link(tags.commercialAddress, htmlEscape(tags.publisher));
    h += ")</font><br>\n<font face=\"Arial\" size=\"1\" color=\"#FFFFFF\">File Size: ";
    h += pageSizeText(tags.size);
    h += " MB<br>\nSong Length: ";
    h += pageLengthText(tags.length);
    h += " secs<br>\n";
    h += htmlEscape(tags.blurb);
    h += "</font></td>\n</tr></table>\n</body></html>\n";
    return h;
}

const char* fileTypeDescription(const std::string& tflt) {
    static const struct {
        const char* type;
        const char* description;
    } types[] = {
        {"MPG/1", "MPEG 1.0 Layer 1"},         {"MPG/2", "MPEG 1.0 Layer 2"},
        {"MPG/2.5", "MPEG 1.0 Layer 2.5"},     {"MPG/3", "MPEG 1.0 Layer 3"},
        {"MPG/AAC", "Adv. audio compression"}, {"VQF", "Interleave Vector Quantization"},
    };
    for (const auto& t : types)
        if (tflt == t.type) return t.description;
    return "";
}

std::string songInfoText(const SongTags& tags) {
    // TLEN in ms shown as seconds by dropping its last three digits; a
    // shorter text is less than a second.
    std::string seconds =
        tags.length.size() > 3 ? tags.length.substr(0, tags.length.size() - 3) : "0";
    std::string t;
    t += "Size: " + tags.size + " bytes \n";
    t += "Length: " + seconds + " seconds \n";
    t += std::string(fileTypeDescription(tags.fileType)) + "\n";
    t += "Copyright: " + tags.copyright.substr(0, 4) + "\n";
    t += "Image Type: " + tags.pictureMimeType + "\n";
    return t;
}

} // namespace kalvo
