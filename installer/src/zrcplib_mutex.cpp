// The named mutex over the platform's mutex and security calls.
#include "zrcplib_mutex.h"

namespace zrcplib {
namespace {

constexpr uint32_t kSynchronize = 0x00100000;
constexpr uint32_t kSecurityDescriptorRevision = 1;
constexpr uint32_t kWaitObject0 = 0;

}  // namespace

bool MutexExists(installer::Platform& platform, const wchar_t* name) {
    const installer::Handle handle = platform.OpenMutexW(kSynchronize, false, name);
    if (handle == nullptr) return false;
    platform.CloseHandle(handle);
    return true;
}

CZRMutex::CZRMutex(installer::Platform& platform, const wchar_t* name)
    : handle_(nullptr), securityAttributes_(), securityDescriptor_(), platform_(platform) {
    // Both results are left unexamined: a descriptor that could not be
    // prepared only means a mutex with default security.
    platform_.InitializeSecurityDescriptor(&securityDescriptor_, kSecurityDescriptorRevision);
    platform_.SetSecurityDescriptorDacl(&securityDescriptor_, true, nullptr, false);
    securityAttributes_.length = static_cast<uint32_t>(sizeof(securityAttributes_));
    securityAttributes_.securityDescriptor = &securityDescriptor_;
    securityAttributes_.inheritHandle = 1;

    handle_ = platform_.CreateMutexW(&securityAttributes_, false, name);
    if (handle_ == nullptr) {
        throw static_cast<uint32_t>(platform_.GetLastError());
    }
}

CZRMutex::~CZRMutex() {
    if (handle_ != nullptr) {
        platform_.ReleaseMutex(handle_);
        platform_.CloseHandle(handle_);
    }
}

bool CZRMutex::Lock(uint32_t timeout) { return platform_.WaitForSingleObject(handle_, timeout) == kWaitObject0; }

bool CZRMutex::Unlock() { return platform_.ReleaseMutex(handle_); }

}  // namespace zrcplib
