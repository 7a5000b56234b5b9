// An in-memory platform for the installer's tests: it records every call
// with its arguments in order, answers message boxes as the test says,
// keeps named mutexes, files and the string table in memory, and makes
// any single call fail on request.
#ifndef INSTALLER_TESTS_FAKE_PLATFORM_H
#define INSTALLER_TESTS_FAKE_PLATFORM_H

#include <cstdint>
#include <deque>
#include <initializer_list>
#include <iosfwd>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform.h"

namespace fake {

struct Call {
    std::string name;
    std::wstring detail;  // the arguments that tell calls apart, as text
    bool operator==(const Call& other) const { return name == other.name && detail == other.detail; }
};
void PrintTo(const Call& call, std::ostream* out);

// A shell link as saved: unset values are absent, not empty.
struct Shortcut {
    std::optional<std::wstring> target;
    std::optional<std::wstring> arguments;
    std::optional<std::wstring> icon;
    int32_t iconIndex = -1;
};

struct Verdict {
    bool accepted;
    int code;
};

struct ShellExecuteRecord {
    uint32_t mask;
    void* window;
    std::optional<std::wstring> verb, file, parameters, directory;
    int32_t show;
};

struct ProcessRecord {
    std::optional<std::wstring> applicationName;
    std::wstring commandLine;
    bool processAttributesNull, threadAttributesNull;
    bool inheritHandles;
    uint32_t creationFlags;
    bool environmentNull;
    std::optional<std::wstring> currentDirectory;
    bool informationZeroed;  // the record arrived all zero
};

struct MessageBoxRecord {
    void* owner;
    std::wstring text, caption;
    uint32_t style;
    bool operator==(const MessageBoxRecord& other) const {
        return owner == other.owner && text == other.text && caption == other.caption && style == other.style;
    }
};

struct VerifyRecord {
    std::wstring path;
    int codeOnEntry;
    uint32_t mode;
};

struct MutexCreation {
    const installer::SecurityAttributes* attributesAddress;
    installer::SecurityAttributes attributes;  // as they were at the call
    installer::SecurityDescriptor descriptor;  // what attributes pointed at
    bool initialOwner;
    std::wstring name;
};

// Whether the calling thread is inside a call of the fake.
bool InsideFake();

// The product's own string table, ids 101 to 106.
const std::map<unsigned, std::wstring>& ProductStrings();

class FakePlatform final : public installer::Platform {
public:
    FakePlatform();

    // What the test sets before a run.
    std::wstring commandLine = L"\"C:\\Program Files\\Ostrel Sweepkit\\sweepkit-install.exe\" /install";
    std::vector<std::wstring> arguments{L"C:\\Program Files\\Ostrel Sweepkit\\sweepkit-install.exe",
                                        L"/install"};  // the split
    std::wstring modulePath = L"C:\\Program Files\\Ostrel Sweepkit\\sweepkit-install.exe";
    std::wstring systemDirectory = L"C:\\windows\\system32";
    std::wstring desktopDirectory = L"C:\\users\\tester\\Desktop";
    std::deque<int32_t> answers;  // message box answers in turn; IDOK (1) when none is left
    Verdict verdict{true, 3};     // the verification's answer, unless verdicts names the path
    std::map<std::wstring, Verdict> verdicts;
    std::map<std::wstring, Shortcut> files;  // the file system: every file a shortcut

    void SetString(unsigned id, const std::wstring& text);
    void RemoveString(unsigned id);
    // Replaces a block of the string table with raw bytes.
    void SetStringBlock(uint16_t block, const std::vector<uint8_t>& bytes);

    // The occurrence-th call (1 = the first) of that name fails.
    void Fail(const std::string& call, int occurrence = 1);
    // Another process holds a mutex, or an event, of that name.
    void HoldMutex(const std::wstring& name);
    void HoldEvent(const std::wstring& name);
    // The mutex's owner ended without releasing it.
    void AbandonMutex(const std::wstring& name);
    // The process that holds the name ends.
    void DropHold(const std::wstring& name);

    // What the test reads after a run.
    std::vector<Call> calls;
    std::vector<std::string> CallNames() const;
    std::vector<Call> CallsOf(std::initializer_list<const char*> names) const;
    std::vector<ShellExecuteRecord> shellExecutes;
    std::vector<ProcessRecord> processes;
    std::vector<MessageBoxRecord> messageBoxes;
    std::vector<VerifyRecord> verifications;
    std::vector<std::wstring> debugOutput;
    std::vector<MutexCreation> mutexCreations;
    bool NameExists(const std::wstring& name) const;
    size_t OpenHandles() const { return handles_.size(); }
    size_t LiveComObjects() const { return objects_.size(); }
    int ComDepth() const { return comDepth_; }
    bool ArgumentArrayLive() const { return !argumentPointers_.empty(); }

    // installer::Platform
    const wchar_t* GetCommandLineW() override;
    wchar_t** CommandLineToArgvW(const wchar_t* commandLine, int* count) override;
    void* LocalFree(void* memory) override;
    uint32_t GetModuleFileNameW(void* module, wchar_t* buffer, uint32_t capacity) override;
    uint32_t GetSystemDirectoryW(wchar_t* buffer, uint32_t capacity) override;
    bool SHGetSpecialFolderPathW(void* owner, wchar_t* buffer, int32_t folder, bool create) override;
    int32_t MessageBoxW(void* owner, const wchar_t* text, const wchar_t* caption, uint32_t style) override;
    void OutputDebugStringW(const wchar_t* text) override;
    bool DeleteFileW(const wchar_t* path) override;
    bool ShellExecuteExW(const installer::ShellExecuteRequest& request) override;
    bool CreateProcessW(const wchar_t* applicationName,
                        wchar_t* commandLine,
                        installer::SecurityAttributes* processAttributes,
                        installer::SecurityAttributes* threadAttributes,
                        bool inheritHandles,
                        uint32_t creationFlags,
                        void* environment,
                        const wchar_t* currentDirectory,
                        installer::ProcessInformation* information) override;
    bool CloseHandle(installer::Handle handle) override;
    installer::Handle OpenMutexW(uint32_t desiredAccess, bool inheritHandle, const wchar_t* name) override;
    installer::Handle CreateMutexW(installer::SecurityAttributes* attributes,
                                   bool initialOwner,
                                   const wchar_t* name) override;
    bool ReleaseMutex(installer::Handle mutex) override;
    uint32_t WaitForSingleObject(installer::Handle handle, uint32_t milliseconds) override;
    uint32_t GetLastError() override;
    bool InitializeSecurityDescriptor(installer::SecurityDescriptor* descriptor, uint32_t revision) override;
    bool SetSecurityDescriptorDacl(installer::SecurityDescriptor* descriptor,
                                   bool daclPresent,
                                   void* dacl,
                                   bool daclDefaulted) override;
    installer::HResult CoInitialize(void* reserved) override;
    void CoUninitialize() override;
    installer::HResult CoCreateInstance(const installer::Guid& classId,
                                        void* outer,
                                        uint32_t context,
                                        const installer::Guid& interfaceId,
                                        installer::ComObject* object) override;
    installer::HResult QueryInterface(installer::ComObject object,
                                      const installer::Guid& interfaceId,
                                      installer::ComObject* result) override;
    uint32_t Release(installer::ComObject object) override;
    installer::HResult ShellLinkSetPath(installer::ComObject link, const wchar_t* path) override;
    installer::HResult ShellLinkSetIconLocation(installer::ComObject link,
                                                const wchar_t* iconPath,
                                                int32_t index) override;
    installer::HResult ShellLinkSetArguments(installer::ComObject link, const wchar_t* arguments) override;
    installer::HResult PersistFileSave(installer::ComObject file, const wchar_t* fileName, bool remember) override;
    installer::ResourceHandle FindResourceExW(void* module, uint16_t type, uint16_t name, uint16_t language) override;
    installer::ResourceData LoadResource(void* module, installer::ResourceHandle resource) override;
    const void* LockResource(installer::ResourceData data) override;
    uint32_t SizeofResource(void* module, installer::ResourceHandle resource) override;
    int MeasureFormat(const wchar_t* format, const wchar_t* argument) override;
    int FormatText(wchar_t* buffer, size_t count, const wchar_t* format, const wchar_t* argument) override;
    bool VerifyFileSignature(const wchar_t* path, int* code, uint32_t mode) override;

private:
    enum class HandleKind { Mutex, Process, Thread };
    struct HandleEntry {
        HandleKind kind;
        std::wstring name;
    };
    struct NamedObject {
        bool event = false;
        int holds = 0;    // other processes holding it
        int handles = 0;  // our handles to it
        bool owned = false;
        bool abandoned = false;
    };
    enum class InterfaceKind { ShellLink, PersistFile };
    struct Interface {
        uintptr_t object;
        InterfaceKind kind;
    };
    struct ComObjectEntry {
        int references = 0;
        Shortcut link;
    };

    // Records the call; true when it is to fail.
    bool Enter(const char* name, const std::wstring& detail);
    installer::Handle NewHandle(HandleKind kind, const std::wstring& name);
    void Forget(const std::wstring& name);
    std::optional<std::wstring> Compose(const wchar_t* format, const wchar_t* argument) const;
    const Interface* FindInterface(installer::ComObject pointer, InterfaceKind kind) const;

    std::map<std::string, std::set<int>> failing_;
    std::map<std::string, int> counts_;
    uint32_t lastError_ = 0;
    uintptr_t nextHandle_ = 0x100;
    std::map<uintptr_t, HandleEntry> handles_;
    std::map<std::wstring, NamedObject> named_;
    int comDepth_ = 0;
    uintptr_t nextComObject_ = 0x1000;
    std::map<uintptr_t, ComObjectEntry> objects_;
    std::map<uintptr_t, Interface> interfaces_;
    std::map<unsigned, std::wstring> strings_;
    std::map<uint16_t, std::vector<uint8_t>> rawBlocks_;
    std::map<uint16_t, std::vector<uint8_t>> loadedBlocks_;
    std::vector<std::vector<wchar_t>> argumentStorage_;
    std::vector<wchar_t*> argumentPointers_;
};

}  // namespace fake

#endif
