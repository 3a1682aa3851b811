// Scripting descriptors: the read and write procedures of descriptorParameters, the action descriptor
// suite, the descriptor registry and its file. Descriptors handed to the module are host handles that
// hold the serialized entries, so a module may dispose them with handleProcs like any host's.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "diag/SystemErrorText.h"
#include "presets/WholeFile.h"
#include "tools/harness/HostState.h"

namespace {

constexpr OSErr errMissingParameter = -1715;
constexpr OSErr coercedParamErr = 2;
constexpr OSErr writErr = -20;
constexpr uint32_t kRegistryFileMagic = 0x31475243; // "CRG1" little-endian
// The host registers one small block per filter; a file far larger is not one it wrote, and reading it
// whole would cost its size in memory.
constexpr uintmax_t kLargestRegistryFile = 1024 * 1024;

// Serialization, little-endian like every machine this runs on.

void Append(std::vector<uint8_t>* bytes, const void* data, size_t size)
{
    const uint8_t* p = static_cast<const uint8_t*>(data);
    bytes->insert(bytes->end(), p, p + size);
}

void AppendUint32(std::vector<uint8_t>* bytes, uint32_t value)
{
    Append(bytes, &value, 4);
}

struct Reader
{
    const uint8_t* p;
    size_t left;
    bool Take(void* out, size_t size)
    {
        if (left < size)
            return false;
        std::memcpy(out, p, size);
        p += size;
        left -= size;
        return true;
    }
};

bool ReadEntries(Reader* reader, Descriptor* descriptor)
{
    uint32_t count;
    if (!reader->Take(&count, 4))
        return false;
    descriptor->clear();
    for (uint32_t i = 0; i < count; ++i) {
        DescriptorEntry entry{};
        uint8_t boolean;
        uint32_t length;
        if (!reader->Take(&entry.key, 4) || !reader->Take(&entry.value.type, 4) ||
            !reader->Take(&entry.value.unit, 4) || !reader->Take(&entry.value.integer, 4) ||
            !reader->Take(&entry.value.number, 8) || !reader->Take(&boolean, 1) || !reader->Take(&length, 4) ||
            reader->left < length)
            return false;
        entry.value.boolean = boolean != 0;
        entry.value.data.assign(reader->p, reader->p + length);
        reader->p += length;
        reader->left -= length;
        descriptor->push_back(entry);
    }
    return true;
}

// Read descriptor procedures.

ReadToken* FindReadToken(PIReadDescriptor token)
{
    ReadToken* read = reinterpret_cast<ReadToken*>(token);
    if (gHostState->readTokens.count(read) == 0) {
        gHostState->Fault("an unknown read-descriptor token was passed to the host");
        return nullptr;
    }
    return read;
}

PIReadDescriptor OpenReadDescriptor(PIDescriptorHandle descriptor, DescriptorKeyID keyArray[])
{
    HostHandleBlock* block = FindHostHandle(descriptor);
    if (block == nullptr)
        return nullptr;
    ReadToken* token = new ReadToken;
    if (!DeserializeDescriptor(reinterpret_cast<const uint8_t*>(block->data), size_t(block->size), &token->entries)) {
        gHostState->Fault("a descriptor handle does not hold a descriptor");
        delete token;
        return nullptr;
    }
    token->keys = keyArray;
    if (keyArray != nullptr)
        while (keyArray[token->keyCount] != 0)
            ++token->keyCount;
    gHostState->readTokens.insert(token);
    return reinterpret_cast<PIReadDescriptor>(token);
}

OSErr CloseReadDescriptor(PIReadDescriptor token)
{
    ReadToken* read = FindReadToken(token);
    if (read == nullptr)
        return paramErr;
    const OSErr result = read->lastError;
    gHostState->readTokens.erase(read);
    delete read;
    return result;
}

Boolean GetKey(PIReadDescriptor token, DescriptorKeyID* key, DescriptorTypeID* type, int32* flags)
{
    ReadToken* read = FindReadToken(token);
    if (read == nullptr || read->next >= read->entries.size())
        return false;
    read->current = &read->entries[read->next++];
    if (key != nullptr)
        *key = read->current->key;
    if (type != nullptr)
        *type = read->current->value.type;
    if (flags != nullptr)
        *flags = actionSimpleParameter;
    // Keys that were asked for and have been returned are zeroed, as hosts do.
    for (size_t i = 0; i < read->keyCount; ++i)
        if (read->keys[i] == read->current->key)
            read->keys[i] = 0;
    return true;
}

// The current entry when it has one of the two types, else the error is noted and null returned.
const DescriptorValue* CurrentValue(PIReadDescriptor token, DescriptorTypeID type, DescriptorTypeID alsoType)
{
    ReadToken* read = FindReadToken(token);
    if (read == nullptr)
        return nullptr;
    if (read->current == nullptr || (read->current->value.type != type && read->current->value.type != alsoType)) {
        read->lastError = paramErr;
        return nullptr;
    }
    return &read->current->value;
}

OSErr GetInteger(PIReadDescriptor token, int32* value)
{
    const DescriptorValue* v = CurrentValue(token, typeInteger, typeInteger);
    if (v == nullptr || value == nullptr)
        return paramErr;
    *value = v->integer;
    return noErr;
}

OSErr GetFloat(PIReadDescriptor token, double* value)
{
    const DescriptorValue* v = CurrentValue(token, typeFloat, typeUnitFloat);
    if (v == nullptr || value == nullptr)
        return paramErr;
    *value = v->number;
    return noErr;
}

OSErr GetUnitFloat(PIReadDescriptor token, DescriptorUnitID* unit, double* value)
{
    const DescriptorValue* v = CurrentValue(token, typeUnitFloat, typeFloat);
    if (v == nullptr || value == nullptr)
        return paramErr;
    if (unit != nullptr)
        *unit = v->type == typeUnitFloat ? v->unit : unitNone;
    *value = v->number;
    return noErr;
}

OSErr GetBoolean(PIReadDescriptor token, Boolean* value)
{
    const DescriptorValue* v = CurrentValue(token, typeBoolean, typeBoolean);
    if (v == nullptr || value == nullptr)
        return paramErr;
    *value = v->boolean ? 1 : 0;
    return noErr;
}

OSErr GetPinnedInteger(PIReadDescriptor token, int32 min, int32 max, int32* value)
{
    const OSErr error = GetInteger(token, value);
    if (error != noErr)
        return error;
    if (*value < min || *value > max) {
        *value = *value < min ? min : max;
        return coercedParamErr;
    }
    return noErr;
}

OSErr PinFloat(const double* min, const double* max, double* value)
{
    if (min != nullptr && *value < *min) {
        *value = *min;
        return coercedParamErr;
    }
    if (max != nullptr && *value > *max) {
        *value = *max;
        return coercedParamErr;
    }
    return noErr;
}

OSErr GetPinnedFloat(PIReadDescriptor token, const double* min, const double* max, double* value)
{
    const OSErr error = GetFloat(token, value);
    return error != noErr ? error : PinFloat(min, max, value);
}

OSErr GetPinnedUnitFloat(PIReadDescriptor token, const double* min, const double* max, DescriptorUnitID* unit,
                         double* value)
{
    const OSErr error = GetUnitFloat(token, unit, value);
    return error != noErr ? error : PinFloat(min, max, value);
}

// Write descriptor procedures.

WriteToken* FindWriteToken(PIWriteDescriptor token)
{
    WriteToken* write = reinterpret_cast<WriteToken*>(token);
    if (gHostState->writeTokens.count(write) == 0) {
        gHostState->Fault("an unknown write-descriptor token was passed to the host");
        return nullptr;
    }
    return write;
}

PIWriteDescriptor OpenWriteDescriptor()
{
    WriteToken* token = new WriteToken;
    gHostState->writeTokens.insert(token);
    return reinterpret_cast<PIWriteDescriptor>(token);
}

OSErr CloseWriteDescriptor(PIWriteDescriptor token, PIDescriptorHandle* newDescriptor)
{
    WriteToken* write = FindWriteToken(token);
    if (write == nullptr)
        return paramErr;
    std::vector<uint8_t> bytes;
    SerializeDescriptor(write->entries, &bytes);
    gHostState->writeTokens.erase(write);
    delete write;
    if (newDescriptor == nullptr)
        return paramErr;
    *newDescriptor = NewHostHandle(int32_t(bytes.size()));
    if (*newDescriptor == nullptr)
        return memFullErr;
    std::memcpy(**newDescriptor, bytes.data(), bytes.size());
    return noErr;
}

OSErr Put(PIWriteDescriptor token, DescriptorKeyID key, const DescriptorValue& value)
{
    WriteToken* write = FindWriteToken(token);
    if (write == nullptr)
        return paramErr;
    PutValue(&write->entries, key, value);
    return noErr;
}

OSErr PutInteger(PIWriteDescriptor token, DescriptorKeyID key, int32 value)
{
    return Put(token, key, IntegerValue(value));
}

OSErr PutFloat(PIWriteDescriptor token, DescriptorKeyID key, const double* value)
{
    return value != nullptr ? Put(token, key, FloatValue(*value)) : paramErr;
}

OSErr PutUnitFloat(PIWriteDescriptor token, DescriptorKeyID key, DescriptorUnitID unit, const double* value)
{
    return value != nullptr ? Put(token, key, UnitFloatValue(unit, *value)) : paramErr;
}

OSErr PutBoolean(PIWriteDescriptor token, DescriptorKeyID key, Boolean value)
{
    return Put(token, key, BooleanValue(value != 0));
}

// Action descriptor suite.

ActionDescriptorObject* FindActionDescriptor(PIActionDescriptor descriptor)
{
    ActionDescriptorObject* object = reinterpret_cast<ActionDescriptorObject*>(descriptor);
    if (gHostState->actionDescriptors.count(object) == 0) {
        gHostState->Fault("an unknown action descriptor was passed to the host");
        return nullptr;
    }
    return object;
}

const DescriptorValue* FindActionValue(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorTypeID type)
{
    ActionDescriptorObject* object = FindActionDescriptor(descriptor);
    if (object == nullptr)
        return nullptr;
    const DescriptorValue* value = FindValue(object->entries, key);
    return value != nullptr && value->type == type ? value : nullptr;
}

OSErr ActionPut(PIActionDescriptor descriptor, DescriptorKeyID key, const DescriptorValue& value)
{
    ActionDescriptorObject* object = FindActionDescriptor(descriptor);
    if (object == nullptr)
        return paramErr;
    PutValue(&object->entries, key, value);
    return noErr;
}

OSErr Make(PIActionDescriptor* descriptor)
{
    if (descriptor == nullptr)
        return paramErr;
    *descriptor = NewActionDescriptor(Descriptor());
    return noErr;
}

OSErr Free(PIActionDescriptor descriptor)
{
    ActionDescriptorObject* object = FindActionDescriptor(descriptor);
    if (object == nullptr)
        return paramErr;
    gHostState->actionDescriptors.erase(object);
    delete object;
    return noErr;
}

OSErr ActionGetType(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorTypeID* type)
{
    ActionDescriptorObject* object = FindActionDescriptor(descriptor);
    const DescriptorValue* value = object != nullptr ? FindValue(object->entries, key) : nullptr;
    if (value == nullptr || type == nullptr)
        return errMissingParameter;
    *type = value->type;
    return noErr;
}

OSErr ActionGetKey(PIActionDescriptor descriptor, uint32 index, DescriptorKeyID* key)
{
    ActionDescriptorObject* object = FindActionDescriptor(descriptor);
    if (object == nullptr || key == nullptr || index >= object->entries.size())
        return paramErr;
    *key = object->entries[index].key;
    return noErr;
}

OSErr ActionHasKey(PIActionDescriptor descriptor, DescriptorKeyID key, Boolean* hasKey)
{
    ActionDescriptorObject* object = FindActionDescriptor(descriptor);
    if (object == nullptr || hasKey == nullptr)
        return paramErr;
    *hasKey = FindValue(object->entries, key) != nullptr;
    return noErr;
}

OSErr ActionGetCount(PIActionDescriptor descriptor, uint32* count)
{
    ActionDescriptorObject* object = FindActionDescriptor(descriptor);
    if (object == nullptr || count == nullptr)
        return paramErr;
    *count = uint32(object->entries.size());
    return noErr;
}

OSErr ActionErase(PIActionDescriptor descriptor, DescriptorKeyID key)
{
    ActionDescriptorObject* object = FindActionDescriptor(descriptor);
    if (object == nullptr)
        return paramErr;
    for (auto it = object->entries.begin(); it != object->entries.end(); ++it)
        if (it->key == key) {
            object->entries.erase(it);
            return noErr;
        }
    return errMissingParameter;
}

OSErr ActionClear(PIActionDescriptor descriptor)
{
    ActionDescriptorObject* object = FindActionDescriptor(descriptor);
    if (object == nullptr)
        return paramErr;
    object->entries.clear();
    return noErr;
}

OSErr ActionPutInteger(PIActionDescriptor descriptor, DescriptorKeyID key, int32 value)
{
    return ActionPut(descriptor, key, IntegerValue(value));
}

OSErr ActionPutFloat(PIActionDescriptor descriptor, DescriptorKeyID key, double value)
{
    return ActionPut(descriptor, key, FloatValue(value));
}

OSErr ActionPutUnitFloat(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorUnitID unit, double value)
{
    return ActionPut(descriptor, key, UnitFloatValue(unit, value));
}

OSErr ActionPutBoolean(PIActionDescriptor descriptor, DescriptorKeyID key, Boolean value)
{
    return ActionPut(descriptor, key, BooleanValue(value != 0));
}

OSErr ActionGetInteger(PIActionDescriptor descriptor, DescriptorKeyID key, int32* value)
{
    const DescriptorValue* v = FindActionValue(descriptor, key, typeInteger);
    if (v == nullptr || value == nullptr)
        return errMissingParameter;
    *value = v->integer;
    return noErr;
}

OSErr ActionGetFloat(PIActionDescriptor descriptor, DescriptorKeyID key, double* value)
{
    const DescriptorValue* v = FindActionValue(descriptor, key, typeFloat);
    if (v == nullptr || value == nullptr)
        return errMissingParameter;
    *value = v->number;
    return noErr;
}

OSErr ActionGetUnitFloat(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorUnitID* unit, double* value)
{
    const DescriptorValue* v = FindActionValue(descriptor, key, typeUnitFloat);
    if (v == nullptr || value == nullptr)
        return errMissingParameter;
    if (unit != nullptr)
        *unit = v->unit;
    *value = v->number;
    return noErr;
}

OSErr ActionGetBoolean(PIActionDescriptor descriptor, DescriptorKeyID key, Boolean* value)
{
    const DescriptorValue* v = FindActionValue(descriptor, key, typeBoolean);
    if (v == nullptr || value == nullptr)
        return errMissingParameter;
    *value = v->boolean ? 1 : 0;
    return noErr;
}

OSErr ActionPutData(PIActionDescriptor descriptor, DescriptorKeyID key, int32 length, void* value)
{
    if (length < 0 || (length > 0 && value == nullptr))
        return paramErr;
    return ActionPut(descriptor, key, DataValue(value, size_t(length)));
}

OSErr ActionGetDataLength(PIActionDescriptor descriptor, DescriptorKeyID key, int32* length)
{
    const DescriptorValue* v = FindActionValue(descriptor, key, typeRawData);
    if (v == nullptr || length == nullptr)
        return errMissingParameter;
    *length = int32(v->data.size());
    return noErr;
}

OSErr ActionGetData(PIActionDescriptor descriptor, DescriptorKeyID key, void* value)
{
    const DescriptorValue* v = FindActionValue(descriptor, key, typeRawData);
    if (v == nullptr || value == nullptr)
        return errMissingParameter;
    if (!v->data.empty())
        std::memcpy(value, v->data.data(), v->data.size());
    return noErr;
}

// Descriptor registry.

OSErr RegistryRegister(const char* key, PIActionDescriptor descriptor, Boolean isPersistent)
{
    ActionDescriptorObject* object = FindActionDescriptor(descriptor);
    if (key == nullptr || object == nullptr)
        return paramErr;
    gHostState->registry[key] = RegistryEntry{object->entries, isPersistent != 0};
    if (isPersistent && !SaveRegistryFile(gHostState))
        return writErr;
    return noErr;
}

OSErr RegistryErase(const char* key)
{
    if (key == nullptr)
        return paramErr;
    auto found = gHostState->registry.find(key);
    if (found == gHostState->registry.end())
        return errMissingParameter;
    const bool persistent = found->second.persistent;
    gHostState->registry.erase(found);
    if (persistent && !SaveRegistryFile(gHostState))
        return writErr;
    return noErr;
}

// Nothing registered is not an error: the descriptor comes back null.
OSErr RegistryGet(const char* key, PIActionDescriptor* descriptor)
{
    if (key == nullptr || descriptor == nullptr)
        return paramErr;
    auto found = gHostState->registry.find(key);
    *descriptor = found != gHostState->registry.end() ? NewActionDescriptor(found->second.descriptor) : nullptr;
    return noErr;
}

} // namespace

void SerializeDescriptor(const Descriptor& descriptor, std::vector<uint8_t>* bytes)
{
    AppendUint32(bytes, uint32_t(descriptor.size()));
    for (const DescriptorEntry& entry : descriptor) {
        AppendUint32(bytes, entry.key);
        AppendUint32(bytes, entry.value.type);
        AppendUint32(bytes, entry.value.unit);
        Append(bytes, &entry.value.integer, 4);
        Append(bytes, &entry.value.number, 8);
        const uint8_t boolean = entry.value.boolean ? 1 : 0;
        Append(bytes, &boolean, 1);
        AppendUint32(bytes, uint32_t(entry.value.data.size()));
        if (!entry.value.data.empty())
            Append(bytes, entry.value.data.data(), entry.value.data.size());
    }
}

bool DeserializeDescriptor(const uint8_t* bytes, size_t size, Descriptor* descriptor)
{
    Reader reader{bytes, size};
    return ReadEntries(&reader, descriptor) && reader.left == 0;
}

PIActionDescriptor NewActionDescriptor(const Descriptor& entries)
{
    ActionDescriptorObject* object = new ActionDescriptorObject{entries};
    gHostState->actionDescriptors.insert(object);
    return reinterpret_cast<PIActionDescriptor>(object);
}

void NoteRegistryProblem(Host::State* state, const std::string& text)
{
    for (const std::string& known : state->registryProblems)
        if (known == text)
            return;
    state->registryProblems.push_back(text);
}

std::string SystemErrorText(int error)
{
    char text[256];
    if (error > 0 && GetSystemErrorText(uint32_t(error), text, sizeof text))
        return text;
    return "error " + std::to_string(error);
}

// File: magic, entry count, then per entry the key's length and characters and the descriptor.
bool SaveRegistryFile(Host::State* state)
{
    if (state->options.registryPath.empty())
        return true;
    std::vector<uint8_t> bytes;
    AppendUint32(&bytes, kRegistryFileMagic);
    uint32_t count = 0;
    for (const auto& entry : state->registry)
        count += entry.second.persistent ? 1 : 0;
    AppendUint32(&bytes, count);
    for (const auto& entry : state->registry) {
        if (!entry.second.persistent)
            continue;
        AppendUint32(&bytes, uint32_t(entry.first.size()));
        Append(&bytes, entry.first.data(), entry.first.size());
        SerializeDescriptor(entry.second.descriptor, &bytes);
    }
    // Several hosts may save at once: each stages its own file and moves it over the old one in one
    // step, so the file is always one whole registry.
    int error = 0;
    if (WriteWholeFile(state->options.registryPath.c_str(), bytes.data(), bytes.size(), &error) ==
        WholeFileResult::Written)
        return true;
    NoteRegistryProblem(state, state->options.registryPath + ": cannot save the parameters for the next run (" +
                                   SystemErrorText(error) + ")");
    return false;
}

bool LoadRegistryFile(Host::State* state)
{
    const std::string& path = state->options.registryPath;
    if (path.empty())
        return true;
    // Type and size first: a pipe would block the host for ever, and a huge file cost its size.
    std::error_code failure;
    const std::filesystem::file_status status = std::filesystem::status(path, failure);
    if (status.type() == std::filesystem::file_type::not_found)
        return true; // nothing registered yet
    const std::string ignored = path + ": ignored: ";
    if (failure) {
        NoteRegistryProblem(state, ignored + failure.message());
        return false;
    }
    const uintmax_t size = std::filesystem::is_regular_file(status) ? std::filesystem::file_size(path, failure) : 0;
    if (!std::filesystem::is_regular_file(status) || failure || size > kLargestRegistryFile) {
        NoteRegistryProblem(state, ignored + "not a settings file of this program");
        return false;
    }
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        NoteRegistryProblem(state, ignored + SystemErrorText(errno));
        return false;
    }
    std::vector<uint8_t> bytes(size_t(size) + 1);
    const size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    bytes.resize(got);

    Reader reader{bytes.data(), bytes.size()};
    uint32_t magic, count;
    bool whole = reader.Take(&magic, 4) && magic == kRegistryFileMagic && reader.Take(&count, 4);
    std::map<std::string, RegistryEntry> registry;
    for (uint32_t i = 0; whole && i < count; ++i) {
        uint32_t length;
        if (!reader.Take(&length, 4) || reader.left < length) {
            whole = false;
            break;
        }
        std::string key(reinterpret_cast<const char*>(reader.p), length);
        reader.p += length;
        reader.left -= length;
        RegistryEntry entry{Descriptor(), true};
        whole = ReadEntries(&reader, &entry.descriptor);
        registry[key] = entry;
    }
    if (!whole) {
        NoteRegistryProblem(state, ignored + "damaged, or not a settings file of this program");
        return false;
    }
    state->registry = registry;
    return true;
}

void ReleaseDescriptorObjects(Host::State* state)
{
    for (ActionDescriptorObject* object : state->actionDescriptors)
        delete object;
    state->actionDescriptors.clear();
    for (ReadToken* token : state->readTokens)
        delete token;
    state->readTokens.clear();
    for (WriteToken* token : state->writeTokens)
        delete token;
    state->writeTokens.clear();
}

void InstallDescriptorProcs(Host::State* state)
{
    ReadDescriptorProcs& r = state->readProcs;
    r = ReadDescriptorProcs{};
    r.readDescriptorProcsVersion = kCurrentReadDescriptorProcsVersion;
    r.numReadDescriptorProcs = kCurrentReadDescriptorProcsCount;
    r.openReadDescriptorProc = OpenReadDescriptor;
    r.closeReadDescriptorProc = CloseReadDescriptor;
    r.getKeyProc = GetKey;
    r.getIntegerProc = GetInteger;
    r.getFloatProc = GetFloat;
    r.getUnitFloatProc = GetUnitFloat;
    r.getBooleanProc = GetBoolean;
    r.getPinnedIntegerProc = GetPinnedInteger;
    r.getPinnedFloatProc = GetPinnedFloat;
    r.getPinnedUnitFloatProc = GetPinnedUnitFloat;

    WriteDescriptorProcs& w = state->writeProcs;
    w = WriteDescriptorProcs{};
    w.writeDescriptorProcsVersion = kCurrentWriteDescriptorProcsVersion;
    w.numWriteDescriptorProcs = kCurrentWriteDescriptorProcsCount;
    w.openWriteDescriptorProc = OpenWriteDescriptor;
    w.closeWriteDescriptorProc = CloseWriteDescriptor;
    w.putIntegerProc = PutInteger;
    w.putFloatProc = PutFloat;
    w.putUnitFloatProc = PutUnitFloat;
    w.putBooleanProc = PutBoolean;

    PSActionDescriptorProcs& a = state->actionDescriptorProcs;
    a = PSActionDescriptorProcs{};
    a.Make = Make;
    a.Free = Free;
    a.GetType = ActionGetType;
    a.GetKey = ActionGetKey;
    a.HasKey = ActionHasKey;
    a.GetCount = ActionGetCount;
    a.Erase = ActionErase;
    a.Clear = ActionClear;
    a.PutInteger = ActionPutInteger;
    a.PutFloat = ActionPutFloat;
    a.PutUnitFloat = ActionPutUnitFloat;
    a.PutBoolean = ActionPutBoolean;
    a.GetInteger = ActionGetInteger;
    a.GetFloat = ActionGetFloat;
    a.GetUnitFloat = ActionGetUnitFloat;
    a.GetBoolean = ActionGetBoolean;
    a.PutData = ActionPutData;
    a.GetDataLength = ActionGetDataLength;
    a.GetData = ActionGetData;

    state->registryProcs = PSDescriptorRegistryProcs{RegistryRegister, RegistryErase, RegistryGet};
}
