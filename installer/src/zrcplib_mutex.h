// The named mutex of the in-house class library, and the probe that tells
// whether a mutex of a name exists.
#ifndef INSTALLER_ZRCPLIB_MUTEX_H
#define INSTALLER_ZRCPLIB_MUTEX_H

#include <cstdint>

#include "platform.h"
#include "zrcplib_sync.h"

namespace zrcplib {

// Whether a mutex of that name can be opened now. Creates nothing; any
// failure to open counts as absent.
bool MutexExists(installer::Platform& platform, const wchar_t* name);

// Creates the named mutex, or opens and shares it when it exists, with a
// null DACL so that every account can open it. The security attributes
// point into the object itself, which therefore never moves.
// Construction raises the system error code (uint32_t) when no handle is
// obtained; the object then counts as never constructed.
class CZRMutex : public CZRSyncObject {
public:
    CZRMutex(installer::Platform& platform, const wchar_t* name);
    // Releases (without effect unless owned) and closes the handle.
    ~CZRMutex() override;
    // True only when the wait acquired the mutex cleanly: an abandoned
    // mutex, a timeout and a failed wait are all false.
    bool Lock(uint32_t timeout) override;
    bool Unlock() override;

    installer::Handle handle() const { return handle_; }
    const installer::SecurityAttributes& security_attributes() const { return securityAttributes_; }
    const installer::SecurityDescriptor& security_descriptor() const { return securityDescriptor_; }

private:
    installer::Handle handle_;
    installer::SecurityAttributes securityAttributes_;
    installer::SecurityDescriptor securityDescriptor_;
    installer::Platform& platform_;
};

}  // namespace zrcplib

#endif
