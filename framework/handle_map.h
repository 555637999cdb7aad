// Per-thread maps from a Win32 handle to its wrapper object: permanent objects registered by
// their owners, and temporary wrappers made on demand and deleted at idle time.
#pragma once

#include <memory>
#include <unordered_map>
#include <utility>

// T is the wrapper, H its handle type. SetHandle(T&, H) stores a handle without any checks
// (temporary wrappers are given one and have it taken back before they are deleted).
template <class T, class H, void (*SetHandle)(T&, H)>
class CHandleMap {
public:
    T* LookupPermanent(H h) const
    {
        auto it = m_permanent.find(h);
        return it != m_permanent.end() ? it->second : nullptr;
    }
    T* LookupTemporary(H h) const
    {
        auto it = m_temporary.find(h);
        return it != m_temporary.end() ? it->second.get() : nullptr;
    }
    // The permanent object, else a temporary wrapper (made now when there is none).
    T* FromHandle(H h)
    {
        if (h == nullptr)
            return nullptr;
        if (T* p = LookupPermanent(h))
            return p;
        auto& slot = m_temporary[h];
        if (!slot) {
            slot = std::make_unique<T>();
            SetHandle(*slot, h);
        }
        return slot.get();
    }
    void SetPermanent(H h, T* p) { m_permanent[h] = p; }
    void RemoveHandle(H h) { m_permanent.erase(h); }
    // Wrappers still referenced after this are dangling: callers keep them for one message.
    void DeleteTemp()
    {
        auto temporary = std::move(m_temporary);
        m_temporary.clear();
        for (auto& [h, p] : temporary)
            SetHandle(*p, nullptr);
    }
    size_t PermanentCount() const { return m_permanent.size(); }

private:
    std::unordered_map<H, T*> m_permanent;
    std::unordered_map<H, std::unique_ptr<T>> m_temporary;
};

// The calling thread's instance of a map, never destroyed: global window and GDI objects may
// be destroyed after the thread's own thread_local objects.
template <class Map>
Map& AfxThreadMap()
{
    thread_local Map* map = new Map;
    return *map;
}
