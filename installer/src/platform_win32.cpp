// The platform interface over the Windows functions it is named after.
#include "platform_win32.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstddef>
#include <cstring>
#include <cwchar>

#include "sigverify/verify_file.h"

namespace installer {
namespace {

// The interface's records are handed to Windows as they are.
static_assert(sizeof(SecurityDescriptor) == sizeof(SECURITY_DESCRIPTOR), "SECURITY_DESCRIPTOR layout");
static_assert(alignof(SecurityDescriptor) == alignof(SECURITY_DESCRIPTOR), "SECURITY_DESCRIPTOR alignment");
static_assert(offsetof(SecurityDescriptor, dacl) == offsetof(SECURITY_DESCRIPTOR, Dacl), "SECURITY_DESCRIPTOR Dacl");
static_assert(sizeof(SecurityAttributes) == sizeof(SECURITY_ATTRIBUTES), "SECURITY_ATTRIBUTES layout");
static_assert(offsetof(SecurityAttributes, securityDescriptor) == offsetof(SECURITY_ATTRIBUTES, lpSecurityDescriptor),
              "SECURITY_ATTRIBUTES lpSecurityDescriptor");
static_assert(offsetof(SecurityAttributes, inheritHandle) == offsetof(SECURITY_ATTRIBUTES, bInheritHandle),
              "SECURITY_ATTRIBUTES bInheritHandle");

LPSECURITY_ATTRIBUTES AsWindows(SecurityAttributes* attributes) {
    return reinterpret_cast<LPSECURITY_ATTRIBUTES>(attributes);
}

GUID AsWindows(const Guid& id) {
    GUID guid;
    guid.Data1 = id.data1;
    guid.Data2 = id.data2;
    guid.Data3 = id.data3;
    std::memcpy(guid.Data4, id.data4, sizeof(guid.Data4));
    return guid;
}

LPCWSTR ResourceId(uint16_t id) { return reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(id)); }

BOOL AsBool(bool value) { return value ? TRUE : FALSE; }

}  // namespace

const wchar_t* Win32Platform::GetCommandLineW() { return ::GetCommandLineW(); }

wchar_t** Win32Platform::CommandLineToArgvW(const wchar_t* commandLine, int* count) {
    return ::CommandLineToArgvW(commandLine, count);
}

void* Win32Platform::LocalFree(void* memory) { return ::LocalFree(static_cast<HLOCAL>(memory)); }

uint32_t Win32Platform::GetModuleFileNameW(void* module, wchar_t* buffer, uint32_t capacity) {
    return ::GetModuleFileNameW(static_cast<HMODULE>(module), buffer, capacity);
}

uint32_t Win32Platform::GetSystemDirectoryW(wchar_t* buffer, uint32_t capacity) {
    return ::GetSystemDirectoryW(buffer, capacity);
}

bool Win32Platform::SHGetSpecialFolderPathW(void* owner, wchar_t* buffer, int32_t folder, bool create) {
    return ::SHGetSpecialFolderPathW(static_cast<HWND>(owner), buffer, folder, AsBool(create)) != FALSE;
}

int32_t Win32Platform::MessageBoxW(void* owner, const wchar_t* text, const wchar_t* caption, uint32_t style) {
    return ::MessageBoxW(static_cast<HWND>(owner), text, caption, style);
}

void Win32Platform::OutputDebugStringW(const wchar_t* text) { ::OutputDebugStringW(text); }

bool Win32Platform::DeleteFileW(const wchar_t* path) { return ::DeleteFileW(path) != FALSE; }

bool Win32Platform::ShellExecuteExW(const ShellExecuteRequest& request) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = request.mask;
    info.hwnd = static_cast<HWND>(request.window);
    info.lpVerb = request.verb;
    info.lpFile = request.file;
    info.lpParameters = request.parameters;
    info.lpDirectory = request.directory;
    info.nShow = request.show;
    return ::ShellExecuteExW(&info) != FALSE;
}

bool Win32Platform::CreateProcessW(const wchar_t* applicationName,
                                   wchar_t* commandLine,
                                   SecurityAttributes* processAttributes,
                                   SecurityAttributes* threadAttributes,
                                   bool inheritHandles,
                                   uint32_t creationFlags,
                                   void* environment,
                                   const wchar_t* currentDirectory,
                                   ProcessInformation* information) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    const BOOL started = ::CreateProcessW(applicationName,
                                          commandLine,
                                          AsWindows(processAttributes),
                                          AsWindows(threadAttributes),
                                          AsBool(inheritHandles),
                                          creationFlags,
                                          environment,
                                          currentDirectory,
                                          &startup,
                                          &process);
    information->process = process.hProcess;
    information->thread = process.hThread;
    information->processId = process.dwProcessId;
    information->threadId = process.dwThreadId;
    return started != FALSE;
}

bool Win32Platform::CloseHandle(Handle handle) { return ::CloseHandle(handle) != FALSE; }

Handle Win32Platform::OpenMutexW(uint32_t desiredAccess, bool inheritHandle, const wchar_t* name) {
    return ::OpenMutexW(desiredAccess, AsBool(inheritHandle), name);
}

Handle Win32Platform::CreateMutexW(SecurityAttributes* attributes, bool initialOwner, const wchar_t* name) {
    return ::CreateMutexW(AsWindows(attributes), AsBool(initialOwner), name);
}

bool Win32Platform::ReleaseMutex(Handle mutex) { return ::ReleaseMutex(mutex) != FALSE; }

uint32_t Win32Platform::WaitForSingleObject(Handle handle, uint32_t milliseconds) {
    return ::WaitForSingleObject(handle, milliseconds);
}

uint32_t Win32Platform::GetLastError() { return ::GetLastError(); }

bool Win32Platform::InitializeSecurityDescriptor(SecurityDescriptor* descriptor, uint32_t revision) {
    return ::InitializeSecurityDescriptor(descriptor, revision) != FALSE;
}

bool Win32Platform::SetSecurityDescriptorDacl(SecurityDescriptor* descriptor,
                                              bool daclPresent,
                                              void* dacl,
                                              bool daclDefaulted) {
    return ::SetSecurityDescriptorDacl(
               descriptor, AsBool(daclPresent), static_cast<PACL>(dacl), AsBool(daclDefaulted)) != FALSE;
}

HResult Win32Platform::CoInitialize(void* reserved) { return ::CoInitialize(reserved); }

void Win32Platform::CoUninitialize() { ::CoUninitialize(); }

HResult Win32Platform::CoCreateInstance(
    const Guid& classId, void* outer, uint32_t context, const Guid& interfaceId, ComObject* object) {
    return ::CoCreateInstance(
        AsWindows(classId), static_cast<IUnknown*>(outer), context, AsWindows(interfaceId), object);
}

HResult Win32Platform::QueryInterface(ComObject object, const Guid& interfaceId, ComObject* result) {
    return static_cast<IUnknown*>(object)->QueryInterface(AsWindows(interfaceId), result);
}

uint32_t Win32Platform::Release(ComObject object) { return static_cast<IUnknown*>(object)->Release(); }

HResult Win32Platform::ShellLinkSetPath(ComObject link, const wchar_t* path) {
    return static_cast<IShellLinkW*>(link)->SetPath(path);
}

HResult Win32Platform::ShellLinkSetIconLocation(ComObject link, const wchar_t* iconPath, int32_t index) {
    return static_cast<IShellLinkW*>(link)->SetIconLocation(iconPath, index);
}

HResult Win32Platform::ShellLinkSetArguments(ComObject link, const wchar_t* arguments) {
    return static_cast<IShellLinkW*>(link)->SetArguments(arguments);
}

HResult Win32Platform::PersistFileSave(ComObject file, const wchar_t* fileName, bool remember) {
    return static_cast<IPersistFile*>(file)->Save(fileName, AsBool(remember));
}

ResourceHandle Win32Platform::FindResourceExW(void* module, uint16_t type, uint16_t name, uint16_t language) {
    return ::FindResourceExW(static_cast<HMODULE>(module), ResourceId(type), ResourceId(name), language);
}

ResourceData Win32Platform::LoadResource(void* module, ResourceHandle resource) {
    return ::LoadResource(static_cast<HMODULE>(module), static_cast<HRSRC>(resource));
}

const void* Win32Platform::LockResource(ResourceData data) { return ::LockResource(data); }

uint32_t Win32Platform::SizeofResource(void* module, ResourceHandle resource) {
    return ::SizeofResource(static_cast<HMODULE>(module), static_cast<HRSRC>(resource));
}

// The C runtime's own wide formatting, where %s takes a wide string.
int Win32Platform::MeasureFormat(const wchar_t* format, const wchar_t* argument) {
    return ::_scwprintf(format, argument);
}

int Win32Platform::FormatText(wchar_t* buffer, size_t count, const wchar_t* format, const wchar_t* argument) {
    return ::_snwprintf(buffer, count, format, argument);
}

bool Win32Platform::VerifyFileSignature(const wchar_t* path, int* code, uint32_t mode) {
    return sigverify::verify_file_signature(path, code, mode);
}

}  // namespace installer
