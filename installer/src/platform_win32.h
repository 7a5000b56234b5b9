// The platform interface over the Windows functions of the same names, and
// the file signature verification.
#ifndef INSTALLER_PLATFORM_WIN32_H
#define INSTALLER_PLATFORM_WIN32_H

#include "platform.h"

namespace installer {

class Win32Platform final : public Platform {
public:
    const wchar_t* GetCommandLineW() override;
    wchar_t** CommandLineToArgvW(const wchar_t* commandLine, int* count) override;
    void* LocalFree(void* memory) override;
    uint32_t GetModuleFileNameW(void* module, wchar_t* buffer, uint32_t capacity) override;
    uint32_t GetSystemDirectoryW(wchar_t* buffer, uint32_t capacity) override;
    bool SHGetSpecialFolderPathW(void* owner, wchar_t* buffer, int32_t folder, bool create) override;
    int32_t MessageBoxW(void* owner, const wchar_t* text, const wchar_t* caption, uint32_t style) override;
    void OutputDebugStringW(const wchar_t* text) override;
    bool DeleteFileW(const wchar_t* path) override;
    bool ShellExecuteExW(const ShellExecuteRequest& request) override;
    bool CreateProcessW(const wchar_t* applicationName,
                        wchar_t* commandLine,
                        SecurityAttributes* processAttributes,
                        SecurityAttributes* threadAttributes,
                        bool inheritHandles,
                        uint32_t creationFlags,
                        void* environment,
                        const wchar_t* currentDirectory,
                        ProcessInformation* information) override;
    bool CloseHandle(Handle handle) override;
    Handle OpenMutexW(uint32_t desiredAccess, bool inheritHandle, const wchar_t* name) override;
    Handle CreateMutexW(SecurityAttributes* attributes, bool initialOwner, const wchar_t* name) override;
    bool ReleaseMutex(Handle mutex) override;
    uint32_t WaitForSingleObject(Handle handle, uint32_t milliseconds) override;
    uint32_t GetLastError() override;
    bool InitializeSecurityDescriptor(SecurityDescriptor* descriptor, uint32_t revision) override;
    bool SetSecurityDescriptorDacl(SecurityDescriptor* descriptor,
                                   bool daclPresent,
                                   void* dacl,
                                   bool daclDefaulted) override;
    HResult CoInitialize(void* reserved) override;
    void CoUninitialize() override;
    HResult CoCreateInstance(
        const Guid& classId, void* outer, uint32_t context, const Guid& interfaceId, ComObject* object) override;
    HResult QueryInterface(ComObject object, const Guid& interfaceId, ComObject* result) override;
    uint32_t Release(ComObject object) override;
    HResult ShellLinkSetPath(ComObject link, const wchar_t* path) override;
    HResult ShellLinkSetIconLocation(ComObject link, const wchar_t* iconPath, int32_t index) override;
    HResult ShellLinkSetArguments(ComObject link, const wchar_t* arguments) override;
    HResult PersistFileSave(ComObject file, const wchar_t* fileName, bool remember) override;
    ResourceHandle FindResourceExW(void* module, uint16_t type, uint16_t name, uint16_t language) override;
    ResourceData LoadResource(void* module, ResourceHandle resource) override;
    const void* LockResource(ResourceData data) override;
    uint32_t SizeofResource(void* module, ResourceHandle resource) override;
    int MeasureFormat(const wchar_t* format, const wchar_t* argument) override;
    int FormatText(wchar_t* buffer, size_t count, const wchar_t* format, const wchar_t* argument) override;
    bool VerifyFileSignature(const wchar_t* path, int* code, uint32_t mode) override;
};

}  // namespace installer

#endif
