// The in-memory platform of the installer's tests.
#include "fake_platform.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <ostream>

namespace fake {
namespace {

using installer::ComObject;
using installer::Guid;
using installer::Handle;
using installer::HResult;

// The shell link object's identifiers, as Windows publishes them.
constexpr Guid kShellLinkClass = {0x00021401, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr Guid kShellLinkInterface = {0x000214F9, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr Guid kPersistFileInterface = {0x0000010B, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

constexpr HResult kFail = static_cast<HResult>(0x80004005u);         // E_FAIL
constexpr HResult kNoInterface = static_cast<HResult>(0x80004002u);  // E_NOINTERFACE
constexpr HResult kClassNotRegistered = static_cast<HResult>(0x80040154u);
constexpr uint32_t kFileNotFound = 2;
constexpr uint32_t kAccessDenied = 5;
constexpr uint32_t kInvalidHandle = 6;
constexpr uint32_t kAlreadyExists = 183;
constexpr uint32_t kNotOwner = 288;
constexpr uint32_t kNoAssociation = 1400;  // what the shell reports for a missing file under Wine
constexpr uint32_t kWaitAbandoned = 0x80;
constexpr uint32_t kWaitFailed = 0xFFFFFFFF;

std::wstring Text(const wchar_t* text) { return text == nullptr ? L"(null)" : std::wstring(text); }
std::optional<std::wstring> Optional(const wchar_t* text) {
    return text == nullptr ? std::nullopt : std::optional<std::wstring>(text);
}
std::wstring Number(uint64_t value) { return std::to_wstring(value); }
uintptr_t Key(const void* pointer) { return reinterpret_cast<uintptr_t>(pointer); }

void PutUnit(std::vector<uint8_t>* bytes, uint32_t unit) {
    bytes->push_back(static_cast<uint8_t>(unit & 0xFF));
    bytes->push_back(static_cast<uint8_t>(unit >> 8));
}

// UTF-16 units of a text, for the fake's string table.
std::vector<uint32_t> Utf16(const std::wstring& text) {
    std::vector<uint32_t> units;
    for (wchar_t c : text) {
        const auto value = static_cast<uint32_t>(c);
        if (value > 0xFFFF) {
            units.push_back(0xD800 + ((value - 0x10000) >> 10));
            units.push_back(0xDC00 + ((value - 0x10000) & 0x3FF));
        } else {
            units.push_back(value);
        }
    }
    return units;
}

// Marks the fake's own work, so that a test can fail only the
// allocations of the code under test.
thread_local int fakeDepth = 0;
struct InFake {
    InFake() { ++fakeDepth; }
    ~InFake() { --fakeDepth; }
    InFake(const InFake&) = delete;
    InFake& operator=(const InFake&) = delete;
};

}  // namespace

bool InsideFake() { return fakeDepth > 0; }

void PrintTo(const Call& call, std::ostream* out) {
    *out << call.name << "(";
    for (wchar_t c : call.detail) {
        if (c >= 0x20 && c < 0x7F) {
            *out << static_cast<char>(c);
        } else {
            *out << "\\u" << std::hex << static_cast<uint32_t>(c) << std::dec;
        }
    }
    *out << ")";
}

const std::map<unsigned, std::wstring>& ProductStrings() {
    static const std::map<unsigned, std::wstring> strings = {
        {101, L"Ostrel Sweepkit"},
        {102, L"\u00BFSeguro que desea desinstalar Ostrel Sweepkit del sistema?"},
        {103, L"Ostrel Sweepkit"},
        {104, L"Desinstalar Ostrel Sweepkit"},
        {105, L"Ostrel Sweepkit no ha podido desinstalarse porque est\u00E1 en uso."},
        {106, L"No ha sido posible comprobar la autenticidad del archivo %s. No es posible iniciar Ostrel Sweepkit."},
    };
    return strings;
}

FakePlatform::FakePlatform() : strings_(ProductStrings()) {}

void FakePlatform::SetString(unsigned id, const std::wstring& text) { strings_[id] = text; }
void FakePlatform::RemoveString(unsigned id) { strings_.erase(id); }
void FakePlatform::SetStringBlock(uint16_t block, const std::vector<uint8_t>& bytes) { rawBlocks_[block] = bytes; }

void FakePlatform::Fail(const std::string& call, int occurrence) { failing_[call].insert(occurrence); }

void FakePlatform::HoldMutex(const std::wstring& name) { ++named_[name].holds; }

void FakePlatform::HoldEvent(const std::wstring& name) {
    NamedObject& object = named_[name];
    object.event = true;
    ++object.holds;
}

void FakePlatform::AbandonMutex(const std::wstring& name) { named_[name].abandoned = true; }

void FakePlatform::DropHold(const std::wstring& name) {
    auto it = named_.find(name);
    if (it == named_.end() || it->second.holds == 0) return;
    --it->second.holds;
    Forget(name);
}

bool FakePlatform::NameExists(const std::wstring& name) const { return named_.count(name) != 0; }

std::vector<std::string> FakePlatform::CallNames() const {
    std::vector<std::string> names;
    for (const Call& call : calls) names.push_back(call.name);
    return names;
}

std::vector<Call> FakePlatform::CallsOf(std::initializer_list<const char*> names) const {
    std::vector<Call> chosen;
    for (const Call& call : calls) {
        for (const char* name : names) {
            if (call.name == name) chosen.push_back(call);
        }
    }
    return chosen;
}

bool FakePlatform::Enter(const char* name, const std::wstring& detail) {
    calls.push_back(Call{name, detail});
    const int occurrence = ++counts_[name];
    auto it = failing_.find(name);
    return it != failing_.end() && it->second.count(occurrence) != 0;
}

Handle FakePlatform::NewHandle(HandleKind kind, const std::wstring& name) {
    const uintptr_t key = nextHandle_;
    nextHandle_ += 4;
    handles_[key] = HandleEntry{kind, name};
    return reinterpret_cast<Handle>(key);
}

void FakePlatform::Forget(const std::wstring& name) {
    auto it = named_.find(name);
    if (it != named_.end() && it->second.holds == 0 && it->second.handles == 0) named_.erase(it);
}

const wchar_t* FakePlatform::GetCommandLineW() {
    const InFake inFake;
    Enter("GetCommandLineW", L"");
    return commandLine.c_str();
}

wchar_t** FakePlatform::CommandLineToArgvW(const wchar_t* line, int* count) {
    const InFake inFake;
    if (Enter("CommandLineToArgvW", Text(line))) return nullptr;
    argumentStorage_.clear();
    argumentPointers_.clear();
    for (const std::wstring& argument : arguments) {
        argumentStorage_.emplace_back(argument.begin(), argument.end());
        argumentStorage_.back().push_back(L'\0');
    }
    for (std::vector<wchar_t>& argument : argumentStorage_) argumentPointers_.push_back(argument.data());
    argumentPointers_.push_back(nullptr);
    *count = static_cast<int>(arguments.size());
    return argumentPointers_.data();
}

void* FakePlatform::LocalFree(void* memory) {
    const InFake inFake;
    const bool ours = !argumentPointers_.empty() && memory == static_cast<void*>(argumentPointers_.data());
    if (Enter("LocalFree", ours ? L"arguments" : L"unknown") || !ours) return memory;
    argumentPointers_.clear();
    argumentStorage_.clear();
    return nullptr;
}

uint32_t FakePlatform::GetModuleFileNameW(void* module, wchar_t* buffer, uint32_t capacity) {
    const InFake inFake;
    if (Enter("GetModuleFileNameW", (module == nullptr ? L"null, " : L"module, ") + Number(capacity))) return 0;
    // Like older Windows: a path that does not fit is cut without a terminator.
    const size_t length = std::min<size_t>(modulePath.size(), capacity);
    std::copy(modulePath.begin(), modulePath.begin() + static_cast<std::ptrdiff_t>(length), buffer);
    if (length < capacity) buffer[length] = L'\0';
    return static_cast<uint32_t>(length);
}

uint32_t FakePlatform::GetSystemDirectoryW(wchar_t* buffer, uint32_t capacity) {
    const InFake inFake;
    if (Enter("GetSystemDirectoryW", Number(capacity))) return 0;
    if (systemDirectory.size() >= capacity) return static_cast<uint32_t>(systemDirectory.size() + 1);
    std::copy(systemDirectory.begin(), systemDirectory.end(), buffer);
    buffer[systemDirectory.size()] = L'\0';
    return static_cast<uint32_t>(systemDirectory.size());
}

bool FakePlatform::SHGetSpecialFolderPathW(void* owner, wchar_t* buffer, int32_t folder, bool create) {
    const InFake inFake;
    const std::wstring detail = (owner == nullptr ? L"null, " : L"owner, ") + Number(static_cast<uint32_t>(folder)) +
                                (create ? L", TRUE" : L", FALSE");
    if (Enter("SHGetSpecialFolderPathW", detail) || folder != 0x10) return false;
    const size_t length = std::min<size_t>(desktopDirectory.size(), 259);
    std::copy(desktopDirectory.begin(), desktopDirectory.begin() + static_cast<std::ptrdiff_t>(length), buffer);
    buffer[length] = L'\0';
    return true;
}

int32_t FakePlatform::MessageBoxW(void* owner, const wchar_t* text, const wchar_t* caption, uint32_t style) {
    const InFake inFake;
    if (Enter("MessageBoxW", Text(text))) return 0;
    messageBoxes.push_back(MessageBoxRecord{owner, Text(text), Text(caption), style});
    if (answers.empty()) return 1;
    const int32_t answer = answers.front();
    answers.pop_front();
    return answer;
}

void FakePlatform::OutputDebugStringW(const wchar_t* text) {
    const InFake inFake;
    Enter("OutputDebugStringW", Text(text));
    debugOutput.push_back(Text(text));
}

bool FakePlatform::DeleteFileW(const wchar_t* path) {
    const InFake inFake;
    if (Enter("DeleteFileW", Text(path))) {
        lastError_ = kAccessDenied;
        return false;
    }
    if (path == nullptr || files.erase(path) == 0) {
        lastError_ = kFileNotFound;
        return false;
    }
    return true;
}

bool FakePlatform::ShellExecuteExW(const installer::ShellExecuteRequest& request) {
    const InFake inFake;
    const bool fails = Enter("ShellExecuteExW", Text(request.file));
    shellExecutes.push_back(ShellExecuteRecord{request.mask,
                                               request.window,
                                               Optional(request.verb),
                                               Optional(request.file),
                                               Optional(request.parameters),
                                               Optional(request.directory),
                                               request.show});
    if (fails) {
        lastError_ = kNoAssociation;
        return false;
    }
    return true;
}

bool FakePlatform::CreateProcessW(const wchar_t* applicationName,
                                  wchar_t* line,
                                  installer::SecurityAttributes* processAttributes,
                                  installer::SecurityAttributes* threadAttributes,
                                  bool inheritHandles,
                                  uint32_t creationFlags,
                                  void* environment,
                                  const wchar_t* currentDirectory,
                                  installer::ProcessInformation* information) {
    const InFake inFake;
    const bool fails = Enter("CreateProcessW", Text(line));
    const bool zeroed = information != nullptr && information->process == nullptr && information->thread == nullptr &&
                        information->processId == 0 && information->threadId == 0;
    processes.push_back(ProcessRecord{Optional(applicationName),
                                      Text(line),
                                      processAttributes == nullptr,
                                      threadAttributes == nullptr,
                                      inheritHandles,
                                      creationFlags,
                                      environment == nullptr,
                                      Optional(currentDirectory),
                                      zeroed});
    if (fails || information == nullptr) {
        lastError_ = kFileNotFound;
        return false;
    }
    information->process = NewHandle(HandleKind::Process, L"");
    information->thread = NewHandle(HandleKind::Thread, L"");
    information->processId = 4242;
    information->threadId = 4243;
    return true;
}

bool FakePlatform::CloseHandle(Handle handle) {
    const InFake inFake;
    auto it = handles_.find(Key(handle));
    std::wstring detail = L"unknown";
    if (it != handles_.end()) {
        switch (it->second.kind) {
            case HandleKind::Mutex:
                detail = L"mutex " + it->second.name;
                break;
            case HandleKind::Process:
                detail = L"process";
                break;
            case HandleKind::Thread:
                detail = L"thread";
                break;
        }
    }
    if (Enter("CloseHandle", detail) || it == handles_.end()) {
        lastError_ = kInvalidHandle;
        return false;
    }
    const HandleEntry entry = it->second;
    handles_.erase(it);
    if (entry.kind == HandleKind::Mutex) {
        --named_[entry.name].handles;
        Forget(entry.name);
    }
    return true;
}

Handle FakePlatform::OpenMutexW(uint32_t desiredAccess, bool inheritHandle, const wchar_t* name) {
    const InFake inFake;
    const std::wstring detail = Number(desiredAccess) + (inheritHandle ? L", TRUE, " : L", FALSE, ") + Text(name);
    if (Enter("OpenMutexW", detail)) {
        lastError_ = kAccessDenied;
        return nullptr;
    }
    auto it = named_.find(Text(name));
    if (it == named_.end()) {
        lastError_ = kFileNotFound;
        return nullptr;
    }
    if (it->second.event) {
        lastError_ = kInvalidHandle;
        return nullptr;
    }
    ++it->second.handles;
    return NewHandle(HandleKind::Mutex, it->first);
}

Handle FakePlatform::CreateMutexW(installer::SecurityAttributes* attributes, bool initialOwner, const wchar_t* name) {
    const InFake inFake;
    MutexCreation creation{attributes, {}, {}, initialOwner, Text(name)};
    if (attributes != nullptr) {
        creation.attributes = *attributes;
        if (attributes->securityDescriptor != nullptr) {
            std::memcpy(&creation.descriptor, attributes->securityDescriptor, sizeof(creation.descriptor));
        }
    }
    mutexCreations.push_back(creation);
    if (Enter("CreateMutexW", (initialOwner ? L"TRUE, " : L"FALSE, ") + Text(name))) {
        lastError_ = kAccessDenied;
        return nullptr;
    }
    const bool existed = named_.count(Text(name)) != 0;
    NamedObject& object = named_[Text(name)];
    if (object.event) {
        lastError_ = kInvalidHandle;
        return nullptr;
    }
    ++object.handles;
    if (initialOwner) object.owned = true;
    lastError_ = existed ? kAlreadyExists : 0;
    return NewHandle(HandleKind::Mutex, Text(name));
}

bool FakePlatform::ReleaseMutex(Handle mutex) {
    const InFake inFake;
    auto it = handles_.find(Key(mutex));
    const bool isMutex = it != handles_.end() && it->second.kind == HandleKind::Mutex;
    if (Enter("ReleaseMutex", isMutex ? it->second.name : L"unknown") || !isMutex) {
        lastError_ = kInvalidHandle;
        return false;
    }
    NamedObject& object = named_[it->second.name];
    if (!object.owned) {
        lastError_ = kNotOwner;
        return false;
    }
    object.owned = false;
    return true;
}

uint32_t FakePlatform::WaitForSingleObject(Handle handle, uint32_t milliseconds) {
    const InFake inFake;
    auto it = handles_.find(Key(handle));
    const bool isMutex = it != handles_.end() && it->second.kind == HandleKind::Mutex;
    if (Enter("WaitForSingleObject", Number(milliseconds)) || !isMutex) return kWaitFailed;
    NamedObject& object = named_[it->second.name];
    object.owned = true;
    if (object.abandoned) {
        object.abandoned = false;
        return kWaitAbandoned;
    }
    return 0;
}

uint32_t FakePlatform::GetLastError() {
    const InFake inFake;
    Enter("GetLastError", Number(lastError_));
    return lastError_;
}

bool FakePlatform::InitializeSecurityDescriptor(installer::SecurityDescriptor* descriptor, uint32_t revision) {
    const InFake inFake;
    if (Enter("InitializeSecurityDescriptor", Number(revision))) return false;
    *descriptor = installer::SecurityDescriptor{};
    descriptor->revision = static_cast<uint8_t>(revision);
    return true;
}

bool FakePlatform::SetSecurityDescriptorDacl(installer::SecurityDescriptor* descriptor,
                                             bool daclPresent,
                                             void* dacl,
                                             bool daclDefaulted) {
    const InFake inFake;
    const std::wstring detail = std::wstring(daclPresent ? L"TRUE, " : L"FALSE, ") + (dacl ? L"dacl, " : L"null, ") +
                                (daclDefaulted ? L"TRUE" : L"FALSE");
    if (Enter("SetSecurityDescriptorDacl", detail)) return false;
    constexpr uint16_t kDaclPresent = 0x0004, kDaclDefaulted = 0x0008;
    descriptor->control = static_cast<uint16_t>(descriptor->control & ~(kDaclPresent | kDaclDefaulted));
    if (daclPresent) descriptor->control = static_cast<uint16_t>(descriptor->control | kDaclPresent);
    if (daclDefaulted) descriptor->control = static_cast<uint16_t>(descriptor->control | kDaclDefaulted);
    descriptor->dacl = dacl;
    return true;
}

HResult FakePlatform::CoInitialize(void* reserved) {
    const InFake inFake;
    if (Enter("CoInitialize", reserved == nullptr ? L"null" : L"reserved")) return kFail;
    ++comDepth_;
    return comDepth_ == 1 ? installer::kOk : 1;  // S_FALSE when already initialised
}

void FakePlatform::CoUninitialize() {
    const InFake inFake;
    Enter("CoUninitialize", L"");
    --comDepth_;
}

HResult FakePlatform::CoCreateInstance(
    const Guid& classId, void* outer, uint32_t context, const Guid& interfaceId, ComObject* object) {
    const InFake inFake;
    const std::wstring detail = (outer == nullptr ? L"null, " : L"outer, ") + Number(context);
    *object = nullptr;
    if (Enter("CoCreateInstance", detail)) return kClassNotRegistered;
    if (comDepth_ <= 0 || !(classId == kShellLinkClass)) return kClassNotRegistered;
    if (!(interfaceId == kShellLinkInterface)) return kNoInterface;
    const uintptr_t id = nextComObject_;
    nextComObject_ += 0x10;
    objects_[id].references = 1;
    interfaces_[id] = Interface{id, InterfaceKind::ShellLink};
    *object = reinterpret_cast<ComObject>(id);
    return installer::kOk;
}

const FakePlatform::Interface* FakePlatform::FindInterface(ComObject pointer, InterfaceKind kind) const {
    auto it = interfaces_.find(Key(pointer));
    if (it == interfaces_.end() || it->second.kind != kind || objects_.count(it->second.object) == 0) return nullptr;
    return &it->second;
}

HResult FakePlatform::QueryInterface(ComObject object, const Guid& interfaceId, ComObject* result) {
    const InFake inFake;
    *result = nullptr;
    if (Enter("QueryInterface", interfaceId == kPersistFileInterface ? L"IPersistFile" : L"other")) {
        return kNoInterface;
    }
    const Interface* link = FindInterface(object, InterfaceKind::ShellLink);
    if (link == nullptr || !(interfaceId == kPersistFileInterface)) return kNoInterface;
    const uintptr_t id = link->object + 8;
    interfaces_[id] = Interface{link->object, InterfaceKind::PersistFile};
    ++objects_[link->object].references;
    *result = reinterpret_cast<ComObject>(id);
    return installer::kOk;
}

uint32_t FakePlatform::Release(ComObject object) {
    const InFake inFake;
    auto it = interfaces_.find(Key(object));
    const bool known = it != interfaces_.end();
    Enter("Release",
          !known                                        ? L"unknown"
          : it->second.kind == InterfaceKind::ShellLink ? L"IShellLinkW"
                                                        : L"IPersistFile");
    if (!known) return 0;
    const uintptr_t id = it->second.object;
    const int left = --objects_[id].references;
    if (left == 0) {
        objects_.erase(id);
        for (auto i = interfaces_.begin(); i != interfaces_.end();) {
            i = i->second.object == id ? interfaces_.erase(i) : std::next(i);
        }
    }
    return static_cast<uint32_t>(left);
}

HResult FakePlatform::ShellLinkSetPath(ComObject link, const wchar_t* path) {
    const InFake inFake;
    const Interface* found = FindInterface(link, InterfaceKind::ShellLink);
    if (Enter("ShellLinkSetPath", Text(path))) return kFail;
    if (found == nullptr) return kNoInterface;
    objects_[found->object].link.target = Text(path);
    return installer::kOk;
}

HResult FakePlatform::ShellLinkSetIconLocation(ComObject link, const wchar_t* iconPath, int32_t index) {
    const InFake inFake;
    const Interface* found = FindInterface(link, InterfaceKind::ShellLink);
    if (Enter("ShellLinkSetIconLocation", Text(iconPath) + L", " + std::to_wstring(index))) return kFail;
    if (found == nullptr) return kNoInterface;
    objects_[found->object].link.icon = Text(iconPath);
    objects_[found->object].link.iconIndex = index;
    return installer::kOk;
}

HResult FakePlatform::ShellLinkSetArguments(ComObject link, const wchar_t* value) {
    const InFake inFake;
    const Interface* found = FindInterface(link, InterfaceKind::ShellLink);
    if (Enter("ShellLinkSetArguments", Text(value))) return kFail;
    if (found == nullptr) return kNoInterface;
    objects_[found->object].link.arguments = Text(value);
    return installer::kOk;
}

HResult FakePlatform::PersistFileSave(ComObject file, const wchar_t* fileName, bool remember) {
    const InFake inFake;
    const Interface* found = FindInterface(file, InterfaceKind::PersistFile);
    if (Enter("PersistFileSave", Text(fileName) + (remember ? L", TRUE" : L", FALSE"))) return kFail;
    if (found == nullptr) return kNoInterface;
    if (fileName == nullptr || fileName[0] == L'\0') return installer::kInvalidArgument;
    files[fileName] = objects_[found->object].link;
    return installer::kOk;
}

installer::ResourceHandle FakePlatform::FindResourceExW(void* module, uint16_t type, uint16_t name, uint16_t language) {
    const InFake inFake;
    const std::wstring detail =
        (module == nullptr ? L"null, " : L"module, ") + Number(type) + L", " + Number(name) + L", " + Number(language);
    if (Enter("FindResourceExW", detail) || type != 6) return nullptr;
    std::vector<uint8_t> block;
    auto raw = rawBlocks_.find(name);
    if (raw != rawBlocks_.end()) {
        block = raw->second;
    } else {
        const unsigned first = (unsigned{name} - 1) * 16;
        bool any = false;
        for (unsigned id = first; id < first + 16; ++id) {
            auto it = strings_.find(id);
            if (it == strings_.end()) {
                PutUnit(&block, 0);
                continue;
            }
            any = true;
            const std::vector<uint32_t> units = Utf16(it->second);
            PutUnit(&block, static_cast<uint32_t>(units.size()));
            for (uint32_t unit : units) PutUnit(&block, unit);
        }
        if (!any) return nullptr;
    }
    loadedBlocks_[name] = block;
    return &loadedBlocks_[name];
}

installer::ResourceData FakePlatform::LoadResource(void* module, installer::ResourceHandle resource) {
    const InFake inFake;
    if (Enter("LoadResource", module == nullptr ? L"null" : L"module")) return nullptr;
    return resource;
}

const void* FakePlatform::LockResource(installer::ResourceData data) {
    const InFake inFake;
    if (Enter("LockResource", L"") || data == nullptr) return nullptr;
    return static_cast<std::vector<uint8_t>*>(data)->data();
}

uint32_t FakePlatform::SizeofResource(void* module, installer::ResourceHandle resource) {
    const InFake inFake;
    if (Enter("SizeofResource", module == nullptr ? L"null" : L"module") || resource == nullptr) return 0;
    return static_cast<uint32_t>(static_cast<std::vector<uint8_t>*>(resource)->size());
}

std::optional<std::wstring> FakePlatform::Compose(const wchar_t* format, const wchar_t* argument) const {
    std::wstring result;
    for (const wchar_t* p = format; *p != L'\0'; ++p) {
        if (*p != L'%') {
            result += *p;
        } else if (p[1] == L's') {
            result += Text(argument);
            ++p;
        } else if (p[1] == L'%') {
            result += L'%';
            ++p;
        } else {
            return std::nullopt;
        }
    }
    return result;
}

int FakePlatform::MeasureFormat(const wchar_t* format, const wchar_t* argument) {
    const InFake inFake;
    if (Enter("MeasureFormat", Text(format))) return -1;
    const std::optional<std::wstring> text = Compose(format, argument);
    return text ? static_cast<int>(text->size()) : -1;
}

int FakePlatform::FormatText(wchar_t* buffer, size_t count, const wchar_t* format, const wchar_t* argument) {
    const InFake inFake;
    if (Enter("FormatText", Number(count))) return -1;
    const std::optional<std::wstring> text = Compose(format, argument);
    if (!text || text->size() + 1 > count) return -1;
    std::copy(text->begin(), text->end(), buffer);
    buffer[text->size()] = L'\0';
    return static_cast<int>(text->size());
}

bool FakePlatform::VerifyFileSignature(const wchar_t* path, int* code, uint32_t mode) {
    const InFake inFake;
    verifications.push_back(VerifyRecord{Text(path), code == nullptr ? -1 : *code, mode});
    if (Enter("VerifyFileSignature", Text(path))) {
        if (code != nullptr) *code = 13;
        return false;
    }
    auto it = verdicts.find(Text(path));
    const Verdict answer = it != verdicts.end() ? it->second : verdict;
    if (code != nullptr) *code = answer.code;
    return answer.accepted;
}

}  // namespace fake
