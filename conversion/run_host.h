#pragma once

#include <optional>
#include <string>

namespace varnholt {

/// A point on the screen, in pixels from the top-left corner of the primary screen.
struct ScreenPoint {
    int x = 0;
    int y = 0;

    friend bool operator==(const ScreenPoint &, const ScreenPoint &) = default;
};

/// What a conversion run needs from whoever drives it: the desktop window, the
/// command-line converter and the tests each implement it.
///
/// Every message operation is modal: it returns when the user has closed the box.
/// A box placed at a point puts its frame's top-left corner there; a negative
/// coordinate is not applied, and the box stays centred on the screen along that
/// axis.
class RunHost {
public:
    virtual ~RunHost() = default;

    /// Asks for the input file. `filter` is "description|pattern;pattern";
    /// `lastName` is the name chosen last (empty at first). Returns the chosen
    /// full path, or nothing when the user cancelled.
    virtual std::optional<std::string> chooseFile(
        const std::string &filter, const std::string &lastName)
        = 0;

    /// The main window's frame top-left corner, now.
    virtual ScreenPoint windowTopLeft() const = 0;

    /// A notice centred on the screen, captioned with the application title, no icon.
    virtual void notice(const std::string &text) = 0;

    /// A notice captioned with the application title, no icon, placed at `at`.
    virtual void placedNotice(const std::string &text, ScreenPoint at) = 0;

    /// An error box captioned "Error", with the error icon, placed at `at`.
    virtual void placedError(const std::string &text, ScreenPoint at) = 0;
};

} // namespace varnholt
