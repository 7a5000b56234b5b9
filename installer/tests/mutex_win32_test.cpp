// zrcplib's mutex and probe against the Windows API: a name shared by
// objects and processes, an event holding the name, an abandoned mutex.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform_win32.h"
#include "win32_test_support.h"
#include "zrcplib_mutex.h"

namespace {

std::wstring UniqueName(const wchar_t* tag) {
    return L"sk-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" + tag;
}

TEST(MutexWin32, AProbeCreatesNothing) {
    installer::Win32Platform platform;
    const std::wstring name = UniqueName(L"probe");
    EXPECT_FALSE(zrcplib::MutexExists(platform, name.c_str()));
    EXPECT_FALSE(zrcplib::MutexExists(platform, name.c_str()));
}

TEST(MutexWin32, TheNameLivesUntilTheLastObjectIsDestroyed) {
    installer::Win32Platform platform;
    const std::wstring name = UniqueName(L"shared");
    {
        const zrcplib::CZRMutex first(platform, name.c_str());
        EXPECT_TRUE(zrcplib::MutexExists(platform, name.c_str()));
        {
            const zrcplib::CZRMutex second(platform, name.c_str());
            EXPECT_NE(second.handle(), nullptr);
        }
        EXPECT_TRUE(zrcplib::MutexExists(platform, name.c_str())) << "the first object still holds it";
    }
    EXPECT_FALSE(zrcplib::MutexExists(platform, name.c_str()));
}

TEST(MutexWin32, TheDescriptorInsideTheObjectHasANullDacl) {
    installer::Win32Platform platform;
    const zrcplib::CZRMutex mutex(platform, UniqueName(L"dacl").c_str());
    auto* descriptor = const_cast<installer::SecurityDescriptor*>(&mutex.security_descriptor());
    EXPECT_TRUE(IsValidSecurityDescriptor(descriptor));
    BOOL present = FALSE, defaulted = TRUE;
    PACL dacl = reinterpret_cast<PACL>(1);
    ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted));
    EXPECT_TRUE(present);
    EXPECT_EQ(dacl, nullptr);
    EXPECT_FALSE(defaulted);
}

TEST(MutexWin32, ANameHeldByAnEventIsNoMutexAndCannotBeCreated) {
    installer::Win32Platform platform;
    const std::wstring name = UniqueName(L"event");
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, name.c_str());
    ASSERT_NE(event, nullptr);
    EXPECT_FALSE(zrcplib::MutexExists(platform, name.c_str()));
    try {
        const zrcplib::CZRMutex mutex(platform, name.c_str());
        ADD_FAILURE() << "constructed on an event's name";
    } catch (const uint32_t& code) {
        EXPECT_EQ(code, 6u) << "ERROR_INVALID_HANDLE";
    }
    CloseHandle(event);
}

DWORD WINAPI TakeAndEnd(void* mutex) {
    WaitForSingleObject(static_cast<HANDLE>(mutex), INFINITE);
    return 0;  // ends without releasing: the mutex is abandoned
}

TEST(MutexWin32, LockOnAnAbandonedMutexIsFalse) {
    installer::Win32Platform platform;
    zrcplib::CZRMutex mutex(platform, UniqueName(L"abandoned").c_str());
    HANDLE thread = CreateThread(nullptr, 0, &TakeAndEnd, mutex.handle(), 0, nullptr);
    ASSERT_NE(thread, nullptr);
    ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    CloseHandle(thread);
    EXPECT_FALSE(mutex.Lock(1000)) << "the wait acquired an abandoned mutex";
    EXPECT_TRUE(mutex.Unlock()) << "yet it is owned now";
    EXPECT_TRUE(mutex.Lock(0));
    EXPECT_TRUE(mutex.Unlock());
    EXPECT_FALSE(mutex.Unlock()) << "not owned any more";
}

TEST(MutexWin32, AnotherProcessSeesTheMutexWhileAnObjectHoldsIt) {
    installer::Win32Platform platform;
    const std::wstring name = UniqueName(L"process");
    {
        const zrcplib::CZRMutex mutex(platform, name.c_str());
        EXPECT_EQ(wintest::RunBeside(L"installer_mutex_tool.exe", L"probe " + name), 0);
    }
    EXPECT_EQ(wintest::RunBeside(L"installer_mutex_tool.exe", L"probe " + name), 1);
}

}  // namespace
