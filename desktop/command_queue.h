#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace varnholt {

/// The files handed to a main window to be loaded one after another, and the
/// rule that the window runs one command at a time. The window posts itself
/// one message to open the waiting files, so that they run once the messages
/// waiting before them have been handled; the message loops of a command's
/// dialog and boxes may hand out messages while it runs, and neither a second
/// command nor a file starts then.
class CommandQueue {
public:
    /// `paths` wait after the files already waiting.
    void addFiles(std::vector<std::string> paths);

    /// Whether a command or a file's run is under way.
    bool running() const noexcept { return m_running; }

    /// Whether files wait to be opened.
    bool filesWaiting() const noexcept { return !m_files.empty(); }

    /// True when the window is to post its message that opens the waiting
    /// files: files wait, nothing runs, and no such message is on its way.
    /// The message then counts as on its way until openWaitingFiles.
    bool startOpening() noexcept;

    /// Runs `command`, marked as running, unless something runs already;
    /// returns whether it ran. The mark goes however the command ends.
    bool runCommand(const std::function<void()> &command);

    /// The posted message has arrived: runs `load` on each waiting file in
    /// turn, first come first, each marked as running, while no command runs.
    /// Files added meanwhile run in the same turn. `load` should handle its
    /// own errors: one that passes on leaves the remaining files waiting.
    void openWaitingFiles(const std::function<void(const std::string &)> &load);

private:
    std::deque<std::string> m_files;
    bool m_opening = false; ///< the message that opens the files is on its way
    bool m_running = false;
};

} // namespace varnholt
