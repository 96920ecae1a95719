#pragma once

#include "platform/com/core/unknown.h"

#include <utility>

namespace platform::com {

// Holds one reference to an interface and releases it when it goes.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    // Adopts a reference the caller already owns (as returned through an
    // out parameter or by create functions).
    static ComPtr adopt(T *p)
    {
        ComPtr c;
        c.m_p = p;
        return c;
    }
    // Takes a new reference.
    explicit ComPtr(T *p) : m_p(p)
    {
        if (m_p)
            m_p->AddRef();
    }
    ComPtr(const ComPtr &other) : ComPtr(other.m_p) {}
    ComPtr(ComPtr &&other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    ComPtr &operator=(ComPtr other) noexcept
    {
        std::swap(m_p, other.m_p);
        return *this;
    }
    ~ComPtr() { reset(); }

    void reset()
    {
        if (T *p = std::exchange(m_p, nullptr))
            p->Release();
    }
    T *get() const { return m_p; }
    T *operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    // For out parameters: releases what is held and hands out the slot.
    T **put()
    {
        reset();
        return &m_p;
    }
    void **putVoid() { return reinterpret_cast<void **>(put()); }
    // Gives up the reference to the caller.
    T *detach() { return std::exchange(m_p, nullptr); }

    // QueryInterface for another interface; null when not supported.
    template <typename U>
    ComPtr<U> as(REFIID iid) const
    {
        ComPtr<U> result;
        if (m_p)
            m_p->QueryInterface(iid, result.putVoid());
        return result;
    }

private:
    T *m_p = nullptr;
};

} // namespace platform::com
