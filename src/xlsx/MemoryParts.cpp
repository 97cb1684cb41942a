#include "xlsx/internal/MemoryParts.h"

#include <map>
#include <mutex>
#include <utility>

namespace SimpleXlsx {

namespace MemoryParts {

namespace {

struct Held
{
    std::string bytes;
    size_t claimed = 0;
    bool deflatedFile = false;  // its file holds its deflate stream, cut as `pieces`
    std::vector<DeflatedPiece> pieces;
};

struct Registry
{
    std::mutex mutex;
    size_t claimed = 0;
    // Folder, then part name.
    std::map<std::string, std::map<std::string, Held>> folders;
};

Registry& TheRegistry()
{
    static Registry registry;
    return registry;
}

void ReleaseLocked(Registry& registry, size_t bytes)
{
    registry.claimed -= bytes < registry.claimed ? bytes : registry.claimed;
}

using PartsOfFolder = std::map<std::string, Held>;

// The folder's parts and the part `name` among them (the parts' end when it
// is not there), or null when the folder is not admitted. Under the lock.
PartsOfFolder* FindLocked(Registry& registry, const std::string& folder, const std::string& name,
                          PartsOfFolder::iterator& part)
{
    const auto found = registry.folders.find(folder);
    if (found == registry.folders.end())
        return nullptr;
    part = found->second.find(name);
    return &found->second;
}

}  // namespace

void Admit(const std::string& folder)
{
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    registry.folders[folder];
}

void Dismiss(const std::string& folder)
{
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    const auto found = registry.folders.find(folder);
    if (found == registry.folders.end())
        return;
    for (const auto& part : found->second)
        ReleaseLocked(registry, part.second.claimed);
    registry.folders.erase(found);
}

bool IsAdmitted(const std::string& folder)
{
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    return registry.folders.count(folder) != 0;
}

bool Claim(size_t bytes)
{
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    if (bytes > budget - registry.claimed)
        return false;
    registry.claimed += bytes;
    return true;
}

void Release(size_t bytes)
{
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    ReleaseLocked(registry, bytes);
}

bool Deposit(const std::string& folder, const std::string& name, std::string&& bytes,
             size_t claimed)
{
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    const auto found = registry.folders.find(folder);
    if (found == registry.folders.end()) {
        ReleaseLocked(registry, claimed);
        return false;
    }
    Held& held = found->second[name];
    ReleaseLocked(registry, held.claimed);
    held.bytes = std::move(bytes);
    held.claimed = claimed;
    return true;
}

bool DepositDeflated(const std::string& folder, const std::string& name,
                     std::vector<DeflatedPiece> pieces)
{
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    const auto found = registry.folders.find(folder);
    if (found == registry.folders.end())
        return false;
    Held& held = found->second[name];
    ReleaseLocked(registry, held.claimed);
    held = Held();
    held.deflatedFile = true;
    held.pieces = std::move(pieces);
    return true;
}

bool TakeDeflated(const std::string& folder, const std::string& name,
                  std::vector<DeflatedPiece>& pieces)
{
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    PartsOfFolder::iterator part;
    PartsOfFolder* parts = FindLocked(registry, folder, name, part);
    if (parts == nullptr || part == parts->end() || !part->second.deflatedFile)
        return false;
    pieces = std::move(part->second.pieces);
    parts->erase(part);
    return true;
}

void Forget(const std::string& folder, const std::string& name)
{
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    PartsOfFolder::iterator part;
    PartsOfFolder* parts = FindLocked(registry, folder, name, part);
    if (parts == nullptr || part == parts->end())
        return;
    ReleaseLocked(registry, part->second.claimed);
    parts->erase(part);
}

bool Take(const std::string& folder, const std::string& name, Taken& taken)
{
    Held held;
    {
        Registry& registry = TheRegistry();
        std::lock_guard<std::mutex> lock(registry.mutex);
        PartsOfFolder::iterator part;
        PartsOfFolder* parts = FindLocked(registry, folder, name, part);
        if (parts == nullptr || part == parts->end() || part->second.deflatedFile)
            return false;
        held = std::move(part->second);
        parts->erase(part);
    }
    // Outside the lock: the part replaced releases its own claim.
    taken = Taken(std::move(held.bytes), held.claimed);
    return true;
}

Taken::Taken(Taken&& other) noexcept
    : bytes(std::move(other.bytes)), claimed(std::exchange(other.claimed, 0))
{}

Taken& Taken::operator=(Taken&& other) noexcept
{
    if (this != &other) {
        Release(claimed);
        bytes = std::move(other.bytes);
        claimed = std::exchange(other.claimed, 0);
    }
    return *this;
}

Taken::~Taken()
{
    Release(claimed);
}

}  // namespace MemoryParts

}  // namespace SimpleXlsx
