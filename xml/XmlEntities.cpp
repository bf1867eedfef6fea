// Character references understood in element data: the 252 HTML 4 entity names and "apos", folded to
// lower case. Where two names differ only in case (Alpha/alpha, Dagger/dagger, rArr/rarr) the folded name
// stands for the one that carries the upper-case letter. Sorted by name for binary search.
#include "xml/XmlEntities.h"

#include <algorithm>
#include <iterator>

namespace xml {
namespace {

struct Entity {
  const char* name;
  char32_t code;
};

constexpr Entity kEntities[] = {
    {"aacute", 0x00C1}, {"acirc", 0x00C2}, {"acute", 0x00B4}, {"aelig", 0x00C6},
    {"agrave", 0x00C0}, {"alefsym", 0x2135}, {"alpha", 0x0391}, {"amp", 0x0026},
    {"and", 0x2227}, {"ang", 0x2220}, {"apos", 0x0027}, {"aring", 0x00C5},
    {"asymp", 0x2248}, {"atilde", 0x00C3}, {"auml", 0x00C4}, {"bdquo", 0x201E},
    {"beta", 0x0392}, {"brvbar", 0x00A6}, {"bull", 0x2022}, {"cap", 0x2229},
    {"ccedil", 0x00C7}, {"cedil", 0x00B8}, {"cent", 0x00A2}, {"chi", 0x03A7},
    {"circ", 0x02C6}, {"clubs", 0x2663}, {"cong", 0x2245}, {"copy", 0x00A9},
    {"crarr", 0x21B5}, {"cup", 0x222A}, {"curren", 0x00A4}, {"dagger", 0x2021},
    {"darr", 0x21D3}, {"deg", 0x00B0}, {"delta", 0x0394}, {"diams", 0x2666},
    {"divide", 0x00F7}, {"eacute", 0x00C9}, {"ecirc", 0x00CA}, {"egrave", 0x00C8},
    {"empty", 0x2205}, {"emsp", 0x2003}, {"ensp", 0x2002}, {"epsilon", 0x0395},
    {"equiv", 0x2261}, {"eta", 0x0397}, {"eth", 0x00D0}, {"euml", 0x00CB},
    {"euro", 0x20AC}, {"exist", 0x2203}, {"fnof", 0x0192}, {"forall", 0x2200},
    {"frac12", 0x00BD}, {"frac14", 0x00BC}, {"frac34", 0x00BE}, {"frasl", 0x2044},
    {"gamma", 0x0393}, {"ge", 0x2265}, {"gt", 0x003E}, {"harr", 0x21D4},
    {"hearts", 0x2665}, {"hellip", 0x2026}, {"iacute", 0x00CD}, {"icirc", 0x00CE},
    {"iexcl", 0x00A1}, {"igrave", 0x00CC}, {"image", 0x2111}, {"infin", 0x221E},
    {"int", 0x222B}, {"iota", 0x0399}, {"iquest", 0x00BF}, {"isin", 0x2208},
    {"iuml", 0x00CF}, {"kappa", 0x039A}, {"lambda", 0x039B}, {"lang", 0x2329},
    {"laquo", 0x00AB}, {"larr", 0x21D0}, {"lceil", 0x2308}, {"ldquo", 0x201C},
    {"le", 0x2264}, {"lfloor", 0x230A}, {"lowast", 0x2217}, {"loz", 0x25CA},
    {"lrm", 0x200E}, {"lsaquo", 0x2039}, {"lsquo", 0x2018}, {"lt", 0x003C},
    {"macr", 0x00AF}, {"mdash", 0x2014}, {"micro", 0x00B5}, {"middot", 0x00B7},
    {"minus", 0x2212}, {"mu", 0x039C}, {"nabla", 0x2207}, {"nbsp", 0x00A0},
    {"ndash", 0x2013}, {"ne", 0x2260}, {"ni", 0x220B}, {"not", 0x00AC},
    {"notin", 0x2209}, {"nsub", 0x2284}, {"ntilde", 0x00D1}, {"nu", 0x039D},
    {"oacute", 0x00D3}, {"ocirc", 0x00D4}, {"oelig", 0x0152}, {"ograve", 0x00D2},
    {"oline", 0x203E}, {"omega", 0x03A9}, {"omicron", 0x039F}, {"oplus", 0x2295},
    {"or", 0x2228}, {"ordf", 0x00AA}, {"ordm", 0x00BA}, {"oslash", 0x00D8},
    {"otilde", 0x00D5}, {"otimes", 0x2297}, {"ouml", 0x00D6}, {"para", 0x00B6},
    {"part", 0x2202}, {"permil", 0x2030}, {"perp", 0x22A5}, {"phi", 0x03A6},
    {"pi", 0x03A0}, {"piv", 0x03D6}, {"plusmn", 0x00B1}, {"pound", 0x00A3},
    {"prime", 0x2033}, {"prod", 0x220F}, {"prop", 0x221D}, {"psi", 0x03A8},
    {"quot", 0x0022}, {"radic", 0x221A}, {"rang", 0x232A}, {"raquo", 0x00BB},
    {"rarr", 0x21D2}, {"rceil", 0x2309}, {"rdquo", 0x201D}, {"real", 0x211C},
    {"reg", 0x00AE}, {"rfloor", 0x230B}, {"rho", 0x03A1}, {"rlm", 0x200F},
    {"rsaquo", 0x203A}, {"rsquo", 0x2019}, {"sbquo", 0x201A}, {"scaron", 0x0160},
    {"sdot", 0x22C5}, {"sect", 0x00A7}, {"shy", 0x00AD}, {"sigma", 0x03A3},
    {"sigmaf", 0x03C2}, {"sim", 0x223C}, {"spades", 0x2660}, {"sub", 0x2282},
    {"sube", 0x2286}, {"sum", 0x2211}, {"sup", 0x2283}, {"sup1", 0x00B9},
    {"sup2", 0x00B2}, {"sup3", 0x00B3}, {"supe", 0x2287}, {"szlig", 0x00DF},
    {"tau", 0x03A4}, {"there4", 0x2234}, {"theta", 0x0398}, {"thetasym", 0x03D1},
    {"thinsp", 0x2009}, {"thorn", 0x00DE}, {"tilde", 0x02DC}, {"times", 0x00D7},
    {"trade", 0x2122}, {"uacute", 0x00DA}, {"uarr", 0x21D1}, {"ucirc", 0x00DB},
    {"ugrave", 0x00D9}, {"uml", 0x00A8}, {"upsih", 0x03D2}, {"upsilon", 0x03A5},
    {"uuml", 0x00DC}, {"weierp", 0x2118}, {"xi", 0x039E}, {"yacute", 0x00DD},
    {"yen", 0x00A5}, {"yuml", 0x0178}, {"zeta", 0x0396}, {"zwj", 0x200D},
    {"zwnj", 0x200C},
};

}  // namespace

char32_t LookupEntity(std::string_view lower_name) {
  auto it = std::lower_bound(std::begin(kEntities), std::end(kEntities), lower_name,
                             [](const Entity& e, std::string_view n) { return std::string_view(e.name) < n; });
  if (it == std::end(kEntities) || std::string_view(it->name) != lower_name) return 0;
  return it->code;
}

}  // namespace xml
