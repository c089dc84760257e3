#pragma once

#include "geometry.h"

#include <string>
#include <string_view>

namespace varnholt {

/// A colour by its red, green and blue parts, 0 to 255 each.
struct Colour {
    int red = 0;
    int green = 0;
    int blue = 0;

    friend bool operator==(const Colour &, const Colour &) = default;
};

/// A font by its family, its size in points and its style.
struct FontDesign {
    std::string_view family;
    int points = 0;
    bool bold = false;
    bool italic = false;
    bool underlined = false;
};

/// The program's name as its windows show it.
inline constexpr std::string_view programName = "Varnholt";

// The main window.

/// The main window's outer size as designed: frame, caption bar and menu bar included.
inline constexpr Size mainWindowSize { 383, 275 };

/// The main window's caption, set at every activation: the program's name, two
/// blanks, "version", a blank and the program's version.
std::string mainWindowCaption();

/// The menu captions. The menu-bar titles keep their trailing blanks (16 after
/// "File", 17 after "Help"), which space the bar's items; "Help" and "About" are
/// commands of the bar itself, without a drop-down.
inline constexpr std::string_view fileMenuCaption = "File                ";
inline constexpr std::string_view loadCommandCaption = "Load CSV file";
inline constexpr std::string_view renumberCommandCaption = "Load and Renumber";
inline constexpr std::string_view fiveDigitCommandCaption = "Load with Five-Digit Numbers";
/// The File menu's separator line, between "Load with Five-Digit Numbers" and "Close".
inline constexpr std::string_view separatorCaption = "-";
inline constexpr std::string_view closeCommandCaption = "Close";
inline constexpr std::string_view helpCommandCaption = "Help                 ";
inline constexpr std::string_view aboutCommandCaption = "About";

// Message boxes.

/// The caption of the error boxes a conversion run places itself.
inline constexpr std::string_view errorBoxCaption = "Error";
/// The application-level error box's message for an error that carries none.
inline constexpr std::string_view unexpectedErrorMessage = "An unexpected error occurred";

// The About window.

/// The About window's caption.
inline constexpr std::string_view aboutWindowCaption = "About this program";
/// The About window's outer size, frame and caption bar included.
inline constexpr Size aboutWindowSize { 400, 286 };

/// The About window's content, in client coordinates and in building order: a
/// later item is drawn over an earlier one.
namespace about {

    /// The window's background and the frame rectangle's inside: light grey.
    inline constexpr Colour windowGrey { 0xDF, 0xDF, 0xDF };
    /// The frame rectangle's outline.
    inline constexpr Colour outlineGrey { 0x80, 0x80, 0x80 };

    /// The rows' and the description's font.
    inline constexpr FontDesign textFont { "Arial", 11 };
    /// The title's font.
    inline constexpr FontDesign titleFont { "Arial", 14, true, false, true };
    /// The credits row's font.
    inline constexpr FontDesign creditsFont { "Arial", 11, false, true };

    /// A rectangle with an outline of `frameOutline` pixels. It starts above the
    /// client area so that its top side is hidden.
    inline constexpr Rect frameRectangle { 0, -2, aboutWindowSize.width - 16,
        aboutWindowSize.height - 40 };
    inline constexpr int frameOutline = 2;

    /// The program icon, drawn at its own size from the box's top-left corner.
    inline constexpr Rect iconBox { 40, 46, 105, 105 };

    /// The title: the program's name in titleFont, sized to its text.
    inline constexpr Point titlePlace { 90, 2 };

    /// Rows of text, each sized to its text from `rowLeft` at its top. A row must
    /// end at `rowRight`, the inner edge of the frame rectangle's right side.
    inline constexpr int rowLeft = 120;
    inline constexpr int rowRight = frameRectangle.left + frameRectangle.width - frameOutline;

    /// Row 2: "version" and the program's version.
    inline constexpr int versionRowTop = 40;
    std::string versionRow();
    /// Row 3: the date of this version.
    inline constexpr int dateRowTop = 60;
    inline constexpr std::string_view dateRow = "October 1, 2025";
    /// Row 4: the authors.
    inline constexpr int authorRowTop = 80;
    inline constexpr std::string_view authorRow = "The Varnholt developers";
    /// Row 5: this lead, then the folder the README is installed in.
    inline constexpr int readmeRowTop = 100;
    inline constexpr std::string_view readmeRowLead = "README: ";
    /// Row 6, in creditsFont: where the element sets come from.
    inline constexpr int creditsRowTop = 120;
    inline constexpr std::string_view creditsRow = "Element sets: public catalogues";

    /// What the program does, word-wrapped in this box and cut where it does not fit.
    inline constexpr Rect descriptionBox { 20, 138, aboutWindowSize.width - 60,
        aboutWindowSize.height - 200 };
    inline constexpr std::string_view description
        = "\nVarnholt is a utility for converting a list of satellite element sets in CSV format "
          "into the older 2-line element sets as required by ORBITRON satellite tracking "
          "software inter alia.\n\n";

} // namespace about

} // namespace varnholt
