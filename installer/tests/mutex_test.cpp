// zrcplib's mutex and probe against the fake platform: the calls they make,
// the security fields inside the object, and the raised error code.
#include "zrcplib_mutex.h"

#include <gtest/gtest.h>

#include <type_traits>

#include "fake_platform.h"

namespace {

using fake::Call;

const wchar_t kName[] = L"{test-mutex}";

static_assert(!std::is_copy_constructible_v<zrcplib::noncopyable>);
static_assert(!std::is_copy_assignable_v<zrcplib::noncopyable>);
static_assert(!std::is_copy_constructible_v<zrcplib::CZRMutex>);
static_assert(!std::is_copy_assignable_v<zrcplib::CZRMutex>);
static_assert(std::is_abstract_v<zrcplib::CZRSyncObject>);
static_assert(std::has_virtual_destructor_v<zrcplib::CZRSyncObject>);
static_assert(std::is_base_of_v<zrcplib::CZRSyncObject, zrcplib::CZRMutex>);

TEST(MutexExists, OpensWithSynchronizeAndClosesAtOnce) {
    fake::FakePlatform platform;
    EXPECT_FALSE(zrcplib::MutexExists(platform, kName));
    EXPECT_FALSE(zrcplib::MutexExists(platform, kName)) << "the first probe left something behind";
    EXPECT_FALSE(platform.NameExists(kName));

    platform.HoldMutex(kName);
    platform.calls.clear();
    EXPECT_TRUE(zrcplib::MutexExists(platform, kName));
    EXPECT_EQ(
        platform.calls,
        (std::vector<Call>{{"OpenMutexW", L"1048576, FALSE, {test-mutex}"}, {"CloseHandle", L"mutex {test-mutex}"}}));
    EXPECT_EQ(platform.OpenHandles(), 0u);
}

TEST(MutexExists, ANameHeldByAnotherKindOfObjectOrAFailedOpenIsAbsent) {
    fake::FakePlatform platform;
    platform.HoldEvent(kName);
    EXPECT_FALSE(zrcplib::MutexExists(platform, kName));
    fake::FakePlatform failing;
    failing.HoldMutex(kName);
    failing.Fail("OpenMutexW");
    EXPECT_FALSE(zrcplib::MutexExists(failing, kName));
}

TEST(CZRMutex, HoldsANullDaclDescriptorInsideItself) {
    fake::FakePlatform platform;
    {
        const zrcplib::CZRMutex mutex(platform, kName);
        EXPECT_EQ(
            platform.CallNames(),
            (std::vector<std::string>{"InitializeSecurityDescriptor", "SetSecurityDescriptorDacl", "CreateMutexW"}));
        EXPECT_EQ(platform.calls[0].detail, L"1");
        EXPECT_EQ(platform.calls[1].detail, L"TRUE, null, FALSE");
        ASSERT_EQ(platform.mutexCreations.size(), 1u);
        const fake::MutexCreation& creation = platform.mutexCreations[0];
        EXPECT_EQ(creation.attributesAddress, &mutex.security_attributes());
        EXPECT_EQ(creation.attributes.length, sizeof(installer::SecurityAttributes));
        EXPECT_EQ(creation.attributes.securityDescriptor, &mutex.security_descriptor());
        EXPECT_EQ(creation.attributes.inheritHandle, 1);
        EXPECT_EQ(creation.descriptor.revision, 1);
        EXPECT_EQ(creation.descriptor.control, 0x0004) << "DACL present, not defaulted";
        EXPECT_EQ(creation.descriptor.dacl, nullptr);
        EXPECT_FALSE(creation.initialOwner);
        EXPECT_EQ(creation.name, kName);
        EXPECT_NE(mutex.handle(), nullptr);
        EXPECT_TRUE(zrcplib::MutexExists(platform, kName));
    }
    EXPECT_FALSE(zrcplib::MutexExists(platform, kName)) << "the destroyed object left its name behind";
    EXPECT_EQ(platform.OpenHandles(), 0u);
}

TEST(CZRMutex, SharesANameThatExistsAndIgnoresFailedSecurityCalls) {
    fake::FakePlatform platform;
    platform.HoldMutex(kName);
    platform.Fail("InitializeSecurityDescriptor");
    platform.Fail("SetSecurityDescriptorDacl");
    {
        const zrcplib::CZRMutex first(platform, kName);
        const zrcplib::CZRMutex second(platform, kName);
        EXPECT_NE(first.handle(), second.handle());
    }
    EXPECT_TRUE(platform.NameExists(kName)) << "the other process still holds it";
    platform.DropHold(kName);
    EXPECT_FALSE(platform.NameExists(kName));
}

TEST(CZRMutex, DestructionReleasesThenClosesAndIgnoresTheRelease) {
    fake::FakePlatform platform;
    { const zrcplib::CZRMutex mutex(platform, kName); }
    const std::vector<Call> tail(platform.calls.end() - 2, platform.calls.end());
    EXPECT_EQ(tail, (std::vector<Call>{{"ReleaseMutex", kName}, {"CloseHandle", L"mutex {test-mutex}"}}));
}

struct RaiseCase {
    const char* label;
    bool event;         // the name is held by an event
    bool failCreation;  // CreateMutexW fails for another reason
    uint32_t expected;
};

TEST(CZRMutex, ConstructionWithoutAHandleRaisesTheSystemErrorCode) {
    const RaiseCase cases[] = {
        {"name held by an event", true, false, 6},
        {"creation refused", false, true, 5},
    };
    for (const RaiseCase& c : cases) {
        fake::FakePlatform platform;
        if (c.event) platform.HoldEvent(kName);
        if (c.failCreation) platform.Fail("CreateMutexW");
        try {
            const zrcplib::CZRMutex mutex(platform, kName);
            ADD_FAILURE() << c.label << ": no exception";
        } catch (const uint32_t& code) {
            EXPECT_EQ(code, c.expected) << c.label;
        }
        EXPECT_EQ(platform.CallsOf({"ReleaseMutex", "CloseHandle"}).size(), 0u) << c.label << ": a destructor ran";
        EXPECT_EQ(platform.OpenHandles(), 0u) << c.label;
    }
}

struct LockCase {
    const char* label;
    bool abandoned;
    bool waitFails;
    bool expected;
};

TEST(CZRMutex, LockIsTrueOnlyForACleanAcquisition) {
    const LockCase cases[] = {
        {"acquired", false, false, true},
        {"abandoned by its owner", true, false, false},
        {"failed wait", false, true, false},
    };
    for (const LockCase& c : cases) {
        fake::FakePlatform platform;
        zrcplib::CZRMutex mutex(platform, kName);
        zrcplib::CZRSyncObject& object = mutex;  // through its virtual slot
        if (c.abandoned) platform.AbandonMutex(kName);
        if (c.waitFails) platform.Fail("WaitForSingleObject");
        EXPECT_EQ(object.Lock(250), c.expected) << c.label;
        EXPECT_EQ(platform.CallsOf({"WaitForSingleObject"}), (std::vector<Call>{{"WaitForSingleObject", L"250"}}))
            << c.label;
    }
}

TEST(CZRMutex, UnlockGivesTheReleaseResult) {
    fake::FakePlatform platform;
    zrcplib::CZRMutex mutex(platform, kName);
    EXPECT_FALSE(mutex.Unlock()) << "not owned";
    ASSERT_TRUE(mutex.Lock(0));
    EXPECT_TRUE(mutex.Unlock());
}

}  // namespace
