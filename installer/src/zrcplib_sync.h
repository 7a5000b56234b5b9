// The base classes of the in-house class library: objects that cannot be
// copied, and the abstract synchronisation object.
#ifndef INSTALLER_ZRCPLIB_SYNC_H
#define INSTALLER_ZRCPLIB_SYNC_H

#include <cstdint>

namespace zrcplib {

// Objects of this class and of every class derived from it can be neither
// copied nor assigned.
class noncopyable {
public:
    noncopyable(const noncopyable&) = delete;
    noncopyable& operator=(const noncopyable&) = delete;

protected:
    noncopyable() = default;
    ~noncopyable() = default;
};

// A synchronisation object without data of its own. Virtual slots in this
// order: destructor, Lock, Unlock.
class CZRSyncObject : public noncopyable {
public:
    virtual ~CZRSyncObject() = default;
    // Waits up to timeout milliseconds for ownership.
    virtual bool Lock(uint32_t timeout) = 0;
    virtual bool Unlock() = 0;

protected:
    CZRSyncObject() = default;
};

}  // namespace zrcplib

#endif
