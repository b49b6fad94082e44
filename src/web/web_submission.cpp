#include "web/web_submission.h"

#include <vector>

#include "core/text.h"
#include "web/web_exchange.h"

namespace qn {

namespace {

struct Word {
  std::size_t start;
  std::string text;
};

std::vector<Word> Words(std::string_view s) {
  std::vector<Word> words;
  std::size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && s[i] == ' ') ++i;
    std::size_t start = i;
    while (i < s.size() && s[i] != ' ') ++i;
    if (i > start) words.push_back({start, std::string(s.substr(start, i - start))});
  }
  return words;
}

// The text after the first blank opens with ">": an announcement.
bool IsAnnouncement(std::string_view s) {
  std::size_t blank = s.find(' ');
  if (blank == std::string_view::npos) return false;
  std::string after = Trim(s.substr(blank + 1));
  return after.size() >= 2 && after[0] == '>';
}

// Leading blanks gone, runs of blanks made one.
std::string CleanComment(std::string_view text) {
  std::string out;
  for (char c : Trim(text)) {
    if (c == ' ' && !out.empty() && out.back() == ' ') continue;
    out += c;
  }
  return out;
}

}  // namespace

SubmissionCheck CheckSubmissionLine(std::string_view line, SubmitVariant variant) {
  SubmissionCheck check;
  std::string_view body = line.substr(0, line.size() >= 2 ? line.size() - 2 : 0);
  std::string s = Trim(body);
  auto accept = [&] {
    check.line = s.substr(0, std::min(s.size(), kSubmissionLineLimit)) + "\r\n";
    return check;
  };
  if (IsAnnouncement(s)) return accept();
  std::vector<Word> words = Words(s);
  if (words.size() >= 2) {
    const Word& frequency = words[1];
    if (frequency.text.find_first_not_of("0123456789.") == std::string::npos) return accept();
    check.outcome = SubmissionCheck::Outcome::BadFrequency;
    check.message = variant == SubmitVariant::Web ? kSubmitFormatWeb : kSubmitFormatRobot;
    check.frequencyStart = frequency.start;
    check.frequencyLength = frequency.text.size();
    return check;
  }
  check.outcome = SubmissionCheck::Outcome::TooFewWords;
  check.message = variant == SubmitVariant::Web ? kSubmitFormatWebShort : kSubmitFormatRobot;
  check.putBack = WithoutLineBreaks(body);
  return check;
}

SubmissionFields ParseSubmission(std::string_view line, bool jac) {
  SubmissionFields f;
  std::string s = Trim(line) + " ";
  if (!jac && IsAnnouncement(s)) {
    std::size_t blank = s.find(' ');
    f.announcement = true;
    f.callsign = Trim(s.substr(0, blank));
    f.comment = Trim(s.substr(blank + 1)).substr(1);
    return f;
  }
  std::vector<Word> words = Words(s);
  if (!words.empty()) f.callsign = words[0].text;
  if (words.size() > 1) {
    const std::string& frequency = words[1].text;
    std::size_t dot = frequency.find('.');
    f.frequencyInteger = frequency.substr(0, dot);
    if (dot != std::string::npos) f.frequencyDecimal = frequency.substr(dot + 1);
  }
  if (words.size() > 2) {
    f.dxCallsign = words[2].text;
    f.comment = CleanComment(s.substr(words[2].start + words[2].text.size()));
  }
  return f;
}

std::string web::UrlEncode(std::string_view text) {
  static const char* kHex = "0123456789ABCDEF";
  std::string out;
  for (char ch : text) {
    auto c = static_cast<unsigned char>(ch);
    if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
      out += ch;
      continue;
    }
    out += '%';
    if (c >= 16) out += kHex[c >> 4];
    out += kHex[c & 15];
  }
  return out;
}

std::string BuildSubmissionRequest(std::string_view line, bool jac, bool tnc) {
  const std::string t = tnc ? "\r" : "\r\n";
  SubmissionFields f = ParseSubmission(line, jac);
  std::string request;
  std::string body;
  if (jac) {
    body = "SYSTEM=adddx.mtd&report=" + f.callsign + "&freqM=" + f.frequencyInteger +
           "&freqK=" + f.frequencyDecimal + "&dx=" + f.dxCallsign + "&comment=" + f.comment;
    request = "POST /JAC/allbands.html HTTP/1.0" + t;
  } else {
    std::string frequency = f.frequencyInteger;
    if (!f.frequencyDecimal.empty()) frequency += "." + f.frequencyDecimal;
    // Blanks in the request line would end it early, so the texts are encoded.
    std::string info = f.comment.empty() ? std::string() : web::UrlEncode(f.comment);
    std::string query = f.announcement || frequency.empty()
                            ? "callSign=" + f.callsign + "&info=" + info
                            : "callSign=" + f.callsign + "&dxCallSign=" + f.dxCallsign +
                                  "&frequency=" + frequency + "&info=" + info;
    request = std::string("GET http://") + kWebSubmitHost + "/SendSpot.aspx?" + query + " HTTP/1.0\r\n";
    request +=
        "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, application/vnd.ms-excel, "
        "application/vnd.ms-powerpoint, application/msword, application/x-shockwave-flash, */*" +
        t;
    request += "Accept-Language: en-us" + t;
    request += "Proxy-Connection: Keep-Alive" + t;
  }
  if (!tnc) {
    request += "User-Agent: Quillweb/5.5" + t;
    request += std::string("Host: ") + (jac ? kWebJacHost : kWebSubmitHost) + t;
  }
  if (jac)
    request += "Content-length: " + std::to_string(body.size()) + t + t + body + t;
  else
    request += t;
  return request;
}

}  // namespace qn
