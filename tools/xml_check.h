#pragma once
// What a WAP gateway's XML parser would refuse in a written page: libxml2
// reads the bytes for well-formedness only (no DTD loaded, nothing fetched,
// no entity expanded from outside), and the page's own declaration is held
// against the bytes: a page declared gb2312 whose bytes are not valid GB2312,
// or declared utf-8 and not valid UTF-8, reads as other characters or not at
// all on the handset.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace morvane::tools {

struct XmlProblem {
    std::size_t line = 1;   ///< from 1
    std::size_t column = 1; ///< from 1, in characters
    std::string message;    ///< one line
};

struct XmlCheckResult {
    std::vector<XmlProblem> problems; ///< in the order of the page, at most kMaxXmlProblems
    std::size_t notShown = 0;         ///< problems found beyond those
};

/// The most problems one page reports; a page of garbage would otherwise give one per line.
inline constexpr std::size_t kMaxXmlProblems = 100;

/// Checks `bytes`, a whole page as written.
XmlCheckResult CheckXml(std::string_view bytes);

/// Why --check cannot run on this system, or empty when it can.
std::string_view XmlCheckRefusal();

} // namespace morvane::tools
