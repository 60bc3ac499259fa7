#include "setup/CopyEngine.h"

#include <algorithm>
#include <memory>
#include <new>
#include <optional>
#include <unordered_map>

#include "util/File.h"
#include "util/Format.h"
#include "util/Names.h"

namespace setup {

namespace {

constexpr unsigned long long kBlockBytes = 1024 * 1024;

// Room for one more record, made before the step it records, so that nothing is allocated after it.
template <class T>
void RoomForOne(std::vector<T>& records)
{
    if (records.size() == records.capacity()) records.reserve(records.size() * 2 + 8);
}

// The names the copy writes, compared as the program compares names (LowerAscii): a name the copy
// wrote earlier in this run is its own copy, not the player's, and no file is set aside under a
// name that the copy writes.
class WrittenNames {
public:
    explicit WrittenNames(const Plan& plan)
    {
        for (const CopyItem& item : plan.items)
            if (item.copied) listed_.try_emplace(LowerAscii(item.storedName));
    }
    // True the first time the run writes the name, false after that.
    [[nodiscard]] bool FirstWrite(const std::string& storedName)
    {
        return written_.try_emplace(LowerAscii(storedName)).second;
    }
    [[nodiscard]] bool Listed(const std::string& lowered) const { return listed_.find(lowered) != listed_.end(); }

private:
    // Sets of names, the values unused: the ini reader's map type, so that the program holds the
    // code of one hash table only.
    using Names = std::unordered_map<std::string, std::string>;
    Names listed_;
    Names written_;
};

// Set-aside names: ASCII in lower case, as LowerAscii leaves them.
constexpr char kAsidePattern[] = "~setup%d.tmp";
constexpr int kAsideTries = 1000;

// Renames the file that stands at `folder` + `name` to a name that nothing in the folder bears and
// that the copy does not write; true also when there is no file to set aside, false when it cannot
// be done.
bool SetAsideOld(const std::string& folder, const std::string& name, const WrittenNames& written, long long& serial,
                 CopyResult& result)
{
    std::string file = folder + name;
    const std::optional<DWORD> attributes = AttributesAt(file);
    // A folder in the way is no file of the player's to keep: the open refuses it.
    if (!attributes || (*attributes & FILE_ATTRIBUTE_DIRECTORY)) return true;
    // Never overwritten, as before: it could not be deleted once the copy is done.
    if (*attributes & FILE_ATTRIBUTE_READONLY) return false;
    // Nothing is allocated once the file has moved, so a set-aside file is never left unrecorded.
    RoomForOne(result.setAside);
    for (int tries = 0; tries < kAsideTries; ++tries) {
        const std::string asideName = Format(kAsidePattern, ++serial);
        std::string aside = folder + asideName;
        if (written.Listed(asideName) || AttributesAt(aside)) continue;
        if (!RenameAt(file, aside)) {
            if (AttributesAt(aside)) continue;  // taken in the meantime
            return false;
        }
        result.setAside.push_back({std::move(file), std::move(aside)});
        return true;
    }
    return false;
}

// One item from open to close; how it failed, or nothing.
Result CopyItemFile(const CopyItem& item, const std::string& folder, WrittenNames& written, char* buffer,
                     unsigned long long& copiedKB, long long& serial, CopyObserver& observer, CopyResult& result)
{
    const std::string destination = folder + (item.storedName.empty() ? item.fileNamePart : item.storedName);
    CFile source;
    CFile target;
    // Paths too long for the system are refused by the opens, never cut.
    if (!source.Open(item.copySource, GENERIC_READ)) return Failed(Failure::CannotOpen, item.copySource);
    const std::optional<unsigned long long> size = source.Size64();
    if (!size) return Failed(Failure::CannotRead, item.copySource);
    observer.FileSized(*size);
    // An entry whose name is no file name of its own (.., a device) is never created.
    if (item.storedName.empty()) return Failed(Failure::CannotCreate, destination, ERROR_INVALID_NAME);
    if (!written.FirstWrite(item.storedName)) {
        // This run's own copy under that name is written again; it is already among those created.
        if (!target.Open(destination, GENERIC_WRITE)) return Failed(Failure::CannotCreate, destination);
    } else {
        RoomForOne(result.created);
        std::string created = destination;
        // Made as new; only a name that is taken costs the questions of the set-aside.
        if (!target.OpenNew(destination) &&
            (!SetAsideOld(folder, item.storedName, written, serial, result) || !target.OpenNew(destination)))
            return Failed(Failure::CannotCreate, destination);
        result.created.push_back(std::move(created));
    }

    unsigned long long done = 0;
    while (done < *size) {
        if (!observer.GoOn()) return {Failure::Stopped, {}, 0};
        const DWORD n = static_cast<DWORD>(std::min(*size - done, kBlockBytes));
        // A short count is an error even when the system reported success (a full disk).
        if (source.Read(buffer, n) != n) return Failed(Failure::CannotRead, item.copySource);
        if (target.Write(buffer, n) != n) return Failed(Failure::CannotWrite, destination);
        done += n;
        copiedKB += n / 1024;
        observer.Progress(done, copiedKB);
    }
    // A write that fails only when the file is closed is as lost as any other.
    if (!target.StampFrom(source) || !target.Close()) return Failed(Failure::CannotWrite, destination);
    return {};
}

}  // namespace

CopyResult Copy(const CopyJob& job, CopyObserver& observer)
{
    CopyResult result;
    const std::unique_ptr<char[]> buffer(new (std::nothrow) char[kBlockBytes]);
    if (!buffer) {
        result.outcome = {Failure::NoMemory, {}, ERROR_NOT_ENOUGH_MEMORY};
        return result;
    }
    try {
        const std::string folder = job.folder + "\\";
        WrittenNames written(job.plan);
        unsigned long long copiedKB = 0;
        long long serial = 0;
        for (const CopyItem& item : job.plan.items) {
            observer.ItemStarts(item);
            if (!item.copied) continue;
            result.outcome = CopyItemFile(item, folder, written, buffer.get(), copiedKB, serial, observer, result);
            if (!result.outcome.Ok()) return result;
        }
    } catch (const std::bad_alloc&) {
        result.outcome = {Failure::NoMemory, {}, ERROR_NOT_ENOUGH_MEMORY};
    }
    return result;
}

}  // namespace setup
