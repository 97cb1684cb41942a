#include "xlsx/Style.h"

#include <algorithm>

namespace SimpleXlsx {

namespace {

// Position of the first equal entry, appending the value when there is none.
template <typename T>
uint64_t FindOrAppend(std::vector<T>& list, const T& value)
{
    const auto found = std::find(list.begin(), list.end(), value);
    if (found != list.end())
        return static_cast<uint64_t>(found - list.begin());
    list.push_back(value);
    return list.size() - 1;
}

}  // namespace

uint64_t StyleList::AddNumFormat(const NumFormat& format)
{
    const auto found = std::find(numFormats.begin(), numFormats.end(), format);
    if (found != numFormats.end())
        return found->id;
    if (format.id >= NumFormat::firstCustomId)
        format.id = nextNumFormatId++;
    numFormats.push_back(format);
    return format.id;
}

uint64_t StyleList::Add(const Style& style)
{
    const IndexRecord record = {FindOrAppend(borders, style.border),
                                FindOrAppend(fonts, style.font), FindOrAppend(fills, style.fill),
                                AddNumFormat(style.numFormat)};
    const Position position(style.horizAlign, style.vertAlign, style.wrapText);

    for (size_t i = 0; i < styleIndexes.size(); ++i)
        if (styleIndexes[i] == record && stylePositions[i] == position)
            return i;

    styleIndexes.push_back(record);
    stylePositions.push_back(position);
    return styleIndexes.size() - 1;
}

}  // namespace SimpleXlsx
