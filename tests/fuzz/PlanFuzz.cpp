// Any bytes as a Setup.ini: the install plan of its file list, with every option.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Check.h"
#include "setup/IniReader.h"
#include "setup/InstallPlan.h"
#include "setup/SetupConfig.h"
#include "setup/SetupNames.h"
#include "util/Names.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // The reader allows tens of thousands of entries; a few hundred show every rule.
    if (setup::IniReader(bytes).ReadInteger("Files", "Count", 0) > 300) return 0;
    const std::vector<std::string> entries = setup::ParseSetupConfig(bytes).Files;
    const std::string folder = "D:\\\x83\x5C\x83\x74\x83\x67\\";  // D:\ソフト\ in code page 932
    for (const bool hasMovie : {false, true}) {
        for (const setup::SoundOptions options : {setup::SoundOptions{true, false}, setup::SoundOptions{true, true},
                                                    setup::SoundOptions{false, false}, setup::SoundOptions{false, true}}) {
            const setup::Plan plan = setup::MakePlan(entries, folder, hasMovie, options);
            FUZZ_CHECK(plan.items.size() == entries.size());
            for (size_t i = 0; i < plan.items.size(); ++i) {
                const setup::CopyItem& item = plan.items[i];
                FUZZ_CHECK(item.index == static_cast<int>(i) && item.entry == entries[i]);
                FUZZ_CHECK(item.listedSource == folder + item.entry);
                FUZZ_CHECK(item.storedName == setup::StoredName(item.entry));
                FUZZ_CHECK(!options.pcm ? item.copySource == item.listedSource
                                        : item.copySource.size() == item.listedSource.size() ||
                                              item.copySource.size() == item.listedSource.size() + 1);
                // Without sound nothing of a sound entry is counted; otherwise something always is.
                FUZZ_CHECK(item.countedSource.empty() == (item.soundEntry && !options.withSound));
                if (!item.soundEntry) FUZZ_CHECK(item.copied);
            }
            FUZZ_CHECK(!plan.gameIndex || *plan.gameIndex < static_cast<int>(entries.size()));
            FUZZ_CHECK(!plan.gdiIndex || (plan.gameIndex && *plan.gdiIndex == *plan.gameIndex + 1));
        }
    }
    return 0;
}
