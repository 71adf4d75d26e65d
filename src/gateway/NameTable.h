#pragma once

#include <QString>

#include <functional>
#include <string_view>
#include <unordered_map>
#include <utility>

// A name's hash by the standard library. Qt 6.4's own string hash takes about 125 ns for a
// name of fewer than eight characters (most field names and codes) against a few for a longer
// one, and the window looks names up by the hundred on every load.
struct NameHash
{
    size_t operator()(const QString &name) const noexcept
    {
        // constData(), not utf16(): the latter is a call, and copies a text not ended by a null.
        return std::hash<std::u16string_view> {}(std::u16string_view(
                reinterpret_cast<const char16_t *>(name.constData()), size_t(name.size())));
    }
};

// Values found by their name, as a QHash<QString, V> is used: value() answers V() for a name
// it does not hold.
template<typename V>
class NameTable
{
public:
    V value(const QString &name) const
    {
        const auto it = m_map.find(name);
        return it == m_map.end() ? V() : it->second;
    }
    // The value held under name, null when there is none.
    const V *find(const QString &name) const
    {
        const auto it = m_map.find(name);
        return it == m_map.end() ? nullptr : &it->second;
    }
    bool contains(const QString &name) const { return m_map.find(name) != m_map.end(); }
    // Replaces what name held; answers the value held now.
    V &insert(const QString &name, V value)
    {
        return m_map.insert_or_assign(name, std::move(value)).first->second;
    }
    V &operator[](const QString &name) { return m_map[name]; }
    bool isEmpty() const { return m_map.empty(); }
    qsizetype size() const { return qsizetype(m_map.size()); }

    auto begin() const { return m_map.begin(); }
    auto end() const { return m_map.end(); }

private:
    std::unordered_map<QString, V, NameHash> m_map;
};
