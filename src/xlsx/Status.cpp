#include "xlsx/Status.h"

#include <cstring>
#include <utility>

namespace SimpleXlsx {

Status::Status(EStatusKind kind, std::string message, std::string subject, int errorNumber)
    : kind(kind), errorNumber(errorNumber), subject(std::move(subject)), message(std::move(message))
{}

Status Status::System(std::string message, std::string path, int errorNumber)
{
    return Status(STATUS_SYSTEM, std::move(message), std::move(path), errorNumber);
}

Status Status::NoMemory()
{
    return Status(STATUS_NO_MEMORY, "not enough memory");
}

std::string Status::Text() const
{
    if (Ok())
        return "ok";
    std::string text = message;
    if (!subject.empty())
        text += (text.empty() ? "" : " ") + subject;
    if (errorNumber != 0)
        text += std::string(": ") + std::strerror(errorNumber);
    return text;
}

}  // namespace SimpleXlsx
