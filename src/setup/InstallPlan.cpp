#include "setup/InstallPlan.h"

#include "setup/SetupNames.h"
#include "util/Names.h"

namespace setup {

std::string SoundDataPath(const std::string& source, bool pcm)
{
    const size_t keep = source.size() >= 4 ? source.size() - 4 : 0;
    return source.substr(0, keep) + (pcm ? "2.dat" : ".dat");
}

std::string CopySourcePath(const std::string& source, bool pcm)
{
    // The extension test counts letter case: se.WAV is read under its own name.
    if (!pcm || Extension(source) != ".wav") return source;
    return source.substr(0, source.size() - 4) + "2.wav";
}

Plan MakePlan(const std::vector<std::string>& entries, const std::string& programFolder, bool hasMovie,
              SoundOptions options)
{
    Plan plan;
    plan.items.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        CopyItem item;
        item.index = static_cast<int>(i);
        item.entry = entries[i];
        item.fileNamePart = FileNamePart(item.entry);
        item.storedName = StoredName(item.entry);
        item.listedSource = programFolder + item.entry;
        item.copySource = CopySourcePath(item.listedSource, options.pcm);
        item.soundEntry = IsSoundEntry(item.listedSource);
        item.copied = options.withSound || !IsSoundEntry(item.copySource);
        if (!item.soundEntry)
            item.countedSource = item.listedSource;
        else if (options.withSound)
            item.countedSource = SoundDataPath(item.listedSource, options.pcm);
        plan.items.push_back(std::move(item));
    }
    const int count = static_cast<int>(entries.size());
    if (GameIndex(hasMovie) < count) plan.gameIndex = GameIndex(hasMovie);
    if (GdiIndex(hasMovie) < count) plan.gdiIndex = GdiIndex(hasMovie);
    return plan;
}

}  // namespace setup
