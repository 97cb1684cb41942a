#include "xlsx/PageSetup.h"

namespace SimpleXlsx {

std::string HeaderFooterSections(std::string_view left, std::string_view center,
                                 std::string_view right)
{
    std::string text;
    for (const auto& [code, section] :
         {std::pair<const char*, std::string_view>{"&L", left}, {"&C", center}, {"&R", right}})
        if (!section.empty()) {
            text += code;
            text += section;
        }
    return text;
}

std::string HeaderFooterLiteral(std::string_view text)
{
    std::string literal;
    for (char c : text) {
        literal += c;
        if (c == '&')
            literal += '&';
    }
    return literal;
}

std::string HeaderFooterFont(std::string_view name, std::string_view style, uint32_t points)
{
    std::string code = "&\"";
    for (char c : name)
        if (c != '"')
            code += c;
    code += ',';
    code += style;
    code += '"';
    if (points != 0)
        code += '&' + std::to_string(points);
    return code;
}

}  // namespace SimpleXlsx
