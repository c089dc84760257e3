#pragma once

#include "conversion.h"
#include "geometry.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnholt {

/// What the load command needs from the window it runs in: the desktop
/// windows and the tests each implement it.
///
/// Every message operation is modal: it returns when the user has closed the box.
/// A box placed at a point puts its frame's top-left corner there; a negative
/// coordinate is not applied, and the box stays centred on the screen along that
/// axis.
class LoadCommandHost {
public:
    virtual ~LoadCommandHost() = default;

    /// Asks for the input file. `filter` lists the dialog's entries in the form
    /// filterEntries() reads, the first one selected; `lastName` is the name
    /// chosen last (empty at first). Returns the chosen full path, or nothing
    /// when the user cancelled.
    virtual std::optional<std::string> chooseFile(
        const std::string &filter, const std::string &lastName)
        = 0;

    /// The main window's frame top-left corner, now.
    virtual Point windowTopLeft() const = 0;

    /// A notice centred on the screen, captioned with the application title, no icon.
    virtual void notice(const std::string &text) = 0;

    /// A notice captioned with the application title, no icon, placed at `at`.
    virtual void placedNotice(const std::string &text, Point at) = 0;

    /// An error box captioned "Error", with the error icon, placed at `at`.
    virtual void placedError(const std::string &text, Point at) = 0;
};

/// One entry of a file dialog's filter: the text the dialog shows, and the
/// name patterns it stands for, separated by ";".
struct FilterEntry {
    std::string_view description;
    std::string_view patterns;

    bool operator==(const FilterEntry &) const = default;
};

/// The entries of a filter text "description|patterns|description|patterns...",
/// in order, e.g. "Text (*.txt)|*.txt;*.text|All files (*.*)|*.*". A last
/// description without patterns stands for itself as the patterns ("*.csv" is
/// one entry "*.csv" showing "*.csv"). An empty text has no entries.
std::vector<FilterEntry> filterEntries(std::string_view filter);

/// The filter the load command hands to the file dialog: CSV and text files
/// first and selected, then JSON files, then every file.
inline constexpr std::string_view loadFilter = "CSV satellite data (*.csv, *.txt)|*.csv;*.txt"
                                               "|JSON satellite data (*.json)|*.json"
                                               "|All files (*.*)|*.*";

/// The notice when the file dialog gives no file.
inline constexpr std::string_view noFileMessage = "Not a valid filename";

/// The text of the wrong-header box.
inline constexpr std::string_view wrongHeaderMessage
    = "This is not a satellite CSV data file\n\n      Click OK to exit";

/// The summary text for `count` satellites written to `outputName`. When
/// `letterNumbers` of their catalogue numbers were written in the letter form,
/// a line after the file's name gives that count and the command that writes
/// digits instead; without such numbers there is no such line.
std::string summaryMessage(int count, std::string_view outputName, int letterNumbers = 0);

/// Where the summary box and the wrong-header box go, given the main window's
/// top-left corner.
Point summaryPlace(Point window);
Point wrongHeaderPlace(Point window);

/// The File menu's load commands on the conversion state of a main window,
/// shown through the window's `host`. Both must outlive the command.
///
/// Each command returns the run's result once its box has been closed, or
/// nothing when no file was chosen (the notice "Not a valid filename" was
/// shown). A run's error passes to the caller as ConversionError, after the
/// command has restored the numbering mode; nothing is shown for it here.
class LoadCommand {
public:
    LoadCommand(Conversion &conversion, LoadCommandHost &host);

    /// File > "Load CSV file": asks for the file (offering the name chosen
    /// last) and runs readdatafile on it with the numbering as it stands.
    std::optional<RunResult> loadCSVfile();

    /// File > "Load and Renumber": "Load CSV file" with `renumbermode` on,
    /// switched back off however the command ends.
    std::optional<RunResult> loadAndRenumber();

    /// File > "Load with Five-Digit Numbers": "Load CSV file" with
    /// `fivedigitmode` on, switched back off however the command ends.
    std::optional<RunResult> loadWithFiveDigitNumbers();

    /// "Load CSV file" on `path` as if it had been chosen in the file dialog,
    /// which is not shown: files dropped on the window or handed to the
    /// program. An empty path is no file.
    std::optional<RunResult> loadChosenFile(const std::string &path);

    /// The run on `path` into its stem + "TLE", then the summary beside the
    /// window, or the wrong-header box.
    RunResult readdatafile(const std::string &path);

private:
    std::optional<RunResult> loadChosen(const std::optional<std::string> &chosen);

    Conversion &m_conversion;
    LoadCommandHost &m_host;
};

} // namespace varnholt
