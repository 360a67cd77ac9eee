// Small move-only owners for system handles, so every way out of a function closes them.
#ifndef ZELK_COMMON_HANDLES_H
#define ZELK_COMMON_HANDLES_H

#include <windows.h>

template <typename T, typename Traits>
class UniqueResource {
public:
    UniqueResource() : value_(Traits::Invalid()) {}
    explicit UniqueResource(T value) : value_(value) {}
    ~UniqueResource() { Reset(); }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) : value_(other.Release()) {}
    UniqueResource& operator=(UniqueResource&& other) {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    T Get() const { return value_; }
    T* Put() { Reset(); return &value_; }   // for out-parameters of the system's calls
    bool IsValid() const { return value_ != Traits::Invalid(); }
    explicit operator bool() const { return IsValid(); }
    T Release() { T value = value_; value_ = Traits::Invalid(); return value; }
    void Reset(T value = Traits::Invalid()) {
        if (value_ != Traits::Invalid()) Traits::Close(value_);
        value_ = value;
    }
private:
    T value_;
};

struct KernelHandleTraits {
    static HANDLE Invalid() { return nullptr; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
struct FileHandleTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
struct RegistryKeyTraits {
    static HKEY Invalid() { return nullptr; }
    static void Close(HKEY k) { RegCloseKey(k); }
};
struct GdiObjectTraits {
    static HGDIOBJ Invalid() { return nullptr; }
    static void Close(HGDIOBJ o) { DeleteObject(o); }
};
struct MemoryDcTraits {
    static HDC Invalid() { return nullptr; }
    static void Close(HDC dc) { DeleteDC(dc); }
};

using UniqueHandle = UniqueResource<HANDLE, KernelHandleTraits>;      // mutexes, processes
using UniqueFile = UniqueResource<HANDLE, FileHandleTraits>;          // CreateFile results
using UniqueKey = UniqueResource<HKEY, RegistryKeyTraits>;
using UniqueGdiObject = UniqueResource<HGDIOBJ, GdiObjectTraits>;
using UniqueMemoryDc = UniqueResource<HDC, MemoryDcTraits>;

// Owner of a COM interface pointer.
template <typename I>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { if (p_) p_->Release(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    I* Get() const { return p_; }
    I* operator->() const { return p_; }
    void** PutVoid() { if (p_) p_->Release(); p_ = nullptr; return reinterpret_cast<void**>(&p_); }
    explicit operator bool() const { return p_ != nullptr; }
private:
    I* p_ = nullptr;
};

#endif
