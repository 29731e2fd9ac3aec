#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

namespace vor {

// A registry key handle as the platform hands it out (HKEY on Windows). Predefined roots are the
// 32-bit hive numbers sign-extended, exactly as the platform defines them on 64-bit builds.
using RegHandle = std::intptr_t;
// 100-nanosecond ticks since 1601-01-01 UTC.
using FileTime = std::uint64_t;

namespace reg {
// Result codes of the registry functions.
inline constexpr long Success = 0;
inline constexpr long FileNotFound = 2;
inline constexpr long AccessDenied = 5;
inline constexpr long InvalidHandle = 6;
// The portable store's answers when its file cannot be written: a read-only file, folder or mount,
// and a full disk (the platform's ERROR_WRITE_PROTECT and ERROR_DISK_FULL).
inline constexpr long WriteProtected = 19;
inline constexpr long DiskFull = 112;
inline constexpr long InvalidParameter = 87;
inline constexpr long BadPathname = 161;
// The portable store's answer when another process has held it for longer than a call may wait
// (the platform's ERROR_BUSY).
inline constexpr long StoreBusy = 170;
inline constexpr long MoreData = 234;
inline constexpr long NoMoreItems = 259;
// The answer of the calls of a batch its caller gave up (the platform's ERROR_OPERATION_ABORTED).
inline constexpr long OperationAborted = 995;
inline constexpr long RegistryIoFailed = 1016;
inline constexpr long KeyDeleted = 1018;

// Errors raised about the registry's own storage, numbered in the component's range.
inline constexpr std::int32_t StoreBusyError = static_cast<std::int32_t>(0x80040020u);
inline constexpr std::int32_t StoreUnusableError = static_cast<std::int32_t>(0x80040021u);
inline constexpr const char* StoreBusyText =
    "The registry store is busy: another program has been writing to it for longer than this one waits. "
    "Try again when it has finished.";

// Value types.
inline constexpr std::uint32_t Sz = 1;
inline constexpr std::uint32_t ExpandSz = 2;
inline constexpr std::uint32_t Binary = 3;
inline constexpr std::uint32_t Dword = 4;
inline constexpr std::uint32_t MultiSz = 7;

// Access rights.
inline constexpr std::uint32_t KeySetValue = 0x0002;
inline constexpr std::uint32_t KeyRead = 0x20019;
inline constexpr std::uint32_t KeyAllAccess = 0xF003F;
inline constexpr std::uint32_t GenericAll = 0x10000000;

inline constexpr std::uint32_t OptionNonVolatile = 0;

// Predefined roots, as 32-bit hive numbers.
inline constexpr std::int32_t ClassesRoot = static_cast<std::int32_t>(0x80000000u);
inline constexpr std::int32_t CurrentUser = static_cast<std::int32_t>(0x80000001u);
inline constexpr std::int32_t LocalMachine = static_cast<std::int32_t>(0x80000002u);
inline constexpr std::int32_t Users = static_cast<std::int32_t>(0x80000003u);
inline constexpr std::int32_t PerformanceData = static_cast<std::int32_t>(0x80000004u);
inline constexpr std::int32_t CurrentConfig = static_cast<std::int32_t>(0x80000005u);
inline constexpr std::int32_t DynData = static_cast<std::int32_t>(0x80000006u);

inline RegHandle HiveHandle(std::int32_t hive) {
    return static_cast<RegHandle>(hive);
}
}  // namespace reg

// The registry functions CRegistry is written against, with the shape and result codes of the
// platform's ANSI functions: strings are byte strings in the caller's code page, sizes are in bytes
// (names: characters without the terminating NUL), and every function answers a result code.
// Null out-pointers mean "not wanted", as on the platform.
class RegistryApi {
public:
    virtual ~RegistryApi() = default;

    virtual long OpenKeyEx(RegHandle key, const char* subKey, std::uint32_t options, std::uint32_t access,
                           RegHandle* result) = 0;
    virtual long CreateKeyEx(RegHandle key, const char* subKey, const char* keyClass, std::uint32_t options,
                             std::uint32_t access, RegHandle* result, std::uint32_t* disposition) = 0;
    virtual long CloseKey(RegHandle key) = 0;
    virtual long DeleteKey(RegHandle key, const char* subKey) = 0;
    virtual long QueryValueEx(RegHandle key, const char* valueName, std::uint32_t* type, unsigned char* data,
                              std::uint32_t* size) = 0;
    virtual long SetValueEx(RegHandle key, const char* valueName, std::uint32_t type, const unsigned char* data,
                            std::uint32_t size) = 0;
    virtual long DeleteValue(RegHandle key, const char* valueName) = 0;
    virtual long QueryInfoKey(RegHandle key, char* keyClass, std::uint32_t* classLength, std::uint32_t* subKeys,
                              std::uint32_t* maxSubKeyLength, std::uint32_t* maxClassLength, std::uint32_t* values,
                              std::uint32_t* maxValueNameLength, std::uint32_t* maxValueLength,
                              std::uint32_t* securityDescriptorSize, FileTime* lastWriteTime) = 0;
    virtual long EnumValue(RegHandle key, std::uint32_t index, char* name, std::uint32_t* nameLength,
                           std::uint32_t* type, unsigned char* data, std::uint32_t* size) = 0;
    virtual long EnumKey(RegHandle key, std::uint32_t index, char* name, std::uint32_t nameBufferLength) = 0;

    // A key's values at once, where the back end can read them so, for a walk that would enumerate them:
    // visit(name, type, data) for each value from the first on, in EnumValue's order and as EnumValue gives
    // it with a data buffer of dataCapacity bytes, stopping before the first value that would not fit or
    // that EnumValue would not give. The caller goes on with EnumValue from count; all tells that EnumValue
    // would answer NoMoreItems there. The platform registry visits nothing.
    struct VisitedValues {
        std::uint32_t count = 0;
        bool all = false;
    };
    using ValueVisitor = std::function<void(std::string_view name, std::uint32_t type, std::string_view data)>;
    virtual VisitedValues VisitValues(RegHandle /*key*/, std::uint32_t /*dataCapacity*/,
                                      const ValueVisitor& /*visit*/) {
        return {};
    }

    // What a batch does: Read batches see one consistent state of the registry and never keep a writer
    // waiting (nor wait for one); Write batches hold the right to write for their whole length.
    enum class BatchUse { Read, Write };

    // Groups many calls into one unit of work where the back end can (one transaction in the portable
    // store); the platform registry has no such thing and ignores it. Calls nest. BeginBatch answers
    // whether the batch could begin (StoreBusy when another process kept the store for too long);
    // EndBatch answers whether the work of the outermost batch was kept.
    virtual long BeginBatch(BatchUse) { return reg::Success; }
    virtual long EndBatch() { return reg::Success; }
    // Ends a batch and undoes its work where the back end can; the platform registry keeps what was done.
    virtual long CancelBatch() { return EndBatch(); }

    // Scope of one batch. End() reports the outcome; a scope left by an exception ends the batch
    // quietly, so whatever was done before the failure stays done. A failure of the back end itself
    // inside a batch loses the whole batch: its later calls fail too and nothing of it is kept.
    class Batch {
    public:
        explicit Batch(RegistryApi& api, BatchUse use = BatchUse::Write) : m_api(api), m_begun(api.BeginBatch(use)) {}
        ~Batch() {
            if (!m_ended) {
                m_api.EndBatch();
            }
        }
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

        long Begun() const { return m_begun; }
        long End() {
            m_ended = true;
            return m_api.EndBatch();
        }
        // Gives the batch up: nothing of it is kept where the back end can undo it.
        void Cancel() {
            m_ended = true;
            m_api.CancelBatch();
        }

    private:
        RegistryApi& m_api;
        long m_begun;
        bool m_ended = false;
    };
};

}  // namespace vor
