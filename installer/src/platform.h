// The installer's one door to the system: every Windows call that its flows
// make, by its Windows name and with its arguments in Windows' order. The
// Win32 build implements it with the real functions; tests use a fake.
#ifndef INSTALLER_PLATFORM_H
#define INSTALLER_PLATFORM_H

#include <cstddef>
#include <cstdint>

namespace installer {

using Handle = void*;          // a kernel object handle; null when none
using ComObject = void*;       // a COM interface pointer
using ResourceHandle = void*;  // a found resource (HRSRC)
using ResourceData = void*;    // a loaded resource (HGLOBAL)
using HResult = int32_t;

constexpr HResult kOk = 0;
constexpr HResult kInvalidArgument = static_cast<HResult>(0x80070057u);
constexpr bool Succeeded(HResult result) { return result >= 0; }

// A COM identifier, in the field order of Windows' GUID.
struct Guid {
    uint32_t data1;
    uint16_t data2;
    uint16_t data3;
    uint8_t data4[8];
};
inline bool operator==(const Guid& a, const Guid& b) {
    for (int i = 0; i < 8; ++i) {
        if (a.data4[i] != b.data4[i]) return false;
    }
    return a.data1 == b.data1 && a.data2 == b.data2 && a.data3 == b.data3;
}

// The absolute form of a security descriptor and the security attributes
// that point at it, laid out as Windows lays out SECURITY_DESCRIPTOR and
// SECURITY_ATTRIBUTES, so that an object can keep both in its own fields
// and hand them to the system as they are.
struct SecurityDescriptor {
    uint8_t revision;
    uint8_t sbz1;
    uint16_t control;
    void* owner;
    void* group;
    void* sacl;
    void* dacl;
};
struct SecurityAttributes {
    uint32_t length;
    void* securityDescriptor;
    int32_t inheritHandle;
};

// The values of a SHELLEXECUTEINFOW record that a caller chooses; the
// platform sets the record's size and leaves every other member zero.
struct ShellExecuteRequest {
    uint32_t mask;
    void* window;
    const wchar_t* verb;
    const wchar_t* file;
    const wchar_t* parameters;
    const wchar_t* directory;
    int32_t show;
};

// PROCESS_INFORMATION.
struct ProcessInformation {
    Handle process;
    Handle thread;
    uint32_t processId;
    uint32_t threadId;
};

class Platform {
public:
    Platform() = default;
    virtual ~Platform() = default;
    Platform(const Platform&) = delete;
    Platform& operator=(const Platform&) = delete;

    // The command line and its split; LocalFree releases the split's array.
    virtual const wchar_t* GetCommandLineW() = 0;
    virtual wchar_t** CommandLineToArgvW(const wchar_t* commandLine, int* count) = 0;
    virtual void* LocalFree(void* memory) = 0;

    // Paths. A null module is the running program.
    virtual uint32_t GetModuleFileNameW(void* module, wchar_t* buffer, uint32_t capacity) = 0;
    virtual uint32_t GetSystemDirectoryW(wchar_t* buffer, uint32_t capacity) = 0;
    // buffer holds at least 260 characters.
    virtual bool SHGetSpecialFolderPathW(void* owner, wchar_t* buffer, int32_t folder, bool create) = 0;

    // The user, and a debugger watching the program.
    virtual int32_t MessageBoxW(void* owner, const wchar_t* text, const wchar_t* caption, uint32_t style) = 0;
    virtual void OutputDebugStringW(const wchar_t* text) = 0;

    // Files and processes. CreateProcessW passes a STARTUPINFOW that is all
    // zero but for its size.
    virtual bool DeleteFileW(const wchar_t* path) = 0;
    virtual bool ShellExecuteExW(const ShellExecuteRequest& request) = 0;
    virtual bool CreateProcessW(const wchar_t* applicationName,
                                wchar_t* commandLine,
                                SecurityAttributes* processAttributes,
                                SecurityAttributes* threadAttributes,
                                bool inheritHandles,
                                uint32_t creationFlags,
                                void* environment,
                                const wchar_t* currentDirectory,
                                ProcessInformation* information) = 0;
    virtual bool CloseHandle(Handle handle) = 0;

    // Named mutexes and their security.
    virtual Handle OpenMutexW(uint32_t desiredAccess, bool inheritHandle, const wchar_t* name) = 0;
    virtual Handle CreateMutexW(SecurityAttributes* attributes, bool initialOwner, const wchar_t* name) = 0;
    virtual bool ReleaseMutex(Handle mutex) = 0;
    virtual uint32_t WaitForSingleObject(Handle handle, uint32_t milliseconds) = 0;
    virtual uint32_t GetLastError() = 0;
    virtual bool InitializeSecurityDescriptor(SecurityDescriptor* descriptor, uint32_t revision) = 0;
    virtual bool SetSecurityDescriptorDacl(SecurityDescriptor* descriptor,
                                           bool daclPresent,
                                           void* dacl,
                                           bool daclDefaulted) = 0;

    // COM and the shell link object's interfaces (IShellLinkW, IPersistFile).
    virtual HResult CoInitialize(void* reserved) = 0;
    virtual void CoUninitialize() = 0;
    virtual HResult CoCreateInstance(
        const Guid& classId, void* outer, uint32_t context, const Guid& interfaceId, ComObject* object) = 0;
    virtual HResult QueryInterface(ComObject object, const Guid& interfaceId, ComObject* result) = 0;
    virtual uint32_t Release(ComObject object) = 0;
    virtual HResult ShellLinkSetPath(ComObject link, const wchar_t* path) = 0;
    virtual HResult ShellLinkSetIconLocation(ComObject link, const wchar_t* iconPath, int32_t index) = 0;
    virtual HResult ShellLinkSetArguments(ComObject link, const wchar_t* arguments) = 0;
    virtual HResult PersistFileSave(ComObject file, const wchar_t* fileName, bool remember) = 0;

    // The program's own resources (a null module is the running program).
    virtual ResourceHandle FindResourceExW(void* module, uint16_t type, uint16_t name, uint16_t language) = 0;
    virtual ResourceData LoadResource(void* module, ResourceHandle resource) = 0;
    virtual const void* LockResource(ResourceData data) = 0;
    virtual uint32_t SizeofResource(void* module, ResourceHandle resource) = 0;

    // Wide printf-style formatting with one wide-string argument, in the
    // Windows C runtime's sense of %s: the length the result needs (without
    // terminator, negative when it cannot be measured), and the result
    // written into count characters (negative when it does not fit).
    virtual int MeasureFormat(const wchar_t* format, const wchar_t* argument) = 0;
    virtual int FormatText(wchar_t* buffer, size_t count, const wchar_t* format, const wchar_t* argument) = 0;

    // The file signature verification.
    virtual bool VerifyFileSignature(const wchar_t* path, int* code, uint32_t mode) = 0;
};

}  // namespace installer

#endif
