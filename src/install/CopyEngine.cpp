#include "install/CopyEngine.h"

#include <algorithm>
#include <memory>
#include <new>
#include <optional>

#include "util/File.h"

namespace install {

namespace {

constexpr unsigned long long kBlockBytes = 1024 * 1024;

// One item from open to close; its ending, or Done.
CopyEnd CopyItemFile(const CopyItem& item, const std::string& destination, char* buffer, unsigned long long& copiedKB,
                     CopyObserver& observer, CopyResult& result)
{
    CFile source;
    CFile target;
    // Paths too long for the system are refused by the opens, never cut.
    if (!source.Open(item.copySource, GENERIC_READ)) return result.path = item.copySource, CopyEnd::CannotOpen;
    const std::optional<unsigned long long> size = source.Size64();
    if (!size) return result.path = item.copySource, CopyEnd::CannotRead;
    observer.FileSized(*size);
    // An entry whose name is no file name of its own (.., a device) is never created.
    if (item.storedName.empty() || !target.Open(destination, GENERIC_WRITE))
        return result.path = destination, CopyEnd::CannotCreate;
    result.created.push_back(destination);

    unsigned long long done = 0;
    while (done < *size) {
        if (!observer.GoOn()) return CopyEnd::Stopped;
        const DWORD n = static_cast<DWORD>(std::min(*size - done, kBlockBytes));
        // A short count is an error even when the system reported success (a full disk).
        if (source.Read(buffer, n) != n) return result.path = item.copySource, CopyEnd::CannotRead;
        if (target.Write(buffer, n) != n) return result.path = destination, CopyEnd::CannotWrite;
        done += n;
        copiedKB += n / 1024;
        observer.Progress(done, copiedKB);
    }
    (void)target.StampFrom(source);
    return CopyEnd::Done;
}

}  // namespace

CopyResult Copy(const CopyJob& job, CopyObserver& observer)
{
    CopyResult result;
    const std::unique_ptr<char[]> buffer(new (std::nothrow) char[kBlockBytes]);
    if (!buffer) {
        result.end = CopyEnd::NoMemory;
        return result;
    }
    try {
        const std::string folder = job.folder + "\\";
        unsigned long long copiedKB = 0;
        for (const CopyItem& item : job.plan.items) {
            observer.ItemStarts(item);
            if (!item.copied) continue;
            const std::string& name = item.storedName.empty() ? item.fileNamePart : item.storedName;
            result.end = CopyItemFile(item, folder + name, buffer.get(), copiedKB, observer, result);
            if (result.end != CopyEnd::Done) return result;
        }
    } catch (const std::bad_alloc&) {
        result.end = CopyEnd::NoMemory;
    }
    return result;
}

}  // namespace install
