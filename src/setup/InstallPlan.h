#pragma once
// The one reading of the file list. From the entries, the movie setting and the sound options it
// gives what every feature needs: the ordered copy items with their source paths and stored names,
// the file counted for each in the install size, and where the game and its GDI variant stand.
// Plain C++: no window or system call.

#include <optional>
#include <string>
#include <vector>

namespace setup {

struct SoundOptions {
    bool withSound = true;  // also install the sound entries' data
    bool pcm = false;       // the uncompressed variant
};

struct CopyItem {
    int index = 0;             // position in the file list, from 0
    std::string entry;         // the entry as listed
    std::string fileNamePart;  // after the last separator or colon (shown while copying)
    std::string storedName;    // the name it gets in the install folder (launched, deleted); empty for none
    std::string listedSource;  // program folder + entry: opened to see that the entry exists
    std::string copySource;    // what is copied: listedSource, or its uncompressed variant
    bool soundEntry = false;
    bool copied = true;        // false for a sound entry while the sound data is not installed
    // The file whose size counts towards the install size; empty when nothing is counted (a sound
    // entry without sound). For a sound entry it is the sound data file, not the entry itself.
    std::string countedSource;
};

struct Plan {
    std::vector<CopyItem> items;
    // Positions in the file list; nullopt when the list is too short to hold them.
    std::optional<int> gameIndex;
    std::optional<int> gdiIndex;
};

// `entries`: the first FileCount entries of the file list. `programFolder` ends in a backslash.
[[nodiscard]] Plan MakePlan(const std::vector<std::string>& entries, const std::string& programFolder,
                            bool hasMovie, SoundOptions options);

// Where the game stands in the file list: entry 1, or entry 2 when a movie comes first; the GDI
// variant follows it.
[[nodiscard]] constexpr int GameIndex(bool hasMovie) noexcept { return hasMovie ? 2 : 1; }
[[nodiscard]] constexpr int GdiIndex(bool hasMovie) noexcept { return GameIndex(hasMovie) + 1; }

// A sound entry's data file: its path without the last four bytes, then ".dat", or "2.dat" for the
// uncompressed variant.
[[nodiscard]] std::string SoundDataPath(const std::string& source, bool pcm);

// The source actually read for an entry: with the uncompressed variant chosen, a path whose
// extension is exactly ".wav" is read from the same name ending in "2.wav".
[[nodiscard]] std::string CopySourcePath(const std::string& source, bool pcm);

}  // namespace setup
