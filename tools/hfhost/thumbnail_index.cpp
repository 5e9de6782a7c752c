// Building index.html of the thumbnail folder.
#include "tools/hfhost/thumbnail_index.h"

namespace hf {

namespace {

std::string Cell(const std::string& html) { return "<td>" + html + "</td>"; }

std::string PictureCell(const ThumbnailIndexRow& row) {
  if (row.picture.empty()) return Cell(row.group ? "no composite yet" : "no preview yet");
  const std::string alt = std::string(row.group ? "composite of " : "preview of ") + row.name;
  return Cell("<a href=\"" + HtmlEscape(UrlPathEscape(row.picture)) + "\"><img src=\"" +
              HtmlEscape(UrlPathEscape(row.picture)) + "\" alt=\"" + HtmlEscape(alt) + "\"></a>");
}

}  // namespace

std::string HtmlEscape(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      case '"': escaped += "&quot;"; break;
      case '\'': escaped += "&#39;"; break;
      case '\0': escaped += "&#xFFFD;"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

std::string UrlPathEscape(std::string_view path) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string escaped;
  for (char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    const bool plain = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
                       byte == '-' || byte == '.' || byte == '_' || byte == '~' || byte == '/';
    if (plain) {
      escaped += c;
    } else {
      escaped += '%';
      escaped += kHex[byte >> 4];
      escaped += kHex[byte & 15];
    }
  }
  return escaped;
}

std::string ThumbnailIndexPage(const std::vector<ThumbnailIndexRow>& rows, unsigned refreshSeconds) {
  std::string page = "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n";
  if (refreshSeconds != 0) page += "<meta http-equiv=\"refresh\" content=\"" + std::to_string(refreshSeconds) + "\">\n";
  page +=
      "<title>Hot Folder thumbnails</title>\n"
      "<style>body{font-family:sans-serif}td,th{padding:4px 8px;text-align:left;vertical-align:middle}"
      "img{max-width:200px;max-height:200px}</style>\n"
      "</head>\n<body>\n<h1>Hot Folder thumbnails</h1>\n<p>" +
      std::to_string(rows.size()) + (rows.size() == 1 ? " job" : " jobs") +
      " handed over, newest first.</p>\n<table>\n"
      "<tr><th>Picture</th><th>Name</th><th>Type</th><th>Size</th><th>Resource ID</th></tr>\n";
  for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
    page += "<tr>" + PictureCell(*row) + Cell(HtmlEscape(row->name)) +
            Cell(HtmlEscape(row->group ? row->jobType + " (group)" : row->jobType)) +
            Cell(std::to_string(row->size) + " bytes") + Cell(HtmlEscape(row->resourceId)) + "</tr>\n";
  }
  return page + "</table>\n</body>\n</html>\n";
}

}  // namespace hf
