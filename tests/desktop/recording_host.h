#pragma once

#include "load_command.h"

#include <optional>
#include <string>
#include <vector>

namespace varnholt::testing {

/// A window for the load command that answers the file question from a
/// script and records every message the command asks it to show.
class RecordingHost final : public LoadCommandHost {
public:
    struct Message {
        enum Kind { Notice, PlacedNotice, PlacedError } kind;
        std::string text;
        Point at;
    };

    std::optional<std::string> answer; ///< what chooseFile returns
    Point window { 100, 200 }; ///< the main window's top-left corner
    std::vector<Message> messages;
    std::vector<std::string> lastNames; ///< the names chooseFile was offered
    std::vector<std::string> filters; ///< the filters chooseFile was given

    std::optional<std::string> chooseFile(
        const std::string &filter, const std::string &lastName) override
    {
        filters.push_back(filter);
        lastNames.push_back(lastName);
        return answer;
    }
    Point windowTopLeft() const override { return window; }
    void notice(const std::string &text) override
    {
        messages.push_back({ Message::Notice, text, {} });
    }
    void placedNotice(const std::string &text, Point at) override
    {
        messages.push_back({ Message::PlacedNotice, text, at });
    }
    void placedError(const std::string &text, Point at) override
    {
        messages.push_back({ Message::PlacedError, text, at });
    }
};

} // namespace varnholt::testing
