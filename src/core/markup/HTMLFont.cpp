#include "core/markup/HTMLFont.h"

#include <climits>
#include <cstdlib>
#include <string>

namespace cva::markup {

namespace {

struct SNamedColor {
    const char* m_name;
    const char* m_hex;
};

// The colour keywords of web pages, as our texts have always read them: "Mocassin" with
// one c too many, and Khaki with two of its digits swapped.
constexpr SNamedColor kNamedColors[] = {
    {"AliceBlue", "F0F8FF"}, {"AntiqueWhite", "FAEBD7"}, {"Aqua", "00FFFF"},
    {"Aquamarine", "7FFFD4"}, {"Azure", "F0FFFF"}, {"Beige", "F5F5DC"},
    {"Bisque", "FFE4C4"}, {"Black", "000000"}, {"BlanchedAlmond", "FFEBCD"},
    {"Blue", "0000FF"}, {"BlueViolet", "8A2BE2"}, {"Brown", "A52A2A"},
    {"BurlyWood", "DEB887"}, {"CadetBlue", "5F9EA0"}, {"Chartreuse", "7FFF00"},
    {"Chocolate", "D2691E"}, {"Coral", "FF7F50"}, {"CornflowerBlue", "6495ED"},
    {"Cornsilk", "FFF8DC"}, {"Crimson", "DC143C"}, {"Cyan", "00FFFF"},
    {"DarkBlue", "00008B"}, {"DarkCyan", "008B8B"}, {"DarkGoldenRod", "B8860B"},
    {"DarkGray", "A9A9A9"}, {"DarkGreen", "006400"}, {"DarkKhaki", "BDB76B"},
    {"DarkMagenta", "8B008B"}, {"DarkOliveGreen", "556B2F"}, {"DarkOrange", "FF8C00"},
    {"DarkOrchid", "9932CC"}, {"DarkRed", "8B0000"}, {"DarkSalmon", "E9967A"},
    {"DarkSeaGreen", "8FBC8F"}, {"DarkSlateBlue", "483D8B"}, {"DarkSlateGray", "2F4F4F"},
    {"DarkTurquoise", "00CED1"}, {"DarkViolet", "9400D3"}, {"DeepPink", "FF1493"},
    {"DeepSkyBlue", "00BFFF"}, {"DimGray", "696969"}, {"DodgerBlue", "1E90FF"},
    {"FireBrick", "B22222"}, {"FloralWhite", "FFFAF0"}, {"ForestGreen", "228B22"},
    {"Fuchsia", "FF00FF"}, {"Gainsboro", "DCDCDC"}, {"GhostWhite", "F8F8FF"},
    {"Gold", "FFD700"}, {"GoldenRod", "DAA520"}, {"Gray", "808080"},
    {"Green", "008000"}, {"GreenYellow", "ADFF2F"}, {"HoneyDew", "F0FFF0"},
    {"HotPink", "FF69B4"}, {"IndianRed", "CD5C5C"}, {"Indigo", "4B0082"},
    {"Ivory", "FFFFF0"}, {"Khaki", "F0E86C"}, {"Lavender", "E6E6FA"},
    {"LavenderBlush", "FFF0F5"}, {"LawnGreen", "7CFC00"}, {"LemonChiffon", "FFFACD"},
    {"LightBlue", "ADD8E6"}, {"LightCoral", "F08080"}, {"LightCyan", "E0FFFF"},
    {"LightGoldenRodYellow", "FAFAD2"}, {"LightGray", "D3D3D3"}, {"LightGreen", "90EE90"},
    {"LightPink", "FFB6C1"}, {"LightSalmon", "FFA07A"}, {"LightSeaGreen", "20B2AA"},
    {"LightSkyBlue", "87CEFA"}, {"LightSlateGray", "778899"}, {"LightSteelBlue", "B0C4DE"},
    {"LightYellow", "FFFFE0"}, {"Lime", "00FF00"}, {"LimeGreen", "32CD32"},
    {"Linen", "FAF0E6"}, {"Magenta", "FF00FF"}, {"Maroon", "800000"},
    {"MediumAquaMarine", "66CDAA"}, {"MediumBlue", "0000CD"}, {"MediumOrchid", "BA55D3"},
    {"MediumPurple", "9370DB"}, {"MediumSeaGreen", "3CB371"}, {"MediumSlateBlue", "7B68EE"},
    {"MediumSpringGreen", "00FA9A"}, {"MediumTurquoise", "48D1CC"},
    {"MediumVioletRed", "C71585"}, {"MidnightBlue", "191970"}, {"MintCream", "F5FFFA"},
    {"MistyRose", "FFE4E1"}, {"Mocassin", "FFE4B5"}, {"NavajoWhite", "FFDEAD"},
    {"Navy", "000080"}, {"OldLace", "FDF5E6"}, {"Olive", "808000"},
    {"OliveDrab", "6B8E23"}, {"Orange", "FFA500"}, {"OrangeRed", "FF4500"},
    {"Orchid", "DA70D6"}, {"PaleGoldenRod", "EEE8AA"}, {"PaleGreen", "98FB98"},
    {"PaleTurquoise", "AFEEEE"}, {"PaleVioletRed", "DB7093"}, {"PapayaWhip", "FFEFD5"},
    {"PeachPuff", "FFDAB9"}, {"Peru", "CD853F"}, {"Pink", "FFC0CB"},
    {"Plum", "DDA0DD"}, {"PowderBlue", "B0E0E6"}, {"Purple", "800080"},
    {"Red", "FF0000"}, {"RosyBrown", "BC8F8F"}, {"RoyalBlue", "4169E1"},
    {"SaddleBrown", "8B4513"}, {"Salmon", "FA8072"}, {"SandyBrown", "F4A460"},
    {"SeaGreen", "2E8B57"}, {"SeaShell", "FFF5EE"}, {"Sienna", "A0522D"},
    {"Silver", "C0C0C0"}, {"SkyBlue", "87CEEB"}, {"SlateBlue", "6A5ACD"},
    {"SlateGray", "708090"}, {"Snow", "FFFAFA"}, {"SpringGreen", "00FF7F"},
    {"SteelBlue", "4682B4"}, {"Tan", "D2B48C"}, {"Teal", "008080"},
    {"Thistle", "D8BFD8"}, {"Tomato", "FF6347"}, {"Turquoise", "40E0D0"},
    {"Violet", "EE82EE"}, {"Wheat", "F5DEB3"}, {"White", "FFFFFF"},
    {"WhiteSmoke", "F5F5F5"}, {"Yellow", "FFFF00"}, {"YellowGreen", "9ACD32"},
};

bool EqualsAsciiNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
        char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] - 'A' + 'a') : b[i];
        if (x != y) return false;
    }
    return true;
}

// The leading hexadecimal digits of two characters; 0 when there are none.
unsigned HexPair(std::string_view digits) {
    unsigned value = 0;
    for (char c : digits.substr(0, 2)) {
        unsigned digit;
        if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'f') digit = static_cast<unsigned>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F') digit = static_cast<unsigned>(c - 'A' + 10);
        else break;
        value = value * 16 + digit;
    }
    return value;
}

// A number as atoi reads it, held within the int range so that size steps cannot overflow.
long long LeadingNumber(std::string_view text) {
    long long value = std::strtoll(std::string(text).c_str(), nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return value;
}

} // namespace

double CHTMLFont::SizeFactor(int index) {
    static constexpr double kFactors[] = {0.625, 0.8, 1.0, 1.125, 1.5, 2.0, 3.0};
    if (index > 7) return index / 7.0 * 3.0;
    if (index < 1) return 1.0;
    return kFactors[index - 1];
}

void CHTMLFont::SetSize(std::string_view value) {
    long long index;
    if (value.starts_with('+')) index = m_nSizeIndex + LeadingNumber(value.substr(1));
    else if (value.starts_with('-')) index = m_nSizeIndex - LeadingNumber(value.substr(1));
    else index = LeadingNumber(value);
    if (index > INT_MAX) index = INT_MAX;
    if (index < INT_MIN) index = INT_MIN;
    const int newIndex = static_cast<int>(index);
    m_dPointSize = m_dPointSize / SizeFactor(m_nSizeIndex) * SizeFactor(newIndex);
    m_nSizeIndex = newIndex;
}

std::optional<std::string_view> CHTMLFont::NamedColor(std::string_view name) {
    for (const SNamedColor& color : kNamedColors)
        if (EqualsAsciiNoCase(name, color.m_name)) return std::string_view(color.m_hex);
    return std::nullopt;
}

bool CHTMLFont::SetColor(std::string_view value) {
    std::string digits;
    if (value.starts_with('#')) {
        digits = value.substr(1);
        if (digits.size() < 6) digits.insert(0, 6 - digits.size(), '0');
    } else if (auto named = NamedColor(value)) {
        digits = *named;
    } else {
        return false;
    }
    std::string_view view(digits);
    m_nColor = HexPair(view.substr(0, 2)) << 16 | HexPair(view.substr(2, 2)) << 8 |
               HexPair(view.substr(4, 2));
    return true;
}

} // namespace cva::markup
