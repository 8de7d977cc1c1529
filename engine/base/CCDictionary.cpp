#include "engine/base/CCDictionary.h"

#include "engine/base/CCArray.h"
#include "engine/base/CCString.h"

namespace engine {

CCDictionary::~CCDictionary() { removeAllObjects(); }

CCDictionary* CCDictionary::create() {
    return autoreleased(new CCDictionary());
}

CCObject* CCDictionary::objectForKey(const std::string& key) const {
    auto it = m_index.find(key);
    return it == m_index.end() ? nullptr : m_entries[it->second].second;
}

const char* CCDictionary::valueForKey(const std::string& key) const {
    auto* text = dynamic_cast<CCString*>(objectForKey(key));
    return text ? text->getCString() : "";
}

void CCDictionary::setObject(CCObject* object, const std::string& key) {
    if (!object) return;
    object->retain();
    auto it = m_index.find(key);
    if (it != m_index.end()) {
        CCObject* old = m_entries[it->second].second;
        m_entries[it->second].second = object;
        old->release();
        return;
    }
    m_index.emplace(key, m_entries.size());
    m_entries.emplace_back(key, object);
}

void CCDictionary::removeObjectForKey(const std::string& key) {
    auto it = m_index.find(key);
    if (it == m_index.end()) return;
    size_t position = it->second;
    CCObject* old = m_entries[position].second;
    m_entries.erase(m_entries.begin() + static_cast<long>(position));
    m_index.erase(it);
    for (auto& [k, index] : m_index)
        if (index > position) --index;
    old->release();
}

void CCDictionary::removeAllObjects() {
    auto old = std::move(m_entries);
    m_entries.clear();
    m_index.clear();
    for (auto& entry : old) entry.second->release();
}

} // namespace engine
