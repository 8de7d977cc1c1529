#pragma once
// String-keyed dictionary that retains its values; keys are compared exactly
// and kept in insertion order.
#include "engine/base/CCObject.h"

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace engine {

class CCArray;

class CCDictionary : public CCObject {
public:
    CCDictionary() = default;
    ~CCDictionary() override;

    static CCDictionary* create();
    // Reads an XML property list whose root is a dictionary (see
    // CCPlistReader.h). A missing, unreadable, refused or malformed file, or a
    // root that is not a dictionary, gives nullptr (not an empty dictionary),
    // with one log line naming it.
    static CCDictionary* createWithContentsOfFile(const char* fileName);
    // Same, from text in memory; `origin` names it in the log line.
    static CCDictionary* createWithPlistData(const char* data, size_t size, const char* origin);

    unsigned int count() const { return static_cast<unsigned int>(m_entries.size()); }
    CCObject* objectForKey(const std::string& key) const;
    // The value's text when it is a CCString, otherwise an empty string.
    const char* valueForKey(const std::string& key) const;
    void setObject(CCObject* object, const std::string& key);
    void removeObjectForKey(const std::string& key);
    void removeAllObjects();
    const std::vector<std::pair<std::string, CCObject*>>& entries() const { return m_entries; }

private:
    std::vector<std::pair<std::string, CCObject*>> m_entries;
    std::unordered_map<std::string, size_t> m_index;
};

} // namespace engine
