#ifndef HORATAB_TIMETABLE_CONTAINERS_H
#define HORATAB_TIMETABLE_CONTAINERS_H

#include <list>
#include <map>
#include <string>
#include <utility>

// The common base of every model object: a name fixed at construction.
template <typename T>
class namedObjects
{
public:
    const T name;

    explicit namedObjects(T objectName) : name(std::move(objectName)) {}
};

// Objects by name, in ascending unsigned byte order of the names (the order
// of std::string's operator<). An owning registry deletes its objects when
// it is destroyed.
template <typename T>
class vorMapPtr
{
public:
    bool ownsObjects;
    std::map<std::string, T*> objects;

    explicit vorMapPtr(bool owns) : ownsObjects(owns) {}

    vorMapPtr(const vorMapPtr&) = delete;
    vorMapPtr& operator=(const vorMapPtr&) = delete;

    virtual ~vorMapPtr()
    {
        if (ownsObjects) {
            for (auto& entry : objects)
                delete entry.second;
        }
        objects.clear();
    }

    size_t size() const { return objects.size(); }

    std::map<std::string, T*>& map() { return objects; }
    const std::map<std::string, T*>& map() const { return objects; }

    T* find(std::string name) const
    {
        auto found = objects.find(name);
        return found == objects.end() ? nullptr : found->second;
    }

    T* findOrCreate(std::string name)
    {
        auto found = objects.lower_bound(name);
        if (found != objects.end() && found->first == name)
            return found->second;
        T* created = new T(name);
        objects.emplace_hint(found, std::move(name), created);
        return created;
    }
};

// Objects in insertion order. An owning list deletes its objects, front to
// back, when it is destroyed.
template <typename T>
class vorListPtr
{
public:
    bool ownsObjects;
    std::list<T*> objects;

    explicit vorListPtr(bool owns) : ownsObjects(owns) {}

    vorListPtr(const vorListPtr&) = delete;
    vorListPtr& operator=(const vorListPtr&) = delete;

    virtual ~vorListPtr()
    {
        if (ownsObjects) {
            while (!objects.empty()) {
                delete objects.front();
                objects.pop_front();
            }
        }
        objects.clear();
    }

    size_t size() const { return objects.size(); }

    std::list<T*>& list() { return objects; }
    const std::list<T*>& list() const { return objects; }

    void add(T* object)
    {
        if (object)
            objects.push_back(object);
    }
};

#endif  // HORATAB_TIMETABLE_CONTAINERS_H
